// Feeds arbitrary bytes to the RTF reader and to the two report readers that
// use it. The text must keep its promised shape: valid UTF-8 of a document
// that was read, ending with CR LF whenever it is not empty.
#include "import/HzListing.h"
#include "import/RtfText.h"
#include "import/VtListing.h"
#include "shell/AppModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool IsUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80         ? 1
                              : (c >> 5) == 6  ? 2
                              : (c >> 4) == 14 ? 3
                              : (c >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > s.size())
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2)
                return false;
        i += n;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    vialto::AppModel().SetAddOnMode(true); // no message boxes, no log file
    const std::string_view rtf(reinterpret_cast<const char *>(data), size);
    const vialto::RtfTextResult text = vialto::RtfToText(rtf);
    if (!IsUtf8(text.Text))
        std::abort();
    if (text.Ok && !text.Text.empty() && text.Text.substr(text.Text.size() - 2) != "\r\n")
        std::abort();
    if (!text.Ok && (text.Reason.empty() || text.Offset > size))
        std::abort();
    vialto::HzAlignment hz;
    vialto::ReadHzRtfListing(rtf, hz);
    vialto::VtAlignment vt;
    vialto::ReadVtRtfListing(rtf, vt);
    return 0;
}
