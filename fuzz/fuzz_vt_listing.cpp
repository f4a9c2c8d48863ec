// Feeds arbitrary bytes to the vertical listing reader: as a text listing
// (plain or printed, chosen by the first line) and as the text of a report.
#include "import/VtListing.h"
#include "shell/AppModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vialto::AppModel().SetAddOnMode(true); // no message boxes, no log file
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const bool report : {false, true}) {
        vialto::VtAlignment elements;
        vialto::ListingFailure failure;
        const bool ok = report ? vialto::ReadVtReportText(text, elements, &failure, "fuzz")
                               : vialto::ReadVtTextListing(text, elements, &failure, "fuzz");
        if (ok == (vialto::ElementCount(elements) == 0))
            std::abort();
        if (!ok && failure.Reason.empty())
            std::abort();
    }
    return 0;
}
