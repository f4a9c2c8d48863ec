#include "shell/Text.h"

#include "shell/Error.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace vialto {

namespace {

// The fixed notation of value with `decimals` (0..9) decimals when the
// scaled value rounds without doubt: value x 10^decimals is computed with an
// error of at most one unit in its last place, so an integer nearer than
// 0.5 less that error is the correctly rounded result the general formatter
// would give. False (nothing appended) near a tie, for large or non-finite
// values, and for other decimals.
bool AppendDecimalsQuickly(std::string &out, double value, int decimals) {
    static constexpr double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals < 0 || decimals > 9 || !std::isfinite(value))
        return false;
    const double scaled = std::abs(value) * kScale[decimals];
    if (!(scaled < 0x1p52))
        return false;
    const double nearest = std::nearbyint(scaled);
    const double error = scaled * 0x1p-51; // two units in the last place, generously
    if (std::abs(scaled - nearest) >= 0.5 - error - 1e-9)
        return false;
    auto units = static_cast<unsigned long long>(nearest);
    char digits[32];
    char *end = digits + sizeof digits;
    char *at = end;
    for (int d = 0; d < decimals; ++d) {
        *--at = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if (decimals > 0)
        *--at = '.';
    do {
        *--at = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units > 0);
    // A value that rounds to zero is written without a sign.
    if (value < 0 && nearest != 0)
        out += '-';
    out.append(at, end);
    return true;
}

} // namespace

void AppendDecimals(std::string &out, double value, int decimals) {
    if (decimals < 0)
        decimals = 0;
    if (AppendDecimalsQuickly(out, value, decimals))
        return;
    char buffer[400];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc()) {
        out += '0';
        return;
    }
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    // "-0.000" is a zero: write it without the sign.
    if (text.size() > 1 && text[0] == '-' &&
        text.find_first_not_of("0.", 1) == std::string_view::npos)
        text.remove_prefix(1);
    out += text;
}

std::string FormatDecimals(double value, int decimals) {
    std::string text;
    AppendDecimals(text, value, decimals);
    return text;
}

namespace {

bool IsDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

// Eight bytes of text at a time. Their digit values come from one XOR, and
// the first byte that is no digit (over 9 then) from one addition: a carry
// out of a byte over 0x89 only disturbs the bytes after it.
std::uint64_t DigitValues(const char *p) {
    std::uint64_t bytes = 0;
    std::memcpy(&bytes, p, 8);
    return bytes ^ 0x3030303030303030u; // '0'..'9' become 0..9
}

// How many of the eight bytes lead as digits (0..8).
int LeadingDigitCount(std::uint64_t values) {
    const std::uint64_t over = ((values + 0x7676767676767676u) | values) & 0x8080808080808080u;
    return over == 0 ? 8 : std::countr_zero(over) / 8;
}

// The number the first `count` (0..7) digit values make: moved behind zeros
// (the first byte is the leading digit) and joined pairwise in three
// multiplications. Eight digits give 0.
std::uint64_t LeadingNumber(std::uint64_t values, int count) {
    std::uint64_t v = values << (8 * (7 - (count & 7))) << 8;
    v = (v * (10 * 256 + 1)) >> 8;
    v = ((v & 0x00FF00FF00FF00FFu) * (100 * 65536 + 1)) >> 16;
    return ((v & 0x0000FFFF0000FFFFu) * (10000ull * (1ull << 32) + 1)) >> 32;
}

constexpr std::uint64_t kIntegerTens[] = {1,      10,      100,      1000,     10000,
                                          100000, 1000000, 10000000, 100000000};

// The powers of ten a double holds exactly.
constexpr double kExactTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A mantissa of at most 2^53 and a power of ten of at most 22 are both exact
// doubles, so one multiplication or division rounds them as the full
// conversion does: a decimal of at most 19 digits with such a power is read
// here, anything else is handed to std::from_chars.
[[gnu::noinline]] std::from_chars_result ReadAnyDecimal(const char *first, const char *last,
                                                        double &value) {
    const char *p = first;
    const bool negative = p != last && *p == '-';
    p += negative;
    std::uint64_t mantissa = 0; // wraps beyond 19 digits, which are refused
    const char *const whole = p;
    for (; p != last && IsDigit(*p); ++p)
        mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
    long digits = p - whole, fraction = 0;
    if (p != last && *p == '.') {
        const char *const decimals = ++p;
        for (; p != last && IsDigit(*p); ++p)
            mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
        fraction = p - decimals;
        digits += fraction;
    }
    if (digits == 0 || digits > 19 || mantissa > (std::uint64_t{1} << 53))
        return std::from_chars(first, last, value);
    long exponent = 0;
    if (p != last && (*p == 'e' || *p == 'E')) {
        // Without digits after it, the "e" is not part of the number.
        const char *q = p + 1;
        const bool below = q != last && *q == '-';
        q += q != last && (*q == '-' || *q == '+');
        if (q != last && IsDigit(*q)) {
            for (; q != last && IsDigit(*q); ++q)
                exponent = std::min(exponent * 10 + (*q - '0'), 100000L);
            exponent = below ? -exponent : exponent;
            p = q;
        }
    }
    const long power = exponent - fraction;
    if (power < -22 || power > 22)
        return std::from_chars(first, last, value);
    const double m = static_cast<double>(mantissa);
    const double v = power < 0 ? m / kExactTens[-power] : m * kExactTens[power];
    value = negative ? -v : v;
    return {p, std::errc()};
}

} // namespace

namespace {

// The form this program writes, [-]digits[.digits] with at most 7 digits
// either side, read eight bytes at a time from a text at least 17 bytes
// long (a sign, 8 bytes, and 8 bytes after a point); false, with nothing
// read, for any other form.
inline bool ReadWrittenDecimal(const char *first, double &value, const char *&end) {
    if constexpr (std::endian::native == std::endian::little) {
        const bool negative = *first == '-';
        const char *const p = first + negative;
        const std::uint64_t head = DigitValues(p);
        const int whole = LeadingDigitCount(head);
        const char after = static_cast<char>((head >> (8 * (whole & 7))) ^ 0x30);
        std::uint64_t mantissa = LeadingNumber(head, whole);
        int fraction = 0;
        const char *stop = p + whole;
        if (after == '.') {
            const std::uint64_t tail = DigitValues(stop + 1);
            fraction = LeadingDigitCount(tail);
            mantissa = mantissa * kIntegerTens[fraction] + LeadingNumber(tail, fraction);
            stop += 1 + fraction;
        }
        if (whole < 8 && fraction < 8 && whole + fraction > 0 && *stop != 'e' && *stop != 'E') {
            const double v = static_cast<double>(mantissa) / kExactTens[fraction];
            value = negative ? -v : v;
            end = stop;
            return true;
        }
    }
    return false;
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

} // namespace

std::from_chars_result ReadDecimal(const char *first, const char *last, double &value) {
    const char *end = nullptr;
    if (last - first >= 17 && ReadWrittenDecimal(first, value, end))
        return {end, std::errc()};
    return ReadAnyDecimal(first, last, value);
}

const char *ReadDecimals(const char *first, const char *last, std::vector<double> &values) {
    const char *p = first;
    while (true) {
        while (p != last && IsBlankByte(*p))
            ++p;
        if (p == last)
            return last;
        double value = 0;
        const char *end = nullptr;
        if (last - p < 17 || !ReadWrittenDecimal(p, value, end)) {
            const auto [after, error] = ReadAnyDecimal(p, last, value);
            if (error != std::errc() || !std::isfinite(value))
                return p;
            end = after;
        }
        if (end != last && !IsBlankByte(*end))
            return p;
        values.push_back(value);
        p = end;
    }
}

double Val(std::string_view text) {
    std::string number;
    number.reserve(text.size());
    bool digits = false, point = false, exponent = false, expDigits = false;
    std::size_t expStart = 0;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
            continue;
        const bool isDigit = c >= '0' && c <= '9';
        if (number.empty() && (c == '+' || c == '-')) {
            number += c;
        } else if (isDigit) {
            number += c;
            (exponent ? expDigits : digits) = true;
        } else if (c == '.' && !point && !exponent) {
            number += c;
            point = true;
        } else if ((c == 'e' || c == 'E' || c == 'd' || c == 'D') && digits && !exponent) {
            expStart = number.size();
            number += 'e';
            exponent = true;
        } else if ((c == '+' || c == '-') && exponent && number.size() == expStart + 1) {
            number += c;
        } else {
            break;
        }
    }
    if (exponent && !expDigits)
        number.resize(expStart);
    if (!digits)
        return 0.0;
    // from_chars reads "." whatever the locale; it takes no leading "+".
    const char *first = number.c_str();
    if (*first == '+')
        ++first;
    double value = 0.0;
    const auto [end, ec] = ReadDecimal(first, number.c_str() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range) {
        // Too small reads as 0, as the classic conversion did; too large is an overflow.
        const bool negativeExponent = exponent && number.find("e-") != std::string::npos;
        if (negativeExponent)
            return 0.0;
        RaiseRuntime(errOverflow, std::string(text.substr(0, 40)));
    }
    if (std::isinf(value))
        RaiseRuntime(errOverflow, std::string(text.substr(0, 40)));
    return value;
}

double ParseDecimal(std::string_view text) { return Val(ReplaceAll(std::string(text), ",", ".")); }

std::string ExtractText(std::string_view text, std::string_view open, std::string_view close,
                        std::size_t start) {
    if (start < 1 || start > text.size())
        return {};
    const std::size_t from = text.find(open, start - 1);
    if (from == std::string_view::npos)
        return {};
    const std::size_t inner = from + open.size();
    const std::size_t to = text.find(close, inner);
    if (to == std::string_view::npos || to == inner)
        return {};
    return std::string(text.substr(inner, to - inner));
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
} // namespace

std::string TrimLeft(std::string_view text) {
    std::size_t b = 0;
    while (b < text.size() && IsBlank(text[b]))
        ++b;
    return std::string(text.substr(b));
}

std::string TrimRight(std::string_view text) {
    std::size_t e = text.size();
    while (e > 0 && IsBlank(text[e - 1]))
        --e;
    return std::string(text.substr(0, e));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
    std::vector<std::string> parts;
    if (separator.empty()) {
        parts.emplace_back(text);
        return parts;
    }
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, from)) {
        parts.emplace_back(text.substr(from, at - from));
        from = at + separator.size();
    }
    parts.emplace_back(text.substr(from));
    return parts;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    if (from.empty())
        return text;
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void AppendUtf8(std::string &out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t Cp1252ToUnicode(unsigned char byte, char32_t undefined) {
    // Bytes 0x80..0x9F; 0 marks the five the code page does not define.
    static constexpr char32_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const char32_t c = kHigh[byte - 0x80];
    return c != 0 ? c : undefined;
}

namespace {

// Decodes one character at text[i]; advances i. A byte that does not start a
// valid, shortest-form UTF-8 sequence is one Windows-1252 character; 0 stands
// for a byte that code page does not define.
char32_t NextChar(std::string_view text, std::size_t &i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    std::size_t length = 0;
    char32_t c = 0, minimum = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, c = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, c = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, c = b0 & 0x07, minimum = 0x10000;
    }
    bool valid = length > 0 && i + length <= text.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            valid = false;
        else
            c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (valid && c >= minimum && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF)) {
        i += length;
        return c;
    }
    ++i;
    return Cp1252ToUnicode(b0, 0);
}

// Characters XML 1.0 cannot carry at all, even as references.
bool IsXmlChar(char32_t c) {
    if (c == 0x9 || c == 0xA || c == 0xD)
        return true;
    if (c < 0x20 || c == 0)
        return false;
    return !(c == 0xFFFE || c == 0xFFFF);
}

// True when every byte is printable ASCII that needs no entity, so the
// conversion would give the text back unchanged.
bool PassesUnchanged(std::string_view text, bool escape) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F)
            return false;
        if (escape && (c == '&' || c == '<' || c == '>' || c == '"'))
            return false;
    }
    return true;
}

std::string Convert(std::string_view text, bool escape) {
    if (PassesUnchanged(text, escape))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size();) {
        const char32_t c = NextChar(text, i);
        if (!IsXmlChar(c)) {
            out += '?';
            continue;
        }
        if (escape) {
            switch (c) {
            case '&':
                out += "&amp;";
                continue;
            case '<':
                out += "&lt;";
                continue;
            case '>':
                out += "&gt;";
                continue;
            case '"':
                out += "&quot;";
                continue;
            // Attribute values would fold these into blanks.
            case '\t':
                out += "&#9;";
                continue;
            case '\n':
                out += "&#10;";
                continue;
            case '\r':
                out += "&#13;";
                continue;
            default:
                break;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

} // namespace

std::string XmlText(std::string_view text) { return Convert(text, true); }

std::string Utf8Text(std::string_view text) { return Convert(text, false); }

} // namespace vialto
