// The wizard window: a header band (title and subtitle of the page), the page
// area showing one page control at a time (or the progress panel while a
// stage runs), and the button row with Back, Next/Finish and Cancel. The page
// flow and the controller live in wizard/; the window shows what they say.
#pragma once

#include "shell/Settings.h"
#include "wizard/PageFlow.h"
#include "wizard/Wizard.h"

#include <QDialog>

#include <memory>

class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;

namespace vialto {

class ctlDetails;
class ctlExporting;
class ctlFiles;
class ctlImporting;
class ctlJobType;
class ctlPreferences;
class ctlProgress;
class ctlResult;
class ctlSelect;
class ctlSelectStrLns;

class frmWizard : public QDialog, public IWizardWindow {
    Q_OBJECT
  public:
    // The default size: 590 x 465 logical pixels; the window may grow.
    static constexpr int kDefaultWidth = 590;
    static constexpr int kDefaultHeight = 465;

    explicit frmWizard(ISettings &settings, QWidget *parent = nullptr);
    ~frmWizard() override;

    // Sets the texts and enters the first page (the hourglass meanwhile).
    void Open();
    // The exit code the wizard ended with; -1 while it runs.
    int ExitCode() const { return exitCode_; }

    // IWizardWindow
    void ShowPage(int page) override;
    void SetHeader(const std::string &title, const std::string &subtitle) override;
    void SetHeaderVisible(bool visible) override;
    void SetButtons(const ButtonStates &states) override;
    bool IsProgressVisible() const override;
    void SetBusy(bool busy) override;
    void EndWizard(int exitCode) override;

    // The id of the page shown (the progress panel aside).
    int ShownPage() const { return shownPage_; }
    WizardFlow &Flow() { return flow_; }
    clsWizard &Controller() { return *controller_; }
    ctlJobType &JobTypePage() const { return *jobType_; }
    ctlFiles &FilesPage() const { return *files_; }
    ctlPreferences &PreferencesPage() const { return *preferences_; }
    ctlImporting &ImportingPage() const { return *importing_; }
    ctlExporting &ExportingPage() const { return *exporting_; }
    ctlProgress &ProgressPanel() const { return *progress_; }
    ctlResult &ResultPage() const { return *result_; }
    // The header and every page control reload their captions from the
    // language file.
    void UpdateText();

  signals:
    void Ended(int exitCode);

  protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

  private:
    void ShowProgressPanel();
    void HideProgressPanel();

    WizardFlow flow_;
    QFrame *header_;
    QLabel *title_;
    QLabel *subtitle_;
    QStackedWidget *pageArea_;
    QLabel *version_;
    QPushButton *back_;
    QPushButton *next_;
    QPushButton *cancel_;
    ctlJobType *jobType_;
    ctlFiles *files_;
    ctlDetails *details_;
    ctlPreferences *preferences_;
    ctlImporting *importing_;
    ctlExporting *exporting_;
    ctlResult *result_;
    ctlSelectStrLns *selectStrLns_;
    ctlSelect *select_;
    ctlProgress *progress_;
    std::unique_ptr<clsWizard> controller_;
    ButtonStates buttons_;
    int shownPage_ = -1;
    int exitCode_ = -1;
    int busy_ = 0;
};

} // namespace vialto
