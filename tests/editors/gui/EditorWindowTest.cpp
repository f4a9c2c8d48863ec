// The editors' window driven as a user drives it, on the offscreen platform:
// cells typed into, buttons clicked, what the window shows read back, and the
// saved file judged by the converter's own readers. With
// VIALTO_SCREENSHOTS_DIR set, it also saves a picture of each editor there.
#include "editor-window/EditorWindow.h"
#include "../EditorFakes.h"
#include "editors/CantEditing.h"
#include "editors/EditorCommandLine.h"
#include "editors/TunnelEditing.h"
#include "shell/AppModel.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTest>

using namespace vialto;
using namespace vialto::editors;
using namespace vialto::editors::test;

namespace {

template <class W> W *Find(QWidget &window, const char *name) {
    W *widget = window.findChild<W *>(name);
    if (widget == nullptr)
        qFatal("no widget named %s", name);
    return widget;
}

QString Verdict(QWidget &window) { return Find<QLabel>(window, "verdict")->text(); }

void Show(QWidget &window) {
    window.resize(900, 560);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Opens the cell's editor with the edit key, as a user does, and gives it back.
QWidget *OpenCell(QTableView *view, int row, int column) {
    view->setFocus();
    view->setCurrentIndex(view->model()->index(row, column));
    QTest::keyClick(view, Qt::Key_F2);
    return QApplication::focusWidget();
}

void TypeIntoCell(QTableView *view, int row, int column, const QString &text) {
    auto *editor = qobject_cast<QLineEdit *>(OpenCell(view, row, column));
    QVERIFY(editor != nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents(); // the view commits a cell on Return in a queued call
}

} // namespace

class EditorWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        AppModel().Reset();
        SetProgramFolder(VIALTO_BIN_DIR);
        AppModel().TokenFile().ReadFile("StridonV2.lng");
    }

    void tubrixTemplateIsEditedThroughTheWindow() {
        TempDir dir;
        FakeDialogs dialogs;
        dialogs.SavePath = (dir / "new set.xml").string(); // the save dialog's answer
        EditorSession session(TunnelKind());
        QVERIFY(StartSession(session, ParseTubrixArguments({"-l"}), dialogs));
        EditorWindow window(session, dialogs);
        Show(window);
        auto *view = Find<QTableView>(window, "table");
        QCOMPARE(view->model()->rowCount(), 2);
        QVERIFY(Verdict(window).contains("reads this file: 2 profiles"));

        TypeIntoCell(view, 1, tunnelChainage, "250,5");
        QTest::mouseClick(Find<QPushButton>(window, "addRow"), Qt::LeftButton);
        TypeIntoCell(view, 2, tunnelName, "Portal");
        view->selectRow(0);
        QTest::mouseClick(Find<QPushButton>(window, "removeRow"), Qt::LeftButton);
        QVERIFY(window.isWindowModified());
        QTest::mouseClick(Find<QPushButton>(window, "save"), Qt::LeftButton);
        QVERIFY(dialogs.Told.empty());
        QVERIFY(!window.isWindowModified());

        QVERIFY(Verdict(window).contains("reads this file: 2 profiles from 250.500 to 270.500 m."));
        // The template's second profile at 250.5 and, 20 m after it, the added
        // one named Portal with the layer of the row above.
        QCOMPARE(ReadFileBytes(dialogs.SavePath),
                 ReadFileBytes(SourcePath("tests/editors/data/tunnel-edited.xml")));
    }

    void refusedFileShowsTheReasonAndStaysAsItWas() {
        TempDir dir;
        const auto file = dir / "bad.xml";
        const std::string text = "<?xml version=\"1.0\"?>\n<TunnelProfiles>\n"
                                 "  <TunnelProfile name=\"no chainage\"/>\n</TunnelProfiles>\n";
        WriteFileBytes(file, text);
        FakeDialogs dialogs;
        EditorSession session(TunnelKind());
        QVERIFY(StartSession(session, ParseTubrixArguments({"-l", file.string()}), dialogs));
        EditorWindow window(session, dialogs);
        Show(window);
        const QString verdict = Verdict(window);
        QVERIFY2(verdict.contains("The converter refuses this file") &&
                     verdict.contains("has no sta attribute"),
                 qPrintable(verdict));
        const QAbstractItemModel *rows = Find<QTableView>(window, "table")->model();
        QCOMPARE(rows->rowCount(), 1);
        QCOMPARE(rows->index(0, tunnelChainage).data(Qt::ToolTipRole).toString(),
                 QString("a value is needed"));

        dialogs.ConfirmAnswer = false;
        QTest::mouseClick(Find<QPushButton>(window, "save"), Qt::LeftButton);
        QCOMPARE(dialogs.Asked.size(), std::size_t{1});
        QVERIFY(dialogs.Asked[0].find("Replace it with the rows shown?") != std::string::npos);
        QCOMPARE(ReadFileBytes(file), text);

        // A file that is not XML shows no rows and cannot be saved.
        WriteFileBytes(file, "not xml");
        session.Open(file.string());
        window.Refresh();
        QVERIFY(Verdict(window).contains("The rows cannot be shown"));
        QVERIFY(!Find<QPushButton>(window, "save")->isEnabled());
        QVERIFY(!Find<QPushButton>(window, "addRow")->isEnabled());
    }

    void cantrixFieldsAndChoicesAreEditedThroughTheWindow() {
        TempDir dir;
        const auto file = dir / "cant.xml";
        FakeDialogs dialogs;
        EditorSession session(CantKind(true));
        QVERIFY(StartSession(session,
                             ParseCantrixArguments({"-d1", "-s", "--template-out", file.string()}),
                             dialogs));
        EditorWindow window(session, dialogs);
        Show(window);

        QVERIFY(Verdict(window).contains(
            "reads this file: 2 stations from 0.000 to 100.000 m, one cant per "
            "station, format version 1.2.0."));
        auto *gauge = Find<QLineEdit>(window, "header.gauge");
        gauge->setFocus();
        gauge->selectAll();
        QTest::keyClicks(gauge, "1,668");
        QTest::keyClick(gauge, Qt::Key_Return);
        QTest::keyClick(Find<QCheckBox>(window, "header.coPlane"), Qt::Key_Space);
        auto *view = Find<QTableView>(window, "table");
        TypeIntoCell(view, 1, cantApplied, "95");
        auto *choice = qobject_cast<QComboBox *>(OpenCell(view, 1, cantInterpolation));
        QVERIFY(choice != nullptr);
        choice->setCurrentIndex(choice->findText("reverseCurve"));
        QTest::keyClick(choice, Qt::Key_Return);
        QApplication::processEvents();
        QTest::mouseClick(Find<QPushButton>(window, "addRow"), Qt::LeftButton);
        TypeIntoCell(view, 2, cantWidthExcess, "5");
        // A refused value leaves the cell and says why.
        TypeIntoCell(view, 0, cantStation, "abc");
        QCOMPARE(view->model()->index(0, cantStation).data().toString(), QString("0.000"));
        QVERIFY(window.statusBar()->currentMessage().contains("'abc' is not a number"));

        QTest::mouseClick(Find<QPushButton>(window, "save"), Qt::LeftButton);
        QVERIFY2(dialogs.Told.empty(), dialogs.Told.empty() ? "" : dialogs.Told[0].c_str());
        QVERIFY(session.Verdict().Accepted);
        // The typed gauge in metres, cant and width excess in millimetres, and
        // the added station 20 m after the last with the values of the row above.
        QCOMPARE(ReadFileBytes(file),
                 ReadFileBytes(SourcePath("tests/editors/data/cant-edited.xml")));
    }

    void screenshots() {
        if (qEnvironmentVariable("VIALTO_SCREENSHOTS_DIR").isEmpty())
            QSKIP("VIALTO_SCREENSHOTS_DIR is not set");
        // Relative paths: the pictures do not depend on where the sources are.
        const QString old = QDir::currentPath();
        QDir::setCurrent(VIALTO_SOURCE_DIR);
        FakeDialogs dialogs;
        for (const bool tunnel : {true, false}) {
            EditorSession session(tunnel ? TunnelKind() : CantKind(true));
            session.Open(tunnel ? "samples/tunnel/profiles.xml" : "samples/cant/single_cant.xml");
            EditorWindow window(session, dialogs);
            Show(window);
            Find<QTableView>(window, "table")->selectRow(tunnel ? 2 : 3);
            QApplication::processEvents();
            QVERIFY(window.grab().save(qEnvironmentVariable("VIALTO_SCREENSHOTS_DIR") +
                                       (tunnel ? "/tubrix.png" : "/cantrix.png")));
        }
        QDir::setCurrent(old);
    }
};

QTEST_MAIN(EditorWindowTest)
#include "EditorWindowTest.moc"
