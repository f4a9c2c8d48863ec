// Number and text routines shared by every subsystem: the locale-independent
// number formatter used for everything written, the number readers used for
// settings, codes, XML inputs and listings, small text helpers, and the UTF-8
// conversion and XML escaping that readers and writers share.
#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// The null marker: no value, or no limit, in geometry arguments, records,
// chainage ranges and summary rows.
inline constexpr double kNullValue = -9999999.9999;

// value rounded to `decimals` decimals, "." as separator, no grouping, a
// leading zero before the point, "-" for negative values; the same whatever
// the process locale. A value that rounds to zero is written without a sign.
std::string FormatDecimals(double value, int decimals);
// The same text appended to `out`.
void AppendDecimals(std::string &out, double value, int decimals);

// The decimal number at the start of [first, last), read exactly as
// std::from_chars(first, last, value) reads it (optional "-", digits with an
// optional "." and exponent; "inf" and "nan"): the same value to the bit, the
// same end and the same error. The forms this program writes and its
// listings hold (at most 19 digits, small exponents) are read several times
// faster; the others are handed to std::from_chars.
std::from_chars_result ReadDecimal(const char *first, const char *last, double &value);
// The decimals of [first, last) separated by blanks (" ", tab, CR, LF), each
// read as ReadDecimal reads it, appended to `values` up to the first token
// that is not one finite decimal: where that token starts, or `last` when
// every token was read.
const char *ReadDecimals(const char *first, const char *last, std::vector<double> &values);

// The leading-number conversion of listings: blanks, tabs and line feeds
// anywhere are ignored; an optional sign, digits with one "." and an optional
// exponent are read up to the first character that cannot continue the
// number. "" and texts that do not begin with a number give 0. A number too
// large for a double raises run-time error 6 (overflow).
double Val(std::string_view text);

// The reader of settings, codes and XML inputs: every "," becomes "." and the
// leading number is taken (0 when there is none).
double ParseDecimal(std::string_view text);

// The text between the first `open` found from `start` (1-based) and the next
// `close` after it; "" when either is missing or nothing lies between them.
std::string ExtractText(std::string_view text, std::string_view open, std::string_view close,
                        std::size_t start = 1);

// Without leading and trailing blanks, tabs, CR and LF.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
std::string ToUpper(std::string_view text);
// Splits at every occurrence of the separator, keeping empty pieces.
std::vector<std::string> Split(std::string_view text, std::string_view separator);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);

// Appends the code point to out in UTF-8.
void AppendUtf8(std::string &out, char32_t c);
// The character of a Windows-1252 byte, the code page of the listings and of
// older editor files; the five bytes it leaves undefined give `undefined`,
// which each reader chooses.
char32_t Cp1252ToUnicode(unsigned char byte, char32_t undefined);

// A data text made fit to stand between double quotes or between tags in an
// XML document: valid UTF-8 passes unchanged (so "é" is written as 0xC3 0xA9);
// any byte that is not part of a valid UTF-8 sequence is read as Windows-1252
// and converted; "&", "<", ">" and "\"" become entities (the apostrophe is
// left as it is: attribute values stand between double quotes); tab, CR and
// LF become character references; other control characters, which XML cannot
// carry, become "?".
std::string XmlText(std::string_view text);
// The same conversion to UTF-8 without escaping, for texts that are already
// markup (a copied XML fragment) or are read rather than written.
std::string Utf8Text(std::string_view text);

} // namespace vialto
