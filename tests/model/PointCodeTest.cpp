#include "model/PointCode.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace vialto;

// Texts on both sides of what fits in place (15 bytes) keep their bytes
// through every way a code is made, copied, moved, assigned (also from
// itself) and cleared; sanitizer runs of this test find any heap text lost
// or freed twice.
TEST(PointCode, TextsInPlaceAndOnTheHeapKeepTheirBytes) {
    const std::string texts[] = {"",
                                 "EJE1",
                                 std::string("A\0B", 3),
                                 std::string(15, 'x'),
                                 std::string(16, 'y'),
                                 "SD Vertex Connections and more",
                                 std::string(70000, 'z')};
    for (const std::string &text : texts) {
        SCOPED_TRACE(text.size());
        PointCode code(text);
        EXPECT_EQ(std::string_view(code), text);
        EXPECT_EQ(code.size(), text.size());
        EXPECT_EQ(code.empty(), text.empty());
        PointCode copy = code;
        EXPECT_TRUE(copy == code && copy == text && copy == std::string_view(text));
        PointCode moved = std::move(copy);
        EXPECT_EQ(std::string_view(moved), text);
        EXPECT_TRUE(copy.empty()); // a moved-from code is left empty
        moved = moved;             // assigned from itself
        moved = std::string_view(moved);
        EXPECT_EQ(std::string_view(moved), text);
        std::vector<PointCode> grown(3, code); // moved as the vector grows
        grown.resize(40);
        EXPECT_EQ(std::string_view(grown[2]), text);
        PointCode other("before");
        other = code;
        EXPECT_EQ(other, text);
        other = std::string(20, 'q');
        EXPECT_EQ(other, std::string(20, 'q'));
        other.clear();
        EXPECT_TRUE(other.empty() && other == "");
        other = std::string_view(); // no text at all, not even an empty one
        EXPECT_TRUE(other.empty());
        std::ostringstream shown;
        shown << code;
        EXPECT_EQ(shown.str(), text);
    }
    EXPECT_FALSE(PointCode("EJE1") == PointCode("EJE2"));
    EXPECT_TRUE(PointCode("EJE1") != "EJE");
    EXPECT_EQ(sizeof(PointCode), 16u);
}
