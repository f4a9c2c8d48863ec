#include "railtunnel/XmlInputFile.h"

#include "shell/Error.h"
#include "shell/Text.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr long kNotFound = 111;
constexpr long kBad = 222;

class XmlInputFileTest : public ::testing::Test {
  protected:
    std::string Read(const std::string &bytes) {
        WriteFileBytes(dir_ / "in.xml", bytes);
        return ReadXmlInputText((dir_ / "in.xml").string(), kNotFound, kBad);
    }
    ErrorInfo PathError(const std::filesystem::path &path) {
        return ErrorOf([&] { ReadXmlInputText(path.string(), kNotFound, kBad); });
    }
    TempDir dir_;
};

TEST_F(XmlInputFileTest, EncodingsBecomeUtf8) {
    const std::string utf8Decl = "<?xml version=\"1.0\"?>";
    // Bytes on the disc, the text read.
    const std::pair<std::string, std::string> cases[] = {
        {utf8Decl + "<a>é€</a>", utf8Decl + "<a>é€</a>"},
        {"\xEF\xBB\xBF<a>é</a>", "<a>é</a>"}, // UTF-8 with a mark
        {"<?xml version='1.0' encoding='Windows-1252'?><a>\xE9\x80\x93</a>",
         "<?xml version='1.0' encoding='Windows-1252'?><a>é€“</a>"},
        {"<a>Pe\xF1"
         "a</a>",
         "<a>Peña</a>"}, // undeclared: ANSI
        {std::string("\xFF\xFE<\0a\0>\0\xE9\0\xAC\x20<\0/\0a\0>\0", 20), "<a>é€</a>"}, // UTF-16LE
        {std::string("<\0a\0/\0>\0", 8), "<a/>"},                         // UTF-16LE without a mark
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"}, // a surrogate pair
        {std::string("<a>\x01\x02</a>"), "<a>?"
                                         "?</a>"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(Read(bytes), text);
}

TEST_F(XmlInputFileTest, UnreadableFilesRaiseTheGivenNumbers) {
    const ErrorInfo unknown =
        ErrorOf([&] { Read("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>"); });
    EXPECT_EQ(unknown.Number, kBad);
    EXPECT_NE(unknown.Description.find("'shift_jis'"), std::string::npos);
    const std::string loneSurrogate("\xFF\xFE\x00\xDC<\0", 6);
    EXPECT_EQ(ErrorOf([&] { Read(loneSurrogate); }).Number, kBad);
    const ErrorInfo missing = PathError(dir_ / "none.xml");
    EXPECT_EQ(missing.Number, kNotFound);
    EXPECT_NE(missing.Description.find("none.xml"), std::string::npos);
    // A file beyond the limit is refused before it is read.
    WriteFileBytes(dir_ / "huge.xml", "<?xml version=\"1.0\"?>");
    std::filesystem::resize_file(dir_ / "huge.xml", kMaxXmlInputBytes + 1);
    EXPECT_EQ(PathError(dir_ / "huge.xml").Number, kBad);
    EXPECT_EQ(PathError(dir_.Path()).Number, kNotFound); // a folder is not a file
}

} // namespace
