#include "wizard/Wizard.h"

#include "import/HzListing.h"
#include "import/ListingText.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "wizard/FileCheck.h"
#include "wizard/ImportStage.h"
#include "wizard/Preferences.h"

#include <cstdlib>

namespace vialto {

namespace {

constexpr int kConvFlagOneFileStringlines = 8;
constexpr int kConvFlagCrossSections = 4;
constexpr int kConvFlagStringlineFile = 32;
constexpr int kWizardConversionFlags = 7;

constexpr const char *kPlantaFilter = "Planta (*.plt;*.rtf,*.txt)|*.plt;*.rtf;*.txt";
constexpr const char *kAlzadoFilter = "Alzado (*.alz,*.rtf,*.txt)|*.alz;*.rtf;*.txt";
constexpr const char *kSeccionFilter =
    "Sección Tipo(*.trv;*.trv2;*.rtf,*.txt)|*.trv;*.trv2;*.rtf;*.txt";
constexpr const char *kXmlFilter = "LandXML(*.xml)|*.xml|(*.*)|*.*";

} // namespace

int FirstSummaryPageWithRows(const ResultSummary &summary) {
    for (int page = 1; page <= summary.PagesTot(); ++page) {
        const std::vector<SummaryRow> &rows = summary.Pages()[page - 1].Rows;
        if (!rows.empty() && !rows.front().Description.empty())
            return page;
    }
    return 1;
}

std::vector<std::string> ImportTreeLabels(const ImportTree &tree, const JobDescription &job) {
    std::vector<std::string> labels;
    for (const ImportTreeNode &node : tree.Nodes()) {
        if (node.ParentKey.empty() || !StartsWith(node.ParentKey, "PAGE")) {
            labels.push_back(node.Text);
            continue;
        }
        const int page = std::atoi(node.ParentKey.c_str() + 4);
        const std::string kind = node.Key.substr(node.ParentKey.size() + 1);
        int slot = kind == "Hz" ? slotHz : kind == "Vt" ? slotVt : slotCr;
        if (slot == slotCr && !job.IsSelected(page, slotCr))
            slot = slotSup;
        if (page < 1 || page > job.PagesTot()) {
            labels.push_back(node.Text);
        } else if (job.IsSelected(page, slot) &&
                   !(slot == slotVt && page > 1 && job.IsOptionSelected(page, slotVt))) {
            labels.push_back(FileNameOfPath(job.Slot(page, slot).Path));
        } else {
            labels.push_back(node.Caption); // what the part is and where it came from
        }
    }
    return labels;
}

clsWizard::clsWizard(WizardFlow &flow, IWizardWindow &window, const WizardControls &controls,
                     ISettings &settings, IProgress &progress)
    : flow_(flow), window_(window), controls_(controls), settings_(settings), progress_(progress) {
    clsAppModel &app = AppModel();
    app.ConverterInfo().nFormatsSuppront = SupportedFormats();
    app.ConversionInfo().Flags |= kWizardConversionFlags;
    for (int page : {pageFiles, pagePreferences, pageImporting, pageExporting, pageResult})
        flow_.AddPage(page);

    const Preferences read = ReadPreferences(settings_);
    controls_.Preferences.SetToleranceHz(read.ToleranceHz);
    controls_.Preferences.SetToleranceVt(read.ToleranceVt);
    controls_.Preferences.SetLinearUnits(read.LinearUnits);
    for (int slot = slotHz; slot <= slotSup; ++slot)
        controls_.Files.SetDefaultFilterIndex(slot,
                                              read.Filters[static_cast<std::size_t>(slot - 1)]);
}

void clsWizard::Release() {
    if (released_)
        return;
    released_ = true;
    GuardedRun("clsWizard.Release", [&] {
        Preferences written;
        written.ToleranceHz = controls_.Preferences.ToleranceHz();
        written.ToleranceVt = controls_.Preferences.ToleranceVt();
        written.LinearUnits = controls_.Preferences.LinearUnits();
        for (int slot = slotHz; slot <= slotSup; ++slot)
            written.Filters[static_cast<std::size_t>(slot - 1)] =
                controls_.Files.GetFilterIndex(1, slot);
        WritePreferences(settings_, written, controls_.JobType.JobType());
    });
}

bool clsWizard::IntroPage(int page) {
    Trace(">> clsWizard.IntroPage " + std::to_string(page));
    flow_.SetHeader(page);
    return Guarded("clsWizard.IntroPage", false, [&] {
        switch (page) {
        case pageJobType:
            controls_.JobType.ShowJobByTypes(SupportedFormats());
            return true;
        case pageFiles:
            return IntroPageFiles();
        case pageDetails:
            return IntroPageDetails();
        case pagePreferences:
            return IntroPagePreferences();
        case pageImporting:
            return IntroPageImporting();
        case pageExporting:
            return IntroPageExporting();
        case pageResult:
            return IntroPageResult();
        case pageSelectStrLn:
        case pageSelect:
            return true;
        default:
            return false;
        }
    });
}

bool clsWizard::ExitPage(int page) {
    Trace(">> clsWizard.ExitPage " + std::to_string(page));
    return Guarded("clsWizard.ExitPage", false, [&] {
        switch (page) {
        case pageJobType:
        case pageDetails:
        case pagePreferences:
        case pageSelectStrLn:
            return true;
        case pageFiles:
            return ExitPageFiles();
        case pageImporting:
            return tree_.IsAllOk();
        case pageExporting:
            return ExitPageExporting();
        case pageResult:
            return ExitPageResult();
        case pageSelect:
            return ExitPageSelect();
        default:
            return false;
        }
    });
}

JobDescription clsWizard::JobFromControls() const {
    const IFilesControl &files = controls_.Files;
    JobDescription job;
    job.JobType = controls_.JobType.JobType();
    job.Pages.resize(static_cast<std::size_t>(std::max(1, files.PagesTot())));
    for (int p = 1; p <= job.PagesTot(); ++p) {
        for (int s = slotHz; s <= slotSup; ++s) {
            FileSlot &slot = job.Page(p).Slot(s);
            slot.Selected = files.IsSelected(p, s);
            slot.Path = files.GetFile(p, s);
            slot.DisplayName = files.GetName(p, s);
            slot.FileType = files.GetFilterIndex(p, s);
        }
        FileSlot &vt = job.Page(p).Slot(slotVt);
        vt.Option = files.IsOptionSelected(p, slotVt);
        vt.SubOption = files.IsVtSubOptionSelected(p, vtAlongTrack) ? vtAlongTrack : vtProjected;
    }
    clsAppModel &app = AppModel();
    job.ConversionFlags = app.ConversionInfo().Flags;
    job.ToleranceHz = controls_.Preferences.ToleranceHz();
    job.ToleranceVt = controls_.Preferences.ToleranceVt();
    job.LinearUnits = controls_.Preferences.LinearUnits();
    job.VtDefAlignment = files.VtDefAlignment();
    job.ProjectName = app.ConversionInfo().RoadDataName;
    job.Extended = app.IsOstXML;
    job.OutputPath = app.XmlFileToExport;
    return job;
}

bool clsWizard::IntroPageFiles() {
    IFilesControl &files = controls_.Files;
    const int type = controls_.JobType.JobType();
    const int flags = AppModel().ConversionInfo().Flags;
    files.DeleteAllPages();
    switch (type) {
    case jobRoad:
        files.AddPage(Token("FR_FILES_ROAD"));
        files.SetTracks(0);
        break;
    case jobTunnel:
        files.AddPage(Token("FR_FILES_TUNNEL"));
        // Tunnel profile files are made with the tunnel editor: without it
        // the job has no tunnel slot.
        if (SiblingProgramExists(EditorKind::TunnelProfiles))
            files.ConfigFile(1, slotCr, Token("LBL_FIL_TUNNEL"), kXmlFilter,
                             EditorKind::TunnelProfiles);
        files.SetTracks(0);
        break;
    case jobRailSingle:
        files.AddPage(Token("FR_FILES_RAILSINGLE"));
        files.ConfigFile(1, slotSup, Token("LBL_FIL_SUPERELEV"), kXmlFilter, EditorKind::CantTable);
        files.SetTracks(0);
        break;
    default:
        for (const char *title : {"FR_FILES_RAILCENTER", "FR_FILES_RAILLEFT", "FR_FILES_RAILRIGHT"})
            files.AddPage(Token(title));
        for (int p = 1; p <= 3; ++p) {
            files.ConfigFile(p, slotSup, Token("LBL_FIL_SUPERELEV"), kXmlFilter,
                             EditorKind::CantTable);
            files.ConfigOption(p, slotVt, Token(p == 1 ? "LBL_USE_VT" : "LBL_USE_VT_RAIL"), false);
        }
        files.SetTracks(2);
        break;
    }
    for (int p = 1; p <= files.PagesTot(); ++p) {
        if (flags & kConvFlagOneFileStringlines) {
            files.ConfigFile(p, slotHz, Token("LBL_FIL_ALIGMENT"), kPlantaFilter, EditorKind::None);
            files.ConfigFile(p, slotVt, "", "", EditorKind::None);
            continue;
        }
        files.ConfigFile(p, slotHz, Token("LBL_FIL_HZALIGMENT"), kPlantaFilter, EditorKind::None);
        files.ConfigFile(p, slotVt, Token("LBL_FIL_VTALIGMENT"), kAlzadoFilter, EditorKind::None);
        if ((flags & (kConvFlagCrossSections | kConvFlagStringlineFile)) && type != jobTunnel)
            files.ConfigFile(p, slotCr, Token("LBL_FIL_CROSS"), kSeccionFilter, EditorKind::None);
    }
    if (type == jobRailSingle)
        files.ConfigFile(1, slotCr, "", "", EditorKind::None);
    if (type == jobRailDouble) {
        files.ConfigFile(1, slotCr, "", "", EditorKind::None);
        files.ConfigFile(1, slotSup, "", "", EditorKind::None);
        for (int p = 2; p <= files.PagesTot(); ++p)
            files.ConfigFile(p, slotCr, "", "", EditorKind::None);
    }
    files.ShowPage(1);
    files.ShowResume(AppModel().DebugMode);
    return true;
}

bool clsWizard::ExitPageFiles() {
    if (const auto row = CheckInputFiles(JobFromControls(), RegularFileExists)) {
        controls_.Files.SetFocusTo(row->Page, row->Slot);
        return false;
    }
    return true;
}

bool clsWizard::IntroPagePreferences() {
    const IFilesControl &files = controls_.Files;
    long unit = 0;
    for (int p = 1; p <= files.PagesTot(); ++p) {
        if (files.IsSelected(p, slotHz)) {
            unit = GetLinearUnitsDefault(files.GetFile(p, slotHz), files.GetFilterIndex(p, slotHz));
            break;
        }
    }
    if (unit != 0) {
        controls_.Preferences.SetLinearUnits(static_cast<int>(unit));
        controls_.Preferences.ShowUnits(true, false);
    } else {
        controls_.Preferences.ShowUnits(true, true);
    }
    return true;
}

bool clsWizard::IntroPageImporting() {
    job_ = JobFromControls();
    const bool shown = vialto::IntroPageImporting(job_, tree_, progress_);
    controls_.Importing.ShowTree(tree_, ImportTreeLabels(tree_, job_));
    return shown;
}

bool clsWizard::IntroPageExporting() {
    choices_ = vialto::IntroPageExporting(job_);
    controls_.Exporting.ShowChoices(choices_, job_.JobType == jobRoad);
    controls_.Exporting.ShowProof({});
    return true;
}

bool clsWizard::ExitPageExporting() {
    const IExportingControl &exporting = controls_.Exporting;
    ExportChoices choices = choices_;
    if (job_.JobType == jobRoad) {
        choices.ChainageStart = exporting.ChainageStart();
        choices.ChainageEnd = exporting.ChainageEnd();
    }
    choices.LayersVisible = exporting.LayersVisible();
    choices.SelectedLayers = choices.LayersVisible ? exporting.GetSelectedLayers() : "";
    choices.SelectedStringlines = exporting.GetSelectedStringlinesIdx();
    const bool written = vialto::ExitPageExporting(job_, choices, summary_, progress_);
    // A document that failed its proof keeps the user here, with what failed.
    controls_.Exporting.ShowProof(summary_.Proof());
    controls_.Result.ShowSummary(summary_);
    return written;
}

bool clsWizard::IntroPageResult() {
    window_.SetHeaderVisible(false);
    controls_.Result.ShowPage(FirstSummaryPageWithRows(summary_));
    return true;
}

bool clsWizard::ExitPageResult() {
    window_.SetHeaderVisible(true);
    return true;
}

bool clsWizard::IntroPageDetails() {
    IDetailsControl &details = controls_.Details;
    clsAppModel &app = AppModel();
    if (details.RoadDataName().empty()) {
        const std::string name = app.ConversionInfo().RoadDataName;
        details.SetRoadDataName(!name.empty() ? name : ListingName(app.XmlFileToExport));
    }
    if (details.Description().empty())
        details.SetDescription(app.ConverterInfo().sDescription);
    if (details.Creator().empty())
        details.SetCreator(app.ConversionInfo().GetCreator());
    details.ShowVersion(false);
    return true;
}

bool clsWizard::ExitPageSelect() {
    const std::vector<std::string> chosen = controls_.Select.GetAlignments();
    return chosen.empty() || chosen.front() != "----";
}

} // namespace vialto
