// The reader of the horizontal alignment listing ("Planta") in its two forms:
// the plain comma-separated form (".plt", ".txt": header "*PLT" or "*PLT1",
// then lines of chainage, X, Y, azimuth, radius, parameter) and the RTF
// report (a table with the columns chainage, length, X, Y, azimuth, radius,
// parameter).
//
// Units: lengths and coordinates in the listing's unit; the listings give
// azimuths in gon, the elements hold radians clockwise from north; a positive
// radius turns right. In both forms a row's radius and parameter belong to the
// element that ends at the row.
//
// Every alignment read ends with an end marker: an element of length 0 and
// parameter 0 at the last row's chainage, point and azimuth, with the radius
// listed there. It gives the last real element a neighbour, so that a final
// transition is evaluated towards the end point; writers skip it.
#pragma once

#include "import/ListingText.h"
#include "model/Records.h"

#include <string>
#include <string_view>

namespace vialto {

// Reads a horizontal listing: the extension "RTF" selects the report form,
// any other the plain form. Sets `name` first (the file name without folder
// and extension); `equations` is left empty. True when at least one element
// was read; otherwise false with the reason in *failure (when given). Failures
// other than a wrong header are also handed to ErrHandler with the source
// "ImportHzAligment".
bool ImportHzAligment(HzAlignment &elements, StationEquations &equations, std::string &name,
                      const std::string &path, ListingFailure *failure = nullptr);

// The same readers on text already in memory: the plain form, the RTF
// document, and the plain text of an RTF report (rows ending with CR LF,
// cells followed by tabs). `file` only names the text in failures.
bool ReadHzPlainListing(std::string_view text, HzAlignment &elements,
                        ListingFailure *failure = nullptr, std::string_view file = {});
bool ReadHzRtfListing(std::string_view rtf, HzAlignment &elements,
                      ListingFailure *failure = nullptr, std::string_view file = {});
bool ReadHzReportText(std::string_view text, HzAlignment &elements,
                      ListingFailure *failure = nullptr, std::string_view file = {});

// The linear unit a horizontal listing implies: always 0 (none), so the unit
// is left to the user's choice.
long GetLinearUnitsDefault(const std::string &path, int fileType);

// The factor from gon to radians used by every listing.
inline constexpr double kGonToRadians = 0.015707963267949;

} // namespace vialto
