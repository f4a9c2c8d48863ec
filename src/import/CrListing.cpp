#include "import/CrListing.h"

#include "import/CrReaders.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

namespace vialto {

namespace {

constexpr std::string_view kSource = "ImportCrAligment";

// The form of a text listing: "*TRV" files named ".trv" are the point-code
// form, ".trv2" files the layer-name form, anything else a printed report.
bool ReadTextForms(std::string_view text, std::string_view extension, CrossSectionSet &out,
                   ListingContext &ctx, std::size_t parts) {
    if (text.empty())
        return ctx.Decline("the file is empty");
    ListingLines lines(text);
    const std::string_view first = lines.Next();
    if (first.substr(0, 4) == "*TRV" && extension == "TRV")
        return ReadCrTrv(text, out, ctx, parts);
    if (extension == "TRV2")
        return ReadCrTrv2(text, out, ctx, parts);
    return ReadCrPrinted(text, out, ctx);
}

bool ReadRtf(std::string_view rtf, CrossSectionSet &out, ListingContext &ctx) {
    return ReadCrReportText(RtfReportText(rtf, ctx), out, ctx);
}

// Runs one reader at the operation's error boundary; the set is replaced only
// when the reader produced at least one cross section.
template <class Reader>
bool RunCrReader(CrossSectionSet &set, ListingFailure *failure, std::string_view file,
                 Reader &&read) {
    ListingContext ctx{std::string(file), failure};
    CrossSectionSet result;
    bool ok = Guarded(kSource, false, [&] { return read(ctx, result); });
    if (ok && result.Stations.empty()) {
        ctx.SetLine(0);
        ok = ctx.Decline("no cross section with points was found");
    }
    if (!ok) {
        ctx.RecordUnforeseen("cross-section listing");
        set = CrossSectionSet{};
        return false;
    }
    set = std::move(result);
    return true;
}

} // namespace

bool ReadCrListing(std::string_view bytes, std::string_view extension, CrossSectionSet &set,
                   ListingFailure *failure, std::string_view file, std::size_t parts) {
    return RunCrReader(set, failure, file, [&](ListingContext &ctx, CrossSectionSet &out) {
        return extension == "RTF" ? ReadRtf(bytes, out, ctx)
                                  : ReadTextForms(bytes, extension, out, ctx, parts);
    });
}

// The listing length from which reading it is shared between the cores.
constexpr std::size_t kMinSharedListingBytes = 512 * 1024;

bool ImportCrAligment(CrossSectionSet &set, const std::string &path, const std::string & /*option*/,
                      ListingFailure *failure) {
    Trace(">> ImportCrAligment");
    const std::string extension = ListingExtension(path);
    const bool ok = RunCrReader(
        set, failure, FileNameOfPath(path), [&](ListingContext &ctx, CrossSectionSet &out) {
            const std::string bytes = ReadListingBytes(path, ctx);
            // A short listing is read on this thread alone: starting a second
            // one costs about a millisecond, as much as reading 300 KB.
            const std::size_t parts = bytes.size() < kMinSharedListingBytes ? 1 : WorkParts();
            return extension == "RTF" ? ReadRtf(bytes, out, ctx)
                                      : ReadTextForms(bytes, extension, out, ctx, parts);
        });
    Trace("<< ImportCrAligment");
    return ok;
}

} // namespace vialto
