// The wizard window driven through its real buttons and boxes: the bundled
// jobs from the input-files page to Finish give the batch converter's
// document byte for byte; the flow's rules as the user meets them.
#include "batch/RunConvert.h"
#include "gui/ctlExporting.h"
#include "gui/ctlFiles.h"
#include "gui/ctlImporting.h"
#include "gui/ctlJobType.h"
#include "gui/ctlProgress.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"
#include "shell/StartUp.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <set>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::WizardDriver;
using vialto::test::WizardEnvironment;

namespace {

class WizardWindow : public ::testing::Test {
  protected:
    // The batch converter's document for the job file and extra options.
    std::string BatchDocument(const std::string &job, std::vector<std::string> options = {}) {
        const std::filesystem::path output = env_.Folder() / ("batch-" + job + ".xml");
        SetProgramFolder(env_.ProgramFolder().string());
        options.insert(options.begin(), {"--job-file", SourcePath("samples/jobs/" + job + ".job"),
                                         "-o", output.string()});
        std::ostringstream out, err;
        EXPECT_EQ(RunConvert(options, out, err), kConvertWritten) << err.str();
        return ReadFileBytes(output);
    }
    static std::string SourcePath(const std::string &relative) {
        return vialto::test::SourcePath(relative).string();
    }
    // Start-up and the window, shown, on its first page.
    void Open(int formats, bool tunnelEditor = true) {
        session_.reset();
        session_ = std::make_unique<vialto::test::WizardSession>(formats, output_, tunnelEditor);
        wizard_ = &session_->Window();
        driver_ = &session_->Hands();
    }
    QPushButton *Button(const char *name) { return driver_->Find<QPushButton>(name); }
    QString Shown(const char *label) { return driver_->Find<QLabel>(label)->text(); }
    // From the input-files page through importing and exporting to the
    // result page.
    void ToResultPage() {
        driver_->Next(); // preferences
        driver_->Next(); // importing: the files are read
        ASSERT_EQ(wizard_->ShownPage(), pageImporting);
        ASSERT_TRUE(wizard_->Controller().Tree().IsAllOk())
            << driver_->Find<QPlainTextEdit>("txtCheckReport")->toPlainText().toStdString();
        driver_->Next(); // exporting
        ASSERT_EQ(wizard_->ShownPage(), pageExporting);
    }
    void FinishAndCompare(const std::string &expected) {
        driver_->Next(); // the document is written
        ASSERT_EQ(wizard_->ShownPage(), pageResult);
        EXPECT_EQ(Button("cmdNext")->text(), Q(AppModel().GetToken("BT_FINISH")));
        EXPECT_FALSE(Button("cmdCancel")->isVisible());
        driver_->Next(); // Finish
        EXPECT_EQ(wizard_->ExitCode(), kExitFinished);
        EXPECT_FALSE(wizard_->isVisible());
        EXPECT_TRUE(ReadFileBytes(output_) == expected) << "the window's document differs";
    }
    static QString Q(const std::string &text) { return QString::fromStdString(text); }

    vialto::test::RecordingUi ui_; // no message box waits for an answer
    WizardEnvironment env_;        // the batch converter's runs and our own files
    std::filesystem::path output_ = env_.Folder() / "out.xml";
    std::unique_ptr<vialto::test::WizardSession> session_;
    frmWizard *wizard_ = nullptr;
    WizardDriver *driver_ = nullptr;
};

} // namespace

TEST_F(WizardWindow, TunnelJobFromTheFilesPageToFinishWritesTheBatchDocument) {
    const std::string expected = BatchDocument("tunnel");
    Open(fmtTunnel);
    // One job type: the window opens on the input-files page, Back is off and
    // the job type page is never shown.
    EXPECT_EQ(wizard_->ShownPage(), pageFiles);
    EXPECT_EQ(Shown("lblTitle"), Q(AppModel().GetToken("LBL_FIL_TIT")));
    EXPECT_FALSE(Button("cmdBack")->isEnabled());
    EXPECT_EQ(wizard_->JobTypePage().JobType(), jobTunnel);
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("listings/road.plt"));
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("listings/road.alz"));
    driver_->TypeFile(1, 3, WizardEnvironment::Sample("tunnel/profiles.xml"));
    ToResultPage();
    EXPECT_FALSE(wizard_->ExportingPage().ChainageRangeEditable()); // tunnels are written whole
    FinishAndCompare(expected);
    // Finish writes the preferences: two tolerances, the unit and three file types.
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences") + WizardEnvironment::KeysIn("Vialto"), 6);
}

TEST_F(WizardWindow, RoadJobWithALayerLeftOutAndAChainageRange) {
    const std::string expected = BatchDocument(
        "road", {"--layers", "Cunetas,Subrasante,Rasante", "--from", "12500", "--to", "14000"});
    Open(fmtRoad | fmtTunnel | fmtRail);
    EXPECT_EQ(wizard_->ShownPage(), pageJobType);
    EXPECT_FALSE(Button("cmdBack")->isEnabled());
    driver_->Click("optJob0");
    driver_->Next();
    ASSERT_EQ(wizard_->ShownPage(), pageFiles);
    EXPECT_TRUE(Button("cmdBack")->isEnabled());
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("listings/road.plt"));
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("listings/road.alz"));
    driver_->TypeFile(1, 3, WizardEnvironment::Sample("cross/road.trv"));
    ToResultPage();
    driver_->TypeInto("txtFromCh", "12500");
    driver_->TypeInto("txtToCh", "14000");
    driver_->TickLayer("Taludes", false);
    EXPECT_EQ(wizard_->ExportingPage().GetSelectedLayers(), "$Cunetas$Subrasante$Rasante$");
    FinishAndCompare(expected);
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences") + WizardEnvironment::KeysIn("Vialto"), 6);
}

TEST_F(WizardWindow, SingleTrackWithItsCantTable) {
    const std::string expected = BatchDocument("rail");
    Open(fmtRoad | fmtTunnel | fmtRail);
    driver_->Click("optJob2");
    driver_->Next();
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("rail/single.plt"));
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("rail/single.alz"));
    driver_->TypeFile(1, 4, WizardEnvironment::Sample("rail/single_cant.xml"));
    ToResultPage();
    FinishAndCompare(expected);
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences") + WizardEnvironment::KeysIn("Vialto"), 7);
}

TEST_F(WizardWindow, DoubleTrackWithTheTracksTakingTheirHeightsFromTheCentreLine) {
    const std::string expected = BatchDocument("double-rail");
    Open(fmtRoad | fmtTunnel | fmtRail);
    driver_->Click("optJob3");
    driver_->Next();
    ASSERT_EQ(wizard_->FilesPage().PagesTot(), 3);
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("rail/double_centre.plt"));
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("rail/double_centre.alz"));
    driver_->Click("file.1.2.option");
    driver_->ShowFilesPage(2);
    driver_->TypeFile(2, 1, WizardEnvironment::Sample("rail/double_left.plt"));
    driver_->TypeFile(2, 4, WizardEnvironment::Sample("rail/double_left_cant.xml"));
    driver_->ShowFilesPage(3);
    driver_->TypeFile(3, 1, WizardEnvironment::Sample("rail/double_right.plt"));
    driver_->TypeFile(3, 4, WizardEnvironment::Sample("rail/double_right_cant.xml"));
    ToResultPage();
    FinishAndCompare(expected);
    // A rail job also keeps the cant table's file type.
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences") + WizardEnvironment::KeysIn("Vialto"), 7);
}

TEST_F(WizardWindow, AFailedLeafKeepsTheUserOnTheImportingPageWithTheReason) {
    vialto::test::WriteFileBytes(env_.Folder() / "broken.plt", "*PLT\r\n1 2 three\r\n");
    Open(fmtTunnel);
    driver_->TypeFile(1, 1, (env_.Folder() / "broken.plt").string());
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("listings/road.alz"));
    driver_->Next();
    driver_->Next();
    ASSERT_EQ(wizard_->ShownPage(), pageImporting);
    driver_->Next();
    EXPECT_EQ(wizard_->ShownPage(), pageImporting);
    // The user picks the failed file in the tree and reads why.
    auto *tree = driver_->Find<QTreeWidget>("tvwImport");
    const QList<QTreeWidgetItem *> leaves = tree->findItems("broken.plt", Qt::MatchRecursive);
    ASSERT_EQ(leaves.size(), 1);
    tree->setCurrentItem(nullptr);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                      tree->visualItemRect(leaves.front()).center());
    const QString report = driver_->Find<QPlainTextEdit>("txtCheckReport")->toPlainText();
    EXPECT_TRUE(report.contains("broken.plt")) << report.toStdString();
    EXPECT_TRUE(report.contains("line 2")) << report.toStdString();
}

TEST_F(WizardWindow, BackFromTheResultPagePutsItsLayoutBack) {
    Open(fmtTunnel);
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("listings/road.plt"));
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("listings/road.alz"));
    ToResultPage();
    driver_->Next();
    ASSERT_EQ(wizard_->ShownPage(), pageResult);
    EXPECT_FALSE(driver_->Find<QWidget>("frHeader")->isVisible());
    driver_->Back();
    EXPECT_EQ(wizard_->ShownPage(), pageExporting);
    EXPECT_TRUE(driver_->Find<QWidget>("frHeader")->isVisible());
    EXPECT_EQ(Shown("lblTitle"), Q(AppModel().GetToken("LBL_EXP_TIT")));
    EXPECT_EQ(Button("cmdNext")->text(), Q(AppModel().GetToken("BT_NEXT")));
    EXPECT_TRUE(Button("cmdCancel")->isVisible());
}

TEST_F(WizardWindow, NothingMovesWhileTheProgressPanelShows) {
    Open(fmtTunnel);
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("listings/road.plt"));
    driver_->TypeFile(1, 2, WizardEnvironment::Sample("listings/road.alz"));
    driver_->Next();
    bool tried = false;
    // Runs inside the import, when the panel first lets the window paint.
    QTimer::singleShot(0, wizard_, [&] {
        tried = true;
        EXPECT_TRUE(wizard_->ProgressPanel().isVisible());
        EXPECT_TRUE(wizard_->ProgressPanel().IsShown());
        for (const char *name : {"cmdBack", "cmdNext", "cmdCancel"}) {
            EXPECT_FALSE(Button(name)->isEnabled()) << name;
            driver_->Click(name);
        }
        QTest::keyClick(wizard_, Qt::Key_Escape);
        wizard_->close();
        EXPECT_EQ(wizard_->ShownPage(), pagePreferences);
        // The hourglass while the page changes.
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    });
    driver_->Next();
    EXPECT_TRUE(tried);
    EXPECT_EQ(wizard_->ShownPage(), pageImporting);
    EXPECT_EQ(wizard_->ExitCode(), -1);
    EXPECT_TRUE(wizard_->isVisible());
    EXPECT_TRUE(Button("cmdNext")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(WizardWindow, CancelEndsWith1223AndWritesNoPreference) {
    Open(fmtTunnel);
    driver_->Next(); // nothing chosen: the file check keeps the user here
    EXPECT_EQ(wizard_->ShownPage(), pageFiles);
    EXPECT_TRUE(driver_->Find<QWidget>("file.1.1.name")->hasFocus());
    driver_->Cancel();
    EXPECT_EQ(wizard_->ExitCode(), kExitCancelled);
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences") + WizardEnvironment::KeysIn("Vialto"), 0);
}

TEST_F(WizardWindow, ClosingTheWindowKeepsThePreferencesButEndsAsCancelled) {
    Open(fmtTunnel);
    wizard_->close();
    EXPECT_EQ(wizard_->ExitCode(), kExitCancelled);
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences") + WizardEnvironment::KeysIn("Vialto"), 6);
}

TEST_F(WizardWindow, WithoutTheTunnelEditorTheTunnelJobHasNoTunnelSlot) {
    Open(fmtTunnel, /*tunnelEditor=*/false);
    EXPECT_FALSE(driver_->Find<QWidget>("file.1.3")->isVisible());
    EXPECT_TRUE(driver_->Find<QWidget>("file.1.2")->isVisible());
}

TEST_F(WizardWindow, FileCheckFocusesTheRowTheDoubleTrackNeeds) {
    Open(fmtRoad | fmtTunnel | fmtRail);
    driver_->Click("optJob3");
    driver_->Next();
    driver_->TypeFile(1, 1, WizardEnvironment::Sample("rail/double_centre.plt"));
    driver_->Next(); // neither track
    EXPECT_EQ(wizard_->FilesPage().CurrentPage(), 2);
    EXPECT_TRUE(driver_->Find<QWidget>("file.2.1.name")->hasFocus());
    driver_->TypeFile(2, 1, WizardEnvironment::Sample("rail/double_left.plt"));
    driver_->Click("file.2.2.option"); // the left track from the right one
    EXPECT_FALSE(driver_->Find<QWidget>("file.2.2.name")->isEnabled());
    driver_->Next();
    EXPECT_EQ(wizard_->FilesPage().CurrentPage(), 3);
    EXPECT_TRUE(driver_->Find<QWidget>("file.3.2.name")->hasFocus());
    driver_->TypeFile(3, 2, WizardEnvironment::Sample("rail/double_centre.alz"));
    driver_->Next(); // and its own cant table
    EXPECT_EQ(wizard_->FilesPage().CurrentPage(), 2);
    EXPECT_TRUE(driver_->Find<QWidget>("file.2.4.name")->hasFocus());
    EXPECT_EQ(wizard_->ShownPage(), pageFiles);
}

TEST_F(WizardWindow, TheFilesPageOffersTheRowsOfEachJobType) {
    // Per job type: the rows shown on pages 1..3 ("p.s"), and the rows with
    // an option.
    struct Case {
        int JobType;
        std::vector<std::string> Rows;
        std::vector<std::string> Options;
    };
    const Case cases[] = {
        {jobRoad, {"1.1", "1.2", "1.3"}, {}},
        {jobTunnel, {"1.1", "1.2", "1.3"}, {}},
        {jobRailSingle, {"1.1", "1.2", "1.4"}, {}},
        {jobRailDouble,
         {"1.1", "1.2", "2.1", "2.2", "2.4", "3.1", "3.2", "3.4"},
         {"1.2", "2.2", "3.2"}},
    };
    for (const Case &c : cases) {
        Open(fmtRoad | fmtTunnel | fmtRail);
        driver_->Click(QStringLiteral("optJob%1").arg(c.JobType));
        driver_->Next();
        ASSERT_EQ(wizard_->ShownPage(), pageFiles);
        for (int page = 1; page <= 3; ++page) {
            if (page <= wizard_->FilesPage().PagesTot())
                driver_->ShowFilesPage(page);
            for (int slot = 1; slot <= 4; ++slot) {
                const std::string row = std::to_string(page) + "." + std::to_string(slot);
                const auto *widget = driver_->Find<QWidget>(Q("file." + row));
                const bool shown = widget && widget->isVisible();
                EXPECT_EQ(shown, std::count(c.Rows.begin(), c.Rows.end(), row) == 1)
                    << "job " << c.JobType << " row " << row;
                const auto *option = driver_->Find<QWidget>(Q("file." + row + ".option"));
                EXPECT_EQ(shown && option->isVisible(),
                          std::count(c.Options.begin(), c.Options.end(), row) == 1)
                    << "job " << c.JobType << " option " << row;
            }
        }
        EXPECT_EQ(driver_->Find<QWidget>("cboRailVt")->isVisible(), c.JobType == jobRailDouble);
        session_.reset();
    }
}

// Every caption of every page comes from the language file through UpdateText:
// after another language file is read, no widget still shows an English text.
TEST_F(WizardWindow, UpdateTextRefreshesEveryCaptionFromTheLanguageFile) {
    Open(fmtRoad | fmtTunnel | fmtRail);
    std::set<QString> english;
    std::string other;
    for (const auto &[token, text] : AppModel().TokenFile().Entries()) {
        english.insert(Q(text));
        other += token + " = «" + text + "»\n";
    }
    AppModel().TokenFile().ReadText(other);
    wizard_->UpdateText();
    std::vector<std::string> stale;
    const auto check = [&](const QWidget *widget, const QString &text) {
        if (english.count(text))
            stale.push_back(widget->objectName().toStdString() + ": " + text.toStdString());
    };
    for (const QWidget *widget : wizard_->findChildren<QWidget *>()) {
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            check(widget, label->text());
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            check(widget, button->text());
        else if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
            check(widget, frame->title());
        else if (const auto *combo = qobject_cast<const QComboBox *>(widget))
            for (int i = 0; i < combo->count(); ++i)
                check(widget, combo->itemText(i));
        check(widget, widget->accessibleName());
        check(widget, widget->toolTip());
    }
    EXPECT_TRUE(stale.empty()) << ::testing::PrintToString(stale);
}
