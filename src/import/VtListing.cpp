// The vertical listing's entry points: the choice of the form and the
// operation's error boundary.
#include "import/VtListing.h"

#include "import/VtReaders.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"

namespace vialto {

namespace {

constexpr std::string_view kSource = "ImportVtAligment";

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

template <class Reader>
bool RunVtReader(VtAlignment &elements, ListingFailure *failure, std::string_view file,
                 Reader &&read) {
    return RunElementReader(kSource, "vertical alignment listing", elements, failure, file,
                            std::forward<Reader>(read));
}

} // namespace

bool ReadVtTextListing(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                       std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadText(text, out, ctx);
    });
}

bool ReadVtPlainListing(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                        std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadVtPlain(text, out, ctx);
    });
}

bool ReadVtPrintedReport(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                         std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadVtPrinted(text, out, ctx);
    });
}

bool ReadVtRtfListing(std::string_view rtf, VtAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadRtf(rtf, out, ctx);
    });
}

bool ReadVtReportText(std::string_view text, VtAlignment &elements, ListingFailure *failure,
                      std::string_view file) {
    return RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
        return ReadVtReport(text, out, ctx);
    });
}

bool ImportVtAligment(VtAlignment &elements, const std::string &path,
                      const std::string & /*option*/, ListingFailure *failure) {
    Trace(">> ImportVtAligment");
    const std::string file = FileNameOfPath(path);
    const bool report = ListingExtension(path) == "RTF";
    const bool ok =
        RunVtReader(elements, failure, file, [&](ListingContext &ctx, VtAlignment &out) {
            const std::string bytes = ReadListingBytes(path, ctx);
            return report ? ReadRtf(bytes, out, ctx) : ReadText(bytes, out, ctx);
        });
    Trace("<< ImportVtAligment");
    return ok;
}

} // namespace vialto
