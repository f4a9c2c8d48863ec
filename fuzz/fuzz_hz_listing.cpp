// Feeds arbitrary bytes to the horizontal listing reader, as a plain listing
// and as the text of a report. A failure is fine; a crash, a hang, a leak or
// undefined behaviour is not, and neither is success without elements.
#include "import/HzListing.h"
#include "shell/AppModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vialto::AppModel().SetAddOnMode(true); // no message boxes, no log file
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    for (const bool report : {false, true}) {
        vialto::HzAlignment elements;
        vialto::ListingFailure failure;
        const bool ok = report ? vialto::ReadHzReportText(text, elements, &failure, "fuzz")
                               : vialto::ReadHzPlainListing(text, elements, &failure, "fuzz");
        if (ok == (vialto::ElementCount(elements) == 0))
            std::abort();
        if (!ok && failure.Reason.empty())
            std::abort();
    }
    return 0;
}
