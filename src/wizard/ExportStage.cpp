#include "wizard/ExportStage.h"

#include "crosssection/CrSec.h"
#include "crosssection/CrSecExport.h"
#include "landxml/LandXmlAlignment.h"
#include "landxml/LandXmlCrossSections.h"
#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlProfile.h"
#include "landxml/LandXmlWriter.h"
#include "model/AlignmentStore.h"
#include "model/ElementSearch.h"
#include "railtunnel/Superelevation.h"
#include "railtunnel/Tunnel.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "wizard/ExportProof.h"
#include "wizard/Preferences.h"

#include <cstdint>

namespace vialto {

namespace {

// The whole alignment: the range other job types hand to the writers.
constexpr double kWholeStart = -9999999999999.0;
constexpr double kWholeEnd = 99999999999999.0;

// Summary rows of a page.
enum SummaryRowNumber : int {
    rowHzStart = 1,
    rowHzEnd = 2,
    rowVtStart = 3,
    rowVtEnd = 4,
    rowThirdStart = 5,
    rowThirdEnd = 6,
};

// Everything one export run reads and fills.
struct ExportRun {
    const JobDescription &Job;
    const ExportChoices &Choices;
    ResultSummary &Summary;
    IProgress &Progress;
    double ChainageStart = kWholeStart;
    double ChainageEnd = kWholeEnd;
    // What each written alignment was written from, for the proof.
    ImportedDesign Design;

    void Title(const char *token) { Progress.Start(Token(token), 0, 0); }
};

std::string SummaryTitleToken(int jobType, int page) {
    if (jobType != jobRailDouble)
        return "FR_SUMMARY";
    return page == 1 ? "FR_SUMMARY_CENTER" : page == 2 ? "FR_SUMMARY_LEFT" : "FR_SUMMARY_RIGHT";
}

void BuildSummary(ExportRun &run) {
    ResultSummary &summary = run.Summary;
    const std::string unit = LinearUnitAbbreviation(run.Job.LinearUnits);
    summary.DeleteAllPages();
    for (int p = 1; p <= run.Job.PagesTot(); ++p) {
        summary.AddPage(Token(SummaryTitleToken(run.Job.JobType, p)));
        const SlotNumber slot = static_cast<SlotNumber>(p);
        auto row = [&](int number, const char *token) {
            summary.ConfigValueInPage(p, number, Token(token), kNullValue, unit);
        };
        if (ExistAlignment(flagHz, slot)) {
            row(rowHzStart, "LBL_HZ_CH_START");
            row(rowHzEnd, "LBL_HZ_CH_END");
        }
        if (ExistAlignment(flagVt, slot)) {
            row(rowVtStart, "LBL_VT_CH_START");
            row(rowVtEnd, "LBL_VT_CH_END");
        }
        if (ExistAlignment(flagCr, slot)) {
            row(rowThirdStart, "LBL_CR_CH_START");
            row(rowThirdEnd, "LBL_CR_CH_END");
        } else if (ExistAlignment(flagTnl, slot)) {
            row(rowThirdStart, "LBL_TN_CH_START");
            row(rowThirdEnd, "LBL_TN_CH_END");
        } else if (ExistAlignment(flagSup, slot)) {
            row(rowThirdStart, "LBL_TR_CH_START");
            row(rowThirdEnd, "LBL_TR_CH_END");
        }
    }
}

void SetRange(ExportRun &run, int page, int firstRow, double first, double last) {
    run.Summary.SetValueInPage(page, firstRow, first);
    run.Summary.SetValueInPage(page, firstRow + 1, last);
}

// The alignment's start and end chainage of the elements that hold from..to,
// chosen as the coordinate-geometry writer chooses them.
void AlignmentExtent(const HzAlignment &hz, double from, double to, double &start, double &end) {
    if (ElementCount(hz) < 1) {
        start = end = 0;
        return;
    }
    const auto [first, last] = ElementRangeAt(hz, from, to);
    start = hz[static_cast<std::size_t>(first)].Chainage;
    end = hz[static_cast<std::size_t>(last)].Chainage + hz[static_cast<std::size_t>(last)].Length;
}

bool ExportAligmentCr(ExportRun &run, int page) {
    return Guarded("ExportAligmentCr", false, [&] {
        run.Title("T_EXPORTING_CR");
        double first = kNullValue;
        double last = kNullValue;
        switch (RuleAndExportStoredCrossSections(static_cast<SlotNumber>(page),
                                                 run.Choices.SelectedLayers, run.ChainageStart,
                                                 run.ChainageEnd, run.Progress, first, last)) {
        case CrExportResult::Written:
            SetRange(run, page, rowThirdStart, first, last);
            // The store holds the set as it was imported again.
            if (run.Job.Proof)
                run.Design.Alignments.back().CrossSections =
                    ImportedCrossSectionsOf(ViewAligmentCr(static_cast<SlotNumber>(page)),
                                            run.Choices.SelectedLayers, first, last);
            return true;
        case CrExportResult::Nothing:
            LogMessage("Cross sections not written: no layer chosen or none in the range");
            return true;
        case CrExportResult::Cancelled:
            LogMessage("Cross sections not written: cancelled by the user");
            return true;
        case CrExportResult::Failed:
            break;
        }
        return false;
    });
}

bool ExportAligmentSuper(ExportRun &run, int page, const std::string &name,
                         std::uint8_t trackSelector) {
    return Guarded("ExportAligmentSuper", false, [&] {
        run.Title("T_EXPORTING_RAIL");
        const auto table = GetAligmentSup(static_cast<SlotNumber>(page));
        double first = kNullValue;
        double last = kNullValue;
        if (!table->ExportToLandXml(first, last, name, trackSelector, run.ChainageStart,
                                    run.ChainageEnd, run.Job.TrackStringline(page)))
            return false;
        SetRange(run, page, rowThirdStart, first, last);
        if (run.Job.Proof)
            run.Design.Alignments.back().Rails =
                ImportedRailsOfSlot(static_cast<SlotNumber>(page), run.Job.TrackStringline(page));
        return true;
    });
}

bool ExportAligmentTunnel(ExportRun &run, int page) {
    return Guarded("ExportAligmentTunnel", false, [&] {
        run.Title("T_EXPORTING_TUNNEL");
        const auto tunnel = GetAligmentTnl(static_cast<SlotNumber>(page));
        double first = kNullValue;
        double last = kNullValue;
        if (!tunnel->ExportToLandXml(first, last, run.ChainageStart, run.ChainageEnd))
            return false;
        SetRange(run, page, rowThirdStart, first, last);
        return true;
    });
}

// The alignment's name: its stored name, or the display name of the page's
// horizontal file.
std::string AlignmentName(const ExportRun &run, int page) {
    std::string name = GetAligmentName(static_cast<SlotNumber>(page));
    if (name.empty())
        name = run.Job.Slot(page, slotHz).DisplayName;
    return name;
}

bool ExportAligment(ExportRun &run, int page, std::uint8_t trackSelector) {
    return Guarded("ExportAligment", false, [&] {
        const SlotNumber slot = static_cast<SlotNumber>(page);
        run.Progress.Start("", 0, 0);
        const int flags = GetAlignmentFlags(slot);
        if (!(flags & flagHz)) {
            // A stringline set comes only from a stringline file, which this
            // program cannot read, so a slot without an alignment has nothing.
            RaiseError(errAssert, "Nothing to export");
        }
        const std::string name = AlignmentName(run, page);
        HzAlignment hz = GetAligmentHz(slot);
        double staStart = 0;
        double staEnd = 0;
        AlignmentExtent(hz, run.ChainageStart, run.ChainageEnd, staStart, staEnd);

        run.Title("T_EXPORTING_HZ");
        bool ok = TagAlignment(false, name, staStart, staEnd) && TagCoordGeom(false);
        double first = kNullValue;
        double last = kNullValue;
        ok = ok && TagCoordGeomRegular(hz, run.ChainageStart, run.ChainageEnd, first, last);
        ok = TagCoordGeom(true) && ok;
        if (!ok)
            return false;
        SetRange(run, page, rowHzStart, first, last);
        if (run.Job.Proof)
            run.Design.Alignments.push_back({name, std::move(hz), {}, {}, {}});
        if (HasStationEquations(slot) && !TagStaEquation(GetStationEquations(slot)))
            return false;
        if (flags & flagVt) {
            run.Title("T_EXPORTING_VT");
            double vtFirst = kNullValue;
            double vtLast = kNullValue;
            VtAlignment vt = GetAligmentVt(slot);
            ok = TagProfile(false) &&
                 TagProfAlign(vtFirst, vtLast, name, vt, run.ChainageStart, run.ChainageEnd);
            ok = TagProfile(true) && ok;
            if (!ok)
                return false;
            SetRange(run, page, rowVtStart, vtFirst, vtLast);
            if (run.Job.Proof)
                run.Design.Alignments.back().Vt = std::move(vt);
        }
        if ((flags & flagCr) && !ExportAligmentCr(run, page))
            return false;
        if ((flags & flagSup) && !ExportAligmentSuper(run, page, name, trackSelector))
            return false;
        if ((flags & flagTnl) && !ExportAligmentTunnel(run, page))
            return false;
        return TagAlignment(true);
    });
}

bool ExportTunnel(ExportRun &run) {
    return Guarded("ExportTunnel", false, [&] {
        bool ok = TagAlignments(false) && ExportAligment(run, 1, 1);
        return TagAlignments(true) && ok;
    });
}

bool ExportRoad(ExportRun &run) {
    return Guarded("ExportRoad", false, [&] {
        bool ok = TagAlignments(false);
        for (int p = 1; ok && p <= GetAlignmentCount(); ++p)
            ok = ExportAligment(run, p, 1);
        return TagAlignments(true) && ok;
    });
}

// The stringline-layer group that tells the field software which stringlines
// make up a track: for each layer, its track axis and the two rails.
struct TrackLayer {
    std::string Key;  // "PAGE1".."PAGE3"
    std::string Axis; // the track's alignment name
    std::string LeftRail, RightRail;
};

bool WriteTrackLayers(const std::string &centreName, const std::vector<TrackLayer> &layers) {
    TStringLines set;
    for (const TrackLayer &layer : layers) {
        TStringLineLayer entry{layer.Key, {}};
        for (const std::string &line : {layer.Axis, layer.LeftRail, layer.RightRail}) {
            if (line.empty())
                continue;
            TStringLine stringline;
            stringline.Name = line;
            stringline.Export = true;
            entry.Lines.push_back(static_cast<long>(set.Lines.size()));
            set.Lines.push_back(stringline);
        }
        set.Layers.push_back(entry);
    }
    set.Count = static_cast<int>(set.Lines.size()) - 1;
    return TagStringLineLayers(set, centreName, false, std::vector<int>{-1});
}

bool ExportRailSingle(ExportRun &run) {
    return Guarded("ExportRailSingle", false, [&] {
        bool ok = TagAlignments(false) && ExportAligment(run, 1, 1);
        if (ok && !ExistAlignment(flagCr, 1)) {
            const std::string axis = AlignmentName(run, 1);
            const bool rails = ExistAlignment(flagSup, 1);
            ok = WriteTrackLayers(axis,
                                  {{"PAGE1", axis, rails ? "Left" : "", rails ? "Right" : ""}});
        } else if (ok) {
            Trace("Stringline layers of rails with cross sections: not implemented");
        }
        return TagAlignments(true) && ok;
    });
}

bool ExportRailDouble(ExportRun &run) {
    return Guarded("ExportRailDouble", false, [&] {
        bool ok = TagAlignments(false);
        for (int p = 1; ok && p <= GetAlignmentCount(); ++p)
            if (ExistAlignment(flagHz, static_cast<SlotNumber>(p)))
                ok = ExportAligment(run, p, static_cast<std::uint8_t>(p == 1 ? 1 : p));
        if (ok) {
            // The rails carry the vertex names of their track: the left track's
            // rails are Left_L and Right_L, the right track's Left_R and Right_R.
            std::vector<TrackLayer> layers;
            for (int p : {2, 3}) {
                const SlotNumber slot = static_cast<SlotNumber>(p);
                if (!ExistAlignment(flagHz, slot))
                    continue;
                const bool rails = ExistAlignment(flagSup, slot);
                const std::string suffix = p == 2 ? "_L" : "_R";
                layers.push_back({"PAGE" + std::to_string(p), AlignmentName(run, p),
                                  rails ? "Left" + suffix : "", rails ? "Right" + suffix : ""});
            }
            if (!layers.empty())
                ok = WriteTrackLayers(AlignmentName(run, 1), layers);
        }
        return TagAlignments(true) && ok;
    });
}

} // namespace

ExportChoices IntroPageExporting(const JobDescription &job) {
    ExportChoices choices;
    if (ExistAlignment(flagHz, 1)) {
        const HzAlignment hz = GetAligmentHz(1);
        const long n = ElementCount(hz);
        if (n >= 1) {
            choices.ChainageStart = hz[1].Chainage;
            choices.ChainageEnd =
                hz[static_cast<std::size_t>(n)].Chainage + hz[static_cast<std::size_t>(n)].Length;
        }
    }
    if (job.ChainageStart != kNullValue)
        choices.ChainageStart = job.ChainageStart;
    if (job.ChainageEnd != kNullValue)
        choices.ChainageEnd = job.ChainageEnd;
    if (ExistAlignment(flagCr, 1)) {
        for (const CrSecLayer &layer : ViewAligmentCr(1).Layers)
            choices.OfferedLayers.push_back(layer.Name);
        choices.LayersVisible = !choices.OfferedLayers.empty();
    }
    choices.SelectedLayers = job.SelectedLayers;
    choices.SelectedStringlines = job.SelectedStringlines;
    return choices;
}

bool ExitPageExporting(const JobDescription &job, const ExportChoices &choices,
                       ResultSummary &summary, IProgress &progress) {
    Trace(">> clsWizard.ExitPageExporting");
    ExportRun run{job, choices, summary, progress, kWholeStart, kWholeEnd, {}};
    if (job.JobType == jobRoad) {
        run.ChainageStart = choices.ChainageStart;
        run.ChainageEnd = choices.ChainageEnd;
    }
    BuildSummary(run);

    clsAppModel &app = AppModel();
    SetOutputFile(app.XmlFileToExport);
    if (!TagLandXML(false)) {
        DiscardOutput();
        return false;
    }
    bool ok = TagApplication(app.ConversionInfo().GetCreator()) &&
              TagProject(app.ConversionInfo().GetRoadDataName(job.SelectedPaths()), "") &&
              TagUnits(job.LinearUnits);
    if (ok) {
        switch (job.JobType) {
        case jobRoad:
            ok = ExportRoad(run);
            break;
        case jobTunnel:
            ok = ExportTunnel(run);
            break;
        case jobRailSingle:
            ok = ExportRailSingle(run);
            break;
        default:
            ok = ExportRailDouble(run);
            break;
        }
    }
    // The root is closed whatever happened, but only a complete document
    // replaces the output file.
    ok = TagLandXML(true) && ok;
    CloseFile();
    // The finished document is read back and compared with what was
    // imported before it may replace the output.
    if (ok && job.Proof) {
        run.Title("T_PROVING");
        summary.SetProof(ProveExport(LandXmlWriter().WorkFile, run.Design, job));
        ok = summary.Proof().Passed;
    }
    ok = ok ? CommitOutput() : (DiscardOutput(), false);
    progress.Finish();
    Trace("<< clsWizard.ExitPageExporting");
    return ok;
}

} // namespace vialto
