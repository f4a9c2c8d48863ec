// The three vertical listing readers behind ImportVtAligment, each on text
// already in memory. They raise (through the context) on bad input and
// return false for a quiet failure such as a wrong header; the caller makes
// the error boundary.
#pragma once

#include "import/ListingText.h"
#include "model/Records.h"

#include <string_view>

namespace vialto {

// The plain vertex list (".alz"), converted into progressive elements.
bool ReadVtPlain(std::string_view text, VtAlignment &out, ListingContext &ctx);
// The printed report: a text file of printed pages.
bool ReadVtPrinted(std::string_view text, VtAlignment &out, ListingContext &ctx);
// The plain text of an RTF report (rows end with CR LF, cells split by tabs).
bool ReadVtReport(std::string_view text, VtAlignment &out, ListingContext &ctx);

} // namespace vialto
