// The vertical listing's entry points: the choice of the form and the
// operation's error boundary.
#include "import/VtListing.h"

#include "import/VtReaders.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"

namespace vialto {

namespace {

constexpr std::string_view kSource = "ImportVtAligment";
constexpr std::string_view kWhat = "vertical alignment listing";

bool ReadRtf(std::string_view rtf, VtAlignment &out, ListingContext &ctx) {
    return ReadVtReport(RtfReportText(rtf, ctx), out, ctx);
}

bool ReadText(std::string_view text, VtAlignment &out, ListingContext &ctx) {
    if (text.empty())
        return ctx.Decline("the file is empty");
    ListingLines lines(text);
    if (lines.Next().substr(0, 4) == "*ALZ")
        return ReadVtPlain(text, out, ctx);
    return ReadVtPrinted(text, out, ctx);
}

} // namespace

bool ReadVtTextListing(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                       std::string_view file) {
    return ReadListingText(kSource, kWhat, text, elements, failure, file, ReadText);
}

bool ReadVtPlainListing(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                        std::string_view file) {
    return ReadListingText(kSource, kWhat, text, elements, failure, file, ReadVtPlain);
}

bool ReadVtPrintedReport(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                         std::string_view file) {
    return ReadListingText(kSource, kWhat, text, elements, failure, file, ReadVtPrinted);
}

bool ReadVtRtfListing(std::string_view rtf, VtAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return ReadListingText(kSource, kWhat, rtf, elements, failure, file, ReadRtf);
}

bool ReadVtReportText(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return ReadListingText(kSource, kWhat, text, elements, failure, file, ReadVtReport);
}

bool ImportVtAligment(VtAlignment &elements, const std::string &path,
                      const std::string & /*option*/, ListingFailure *failure) {
    Trace(">> ImportVtAligment");
    const bool ok = ImportListingFile(kSource, kWhat, elements, path, failure, ReadRtf, ReadText);
    Trace("<< ImportVtAligment");
    return ok;
}

} // namespace vialto
