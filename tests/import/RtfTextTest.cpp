// The RTF reader: the text shape the report readers rely on, characters in
// the ANSI code page and in Unicode, skipped destinations, and broken files.
#include "RtfText.h"

#include <gtest/gtest.h>

namespace vialto {
namespace {

std::string Text(std::string_view rtf) {
    const RtfTextResult result = RtfToText(rtf);
    EXPECT_TRUE(result.Ok) << result.Reason;
    return result.Text;
}

TEST(RtfToTextTest, TableRowsEndWithCrLfAndEveryCellWithATab) {
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
                            "\\trowd\\cellx100\\cellx200\\pard\\intbl a\\cell b\\cell\\row"
                            "\\trowd\\cellx100\\cellx200\\pard\\intbl c\\cell\\cell\\row}";
    EXPECT_EQ(Text(rtf), "a\tb\t\r\nc\t\t\r\n");
}

TEST(RtfToTextTest, ParagraphsAndTheLastOneEndWithCrLf) {
    EXPECT_EQ(Text("{\\rtf1 one\\par two}"), "one\r\ntwo\r\n");
    EXPECT_EQ(Text("{\\rtf1 one\\par}"), "one\r\n");
    EXPECT_EQ(Text("{\\rtf1 }"), "");
    EXPECT_EQ(Text("{\\rtf1 a\\line b\\tab c\\par}"), "a\nb\tc\r\n");
    EXPECT_EQ(Text("{\\rtf1 line\r\nbreaks in the file\\par}"), "linebreaks in the file\r\n");
}

TEST(RtfToTextTest, CharactersBecomeUtf8) {
    EXPECT_EQ(Text("{\\rtf1\\ansi\\ansicpg1252 Estaci\\'f3n\\par}"), "Estación\r\n");
    EXPECT_EQ(Text("{\\rtf1 \\'80 \\'e1\\par}"), "\xE2\x82\xAC \xC3\xA1\r\n");
    EXPECT_EQ(Text("{\\rtf1\\uc1 a\\u8212?b\\par}"), "a\xE2\x80\x94"
                                                     "b\r\n");
    EXPECT_EQ(Text("{\\rtf1\\uc2 \\u-3908??x\\par}"), "\xEF\x82\xBCx\r\n"); // negative N
    EXPECT_EQ(Text("{\\rtf1\\uc1 \\u243\\'f3n\\par}"), "ón\r\n");           // \'hh as the stand-in
    // A writer that left out the stand-in: the row and cell ends survive.
    EXPECT_EQ(Text("{\\rtf1\\uc1 a\\u243\\cell\\u243\\row}"), "aó\tó\r\n");
    EXPECT_EQ(Text("{\\rtf1\\uc0 \\u55357\\u56832 x\\par}"), "\xF0\x9F\x98\x80x\r\n");
    EXPECT_EQ(Text("{\\rtf1 \\{\\}\\\\\\~x\\par}"), "{}\\\xC2\xA0x\r\n");
    EXPECT_EQ(Text("{\\rtf1 caf\xe9\\par}"), "café\r\n"); // a raw byte in the code page
}

TEST(RtfToTextTest, DestinationsAreSkipped) {
    const std::string rtf =
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}"
        "{\\info{\\title T}{\\author A}}{\\*\\generator G 1.0;}{\\pict\\wmetafile8 0a0b}"
        "{\\*\\unknowndest text}{\\header head\\par}body{\\b  bold}\\par}";
    EXPECT_EQ(Text(rtf), "body bold\r\n");
    // Binary data is skipped by its count, braces inside it included.
    EXPECT_EQ(Text("{\\rtf1 a{\\*\\blob\\bin4 }{x}}b\\par}"), "ab\r\n");
}

struct BrokenCase {
    const char *Rtf;
    const char *ReasonPart;
    std::size_t Offset;
};

TEST(RtfToTextTest, BrokenDocumentsFailWithPlaceAndReason) {
    const BrokenCase cases[] = {
        {"{\\rtf1 a\\par", "not closed", 0},
        {"{\\rtf1 {\\b a\\par}", "not closed", 0},
        {"{\\rtf1 a}}", "", 0}, // text after the document's group is ignored
        {"plain text", "not an RTF document", 0},
        {"", "not an RTF document", 0},
        {"}{\\rtf1 a}", "not an RTF document", 0},
    };
    for (const BrokenCase &c : cases) {
        const RtfTextResult result = RtfToText(c.Rtf);
        if (std::string(c.ReasonPart).empty()) {
            EXPECT_TRUE(result.Ok) << c.Rtf;
            continue;
        }
        EXPECT_FALSE(result.Ok) << c.Rtf;
        EXPECT_NE(result.Reason.find(c.ReasonPart), std::string::npos) << result.Reason;
    }
    const RtfTextResult inner = RtfToText("{\\rtf1\r\nok\\par\r\n{\\b x\\par}\r\n{\\i y\\par");
    EXPECT_FALSE(inner.Ok);
    EXPECT_EQ(inner.Line, 4); // the innermost group left open
    EXPECT_EQ(inner.Text, "ok\r\nx\r\ny\r\n");
}

TEST(RtfToTextTest, HostileNestingFailsWithoutRecursion) {
    const std::string deep =
        "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "}";
    const RtfTextResult result = RtfToText(deep);
    EXPECT_FALSE(result.Ok);
    EXPECT_NE(result.Reason.find("nested"), std::string::npos);
}

TEST(RtfToTextTest, TruncatedControlsDoNotReadPastTheEnd) {
    for (const char *rtf :
         {"{\\rtf1 \\", "{\\rtf1 \\'", "{\\rtf1 \\'f", "{\\rtf1 \\u", "{\\rtf1 \\bin99"}) {
        const RtfTextResult result = RtfToText(rtf);
        EXPECT_FALSE(result.Ok) << rtf;
    }
}

} // namespace
} // namespace vialto
