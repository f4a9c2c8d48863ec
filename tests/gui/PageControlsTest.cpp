// The page controls on their own: the numeric box's typing rules, the layer
// choice, a file dropped onto a row, the remembered files, the progress
// panel's Cancel, and the sibling editor started with a hostile file name.
#include "gui/QtSettingsStore.h"
#include "gui/ctlExporting.h"
#include "gui/ctlFiles.h"
#include "gui/ctlNumericText.h"
#include "gui/ctlProgress.h"
#include "gui/ctlSelectFilename.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"

#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QScopeGuard>
#include <QUrl>

#include <gtest/gtest.h>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::WizardEnvironment;

namespace {

// Types into a box as a user would.
QString Typed(ctlNumericText &box, const QString &keys) {
    box.SetEmpty();
    QTest::keyClicks(box.Edit(), keys);
    return box.Edit()->text();
}

} // namespace

// The typing rules themselves are the wizard's (NumericText); here the box
// applies them to what is typed, in the locale's separators.
TEST(NumericBox, TypingFollowsTheLocalesSeparators) {
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        ctlNumericText box;
        EXPECT_EQ(Typed(box, "1,2,3"), "1,23"); // a second decimal separator is refused
        EXPECT_EQ(Typed(box, "0.5"), "0,5");    // a typed point is the decimal comma
        EXPECT_DOUBLE_EQ(box.NumericValue(), 0.5);
        EXPECT_EQ(Typed(box, "-1-2x+"), "-12"); // a sign only first; letters never
        box.Edit()->setText("1.234,5");         // grouping is accepted in a text put in
        EXPECT_DOUBLE_EQ(box.NumericValue(), 1234.5);
        box.Edit()->setText("1.23,4"); // a broken group puts the last valid text back
        EXPECT_EQ(box.Edit()->text(), "1.234,5");
    }
    ctlNumericText box;
    box.SetNumericValue(12340.00049, 3); // kept exactly until edited
    EXPECT_EQ(box.Edit()->text(), "12340.000");
    EXPECT_DOUBLE_EQ(box.NumericValue(), 12340.00049);
    EXPECT_EQ(Typed(box, "12,5"), "12.5"); // a typed comma is the decimal point here
    EXPECT_DOUBLE_EQ(box.NumericValue(), 12.5);
}

TEST(LayerChoice, NothingTickedIsNone) {
    ctlExporting page;
    page.show();
    EXPECT_EQ(page.GetSelectedLayers(), "__None__");
    page.ShowChoices({0, 100, true, {"A", "B"}, "$A$", ""}, true);
    EXPECT_EQ(page.GetSelectedLayers(), "$A$");
    QTest::mouseClick(page.findChild<QPushButton *>("cmdSelectAll"), Qt::LeftButton);
    EXPECT_EQ(page.GetSelectedLayers(), "$A$B$");
    QTest::mouseClick(page.findChild<QPushButton *>("cmdUnselectAll"), Qt::LeftButton);
    EXPECT_EQ(page.GetSelectedLayers(), "__None__");
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
    EXPECT_TRUE(row.Checked());
}

TEST(FilesPage, RemembersTheLastFilesAndOffersThemAgain) {
    vialto::test::RecordingUi ui;
    WizardEnvironment env;
    env.StartUp(fmtTunnel, env.Folder() / "out.xml");
    const std::string plan = vialto::test::SamplePath("listings/road.plt");
    QtSettingsStore settings;
    const auto configure = [](ctlFiles &files) {
        files.AddPage("Tunnel files");
        files.ConfigFile(1, 1, "Horizontal", "", EditorKind::None);
        files.ConfigFile(1, 2, "Vertical", "", EditorKind::None);
        files.ShowPage(1);
    };
    {
        ctlFiles files(settings);
        configure(files);
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
    configure(again);
    EXPECT_EQ(again.GetFile(1, 1), plan);
    EXPECT_TRUE(again.IsSelected(1, 1));
    EXPECT_EQ(again.GetFile(1, 2), "/gone/road.alz");
    EXPECT_FALSE(again.IsSelected(1, 2)); // a file that has gone is offered, not used
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
    session.Hands().TypeFiles({{"1.3", hostile.string()}});
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
    EXPECT_FALSE(cancel->isVisible()); // nothing can be cancelled yet
    EXPECT_FALSE(panel.CancelRequested());
    ASSERT_TRUE(cancel->isVisible());
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_TRUE(panel.CancelRequested());
    panel.Finish();
    EXPECT_TRUE(shown == 1 && hidden == 1);
    panel.Start("Reading", 0, 0);
    EXPECT_FALSE(panel.CancelRequested());
    panel.Finish();
}
