#include "wizard/NumericText.h"

#include "shell/Text.h"

#include <cctype>

namespace vialto {

namespace {

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// No length or chainage has this many digits; the value always fits a double.
constexpr int kMaxWholeDigits = 15;

} // namespace

NumberSeparators SeparatorsFromThousand(std::string_view formatted) {
    // "1,000.00": the second character groups, the sixth is the decimal one.
    if (formatted.size() == 8 && !IsDigit(formatted[1]) && !IsDigit(formatted[5]) &&
        formatted[1] != formatted[5])
        return {formatted[5], formatted[1]};
    // "1000.00": no grouping.
    if (formatted.size() == 7 && !IsDigit(formatted[4]))
        return {formatted[4], '\0'};
    return {};
}

char FilterNumericKey(char typed, const NumberSeparators &separators) {
    if (typed == ',' || typed == '.')
        return separators.Decimal;
    if (IsDigit(typed) || typed == '+' || typed == '-')
        return typed;
    return '\0';
}

bool IsValidNumericText(std::string_view text, const NumberSeparators &separators) {
    bool decimalSeen = false;
    int digitsInGroup = 0; // digits since the start or the last thousands separator
    bool grouped = false;  // a thousands separator was seen
    bool anyDigit = false;
    int wholeDigits = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+' || c == '-') {
            if (i != 0)
                return false;
        } else if (IsDigit(c)) {
            anyDigit = true;
            ++digitsInGroup;
            if (!decimalSeen && ++wholeDigits > kMaxWholeDigits)
                return false;
            if (!decimalSeen && grouped && digitsInGroup > 3)
                return false;
        } else if (c == separators.Decimal) {
            if (decimalSeen || (grouped && digitsInGroup != 3))
                return false;
            decimalSeen = true;
        } else if (separators.Thousands != '\0' && c == separators.Thousands) {
            if (decimalSeen || !anyDigit || (grouped ? digitsInGroup != 3 : digitsInGroup == 0))
                return false;
            grouped = true;
            digitsInGroup = 0;
        } else {
            return false;
        }
    }
    return !grouped || decimalSeen || digitsInGroup == 3;
}

double NumericTextValue(std::string_view text, const NumberSeparators &separators) {
    std::string plain;
    for (const char c : text) {
        if (separators.Thousands != '\0' && c == separators.Thousands)
            continue;
        plain += c == separators.Decimal ? '.' : c;
    }
    return Val(plain);
}

std::string FormatNumericText(double value, int decimals, const NumberSeparators &separators) {
    std::string text = FormatDecimals(value, decimals);
    for (char &c : text)
        if (c == '.')
            c = separators.Decimal;
    return text;
}

} // namespace vialto
