// The wizard window driven through its real buttons and boxes: the bundled
// jobs from the input-files page to Finish give the batch converter's
// document byte for byte; the flow's rules as the user meets them; the proof
// of the written document on the result page, and a failed proof that keeps
// the user on the exporting page. Run by vialto-screenshots, the tests save a
// picture of the pages they pass (scripts/screenshots.sh writes
// docs/screenshots/).
#include "batch/RunConvert.h"
#include "gui/DrawingView.h"
#include "gui/ctlExporting.h"
#include "gui/ctlFiles.h"
#include "gui/ctlProgress.h"
#include "gui/ctlProofPreview.h"
#include "gui/ctlResult.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"
#include "shell/StartUp.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace vialto;
using ::testing::AllOf;
using ::testing::HasSubstr;
using vialto::test::ReadFileBytes;
using vialto::test::TheScreenshots;
using vialto::test::WizardEnvironment;

namespace {

// A sample's path; while pictures are taken, that of its copy in the fixed
// folder.
std::string Sample(const std::string &relative) {
    const std::filesystem::path path = vialto::test::SamplePath(relative);
    if (TheScreenshots.Folder.empty())
        return path.string();
    const std::filesystem::path copy = TheScreenshots.Demo / path.filename();
    std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing);
    return copy.string();
}

class WizardWindow : public ::testing::Test {
  protected:
    // The batch converter's document for the job file and extra options.
    std::string BatchDocument(const std::string &job, std::vector<std::string> options = {}) {
        const std::filesystem::path output = env_.Folder() / ("batch-" + job + ".xml");
        SetProgramFolder(env_.ProgramFolder().string());
        options.insert(options.begin(),
                       {"--job-file", vialto::test::SamplePath("jobs/" + job + ".job"), "-o",
                        output.string()});
        std::ostringstream out, err;
        EXPECT_EQ(RunConvert(options, out, err), kConvertWritten) << err.str();
        return ReadFileBytes(output);
    }
    // Start-up and the window, shown, on its first page.
    void Open(int formats = fmtRoad | fmtTunnel | fmtRail, bool tunnelEditor = true) {
        session_.reset();
        session_ = std::make_unique<vialto::test::WizardSession>(formats, output_, tunnelEditor);
        wizard_ = &session_->Window();
        hands_ = &session_->Hands();
    }
    template <class T = QWidget> T *Find(const char *name) { return hands_->Find<T>(name); }
    QString Shown(const char *label) { return Find<QLabel>(label)->text(); }
    // What frames the page: the header's title ("" when it is hidden), then
    // each button shown with its caption, "(off)" when disabled.
    std::string Frame() {
        QString frame = Find("frHeader")->isVisible() ? Shown("lblTitle") : "";
        for (const char *name : {"cmdBack", "cmdNext", "cmdCancel"})
            if (const auto *button = Find<QPushButton>(name); button->isVisible())
                frame += " | " + button->text() + (button->isEnabled() ? "" : " (off)");
        return frame.toStdString();
    }
    // The picture of a step of the job named in job_: "road-3-preferences".
    void Step(const char *page) {
        if (!job_.empty())
            hands_->Shot(job_ + "-" + std::to_string(++step_) + "-" + page);
    }
    // From the input-files page through preferences (a horizontal tolerance
    // typed there, if given) and importing to the exporting page.
    void ToExportingPage(const QString &toleranceHz = {}) {
        Step("files");
        hands_->Next();
        Step("preferences");
        if (!toleranceHz.isEmpty())
            hands_->TypeInto("txtToleranceHz", toleranceHz);
        hands_->Next(); // the files are read
        ASSERT_EQ(wizard_->ShownPage(), pageImporting);
        ASSERT_TRUE(wizard_->Controller().Tree().IsAllOk())
            << Find<QPlainTextEdit>("txtCheckReport")->toPlainText().toStdString();
        Step("importing");
        hands_->Next();
        ASSERT_EQ(wizard_->ShownPage(), pageExporting);
    }
    // Finish on the result page, once the document is written.
    void Finish(const std::string &expected) {
        ASSERT_EQ(Frame(), " | < Back | Finish");
        hands_->Next();
        EXPECT_EQ(wizard_->ExitCode(), kExitFinished);
        EXPECT_FALSE(wizard_->isVisible());
        EXPECT_TRUE(ReadFileBytes(output_) == expected) << "the window's document differs";
    }

    vialto::test::RecordingUi ui_; // no message box waits for an answer
    WizardEnvironment env_;        // the batch converter's runs and our own files
    std::filesystem::path output_ = env_.Folder() / "out.xml";
    std::unique_ptr<vialto::test::WizardSession> session_;
    frmWizard *wizard_ = nullptr;
    vialto::test::WizardDriver *hands_ = nullptr;
    std::string job_; // the pictures' name
    int step_ = 0;
};

} // namespace

TEST_F(WizardWindow, TunnelJobFromTheFilesPageToFinishWritesTheBatchDocument) {
    const std::string expected = BatchDocument("tunnel");
    Open(fmtTunnel);
    job_ = "tunnel";
    // One job type: the window opens on the input-files page with Back off.
    EXPECT_EQ(Frame(), "Input files | < Back (off) | Next > | Cancel");
    hands_->TypeFiles({{"1.1", Sample("listings/road.plt")},
                       {"1.2", Sample("listings/road.alz")},
                       {"1.3", Sample("tunnel/profiles.xml")}});
    ToExportingPage();
    EXPECT_FALSE(wizard_->ExportingPage().ChainageRangeEditable()); // tunnels are written whole
    Step("exporting");
    hands_->Next();
    Step("result");
    // Back from the result page puts the header and the buttons back.
    EXPECT_EQ(Frame(), " | < Back | Finish");
    hands_->Back();
    EXPECT_EQ(Frame(), "Exporting | < Back | Next > | Cancel");
    hands_->Next();
    Finish(expected);
    // Finish writes the preferences: two tolerances, the unit and three file types.
    EXPECT_EQ(WizardEnvironment::PreferenceKeys(), 6);
}

TEST_F(WizardWindow, RoadJobWithALayerLeftOutAndAChainageRange) {
    const std::string expected = BatchDocument(
        "road", {"--layers", "Cunetas,Subrasante,Rasante", "--from", "12500", "--to", "14000"});
    Open();
    job_ = "road";
    EXPECT_EQ(Frame(), "Job type | < Back (off) | Next > | Cancel");
    hands_->Click("optJob0");
    Step("job-type");
    hands_->Next();
    EXPECT_EQ(Frame(), "Input files | < Back | Next > | Cancel");
    hands_->TypeFiles({{"1.1", Sample("listings/road.plt")},
                       {"1.2", Sample("listings/road.alz")},
                       {"1.3", Sample("cross/road.trv")}});
    ToExportingPage();
    hands_->TypeInto("txtFromCh", "12500");
    hands_->TypeInto("txtToCh", "14000");
    hands_->TickLayer("Taludes", false);
    Step("exporting");
    // The progress panel as the cross sections start to be written (the stage
    // lets the window paint at every start of a step).
    bool writing = false;
    QTimer watch;
    const QString title = QString::fromStdString(AppModel().GetToken("T_EXPORTING_CR"));
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (wizard_->ProgressPanel().Tittle() == title &&
            Find<QProgressBar>("barProgress")->maximum() > 0) {
            watch.stop();
            writing = true;
            Step("progress");
        }
    });
    watch.start(0);
    hands_->Next();
    watch.stop();
    EXPECT_TRUE(writing);
    Step("result");
    // The drawings of the document read back: the plan and a cross section.
    ctlProofPreview &panel = wizard_->ResultPage().ProofPanel();
    panel.setCurrentIndex(ctlProofPreview::tabPlan);
    Step("result-plan");
    panel.setCurrentIndex(ctlProofPreview::tabSections);
    panel.ShowSection(panel.SectionCount() / 2);
    Step("result-section");
    Finish(expected);
}

TEST_F(WizardWindow, DoubleTrackWithTheTracksTakingTheirHeightsFromTheCentreLine) {
    const std::string expected = BatchDocument("double-rail");
    Open();
    hands_->ChooseJob(jobRailDouble);
    hands_->TypeFiles(
        {{"1.1", Sample("rail/double_centre.plt")}, {"1.2", Sample("rail/double_centre.alz")}});
    hands_->Click("file.1.2.option");
    hands_->Shot("double-track-files");
    hands_->Next(); // neither track: the file check shows the row to fill in
    EXPECT_EQ(wizard_->FilesPage().CurrentPage(), 2);
    EXPECT_TRUE(Find("file.2.1.name")->hasFocus());
    hands_->TypeFiles({{"2.1", Sample("rail/double_left.plt")},
                       {"2.4", Sample("rail/double_left_cant.xml")},
                       {"3.1", Sample("rail/double_right.plt")},
                       {"3.4", Sample("rail/double_right_cant.xml")}});
    // A track taking its heights from the other one reads no vertical listing.
    hands_->Click("file.2.2.option");
    EXPECT_FALSE(Find("file.2.2.name")->isEnabled());
    hands_->Click("file.2.2.option");
    ToExportingPage();
    hands_->Next();
    Finish(expected);
    EXPECT_EQ(WizardEnvironment::PreferenceKeys(), 7); // and the cant table's file type
}

TEST_F(WizardWindow, AFailedLeafKeepsTheUserOnTheImportingPageWithTheReason) {
    vialto::test::WriteFileBytes(env_.Folder() / "broken.plt", "*PLT\r\n1 2 three\r\n");
    Open(fmtTunnel);
    hands_->TypeFiles(
        {{"1.1", (env_.Folder() / "broken.plt").string()}, {"1.2", Sample("listings/road.alz")}});
    hands_->Next();
    hands_->Next();
    ASSERT_EQ(wizard_->ShownPage(), pageImporting);
    hands_->Shot("importing-failed");
    hands_->Next();
    EXPECT_EQ(wizard_->ShownPage(), pageImporting);
    // The user picks the failed file in the tree and reads why.
    auto *tree = Find<QTreeWidget>("tvwImport");
    const QList<QTreeWidgetItem *> leaves = tree->findItems("broken.plt", Qt::MatchRecursive);
    ASSERT_EQ(leaves.size(), 1);
    tree->setCurrentItem(nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree->visualItemRect(leaves.front()).center());
    const QString report = Find<QPlainTextEdit>("txtCheckReport")->toPlainText();
    EXPECT_TRUE(report.contains("broken.plt") && report.contains("line 2")) << report.toStdString();
}

// Nothing moves while the progress panel shows; once it has gone, closing the
// window keeps the preferences but ends as cancelled (Cancel, which writes
// none, is the program's test).
TEST_F(WizardWindow, NothingMovesWhileTheProgressPanelShows) {
    Open(fmtTunnel);
    hands_->TypeFiles({{"1.1", Sample("listings/road.plt")}, {"1.2", Sample("listings/road.alz")}});
    hands_->Next();
    bool tried = false;
    // Runs inside the import, when the panel first lets the window paint.
    QTimer::singleShot(0, wizard_, [&] {
        tried = true;
        EXPECT_TRUE(wizard_->ProgressPanel().isVisible());
        EXPECT_EQ(Frame(), "Importing | < Back (off) | Next > (off) | Cancel (off)");
        for (const char *name : {"cmdBack", "cmdNext", "cmdCancel"})
            hands_->Click(name);
        QTest::keyClick(wizard_, Qt::Key_Escape);
        wizard_->close();
        EXPECT_EQ(wizard_->ShownPage(), pagePreferences);
        ASSERT_NE(QApplication::overrideCursor(), nullptr); // the hourglass
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    });
    hands_->Next();
    EXPECT_TRUE(tried);
    EXPECT_EQ(wizard_->ShownPage(), pageImporting);
    EXPECT_TRUE(wizard_->ExitCode() == -1 && wizard_->isVisible());
    EXPECT_TRUE(Find("cmdNext")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    wizard_->close();
    EXPECT_EQ(wizard_->ExitCode(), kExitCancelled);
    EXPECT_EQ(WizardEnvironment::PreferenceKeys(), 6);
}

TEST_F(WizardWindow, TheFilesPageOffersTheRowsOfEachJobType) {
    // Per job type: the rows shown on pages 1..3 ("p.s"), and the rows with
    // an option; the tunnel slot only beside the tunnel profile editor.
    struct Case {
        int JobType;
        bool TunnelEditor;
        const char *Rows, *Options;
    };
    const Case cases[] = {
        {jobRoad, true, "1.1 1.2 1.3 ", ""},
        {jobTunnel, true, "1.1 1.2 1.3 ", ""},
        {jobTunnel, false, "1.1 1.2 ", ""},
        {jobRailSingle, true, "1.1 1.2 1.4 ", ""},
        {jobRailDouble, true, "1.1 1.2 2.1 2.2 2.4 3.1 3.2 3.4 ", "1.2 2.2 3.2 "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "job " << c.JobType << " editor " << c.TunnelEditor);
        Open(fmtRoad | fmtTunnel | fmtRail, c.TunnelEditor);
        hands_->ChooseJob(c.JobType);
        ASSERT_EQ(wizard_->ShownPage(), pageFiles);
        QString rows, options;
        for (int page = 1; page <= wizard_->FilesPage().PagesTot(); ++page) {
            hands_->ShowFilesPage(page);
            for (int slot = 1; slot <= 4; ++slot) {
                const QString row = QStringLiteral("%1.%2").arg(page).arg(slot);
                if (const QWidget *shown = hands_->Find("file." + row);
                    !shown || !shown->isVisible())
                    continue;
                rows += row + " ";
                if (hands_->Find("file." + row + ".option")->isVisible())
                    options += row + " ";
            }
        }
        EXPECT_EQ(rows, c.Rows);
        EXPECT_EQ(options, c.Options);
        EXPECT_EQ(Find("cboRailVt")->isVisible(), c.JobType == jobRailDouble);
    }
}

// Every caption of every page comes from the language file through UpdateText:
// after another language file is read, no widget still shows an English text.
TEST_F(WizardWindow, UpdateTextRefreshesEveryCaptionFromTheLanguageFile) {
    Open();
    std::set<QString> english;
    std::string other;
    for (const auto &[token, text] : AppModel().TokenFile().Entries()) {
        english.insert(QString::fromStdString(text));
        other += token + " = «" + text + "»\n";
    }
    AppModel().TokenFile().ReadText(other);
    wizard_->UpdateText();
    std::vector<std::string> stale;
    for (const QWidget *widget : wizard_->findChildren<QWidget *>()) {
        // Labels and buttons have a text, frames a title, choices their items.
        QStringList texts = {widget->property("text").toString(),
                             widget->property("title").toString(), widget->accessibleName(),
                             widget->toolTip()};
        if (const auto *combo = qobject_cast<const QComboBox *>(widget))
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        for (const QString &text : texts)
            if (english.count(text))
                stale.push_back(widget->objectName().toStdString() + ": " + text.toStdString());
    }
    EXPECT_TRUE(stale.empty()) << ::testing::PrintToString(stale);
}

// A tolerance finer than the document's own rounding to the micrometre, but
// not than the sample's listed points: the import passes, the proof cannot.
// With a coarser one the result page shows the proof's figures and drawings.
TEST_F(WizardWindow, AFailedProofKeepsTheUserOnTheExportingPageAPassedOneShowsItsFigures) {
    vialto::test::WriteFileBytes(output_, "earlier document");
    Open();
    hands_->ChooseJob(jobRailSingle);
    hands_->TypeFiles({{"1.1", Sample("rail/single.plt")},
                       {"1.2", Sample("rail/single.alz")},
                       {"1.4", Sample("rail/single_cant.xml")}});
    ToExportingPage("0.0000012");
    hands_->Next();
    EXPECT_EQ(wizard_->ShownPage(), pageExporting);
    hands_->Shot("exporting-proof-failed");
    auto *failed = Find<QLabel>("lblProofFailed");
    ASSERT_TRUE(failed->isVisible());
    EXPECT_THAT(failed->text().toStdString(),
                AllOf(HasSubstr(AppModel().GetToken("LBL_PROOF_FAILED")),
                      HasSubstr("alignment \"single\", chainage "),
                      HasSubstr("over the tolerance 0.000001 m")));
    EXPECT_EQ(ReadFileBytes(output_), "earlier document");
    // Back to the preferences for a coarser tolerance: the exporting page
    // opens again without the old failure.
    hands_->Back();
    hands_->Back();
    ASSERT_EQ(wizard_->ShownPage(), pagePreferences);
    hands_->TypeInto("txtToleranceHz", "0.01");
    hands_->Next();
    hands_->Next();
    ASSERT_EQ(wizard_->ShownPage(), pageExporting);
    EXPECT_FALSE(failed->isVisible());
    hands_->Next();
    ASSERT_EQ(wizard_->ShownPage(), pageResult);
    const ctlProofPreview &panel = wizard_->ResultPage().ProofPanel();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(Shown("lblProofVerdict").toStdString(), AppModel().GetToken("LBL_PROOF_PASSED"));
    // One alignment, each check of a rail track with its worst figure.
    auto *figures = Find<QTreeWidget>("tvwProofFigures");
    ASSERT_EQ(figures->topLevelItemCount(), 1);
    const QTreeWidgetItem *single = figures->topLevelItem(0);
    QString checks = single->text(0) + ":"; // each check's figure is in metres
    for (int k = 0; k < single->childCount(); ++k)
        checks += " " + single->child(k)->text(0) +
                  (single->child(k)->text(1).endsWith(" m") ? ";" : " ?;");
    EXPECT_EQ(checks, "single: plan; element ends; height; rail spread; rail heights;");
    // The drawings of the document read back (drawn as the preview's tests
    // show): the plan, the profile, and the sections stepped through.
    EXPECT_FALSE(panel.PlanView().Shown().Empty());
    EXPECT_EQ(panel.ProfileCount(), 1);
    ASSERT_GT(panel.SectionCount(), 2);
    EXPECT_EQ(Shown("lblPreviewSection"), QStringLiteral("1 / %1").arg(panel.SectionCount()));
    EXPECT_FALSE(Find("cmdPreviewSectionPrevious")->isEnabled());
    const std::string first = panel.SectionView().Shown().Title;
    hands_->Click("cmdPreviewSectionNext");
    EXPECT_EQ(Shown("lblPreviewSection"), QStringLiteral("2 / %1").arg(panel.SectionCount()));
    EXPECT_NE(panel.SectionView().Shown().Title, first);
    EXPECT_TRUE(Find("cmdPreviewSectionPrevious")->isEnabled());
}
