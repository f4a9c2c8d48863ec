#include "Text.h"

#include "Error.h"

#include <clocale>
#include <gtest/gtest.h>

using namespace vialto;

TEST(FormatDecimals, FixedDecimalsWhateverTheLocale) {
    struct Case {
        double value;
        int decimals;
        const char *expected;
    };
    const Case cases[] = {
        {0.01, 3, "0.010"},
        {1234567.891, 6, "1234567.891000"},
        {-0.5, 2, "-0.50"},
        {0.0, 6, "0.000000"},
        {-0.0000001, 6, "0.000000"},
        {12.3456789, 0, "12"},
        {4500000.1234566, 6, "4500000.123457"},
        {-3.14159, 4, "-3.1416"},
        {0.25, 1, "0.2"},
    };
    for (const char *locale : {"C", "de_DE.UTF-8", "es_ES.UTF-8"}) {
        std::setlocale(LC_ALL, locale);
        for (const Case &c : cases)
            EXPECT_EQ(FormatDecimals(c.value, c.decimals), c.expected) << c.value << " " << locale;
    }
    std::setlocale(LC_ALL, "C");
}

TEST(Val, ReadsTheLeadingNumber) {
    struct Case {
        const char *text;
        double expected;
    };
    const Case cases[] = {
        {"", 0},        {"abc", 0},      {"12", 12},     {" 1 2 . 5", 12.5}, {"-3.5xyz", -3.5},
        {"+7", 7},      {"1.5e3", 1500}, {"2E-2", 0.02}, {"1e", 1},          {"1e+", 1},
        {"3.2.1", 3.2}, {"\t4\n5", 45},  {"12,5", 12},   {".5", 0.5},        {"-", 0},
        {"1D2", 100},   {"1e-400", 0},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(Val(c.text), c.expected) << '"' << c.text << '"';
}

TEST(Val, OverflowIsRuntimeError6) {
    try {
        Val("1e400");
        FAIL() << "no error";
    } catch (const VialtoError &e) {
        EXPECT_EQ(e.Info().Number, 6);
    }
}

TEST(ParseDecimal, CommaOrPoint) {
    EXPECT_DOUBLE_EQ(ParseDecimal("0,005"), 0.005);
    EXPECT_DOUBLE_EQ(ParseDecimal("0.005"), 0.005);
    EXPECT_DOUBLE_EQ(ParseDecimal("x"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDecimal("-12,25m"), -12.25);
}

TEST(ExtractText, BetweenDelimiters) {
    EXPECT_EQ(ExtractText("\"a b\"", "\"", "\"", 1), "a b");
    EXPECT_EQ(ExtractText("x\"ab\"\"cd\"", "\"", "\"", 1), "ab");
    EXPECT_EQ(ExtractText("\"ab\"\"cd\"", "\"", "\"", 4), "");
    EXPECT_EQ(ExtractText("\"ab\"\"cd\"", "\"", "\"", 5), "cd");
    EXPECT_EQ(ExtractText("\"\"", "\"", "\"", 1), "");
    EXPECT_EQ(ExtractText("\"abc", "\"", "\"", 1), "");
    EXPECT_EQ(ExtractText("abc", "\"", "\"", 1), "");
    EXPECT_EQ(ExtractText("", "\"", "\"", 1), "");
}

TEST(Split, KeepsEmptyPieces) {
    EXPECT_EQ(Split("a  b", " "), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Split("", ","), (std::vector<std::string>{""}));
}
