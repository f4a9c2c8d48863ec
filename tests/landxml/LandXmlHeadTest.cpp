// The document head: the author escaped, an unknown unit code refused (the
// head of each flavour is in the documents of the alignment and batch tests).
#include "landxml/LandXmlFixture.h"

namespace vialto::test {
namespace {

using ::testing::HasSubstr;
using LandXmlHead = LandXmlFixture;

TEST_F(LandXmlHead, AuthorIsEscapedAndUtf8) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(TagApplication("Jos\xC3\xA9 \"P\" & Co"));
    EXPECT_THAT(FinishDocument(),
                HasSubstr("<Author createdBy=\"Jos\xC3\xA9 &quot;P&quot; &amp; Co\" />"));
}

// An unknown unit code writes nothing and is reported.
TEST_F(LandXmlHead, UnknownUnitCode) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_FALSE(TagUnits(9));
    ExpectMessage("CLandXML.TagUnits");
    EXPECT_EQ(MainLevel(), 1);
    EXPECT_THAT(FinishDocument(), ::testing::Not(HasSubstr("Units")));
}

} // namespace
} // namespace vialto::test
