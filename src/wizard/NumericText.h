// The rules of the wizard's numeric entry boxes (tolerances, chainages): a
// key filter that lets only number characters in, and a whole-text rule that
// every change must pass, or the box goes back to its last valid text.
//
// The local separators are found as the system formats 1000 with two
// decimals and grouping: "1,000.00" gives "," for thousands and "." for
// decimals, "1.000,00" the other way round, "1000.00" no grouping.
#pragma once

#include <string>
#include <string_view>

namespace vialto {

struct NumberSeparators {
    char Decimal = '.';
    char Thousands = ','; // '\0' when the locale groups no digits
};

// The separators read from the locale's text of 1000 (see above); "." and ","
// when the text has neither shape.
NumberSeparators SeparatorsFromThousand(std::string_view formattedThousand);

// What a typed character becomes: itself for digits, "+" and "-"; either
// "," or "." becomes the local decimal separator (whichever key the user's
// habit reaches for, never a silent thousands separator: "0.5" typed with a
// decimal comma locale is 0,5, not 5); '\0' swallows anything else. Digit
// grouping is thus never typed, only accepted in a text put into the box.
char FilterNumericKey(char typed, const NumberSeparators &separators);

// The whole-text rule: only "0123456789+-,." ; a sign only first; at most one
// decimal separator; thousands separators only in the whole part, after a
// digit, with groups of exactly three digits after each; at most 15 digits
// before the decimal separator. The empty text passes.
bool IsValidNumericText(std::string_view text, const NumberSeparators &separators);

// The value of a valid text (grouping dropped); 0 for "", "-" and the like.
double NumericTextValue(std::string_view text, const NumberSeparators &separators);

// The value with `decimals` decimals in the local decimal separator, without
// grouping.
std::string FormatNumericText(double value, int decimals, const NumberSeparators &separators);

} // namespace vialto
