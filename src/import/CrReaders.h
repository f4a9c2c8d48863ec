// The four cross-section listing readers behind ImportCrAligment, each on text
// already in memory. They raise (through the context) on bad input and
// return false for a quiet failure such as a wrong header; the caller makes
// the error boundary.
#pragma once

#include "import/ListingText.h"
#include "model/Records.h"
#include "shell/WorkSplit.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace vialto {

// The fixed layers Taludes, Cunetas, Subrasante, Rasante.
std::vector<CrSecLayer> FixedCrLayers();

// The ".trv" and ".trv2" forms, read in up to `parts` ranges at once; the set
// does not depend on `parts`.
bool ReadCrTrv(std::string_view text, CrossSectionSet &out, ListingContext &ctx,
               std::size_t parts = WorkParts());
bool ReadCrTrv2(std::string_view text, CrossSectionSet &out, ListingContext &ctx,
                std::size_t parts = WorkParts());
// The plain text of an RTF report (rows end with CR LF, cells split by tabs).
bool ReadCrReportText(std::string_view text, CrossSectionSet &out, ListingContext &ctx);
bool ReadCrPrinted(std::string_view text, CrossSectionSet &out, ListingContext &ctx);

} // namespace vialto
