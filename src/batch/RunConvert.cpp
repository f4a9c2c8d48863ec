#include "batch/RunConvert.h"

#include "batch/ConsoleReport.h"
#include "batch/ConvertOptions.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "shell/StartUp.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportStage.h"

#include <filesystem>
#include <ostream>

namespace vialto {

namespace {

// Files named by the job that cannot be found, as one line.
std::string MissingInputs(const JobDescription &job) {
    std::string missing;
    for (const InputPage &page : job.Pages)
        for (const FileSlot &slot : page.Slots)
            if (slot.Selected && !std::filesystem::is_regular_file(Utf8Path(slot.Path)))
                missing += (missing.empty() ? "" : ", ") + slot.Path;
    return missing;
}

} // namespace

int RunConvert(const std::vector<std::string> &args, std::ostream &out, std::ostream &err) {
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

    out << "Writing " << job.OutputPath << "\n";
    ResultSummary summary;
    const ExportChoices choices = IntroPageExporting(job);
    if (!ExitPageExporting(job, choices, summary, progress)) {
        err << "vialto-convert: the export failed; nothing was written to " << job.OutputPath
            << "\n";
        return kConvertExportFailed;
    }
    PrintSummary(out, summary);
    out << "Wrote " << job.OutputPath << "\n";
    return kConvertWritten;
}

} // namespace vialto
