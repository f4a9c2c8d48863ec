// The reader of the typical cross-section listing ("Sección Tipo") in its four
// forms, which fills a CrossSectionSet with one station per listed chainage
// and one surface per layer that has points there:
//   ".trv"  point-code form: "*TRV" header, sections of "chainage,count" then
//           "offset,height,code" lines; the code's family chooses the layer
//           among Taludes, Cunetas, Subrasante, Rasante;
//   ".trv2" layer-name form: the same framing; the code's keyword names the
//           layer (see PointCodes.h);
//   ".rtf"  report form: "Estación" rows, then table rows of offset/height
//           pairs for Taludes, Rasante and Subrasante;
//   other   printed-report form: "P.K." blocks with a "=====" column rule.
//
// Offsets are signed distances from the axis, positive to the right; heights
// and chainages in the listing's unit.
//
// Failures: false, with the file, line and reason in *failure when given. A
// wrong header is a quiet failure; any other (a missing file, a truncated
// section, an unreadable number) is also handed to ErrHandler with the source
// "ImportCrAligment".
#pragma once

#include "import/ListingText.h"
#include "model/Records.h"
#include "shell/WorkSplit.h"

#include <string>
#include <string_view>
#include <vector>

namespace vialto {

// Reads the listing at path; the form is chosen by the extension and, for
// ".trv", by the first line. `option` is not used. True when at least one
// cross section was read; the set is replaced only then (cleared otherwise).
bool ImportCrAligment(CrossSectionSet &set, const std::string &path, const std::string &option = {},
                      ListingFailure *failure = nullptr);

// The same on bytes already in memory; `extension` is upper-case without
// the dot ("TRV", "TRV2", "RTF", anything else); `file` only names the text
// in failures. The ".trv" forms are read in up to `parts` ranges at once;
// the set does not depend on `parts`.
bool ReadCrListing(std::string_view bytes, std::string_view extension, CrossSectionSet &set,
                   ListingFailure *failure = nullptr, std::string_view file = {},
                   std::size_t parts = WorkParts());

} // namespace vialto
