// The RTF reader: the text shape the report readers rely on, characters in
// the ANSI code page and in Unicode, skipped destinations, and broken files.
#include "import/RtfText.h"

#include <gtest/gtest.h>

namespace vialto {
namespace {

TEST(RtfToText, ShapeCharactersAndSkippedDestinations) {
    const std::pair<std::string, std::string> cases[] = {
        // Table rows end with CR LF and every cell with a tab.
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}"
         "\\trowd\\cellx100\\cellx200\\pard\\intbl a\\cell b\\cell\\row"
         "\\trowd\\cellx100\\cellx200\\pard\\intbl c\\cell\\cell\\row}",
         "a\tb\t\r\nc\t\t\r\n"},
        // Paragraphs, the last one too, end with CR LF; line breaks in the file are no text.
        {"{\\rtf1 one\\par two}", "one\r\ntwo\r\n"},
        {"{\\rtf1 one\\par}", "one\r\n"},
        {"{\\rtf1 a\\line b\\tab c\\par}", "a\nb\tc\r\n"},
        {"{\\rtf1 line\r\nbreaks in the file\\par}", "linebreaks in the file\r\n"},
        // Characters of the code page and of Unicode become UTF-8.
        {"{\\rtf1\\ansi\\ansicpg1252 Estaci\\'f3n\\par}", "Estación\r\n"},
        {"{\\rtf1 caf\xe9\\par}", "café\r\n"}, // a raw byte in the code page
        {"{\\rtf1\\uc1 a\\u8212?b\\par}", "a\xE2\x80\x94"
                                          "b\r\n"},
        {"{\\rtf1\\uc1 \\u243\\'f3n\\par}", "ón\r\n"}, // \'hh as the stand-in
        // A writer that left out the stand-in: the row and cell ends survive.
        {"{\\rtf1\\uc1 a\\u243\\cell\\u243\\row}", "aó\tó\r\n"},
        // Destinations are skipped, binary data by its count, braces inside it included.
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title T}{\\author A}}{\\*\\generator G 1.0;}{\\pict\\wmetafile8 0a0b}"
         "{\\*\\unknowndest text}{\\header head\\par}body{\\b  bold}\\par}",
         "body bold\r\n"},
        {"{\\rtf1 a{\\*\\blob\\bin4 }{x}}b\\par}", "ab\r\n"},
    };
    for (const auto &[rtf, text] : cases) {
        const RtfTextResult result = RtfToText(rtf);
        EXPECT_TRUE(result.Ok) << rtf << ": " << result.Reason;
        EXPECT_EQ(result.Text, text) << rtf;
    }
}

TEST(RtfToText, BrokenDocumentsFailWithPlaceAndReason) {
    const std::pair<std::string, const char *> cases[] = {
        {"{\\rtf1 a\\par", "not closed"},
        {"plain text", "not an RTF document"},
        {"}{\\rtf1 a}", "not an RTF document"},
        {"{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "}", "nested"},
        // Truncated controls do not read past the end.
        {"{\\rtf1 \\", ""},
        {"{\\rtf1 \\'f", ""},
        {"{\\rtf1 \\bin99", ""},
    };
    for (const auto &[rtf, reason] : cases) {
        const RtfTextResult result = RtfToText(rtf);
        EXPECT_FALSE(result.Ok) << rtf.substr(0, 20);
        EXPECT_NE(result.Reason.find(reason), std::string::npos) << result.Reason;
    }
    const RtfTextResult inner = RtfToText("{\\rtf1\r\nok\\par\r\n{\\b x\\par}\r\n{\\i y\\par");
    EXPECT_FALSE(inner.Ok);
    EXPECT_EQ(inner.Line, 4); // the innermost group left open
    EXPECT_EQ(inner.Text, "ok\r\nx\r\ny\r\n");
}

} // namespace
} // namespace vialto
