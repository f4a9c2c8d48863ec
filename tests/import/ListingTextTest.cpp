// The text routines of the listing readers: chainage notation and decimal marks.
#include "import/ListingText.h"

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

} // namespace
} // namespace vialto
