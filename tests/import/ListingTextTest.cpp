// The text routines of the listing readers: chainage notation, decimal marks,
// the numeric-cell test, the row cutter of report text and the line reader.
#include "ListingText.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

struct ChainageCase {
    const char *Text;
    double Expected;
};

TEST(ParseChainageTest, ReadsTheDesignProgramsNotation) {
    const ChainageCase cases[] = {
        {"1+234.567", 1234.567}, // km + metres with decimals
        {"0+020", 20.0},         // no decimals: the digits after "+" count
        {"12+345.678", 12345.678},
        {"  12+340.000  ", 12340.0}, // trimmed
        {"+1+000.5", 1000.5},        // a leading "+" is skipped
        {"-0+010", -10.0},           // a leading "-" is the sign
        {"1+5", 15.0},               // one digit after "+": tens
        {"1+05", 105.0},
        {"2-005", 1995.0},  // "-" inside: km times 10^d minus the rest
        {"1234.5", 1234.5}, // no mark: the whole text
        {"-12.5", -12.5},
        {"", 0.0},
        {"abc", 0.0},
        {"0+000.000", 0.0},
    };
    for (const ChainageCase &c : cases)
        EXPECT_NEAR(ParseChainage(c.Text), c.Expected, 1e-9) << c.Text;
}

TEST(ParseChainageTest, HugeDigitRunsAreAnErrorNotInfinity) {
    EXPECT_THROW(ParseChainage("1+" + std::string(400, '0')), VialtoError);
}

struct NormalizeCase {
    const char *Text;
    const char *Expected;
};

TEST(NormalizeDecimalTest, DecimalCommasAndThousands) {
    const NormalizeCase cases[] = {
        {"1.234,56", "1234.56"},
        {"1,234.56", "1234.56"},
        {"12,5", "12.5"},
        {"12.5", "12.5"},
        {"1234", "1234"},
        {"", ""},
        {"512.345,678", "512345.678"},
        {"4.501.234,567", "4501234.567"},
        {"1,234,567.8", "1234567.8"},
        {"-12.000,000", "-12000.000"},
        {"12+345,678", "12+345.678"},
        {"INFINITO", "INFINITO"},
    };
    for (const NormalizeCase &c : cases) {
        std::string text = c.Text;
        NormalizeDecimal(text);
        EXPECT_EQ(text, c.Expected) << c.Text;
    }
}

TEST(IsNumericTextTest, DigitsAndMarksOnly) {
    for (const char *yes : {"12+345,678", " 0 ", "-1.5", "1,2.3", "+5"})
        EXPECT_TRUE(IsNumericText(yes)) << yes;
    for (const char *no : {"", "  ", "+-.,", "Estación", "12a", "1 2", "1e5", "INFINITO"})
        EXPECT_FALSE(IsNumericText(no)) << no;
}

TEST(IsPlainNumberTest, OneWholeNumber) {
    for (const char *yes : {"0", "-1.5", " 12340.000 ", ".5", "5.", "1e-3", "+2E+10"})
        EXPECT_TRUE(IsPlainNumber(yes)) << yes;
    for (const char *no : {"", ".", "-", "1e", "12+340", "1.2.3", "1,5", "12 3", "0x10", "nan"})
        EXPECT_FALSE(IsPlainNumber(no)) << no;
}

TEST(NextTextLineTest, RowsCarryThePreviousRowsEnding) {
    const std::string text = "a\tb\t\r\nc\t\r\nd\r\n";
    std::size_t position = 1;
    bool atEnd = false;
    EXPECT_EQ(NextTextLine(text, position, atEnd), "a\tb\t");
    EXPECT_FALSE(atEnd);
    EXPECT_EQ(NextTextLine(text, position, atEnd), "\r\nc\t");
    EXPECT_EQ(NextTextLine(text, position, atEnd), "\r\nd");
    EXPECT_FALSE(atEnd);
    EXPECT_EQ(NextTextLine(text, position, atEnd), "");
    EXPECT_TRUE(atEnd);
}

TEST(NextTextLineTest, ARowWithoutItsEndingIsNotRead) {
    for (const std::string text : {"row", "row\r", "", "x"}) {
        std::size_t position = 1;
        bool atEnd = false;
        EXPECT_EQ(NextTextLine(text, position, atEnd), "") << text;
        EXPECT_TRUE(atEnd) << text;
    }
    const std::string text = "one\r\ntwo";
    std::size_t position = 1;
    bool atEnd = false;
    EXPECT_EQ(NextTextLine(text, position, atEnd), "one");
    NextTextLine(text, position, atEnd);
    EXPECT_TRUE(atEnd);
}

TEST(ListingLinesTest, AnyLineEndingAndNoFinalEnding) {
    ListingLines lines("a\r\nb\nc\rd");
    std::vector<std::string> read;
    while (!lines.AtEnd())
        read.emplace_back(lines.Next());
    EXPECT_EQ(read, (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(lines.LineNumber(), 4);

    ListingLines blank("x\r\n\r\n");
    EXPECT_EQ(blank.Next(), "x");
    EXPECT_EQ(blank.Next(), "");
    EXPECT_TRUE(blank.AtEnd());
}

TEST(SplitTest, FieldsDropEmptiesCellsKeepThem) {
    EXPECT_EQ(SplitFields("1,,2,3,,", ',', 6), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(SplitFields("1,2,3,4", ',', 2), (std::vector<std::string>{"1", "2"}));
    EXPECT_TRUE(SplitFields("", ',', 6).empty());
    EXPECT_EQ(SplitCells("a\t\tb\t", 15), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(SplitCells("a\tb\tc", 2), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitCells("", 15), (std::vector<std::string>{""}));
}

TEST(ListingNameTest, NameAndExtension) {
    EXPECT_EQ(ListingName("C:\\obra\\eje 1.planta.plt"), "eje 1.planta");
    EXPECT_EQ(ListingName("/tmp/road.rtf"), "road");
    EXPECT_EQ(ListingName("noext"), "noext");
    EXPECT_EQ(ListingExtension("/tmp/road.Rtf"), "RTF");
    EXPECT_EQ(ListingExtension("noext"), "");
}

TEST(ListingFailureTest, TextNamesFileAndLine) {
    EXPECT_EQ((ListingFailure{"a.plt", 3, "expected six numbers"}).Text(),
              "a.plt, line 3: expected six numbers");
    EXPECT_EQ((ListingFailure{"a.plt", 0, "the file is empty"}).Text(), "a.plt: the file is empty");
}

} // namespace
} // namespace vialto
