// The text routines of the listing readers: chainage notation and decimal
// marks; the RTF reader: the text shape the report readers rely on, characters
// in the ANSI code page and in Unicode, skipped destinations, and broken files.
#include "import/ListingText.h"
#include "import/RtfText.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace vialto {
namespace {

TEST(ListingText, ParseChainageReadsTheDesignProgramsNotation) {
    // Kilometres "+" metres: the kilometres count 10^d where d is the number
    // of digits after the mark up to the "."; inside "-" subtracts the rest;
    // a leading sign is the sign; without a mark the whole text is a number.
    const std::pair<const char *, double> cases[] = {
        {"1+234.567", 1234.567}, {"0+020", 20.0},   {"  12+340.000  ", 12340.0},
        {"+1+000.5", 1000.5},    {"-0+010", -10.0}, {"1+5", 15.0},
        {"1+05", 105.0},         {"2-005", 1995.0}, {"1234.5", 1234.5},
        {"-12.5", -12.5},        {"", 0.0},         {"abc", 0.0},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_NEAR(ParseChainage(text), expected, 1e-9) << text;
    // Huge digit runs are an error, not infinity.
    EXPECT_THROW(ParseChainage("1+" + std::string(400, '0')), VialtoError);
}

TEST(ListingText, LinesEndWithCrLfLfOrCr) {
    const struct {
        const char *Text;
        std::vector<std::string_view> Lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\rc", {"a", "b", "c"}}, // CR endings with no LF anywhere
        {"a\rb\nc\r\n\r\nd", {"a", "b", "c", "", "d"}},
        {"\n\n", {"", ""}},
        {"a\n\rb\n", {"a", "", "b"}}, // LF then a lone CR: an empty line
        {"", {}},
    };
    for (const auto &c : cases) {
        ListingLines lines(c.Text);
        std::vector<std::string_view> read;
        while (!lines.AtEnd())
            read.push_back(lines.Next());
        EXPECT_EQ(read, c.Lines) << c.Text;
        EXPECT_EQ(lines.LineNumber(), static_cast<long>(c.Lines.size())) << c.Text;
    }
}

TEST(ListingText, NormalizeDecimalHandlesCommasAndThousands) {
    const char *const cases[][2] = {
        {"1.234,56", "1234.56"},
        {"1,234.56", "1234.56"},
        {"12,5", "12.5"},
        {"4.501.234,567", "4501234.567"},
        {"1,234,567.8", "1234567.8"},
        {"12+345,678", "12+345.678"},
        {"INFINITO", "INFINITO"},
    };
    for (const auto &[text, expected] : cases) {
        std::string normalized = text;
        NormalizeDecimal(normalized);
        EXPECT_EQ(normalized, expected) << text;
    }
}

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
        {"{\\rtf1\\uc1 a\\u8212?b\\par}", "a—b\r\n"},
        {"{\\rtf1\\uc1 \\u243\\'f3n\\par}", "ón\r\n"}, // \'hh as the stand-in
        // A writer that left out the stand-in: the row and cell ends survive.
        {"{\\rtf1\\uc1 a\\u243\\cell\\u243\\row}", "aó\tó\r\n"},
        // Destinations are skipped, binary data by its count, braces inside it included.
        {"{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{\\s0 Normal;}}"
         "{\\info{\\title T}{\\author A}}{\\*\\generator G 1.0;}{\\pict\\wmetafile8 0a0b}"
         "{\\*\\unknowndest text}{\\header head\\par}body{\\b  bold}\\par}",
         "body bold\r\n"},
        {"{\\rtf1 a{\\*\\blob\\bin4 }{x}}b\\par}", "ab\r\n"},
        // Inside a table the paragraphs, line breaks and tabs of a cell stay in
        // it, joined by a blank; a cell's last paragraph mark adds nothing.
        {"{\\rtf1 T\\par\\trowd{{\\pard\\intbl a\\par}{\\pard\\intbl b\\par}\\cell}"
         "{{\\pard\\intbl c\\par}\\cell}{\\cell}\\intbl\\row\\pard End\\par}",
         "T\r\na b\tc\t\t\r\nEnd\r\n"},
        {"{\\rtf1\\trowd\\pard\\plain\\intbl x\\line y\\tab z\\par\\pard\\plain\\intbl\\par"
         "\\pard\\plain\\intbl w\\cell\\row}",
         "x y z w\t\r\n"},
        {"{\\rtf1\\itap1 a\\par b\\cell\\row\\itap0 c\\par}", "a b\t\r\nc\r\n"},
        // A frame's text is read where it stands; shape properties and the
        // fallback for readers without shapes are not.
        {"{\\rtf1 a\\par{\\shp{\\*\\shpinst{\\sp{\\sn wzName}{\\sv Frame1}}{\\shptxt "
         "\\pard\\intbl f\\cell\\row}}{\\shprslt old}}\\pard b\\par}",
         "a\r\nf\t\r\nb\r\n"},
        // The only carriage returns are those that end rows.
        {"{\\rtf1 a\\'0db\\u13?c\\par}", "a\nb\nc\r\n"},
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
