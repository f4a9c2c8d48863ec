// The wizard program's start and end as the field software meets them: the
// real save dialog when no output path is given, the exit codes through the
// real event loop, debug mode closing its windows, and "-reg" needing no
// display. What start-up decides on its own is tested without Qt (StartUp).
#include "gui/QtSettingsStore.h"
#include "gui/QtUserInterface.h"
#include "gui/RunWizard.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"
#include "shell/StartUp.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::WizardEnvironment;

namespace {

// Calls `act` once the widget `find` looks for shows, from the event loop the
// program runs. A run that never shows it is failed and its loops are left
// after 10 s, so that no test hangs.
void WhenShown(const std::function<QWidget *()> &find, const std::function<void(QWidget *)> &act) {
    auto *poll = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        if (QWidget *shown = find(); shown && shown->isVisible()) {
            poll->deleteLater();
            poll->stop();
            act(shown);
        } else if ((*waited += 10) > 10000) {
            poll->deleteLater();
            poll->stop();
            ADD_FAILURE() << "the awaited window never showed";
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->close();
            QCoreApplication::exit(-1);
        }
    });
    poll->start(10);
}

QWidget *SaveDialog() { return qobject_cast<QFileDialog *>(QApplication::activeModalWidget()); }

QWidget *Wizard() {
    for (QWidget *top : QApplication::topLevelWidgets())
        if (top->objectName() == QLatin1String("frmWizard"))
            return top;
    return nullptr;
}

void ClickInWizard(QWidget *wizard, const char *button) {
    QTest::mouseClick(wizard->findChild<QPushButton *>(button), Qt::LeftButton);
}

class Program : public ::testing::Test {
  protected:
    // Start-up as the program runs it, with the Qt user interface; the wizard
    // (when it opens) is the real one, and the program's return is the result.
    int Run(const std::string &commandLine) {
        QtUserInterface ui([] {});
        SetUserInterface(&ui);
        SetProgramFolder(env_.ProgramFolder().string());
        const int code = StartUp(commandLine, [&] {
            wizardOpened_ = true;
            QtSettingsStore settings;
            AppModel().DebugMode = debugMode_;
            return RunWizard(settings);
        });
        SetUserInterface(nullptr);
        return code;
    }

    WizardEnvironment env_;
    bool wizardOpened_ = false;
    bool debugMode_ = false;
};

} // namespace

TEST_F(Program, WithoutAnOutputPathTheChosenPathIsTheOutputAndCancelEndsWith1223) {
    const std::string chosen = (env_.Folder() / "chosen.xml").string();
    QString proposed;
    WhenShown(SaveDialog, [&](QWidget *dialog) {
        proposed = static_cast<QFileDialog *>(dialog)->selectedFiles().value(0);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(chosen));
        static_cast<QDialog *>(dialog)->accept();
    });
    WhenShown(Wizard, [](QWidget *wizard) { ClickInWizard(wizard, "cmdCancel"); });
    EXPECT_EQ(Run(""), kExitCancelled);
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("/out_v1.0.0.xml"))) << proposed.toStdString();
    EXPECT_TRUE(wizardOpened_);
    EXPECT_EQ(AppModel().XmlFileToExport, chosen);
    EXPECT_EQ(WizardEnvironment::KeysIn("Preferences"), 0);
}

TEST_F(Program, InDebugModeTheEndClosesEveryWindowInsteadOfEndingTheProcess) {
    debugMode_ = true;
    QWidget other; // another window of the program
    other.show();
    WhenShown(Wizard, [](QWidget *wizard) { ClickInWizard(wizard, "cmdCancel"); });
    const std::string output = (env_.Folder() / "out.xml").string();
    EXPECT_EQ(Run("-o \"" + output + "\""), kExitCancelled);
    EXPECT_FALSE(other.isVisible());
}

// The field software registers the converter without a display.
TEST(ProgramFile, RegistrationNeedsNoDisplayAndEndsWithOne) {
    vialto::test::TempDir dir;
    const std::filesystem::path record = dir / "reg file.txt";
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VIALTO_CONVERTER),
                  {QStringLiteral("-reg"), QStringLiteral("-o"),
                   QString::fromStdString("\"" + record.string() + "\"")});
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), kExitStopped);
    EXPECT_EQ(ReadFileBytes(record),
              "[Info]\r\nName=Vialto\r\nDescription=Vialto Converter\r\nFormat=Tunnel\r\n");
}
