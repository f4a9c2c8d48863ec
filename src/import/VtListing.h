// The reader of the vertical alignment listing ("Alzado") in its three forms:
// the plain comma-separated vertex list (".alz": header "*ALZ" or "*ALZ1",
// then lines "chainage, value+letter, value+letter"), the printed report (a
// text file of printed pages with form feeds and repeated page headers), and
// the RTF report (a table of three rows per vertex). The reports' data is
// found by its content: titles, page headers, repeated headings, notes and
// footers are passed over.
//
// Units: chainages, lengths and heights in the listing's unit; the listings
// give grades in percent, the elements hold fractions; a curve parameter (Kv)
// is negative for a crest (grade decreasing) and positive for a sag.
//
// Plain-form letters: after a height value "C" (cota, a height) or "P"
// (pendiente, a grade in percent from the previous vertex); after a curve
// value "T" (tangent length), "F" (external ordinate) or "R" (Kv itself).
#pragma once

#include "import/ListingText.h"
#include "model/Records.h"

#include <string>
#include <string_view>

namespace vialto {

// Reads a vertical listing: the extension "RTF" selects the report form; any
// other file is read as text, in the plain form when its first line begins
// with "*ALZ", else as a printed report. The option is not used. True when at
// least one element was read; otherwise false with the reason in *failure
// (when given); failures other than a wrong header are also handed to
// ErrHandler with the source "ImportVtAligment".
bool ImportVtAligment(VtAlignment &elements, const std::string &path, const std::string &option,
                      ListingFailure *failure = nullptr);

// The same readers on text already in memory. ReadVtTextListing chooses the
// plain or the printed form as ImportVtAligment does for a text file.
bool ReadVtTextListing(std::string_view text, VtAlignment &elements,
                       ListingFailure *failure = nullptr, std::string_view file = {});
bool ReadVtPlainListing(std::string_view text, VtAlignment &elements,
                        ListingFailure *failure = nullptr, std::string_view file = {});
bool ReadVtPrintedReport(std::string_view text, VtAlignment &elements,
                         ListingFailure *failure = nullptr, std::string_view file = {});
bool ReadVtRtfListing(std::string_view rtf, VtAlignment &elements,
                      ListingFailure *failure = nullptr, std::string_view file = {});
bool ReadVtReportText(std::string_view text, VtAlignment &elements,
                      ListingFailure *failure = nullptr, std::string_view file = {});

} // namespace vialto
