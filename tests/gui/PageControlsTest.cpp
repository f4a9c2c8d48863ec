// The page controls on their own: the numeric box's typing rules, the layer
// choice, a file dropped onto a row, the remembered files, the duplicate
// alignment message, the progress panel's Cancel, and the sibling editor
// started with a hostile file name.
#include "gui/QtSettingsStore.h"
#include "gui/ctlExporting.h"
#include "gui/ctlFiles.h"
#include "gui/ctlNumericText.h"
#include "gui/ctlProgress.h"
#include "gui/ctlSelect.h"
#include "gui/ctlSelectFilename.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"

#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::WizardDriver;
using vialto::test::WizardEnvironment;

namespace {

// Types into a box as a user would.
QString Typed(ctlNumericText &box, const QString &keys) {
    box.SetEmpty();
    QTest::keyClicks(box.Edit(), keys);
    return box.Edit()->text();
}

// Restores the default locale however the test ends.
class LocaleGuard {
  public:
    explicit LocaleGuard(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

TEST(NumericBox, DecimalCommaLocale) {
    const LocaleGuard german(QLocale(QLocale::German, QLocale::Germany));
    ctlNumericText box;
    EXPECT_EQ(Typed(box, "1,2,3"), "1,23"); // a second decimal separator is refused
    EXPECT_EQ(Typed(box, "0.5"), "0,5");    // a typed point is the decimal comma
    EXPECT_DOUBLE_EQ(box.NumericValue(), 0.5);
    EXPECT_EQ(Typed(box, "-1-2x+"), "-12"); // a sign only first; letters never
    box.Edit()->setText("1.234,5");         // grouping is accepted in a text put in
    EXPECT_EQ(box.Edit()->text(), "1.234,5");
    EXPECT_DOUBLE_EQ(box.NumericValue(), 1234.5);
    box.Edit()->setText("1.23,4"); // a broken group puts the last valid text back
    EXPECT_EQ(box.Edit()->text(), "1.234,5");
    box.SetNumericValue(0.01, 3);
    EXPECT_EQ(box.Edit()->text(), "0,010");
}

TEST(NumericBox, AValueSetByTheProgramIsKeptUntilEdited) {
    ctlNumericText box;
    box.SetNumericValue(12340.00049, 3);
    EXPECT_EQ(box.Edit()->text(), "12340.000");
    EXPECT_DOUBLE_EQ(box.NumericValue(), 12340.00049);
    EXPECT_EQ(Typed(box, "12,5"), "12.5"); // a typed comma is the decimal point here
    EXPECT_DOUBLE_EQ(box.NumericValue(), 12.5);
}

TEST(LayerChoice, NothingTickedIsNoneAndOneLayerIsItsName) {
    ctlExporting page;
    EXPECT_EQ(page.GetSelectedLayers(), "__None__");
    const QString a = page.AddLayer("A");
    page.AddLayer("B");
    page.AddStringline(a, "a1", 7);
    page.AddStringline(a, "a2", 9);
    EXPECT_EQ(page.GetSelectedLayers(), "$A$B$");
    EXPECT_EQ(page.GetSelectedLayersIdx(), "$0$1$");
    EXPECT_EQ(page.GetSelectedStringlinesIdx(), "$7$9$");
    page.SelectAll(false);
    EXPECT_EQ(page.GetSelectedLayers(), "__None__");
    EXPECT_EQ(page.GetSelectedStringlinesIdx(), "");
    page.SelectAll(true);
    page.ShowChoices({0, 100, true, {"A", "B"}, "$A$", ""}, true);
    EXPECT_EQ(page.GetSelectedLayers(), "$A$");
}

TEST(FileRow, TakesOneDroppedLocalFile) {
    ctlSelectFilename row(1, 1);
    row.show();
    auto drop = [&](const QList<QUrl> &urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&row, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&row, &dropped);
        return enter.isAccepted();
    };
    EXPECT_FALSE(drop({QUrl("https://example.org/a.plt")}));
    EXPECT_FALSE(drop({QUrl::fromLocalFile("/x/a.plt"), QUrl::fromLocalFile("/x/b.plt")}));
    EXPECT_EQ(row.Filename(), "");
    EXPECT_TRUE(drop({QUrl::fromLocalFile("/data/road 1.plt")}));
    EXPECT_EQ(row.Filename(), QDir::toNativeSeparators("/data/road 1.plt"));
    EXPECT_EQ(row.GetName(), "road 1");
    EXPECT_TRUE(row.Checked());
}

TEST(FilesPage, RemembersTheLastFilesAndOffersThemAgain) {
    vialto::test::RecordingUi ui;
    WizardEnvironment env;
    env.StartUp(fmtTunnel, env.Folder() / "out.xml");
    const std::string plan = WizardEnvironment::Sample("listings/road.plt");
    QtSettingsStore settings;
    {
        ctlFiles files(settings);
        files.AddPage("Tunnel files");
        files.ConfigFile(1, 1, "Horizontal", "", EditorKind::None);
        files.ConfigFile(1, 2, "Vertical", "", EditorKind::None);
        files.ShowPage(1);
        files.show();
        files.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&files));
        QLineEdit *box = files.findChild<QLineEdit *>("file.1.1.name");
        box->setFocus();
        QTest::keyClicks(box, QString::fromStdString(plan));
        QTest::keyClick(box, Qt::Key_Tab); // leaving the box stores its file
        EXPECT_EQ(WizardEnvironment::KeysIn("Files"), 1);
        QTest::keyClicks(files.findChild<QLineEdit *>("file.1.2.name"), "/gone/road.alz");
        files.hide(); // leaving the page stores every file
    }
    EXPECT_EQ(WizardEnvironment::KeysIn("Files"), 2);
    ctlFiles again(settings);
    again.AddPage("Tunnel files");
    again.ConfigFile(1, 1, "Horizontal", "", EditorKind::None);
    again.ConfigFile(1, 2, "Vertical", "", EditorKind::None);
    again.ShowPage(1);
    EXPECT_EQ(again.GetFile(1, 1), plan);
    EXPECT_TRUE(again.IsSelected(1, 1));
    EXPECT_EQ(again.GetFile(1, 2), "/gone/road.alz");
    EXPECT_FALSE(again.IsSelected(1, 2)); // a file that has gone is offered, not used
}

TEST(SelectPage, AnAlignmentNameTwiceIsRefusedOnce) {
    vialto::test::RecordingUi ui;
    ctlSelect page;
    EXPECT_TRUE(page.AddHzAlignment("Axis 1"));
    EXPECT_FALSE(page.AddHzAlignment("Axis 1"));
    EXPECT_TRUE(page.AddHzAlignment("Axis 2"));
    EXPECT_EQ(page.HzCount(), 2);
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "A horizontal alignment exist with name Axis 1");
    EXPECT_TRUE(page.AddVtAlignment("Profile"));
    EXPECT_FALSE(page.AddVtAlignment("Profile"));
    EXPECT_EQ(ui.Messages.size(), 2u);
}

TEST(SiblingEditor, AHostileFileNameIsOnlyAFileName) {
    vialto::test::RecordingUi ui;
    vialto::test::TempDir files;
    vialto::test::WizardSession session(fmtTunnel, files / "out.xml");
    // The recording editor stands in for the tunnel profile editor.
    std::filesystem::copy_file(VIALTO_FAKE_EDITOR,
                               session.Environment().ProgramFolder() /
                                   (std::string(kTunnelEditorName) + ExecutableSuffix()),
                               std::filesystem::copy_options::overwrite_existing);
    const std::filesystem::path log = files / "editor.log";
    qputenv("VIALTO_FAKE_EDITOR_LOG", QByteArray::fromStdString(log.string()));
    const std::filesystem::path hostile =
        files / "p; touch pwned1 ; $(touch pwned2) `touch pwned3` \"q\" 'r' & x.xml";
    vialto::test::WriteFileBytes(hostile, "<TunnelProfiles/>");
    session.Hands().TypeFile(1, 3, hostile.string());
    session.Hands().Click("file.1.3.edit"); // returns when the editor has ended
    qunsetenv("VIALTO_FAKE_EDITOR_LOG");
    EXPECT_EQ(ReadFileBytes(log), std::string("-l") + '\0' + hostile.string() + '\0' + "\n");
    for (const char *name : {"pwned1", "pwned2", "pwned3"}) {
        EXPECT_FALSE(std::filesystem::exists(files / name)) << name;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::current_path() / name)) << name;
    }
    EXPECT_TRUE(session.Window().isEnabled()); // the window takes input again
}

// The panel's own Cancel: offered once the running step asks, answered on the
// next question, and forgotten by the next piece of work.
TEST(ProgressPanel, ItsCancelIsOfferedWhenAskedAndForgottenByTheNextRun) {
    ctlProgress panel;
    int shown = 0, hidden = 0;
    panel.SetPanelHandlers([&] { ++shown; }, [&] { ++hidden; });
    panel.show();
    auto *cancel = panel.findChild<QPushButton *>(QStringLiteral("cmdProgressCancel"));
    panel.Start("Writing", 0, 10);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(cancel->isVisible()); // nothing can be cancelled yet
    EXPECT_FALSE(panel.CancelRequested());
    ASSERT_TRUE(cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(panel.CancelRequested());
    panel.Finish();
    EXPECT_EQ(hidden, 1);
    EXPECT_FALSE(panel.IsShown());
    panel.Start("Reading", 0, 0);
    EXPECT_FALSE(panel.CancelRequested());
    panel.Finish();
}
