// What the wizard's controller asks of the page controls. The window's
// library implements each with widgets; the flow tests with small fakes. Page
// numbers of the input-files control count from 1 (pages 1..3), slots from 1
// (1 horizontal, 2 vertical, 3 cross sections or tunnel profiles, 4 cant).
#pragma once

#include "wizard/ExportStage.h"
#include "wizard/ImportTree.h"
#include "wizard/ResultSummary.h"
#include "wizard/SiblingEditors.h"

#include <string>
#include <vector>

namespace vialto {

class IJobTypeControl {
  public:
    virtual ~IJobTypeControl() = default;
    // 0 road, 1 tunnel, 2 single-track rail, 3 double-track rail.
    virtual int JobType() const = 0;
    // Offers only the job types whose bits are set (1 road, 2 tunnel, 4 rail).
    virtual void ShowJobByTypes(int formats) = 0;
};

class IFilesControl {
  public:
    virtual ~IFilesControl() = default;
    virtual int PagesTot() const = 0;
    virtual void DeleteAllPages() = 0;
    virtual void AddPage(const std::string &title) = 0;
    // Makes the row a file chooser with the description (text), the dialog
    // filter (classic form) and the editor its edit button starts; an empty
    // description removes the row.
    virtual void ConfigFile(int page, int slot, const std::string &description,
                            const std::string &filter, EditorKind editor) = 0;
    virtual void ConfigOption(int page, int slot, const std::string &caption, bool value) = 0;
    // The rails control: 0 tracks, or 2 for a double track.
    virtual void SetTracks(int tracks) = 0;
    virtual bool IsSelected(int page, int slot) const = 0;
    virtual bool IsOptionSelected(int page, int slot) const = 0;
    // Sub-option 1: projected, 2: sampled along the track.
    virtual bool IsVtSubOptionSelected(int page, int subOption) const = 0;
    virtual std::string GetFile(int page, int slot) const = 0;
    virtual std::string GetName(int page, int slot) const = 0;
    virtual int GetFilterIndex(int page, int slot) const = 0;
    virtual int GetDefaultFilterIndex(int slot) const = 0;
    virtual void SetDefaultFilterIndex(int slot, int index) = 0;
    virtual void ShowPage(int page) = 0;
    virtual void SetFocusTo(int page, int slot) = 0;
    virtual void ShowResume(bool visible) = 0;
    // 0 the track axis on the platform, 1 the lower rail, 2 the higher rail.
    virtual int VtDefAlignment() const = 0;
};

class IPreferencesControl {
  public:
    virtual ~IPreferencesControl() = default;
    virtual double ToleranceHz() const = 0;
    virtual void SetToleranceHz(double tolerance) = 0;
    virtual double ToleranceVt() const = 0;
    virtual void SetToleranceVt(double tolerance) = 0;
    virtual int LinearUnits() const = 0;
    virtual void SetLinearUnits(int unit) = 0;
    virtual void ShowUnits(bool visible, bool enabled) = 0;
};

class IImportingControl {
  public:
    virtual ~IImportingControl() = default;
    // The tree with what each node shows (labels[i] for tree.Nodes()[i]).
    virtual void ShowTree(const ImportTree &tree, const std::vector<std::string> &labels) = 0;
};

class IExportingControl {
  public:
    virtual ~IExportingControl() = default;
    // Presets the range and lists the layers; the range can be changed only
    // where the export reads it.
    virtual void ShowChoices(const ExportChoices &choices, bool chainageRangeEditable) = 0;
    virtual double ChainageStart() const = 0;
    virtual double ChainageEnd() const = 0;
    virtual bool LayersVisible() const = 0;
    // "$a$b$" of the ticked layers' names; "__None__" when none is ticked.
    virtual std::string GetSelectedLayers() const = 0;
    virtual std::string GetSelectedStringlinesIdx() const = 0;
    // What failed the proof of the written document (its alignment, chainage
    // and deviation); a report that ran and passed, or did not run, shows
    // nothing.
    virtual void ShowProof(const ProofReport &proof) = 0;
};

class IResultControl {
  public:
    virtual ~IResultControl() = default;
    virtual void ShowSummary(const ResultSummary &summary) = 0;
    virtual void ShowPage(int page) = 0;
};

class IDetailsControl {
  public:
    virtual ~IDetailsControl() = default;
    virtual std::string RoadDataName() const = 0;
    virtual void SetRoadDataName(const std::string &name) = 0;
    virtual std::string Description() const = 0;
    virtual void SetDescription(const std::string &description) = 0;
    virtual std::string Creator() const = 0;
    virtual void SetCreator(const std::string &creator) = 0;
    virtual void ShowVersion(bool visible) = 0;
};

class ISelectControl {
  public:
    virtual ~ISelectControl() = default;
    // The chosen horizontal alignments, each with its vertical one.
    virtual std::vector<std::string> GetAlignments() const = 0;
};

// Every control the controller drives.
struct WizardControls {
    IJobTypeControl &JobType;
    IFilesControl &Files;
    IPreferencesControl &Preferences;
    IImportingControl &Importing;
    IExportingControl &Exporting;
    IResultControl &Result;
    IDetailsControl &Details;
    ISelectControl &Select;
};

} // namespace vialto
