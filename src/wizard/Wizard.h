// The wizard's controller: prepares each page when it is entered and checks
// or acts on it when it is left. It builds the input-files page for the job
// type, checks the chosen files, runs the import stage when the importing
// page is entered and the export stage when the exporting page is left, and
// reads the preferences when it is created and writes them back when the
// window is unloaded (never on Cancel).
#pragma once

#include "shell/Settings.h"
#include "shell/UserInterface.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportTree.h"
#include "wizard/JobDescription.h"
#include "wizard/PageFlow.h"
#include "wizard/ResultSummary.h"
#include "wizard/WizardControls.h"

namespace vialto {

// The first summary page (1-based) whose first row has a description; 1 when
// none has.
int FirstSummaryPageWithRows(const ResultSummary &summary);

// What the importing page shows for each node of the tree: a page's title, a
// file's name with its extension (the tree's own texts drop it, so a plan
// and a profile of one name look alike), or for a part made without a file
// (a track's generated profile) its caption, which says what it is.
std::vector<std::string> ImportTreeLabels(const ImportTree &tree, const JobDescription &job);

class clsWizard final : public IPageHandlers {
  public:
    // Sets the converter's identity and the conversion flags, appends the
    // pages files, preferences, importing, exporting and result to the flow,
    // and reads the preferences into the controls.
    clsWizard(WizardFlow &flow, IWizardWindow &window, const WizardControls &controls,
              ISettings &settings, IProgress &progress);

    bool IntroPage(int page) override;
    bool ExitPage(int page) override;
    void Release() override;

    // The job as the pages describe it now.
    JobDescription JobFromControls() const;
    const ImportTree &Tree() const { return tree_; }
    const ResultSummary &Summary() const { return summary_; }

  private:
    bool IntroPageFiles();
    bool ExitPageFiles();
    bool IntroPagePreferences();
    bool IntroPageImporting();
    bool IntroPageExporting();
    bool ExitPageExporting();
    bool IntroPageResult();
    bool ExitPageResult();
    bool IntroPageDetails();
    bool ExitPageSelect();

    WizardFlow &flow_;
    IWizardWindow &window_;
    WizardControls controls_;
    ISettings &settings_;
    IProgress &progress_;
    JobDescription job_;
    ImportTree tree_;
    ExportChoices choices_;
    ResultSummary summary_;
    bool released_ = false;
};

} // namespace vialto
