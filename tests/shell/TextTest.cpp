#include "shell/Text.h"

#include "shell/Error.h"

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using namespace vialto;

// The written decimals are the exact binary value correctly rounded, ties to
// even, as the standard fixed formatter gives them, whatever the locale (its
// decimal comma never reaches a document): checked on ties, on values a hair
// either side of them, and on random coordinates, offsets and heights.
TEST(Text, DecimalsAreTheCorrectlyRoundedExactValueWhateverTheLocale) {
    const auto reference = [](double value, int decimals) {
        char buffer[400];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                             std::chars_format::fixed, decimals);
        std::string text(buffer, ec == std::errc() ? end : buffer);
        if (text.size() > 1 && text[0] == '-' &&
            text.find_first_not_of("0.", 1) == std::string::npos)
            text.erase(0, 1); // no "-0.000"
        return text;
    };
    const std::pair<double, int> chosen[] = {
        {0.0078125, 6}, {-0.0078125, 6}, {0.5, 0},   {2.5, 0},        {-2.5, 0},
        {0.375, 2},     {1e15 + 0.5, 0}, {-0.0, 3},  {1e300, 6},      {5e-7, 6},
        {12.34567, 0},  {0.25, 1},       {-1e-7, 6}, {0x1p52 + 1, 1}, {4500000.1234566, 6},
    };
    std::vector<std::pair<double, int>> cases(std::begin(chosen), std::end(chosen));
    for (const double tie : {0.0078125, 1.0000005, 99999.9999995, 0.5e-6})
        for (const double side : {-1.0, 1.0})
            cases.push_back({std::nextafter(tie, side * 1e308), 6});
    for (const char *locale : {"de_DE.UTF-8", "es_ES.UTF-8"}) {
        std::setlocale(LC_ALL, locale);
        for (const auto &[value, decimals] : cases)
            EXPECT_EQ(FormatDecimals(value, decimals), reference(value, decimals)) << locale;
        EXPECT_DOUBLE_EQ(Val("1.5"), 1.5) << locale;
    }
    std::setlocale(LC_ALL, "C");
    std::mt19937_64 random(20);
    std::uniform_real_distribution<double> coordinate(-5e6, 5e6), small(-100, 100);
    for (int k = 0; k < 200000; ++k) {
        cases.push_back({coordinate(random), 6});
        cases.push_back({small(random), static_cast<int>(k % 10)});
    }
    for (const auto &[value, decimals] : cases)
        ASSERT_EQ(FormatDecimals(value, decimals), reference(value, decimals))
            << std::hexfloat << value << " " << decimals;
}

TEST(Text, ValReadsTheLeadingNumberAndParseDecimalAlsoTakesAComma) {
    const std::pair<const char *, double> cases[] = {
        {"", 0},        {"abc", 0},      {"12", 12},     {" 1 2 . 5", 12.5}, {"-3.5xyz", -3.5},
        {"+7", 7},      {"1.5e3", 1500}, {"2E-2", 0.02}, {"1e", 1},          {"1e+", 1},
        {"3.2.1", 3.2}, {"\t4\n5", 45},  {"12,5", 12},   {".5", 0.5},        {"-", 0},
        {"1D2", 100},   {"1e-400", 0},
    };
    for (const auto &[text, expected] : cases)
        EXPECT_DOUBLE_EQ(Val(text), expected) << '"' << text << '"';
    EXPECT_DOUBLE_EQ(ParseDecimal("-12,25m"), -12.25);
    EXPECT_THROW(Val("1e400"), VialtoError); // overflow
}

// ReadDecimal is std::from_chars to the bit, the end and the error: on the
// edges of its quick reading (19 digits, 2^53, powers of ten to 22, digit
// runs of 8 read at once), on what it hands over, and on random decimals,
// each alone and followed by more text; ReadDecimals reads them alike in a
// row.
TEST(Text, ReadDecimalIsFromCharsToTheBit) {
    // The hard cases, separated by "|".
    std::vector<std::string> cases =
        Split("0|-0|1|-1|0.1|0.3|-0.000000|12.345000|-19.000000|503.820000|4500000.123456|1.|"
              ".5|-.5|.|-||+1|1e|1e+|1e-|1E5|1e+05|2.5e-3x|1.e5|.e5|inf|-inf|nan|infinity|"
              "12345678|123456789|-12345678.87654321|1234567.1234567e3|9007199254740992|"
              "9007199254740993|9007199254740992.5|1234567890123456789|9999999999999999999|"
              "99999999999999999999|12345678901234567890123|0.0000000000000000000001|"
              "00000000000000000000001|1e22|1e23|1e-22|1e-23|123456789e22|4.9e-324|1e-400|"
              "1e400|1.7976931348623157e308|2.2250738585072014e-308|"
              "0.1000000000000000055511151231257827|3.14159265358979323846|1,5|12 34|"
              "7e99999999999|1e-99999999999|0e500|abc|0x10|8.9884656743115795e307",
              "|");
    // Random decimals of 0 to 12 digits either side of the point.
    std::mt19937_64 random(18);
    auto digits = [&](std::uint64_t count) {
        std::string text;
        for (std::uint64_t k = 0; k < count; ++k)
            text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int k = 0; k < 20000; ++k) {
        const std::string whole = digits(random() % 13), fraction = digits(random() % 13);
        cases.push_back((random() % 2 ? "-" : "") + whole +
                        (fraction.empty() && !whole.empty() ? "" : "." + fraction));
    }
    // ReadDecimals reads the same, token after token, and stops at a token
    // that is not one finite decimal.
    std::string joined;
    std::vector<double> expected;
    for (std::size_t k = 0; k < cases.size(); k += 97) {
        double value = 0;
        const auto [end, error] =
            std::from_chars(cases[k].data(), cases[k].data() + cases[k].size(), value);
        if (error == std::errc() && end == cases[k].data() + cases[k].size() &&
            std::isfinite(value)) {
            joined += cases[k] + (k % 2 ? " " : "\t\r\n ");
            expected.push_back(value);
        }
    }
    std::vector<double> values;
    EXPECT_EQ(ReadDecimals(joined.data(), joined.data() + joined.size(), values),
              joined.data() + joined.size());
    EXPECT_EQ(values, expected);
    const std::string stops = " 1 -2.5e1 +3 4";
    values.clear();
    EXPECT_EQ(ReadDecimals(stops.data(), stops.data() + stops.size(), values) - stops.data(), 10);
    EXPECT_EQ(values, (std::vector<double>{1, -25}));
    for (const std::string &alone : cases)
        for (const std::string &text : {alone, alone + " 123456789 123456789", alone + "<"}) {
            double ours = -7, theirs = -7;
            const char *first = text.data(), *last = first + text.size();
            const auto [ourEnd, ourError] = ReadDecimal(first, last, ours);
            const auto [theirEnd, theirError] = std::from_chars(first, last, theirs);
            ASSERT_EQ(ourError, theirError) << '"' << text << '"';
            ASSERT_EQ(ourEnd - first, theirEnd - first) << '"' << text << '"';
            ASSERT_EQ(std::bit_cast<std::uint64_t>(ours), std::bit_cast<std::uint64_t>(theirs))
                << '"' << text << '"';
        }
}

TEST(Text, XmlTextConvertsAndEscapesDataTexts) {
    // What each case is, the text, and the text written.
    const std::tuple<const char *, std::string, std::string> cases[] = {
        {"tilde stays", "a~b", "a~b"},
        {"e acute is two bytes", "Jos\xC3\xA9", "Jos\xC3\xA9"},
        {"markup characters", "a&b<c>d\"e", "a&amp;b&lt;c&gt;d&quot;e"},
        {"tab CR LF kept as references", "a\tb\r\nc", "a&#9;b&#13;&#10;c"},
        {"control characters XML cannot carry", std::string("a\x01z") + '\0', "a?z?"},
        {"lone Windows-1252 e acute", "Jos\xE9", "Jos\xC3\xA9"},
        {"Windows-1252 euro sign", "\x80", "\xE2\x82\xAC"},
        {"undefined Windows-1252 byte", "\x81", "?"},
        {"truncated sequence at the end", "a\xE2\x82", "a\xC3\xA2\xE2\x80\x9A"},
        {"encoded surrogate is refused", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"four-byte character passes", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"U+FFFF cannot be carried", "\xEF\xBF\xBF", "?"},
    };
    for (const auto &[name, in, escaped] : cases) {
        EXPECT_EQ(XmlText(in), escaped) << name;
        // The unescaped form differs only by the escapes.
        EXPECT_EQ(XmlText(Utf8Text(in)), escaped) << name;
    }
}
