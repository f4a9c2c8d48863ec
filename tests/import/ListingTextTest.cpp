// The text routines of the listing readers: chainage notation, decimal marks,
// the numeric-cell tests, the row cutter of report text and the line reader.
#include "ListingText.h"

#include <gtest/gtest.h>

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

TEST(ListingText, NormalizeDecimalHandlesCommasAndThousands) {
    const char *const cases[][2] = {
        {"1.234,56", "1234.56"},
        {"1,234.56", "1234.56"},
        {"12,5", "12.5"},
        {"12.5", "12.5"},
        {"1234", "1234"},
        {"", ""},
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

TEST(ListingText, NumericCellsAndPlainNumbers) {
    for (const char *yes : {"12+345,678", " 0 ", "-1.5", "1,2.3", "+5"})
        EXPECT_TRUE(IsNumericText(yes)) << yes;
    for (const char *no : {"", "  ", "+-.,", "Estación", "12a", "1 2", "1e5", "INFINITO"})
        EXPECT_FALSE(IsNumericText(no)) << no;
    for (const char *yes : {"0", "-1.5", " 12340.000 ", ".5", "5.", "1e-3", "+2E+10"})
        EXPECT_TRUE(IsPlainNumber(yes)) << yes;
    for (const char *no : {"", ".", "-", "1e", "12+340", "1.2.3", "1,5", "12 3", "0x10", "nan"})
        EXPECT_FALSE(IsPlainNumber(no)) << no;
}

TEST(ListingText, NextTextLineCarriesThePreviousRowsEndingAndNeverReadsAnUnendedRow) {
    const std::string text = "a\tb\t\r\nc\t\r\nd\r\n";
    std::size_t position = 1;
    bool atEnd = false;
    EXPECT_EQ(NextTextLine(text, position, atEnd), "a\tb\t");
    EXPECT_EQ(NextTextLine(text, position, atEnd), "\r\nc\t");
    EXPECT_EQ(NextTextLine(text, position, atEnd), "\r\nd");
    EXPECT_FALSE(atEnd);
    EXPECT_EQ(NextTextLine(text, position, atEnd), "");
    EXPECT_TRUE(atEnd);
    for (const std::string unended : {"row", "row\r", "", "x", "one\r\ntwo"}) {
        position = 1;
        atEnd = false;
        std::string last;
        for (int k = 0; k < 3 && !atEnd; ++k)
            last = NextTextLine(unended, position, atEnd);
        EXPECT_EQ(last, "") << unended;
        EXPECT_TRUE(atEnd) << unended;
    }
}

TEST(ListingText, LinesFieldsCellsAndNames) {
    ListingLines lines("a\r\nb\nc\rd\r\n\r\n");
    std::vector<std::string> read;
    while (!lines.AtEnd())
        read.emplace_back(lines.Next());
    EXPECT_EQ(read, (std::vector<std::string>{"a", "b", "c", "d", ""}));
    EXPECT_EQ(lines.LineNumber(), 5);
    // Fields drop empties, cells keep them; both stop at their maximum.
    EXPECT_EQ(SplitFields("1,,2,3,,4", ',', 3), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(SplitCells("a\t\tb\t", 15), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitCells("a\tb\tc", 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(ListingName("C:\\obra\\eje 1.planta.plt"), "eje 1.planta");
    EXPECT_EQ(ListingName("noext"), "noext");
    EXPECT_EQ(ListingExtension("/tmp/road.Rtf"), "RTF");
    EXPECT_EQ(ListingExtension("noext"), "");
    EXPECT_EQ((ListingFailure{"a.plt", 3, "expected six numbers"}).Text(),
              "a.plt, line 3: expected six numbers");
}

} // namespace
} // namespace vialto
