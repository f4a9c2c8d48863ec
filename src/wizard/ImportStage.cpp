#include "wizard/ImportStage.h"

#include "check/AlignmentCheck.h"
#include "import/CrListing.h"
#include "import/HzListing.h"
#include "import/VtListing.h"
#include "model/AlignmentStore.h"
#include "railtunnel/Superelevation.h"
#include "railtunnel/TrackVtAlignment.h"
#include "railtunnel/Tunnel.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Platform.h"

#include <array>
#include <memory>
#include <utility>

namespace vialto {

namespace {

constexpr int kConvFlagOneFileStringlines = 8;
constexpr int kConvFlagStringlineFile = 32;
constexpr const char *kOldestCantVersion = "1.1.0";

std::string PageKey(int page) { return "PAGE" + std::to_string(page); }

// The leaf key of a slot: cant tables show as "Cr" in rail jobs.
const char *LeafKey(int slot) {
    switch (slot) {
    case slotHz:
        return "Hz";
    case slotVt:
        return "Vt";
    default:
        return "Cr";
    }
}

// The language token naming what the slot holds in the job type.
const char *SlotKindToken(int jobType, int slot) {
    switch (slot) {
    case slotHz:
        return "LBL_FIL_HZALIGMENT";
    case slotVt:
        return "LBL_FIL_VTALIGMENT";
    case slotCr:
        return jobType == jobTunnel ? "LBL_FIL_TUNNEL" : "LBL_FIL_CROSS";
    default:
        return "LBL_FIL_SUPERELEV";
    }
}

// The text of a generated vertical leaf: where its heights come from.
std::string GeneratedVtName(int sourcePage) {
    return Token(sourcePage == 1   ? "LBL_IMP_VT_FROM_CENTRE"
                 : sourcePage == 2 ? "LBL_IMP_VT_FROM_LEFT"
                                   : "LBL_IMP_VT_FROM_RIGHT");
}

// Runs a step that reports its own failure; when it fails, `reason` is the
// description of the error it reported last, the one its boundary caught.
template <class Step> bool WithReason(std::string &reason, Step &&step) {
    const ErrorRecorder errors;
    const bool ok = step();
    reason = ok || errors.Errors().empty() ? std::string() : errors.Errors().back().Description;
    return ok;
}

// Everything the stage keeps while it runs.
struct ImportRun {
    const JobDescription &Job;
    ImportTree &Tree;
    IProgress &Progress;
    std::array<bool, 4> HasCant{}; // per page 1..3

    void ShowReading(int page, int slot) {
        Progress.Start(Token("LBL_IMP_FILE") + "  " + Job.Slot(page, slot).DisplayName, 0, 0);
    }
    void Leaf(int page, int slot, bool ok, const std::string &reason = {}) {
        Tree.SetImage(PageKey(page), LeafKey(slot), ok ? kImageOk : kImageFailed);
        Tree.SetReason(PageKey(page), LeafKey(slot), ok ? std::string() : reason);
    }
    void Leaf(int page, int slot, bool ok, const ListingFailure &failure) {
        Leaf(page, slot, ok, failure.Reason.empty() ? std::string() : failure.Text());
    }
    // A leaf with its text and its caption, which says what the item is.
    void AddLeaf(int page, int slot, const std::string &text, int image = 0) {
        Tree.AddNode(PageKey(page), LeafKey(slot), text, image,
                     Token(SlotKindToken(Job.JobType, slot)) + ": " + text);
    }
};

void BuildTree(ImportRun &run) {
    const JobDescription &job = run.Job;
    run.Tree.DeleteAllNodes();
    for (int p = 1; p <= job.PagesTot(); ++p) {
        run.Tree.AddRoot(PageKey(p), Token(FilesPageTitleToken(job.JobType, p)));
        for (int slot = slotHz; slot <= slotSup; ++slot) {
            const FileSlot &file = job.Slot(p, slot);
            // A track's profile made from another alignment's has its leaf
            // where a listing's would be.
            const bool fromCentre = job.JobType == jobRailDouble && p > 1 &&
                                    job.IsOptionSelected(1, slotVt) && job.IsSelected(p, slotHz);
            const bool generatedVt = slot == slotVt && p > 1 && (file.Option || fromCentre);
            if (generatedVt)
                run.AddLeaf(p, slot, GeneratedVtName(file.Option ? (p == 2 ? 3 : 2) : 1));
            else if (file.Selected)
                run.AddLeaf(p, slot, file.DisplayName);
        }
    }
}

void ImportHorizontal(ImportRun &run, int p) {
    const JobDescription &job = run.Job;
    const FileSlot &file = job.Slot(p, slotHz);
    run.ShowReading(p, slotHz);
    if (job.ConversionFlags & kConvFlagOneFileStringlines) {
        // One alignment file holding every stringline: not a supported listing.
        TStringLines set;
        const bool ok = ImportStrLnAligment(set, file.Path);
        run.Leaf(p, slotHz, ok);
        if (ok)
            SetAligmentStrLn(static_cast<SlotNumber>(p), set);
        return;
    }
    HzAlignment hz;
    StationEquations equations;
    std::string name;
    ListingFailure failure;
    const bool imported = ImportHzAligment(hz, equations, name, file.Path, &failure);
    if (name.empty())
        name = file.DisplayName;
    if (p == 1 && job.JobType == jobRailDouble)
        name += "_CCL";
    // The report is found by the leaf's text.
    BeginCheckGroup(file.DisplayName, checkHz);
    const bool within = imported && CheckHzAlignment(hz, job.ToleranceHz) == 0;
    run.Leaf(p, slotHz, within, failure);
    const SlotNumber slot = static_cast<SlotNumber>(p);
    SetAligmentHz(slot, hz);
    SetStationEquations(slot, equations);
    SetAligmentName(slot, name);
}

void ImportVertical(ImportRun &run, int p) {
    const FileSlot &file = run.Job.Slot(p, slotVt);
    run.ShowReading(p, slotVt);
    VtAlignment vt;
    ListingFailure failure;
    const bool imported = ImportVtAligment(vt, file.Path, "", &failure);
    BeginCheckGroup(file.DisplayName, checkVt);
    const bool within = imported && CheckVtAlignment(vt, run.Job.ToleranceVt) == 0;
    run.Leaf(p, slotVt, within, failure);
    SetAligmentVt(static_cast<SlotNumber>(p), std::move(vt));
}

// Whether the page has a profile to check chainages against: one read or
// generated, not one whose listing failed to read.
bool HasProfile(int p) {
    const SlotNumber slot = static_cast<SlotNumber>(p);
    return ExistAlignment(flagVt, slot) && ElementCount(ViewAligmentVt(slot)) > 0;
}

// The tunnel profile check needs the page's vertical alignment.
bool TunnelWithinVertical(int p, const clsTunnel &tunnel) {
    return Guarded("IntroPageImporting", false, [&] {
        return !CheckTunnelChainages(ViewAligmentVt(static_cast<SlotNumber>(p)), tunnel);
    });
}

void ImportSlot3(ImportRun &run, int p) {
    const JobDescription &job = run.Job;
    const FileSlot &file = job.Slot(p, slotCr);
    const SlotNumber slot = static_cast<SlotNumber>(p);
    run.ShowReading(p, slotCr);
    if (job.JobType == jobRoad && (job.ConversionFlags & kConvFlagStringlineFile)) {
        TStringLines set;
        const bool ok = ImportStrLnAligment(set, file.Path);
        run.Leaf(p, slotCr, ok);
        SetAligmentStrLn(slot, set);
    } else if (job.JobType == jobTunnel) {
        auto tunnel = std::make_shared<clsTunnel>();
        std::string reason;
        const bool loaded = WithReason(reason, [&] { return tunnel->Load(file.Path); });
        bool within = false;
        if (loaded && !HasProfile(p)) {
            reason = Token("MSG_IMP_TUNNEL_NO_VT");
        } else if (loaded) {
            BeginCheckGroup(file.DisplayName, checkTunnel);
            within = TunnelWithinVertical(p, *tunnel);
            if (within)
                SetAligmentTnl(slot, tunnel);
        }
        run.Leaf(p, slotCr, loaded && within, reason);
    } else if (job.JobType == jobRoad) {
        CrossSectionSet set;
        ListingFailure failure;
        const bool imported = ImportCrAligment(set, file.Path, "", &failure);
        BeginCheckGroup(file.DisplayName, checkCrossSection);
        run.Leaf(p, slotCr, imported, failure);
        SetAligmentCr(slot, std::move(set));
        // Reading the largest of the listings left much of the heap free,
        // more than what comes next needs.
        ReleaseFreeMemory();
    }
}

void ImportCant(ImportRun &run, int p) {
    const JobDescription &job = run.Job;
    const FileSlot &file = job.Slot(p, slotSup);
    run.ShowReading(p, slotSup);
    auto table = std::make_shared<clsSuperelevation>();
    std::string reason;
    if (!WithReason(reason, [&] { return table->Import(file.Path, job.LinearUnits); })) {
        run.Leaf(p, slotSup, false, reason);
        return;
    }
    if (table->Version() < kOldestCantVersion) {
        // Text comparison, as the cant editor's versions have always been written.
        const std::string message =
            ReplaceAll(Token("MSG_WRONG_SUPERELEV_VERSION"), "{0}", file.DisplayName);
        UserInterface().ShowTitledMessage(Token("LBL_FIL_SUPERELEV"), message, MsgIcon::Critical,
                                          MsgButtons::Ok);
        run.Leaf(p, slotSup, false, ReplaceAll(message, "\n", " "));
        return;
    }
    if (table->StationType() == stationChainageCentreline)
        table->ProjectChainagesFromAlgimentToAligment(1, static_cast<SlotNumber>(p));
    SetAligmentSup(static_cast<SlotNumber>(p), table);
    run.HasCant[static_cast<std::size_t>(p)] = true;
}

// A track's vertical alignment generated from another alignment's.
void GenerateTrackVt(ImportRun &run, int trackPage, int sourceSlot, int cantSlot,
                     const std::string &title, bool projected) {
    run.Progress.Start(title, 0, 0);
    std::string reason;
    const bool ok = WithReason(reason, [&] {
        return CreateVtFromVt(static_cast<SlotNumber>(trackPage),
                              static_cast<SlotNumber>(sourceSlot),
                              static_cast<SlotNumber>(cantSlot), 0.5, run.Progress,
                              static_cast<std::uint8_t>(trackPage), projected,
                              run.Job.VtDefAlignment, run.Job.ToleranceHz);
    });
    run.AddLeaf(trackPage, slotVt, GeneratedVtName(sourceSlot), ok ? kImageOk : kImageFailed);
    run.Leaf(trackPage, slotVt, ok, reason);
}

void GenerateTrackProfiles(ImportRun &run) {
    const JobDescription &job = run.Job;
    if (job.JobType != jobRailDouble || job.PagesTot() < 3)
        return;
    // One track taking its heights from the other, corrected by its own cant.
    for (int p : {2, 3}) {
        if (!job.IsOptionSelected(p, slotVt))
            continue;
        if (!run.HasCant[static_cast<std::size_t>(p)]) {
            // Never left looking as if it had been made.
            run.Leaf(p, slotVt, false, Token("MSG_IMP_TRACK_NO_CANT"));
            continue;
        }
        const int source = p == 2 ? 3 : 2;
        GenerateTrackVt(run, p, source, p, "Generating Vt. Alignment",
                        job.Slot(p, slotVt).SubOption == vtProjected);
        break;
    }
    // Both tracks from the centre line.
    if (job.IsOptionSelected(1, slotVt)) {
        for (int p : {2, 3}) {
            if (!job.IsSelected(p, slotHz))
                continue;
            const int cant = run.HasCant[static_cast<std::size_t>(p)] ? p : 0;
            GenerateTrackVt(run, p, 1, cant,
                            p == 2 ? "Generating Vt. Alignment Left Track"
                                   : "Generating Vt. Alignment Right Track",
                            job.Slot(1, slotVt).SubOption == vtProjected);
        }
    }
}

bool CantWithinVertical(int p) {
    return Guarded("IntroPageImporting", false, [&] {
        const SlotNumber slot = static_cast<SlotNumber>(p);
        const auto table = GetAligmentSup(slot);
        return !CheckSuperelevationChainages(ViewAligmentVt(slot), *table);
    });
}

} // namespace

std::string FilesPageTitleToken(int jobType, int page) {
    switch (jobType) {
    case jobRoad:
        return "FR_FILES_ROAD";
    case jobTunnel:
        return "FR_FILES_TUNNEL";
    case jobRailSingle:
        return "FR_FILES_RAILSINGLE";
    default:
        return page == 1   ? "FR_FILES_RAILCENTER"
               : page == 2 ? "FR_FILES_RAILLEFT"
                           : "FR_FILES_RAILRIGHT";
    }
}

bool IntroPageImporting(const JobDescription &job, ImportTree &tree, IProgress &progress) {
    Trace(">> clsWizard.IntroPageImporting");
    ImportRun run{job, tree, progress, {}};
    ResetCheckReport();
    ResetAlignments();
    BuildTree(run);
    const bool rail = job.JobType == jobRailSingle || job.JobType == jobRailDouble;
    for (int p = 1; p <= job.PagesTot(); ++p) {
        AddAlignment();
        if (job.IsSelected(p, slotHz))
            ImportHorizontal(run, p);
        if (job.IsSelected(p, slotVt) && (p == 1 || !job.IsOptionSelected(p, slotVt)))
            ImportVertical(run, p);
        if (job.IsSelected(p, slotCr) && !rail)
            ImportSlot3(run, p);
        if (rail && job.IsSelected(p, slotSup) && !job.IsSelected(p, slotCr))
            ImportCant(run, p);
    }
    GenerateTrackProfiles(run);
    for (int p = 1; p <= job.PagesTot(); ++p) {
        if (!job.IsSelected(p, slotSup) || !run.HasCant[static_cast<std::size_t>(p)])
            continue;
        if (!HasProfile(p)) {
            run.Leaf(p, slotSup, false, Token("MSG_IMP_CANT_NO_VT"));
            continue;
        }
        BeginCheckGroup(job.Slot(p, slotSup).DisplayName, checkCant);
        run.Leaf(p, slotSup, CantWithinVertical(p));
    }
    progress.Finish();
    Trace("<< clsWizard.IntroPageImporting");
    return true;
}

} // namespace vialto
