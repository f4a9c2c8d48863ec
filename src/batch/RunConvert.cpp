#include "batch/RunConvert.h"

#include "batch/ConsoleReport.h"
#include "batch/ConvertOptions.h"
#include "preview/SvgPreview.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "shell/StartUp.h"
#include "shell/Text.h"
#include "verify/DocumentReader.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportStage.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <ostream>

namespace vialto {

namespace {

constexpr const char *kShortUsage =
    "Usage: vialto-convert [options] -o FILE\n"
    "       vialto-convert --job-file JOB [options]\n"
    "Converts design listings into one LandXML 1.2 document, for example:\n"
    "  vialto-convert --hz axis.plt --vt axis.alz --tunnel profiles.xml -o tunnel.xml\n"
    "vialto-convert --help lists every option.\n";

// Files named by the job that cannot be found, as one line.
std::string MissingInputs(const JobDescription &job) {
    std::string missing;
    for (const InputPage &page : job.Pages)
        for (const FileSlot &slot : page.Slots)
            if (slot.Selected && !std::filesystem::is_regular_file(Utf8Path(slot.Path)))
                missing += (missing.empty() ? "" : ", ") + slot.Path;
    return missing;
}

// What the exporting page would let a user choose, held against the job's
// own choices: a range that runs backwards or misses the alignment, or a
// layer the cross sections do not have. "" when the choices stand; otherwise
// what is wrong and what exists.
std::string RefusedChoice(const JobDescription &job, const ExportChoices &choices) {
    JobDescription whole = job;
    whole.ChainageStart = kNullValue;
    whole.ChainageEnd = kNullValue;
    const ExportChoices offered = IntroPageExporting(whole);
    const auto number = [](double chainage) { return FormatDecimals(chainage, 3); };
    const std::string extent =
        offered.ChainageStart == kNullValue
            ? std::string("there is no horizontal alignment to take a range of")
            : "the alignment runs from " + number(offered.ChainageStart) + " to " +
                  number(offered.ChainageEnd);
    const bool ranged = job.ChainageStart != kNullValue || job.ChainageEnd != kNullValue;
    if (ranged && choices.ChainageStart > choices.ChainageEnd)
        return "--from " + number(choices.ChainageStart) + " lies after --to " +
               number(choices.ChainageEnd) + "; " + extent;
    if (ranged &&
        (offered.ChainageStart == kNullValue || choices.ChainageStart > offered.ChainageEnd ||
         choices.ChainageEnd < offered.ChainageStart))
        return "the range " + number(choices.ChainageStart) + " to " + number(choices.ChainageEnd) +
               " misses the alignment; " + extent;
    std::string unknown;
    for (const std::string &name : Split(job.SelectedLayers, "$"))
        if (!name.empty() && std::find(offered.OfferedLayers.begin(), offered.OfferedLayers.end(),
                                       name) == offered.OfferedLayers.end())
            unknown += (unknown.empty() ? "\"" : ", \"") + name + "\"";
    if (!unknown.empty()) {
        std::string layers;
        for (const std::string &name : offered.OfferedLayers)
            layers += (layers.empty() ? "" : ", ") + name;
        return "--layers names " + unknown + ", which the cross sections do not have; " +
               (layers.empty() ? std::string("they have no layers") : "their layers are " + layers);
    }
    return {};
}

// Draws the document the proof read back, or, with the proof switched off,
// the document at the output path.
bool DrawPreview(const JobDescription &job, const ProofReport &proof, std::string &failure) {
    std::shared_ptr<const ReadBackDocument> document = proof.Document;
    if (!document) {
        auto read = std::make_shared<ReadBackDocument>();
        if (!ReadLandXmlDocument(Utf8Path(job.OutputPath), *read, failure))
            return false;
        document = read;
    }
    return WritePreview(Utf8Path(job.PreviewFolder), *document, proof.Ran ? &proof : nullptr,
                        job.PreviewEvery, failure);
}

} // namespace

int RunConvert(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
    if (args.empty()) {
        err << kShortUsage;
        return kConvertUsage;
    }
    std::string error;
    bool help = false;
    std::optional<JobDescription> parsed = ParseConvertArguments(args, error, help);
    if (help) {
        out << ConvertUsageText();
        return kConvertWritten;
    }
    if (!parsed) {
        err << "vialto-convert: " << error << "\n";
        return kConvertUsage;
    }
    const JobDescription &job = *parsed;
    if (const std::string missing = MissingInputs(job); !missing.empty()) {
        err << "vialto-convert: cannot find " << missing << "\n";
        return kConvertUsage;
    }

    ResetApplication();
    clsAppModel &app = AppModel();
    app.XmlFileToExport = job.OutputPath;
    app.IsOstXML = job.Extended;
    app.ConversionInfo().RoadDataName = job.ProjectName;
    app.ConversionInfo().Flags |= job.ConversionFlags;
    // Unlike the wizard, the batch command goes on without the language file:
    // its texts then show their tokens.
    if (!LoadLanguageFile())
        err << "vialto-convert: the language file " << kLanguageFileName
            << " is missing; texts show their tokens\n";

    ConsoleProgress progress(out);
    ImportTree tree;
    out << "Reading\n";
    IntroPageImporting(job, tree, progress);
    PrintImportTree(out, tree);
    if (!tree.IsAllOk()) {
        err << "vialto-convert: an input failed to read or is out of tolerance; nothing was "
               "written\n";
        return kConvertImportFailed;
    }

    const ExportChoices choices = IntroPageExporting(job);
    if (const std::string refused = RefusedChoice(job, choices); !refused.empty()) {
        err << "vialto-convert: " << refused << " (see --help)\n";
        return kConvertUsage;
    }
    out << "Writing " << job.OutputPath << "\n";
    ResultSummary summary;
    const bool written = ExitPageExporting(job, choices, summary, progress);
    const ProofReport &proof = summary.Proof();
    if (!written && !(proof.Ran && !proof.Passed)) {
        err << "vialto-convert: the export failed; nothing was written to " << job.OutputPath
            << "\n";
        return kConvertExportFailed;
    }
    if (written)
        PrintSummary(out, summary);
    PrintProof(out, proof);
    // The preview draws what was read back, also when it failed the proof:
    // that is where the red parts are.
    std::string previewFailure;
    const bool drawn = job.PreviewFolder.empty() || DrawPreview(job, proof, previewFailure);
    if (!drawn)
        err << "vialto-convert: the preview could not be written: " << previewFailure << "\n";
    else if (!job.PreviewFolder.empty())
        out << "Drew the preview into " << job.PreviewFolder << "\n";
    if (!written) {
        PrintProofFailures(err, proof, job.OutputPath);
        return kConvertProofFailed;
    }
    out << "Wrote " << job.OutputPath << "\n";
    return drawn ? kConvertWritten : kConvertPreviewFailed;
}

} // namespace vialto
