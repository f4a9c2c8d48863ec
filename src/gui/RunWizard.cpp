#include "gui/RunWizard.h"

#include "gui/frmWizard.h"
#include "shell/AppModel.h"
#include "shell/UserInterface.h"

#include <QApplication>

namespace vialto {

void EndProgram(int exitCode) {
    if (AppModel().DebugMode) {
        // Development mode: no process exit; every window is closed (their
        // close handlers run) and the program returns from its event loop.
        QApplication::closeAllWindows();
        QCoreApplication::exit(exitCode);
        return;
    }
    UserInterface().ExitProcess(exitCode);
}

int RunWizard(ISettings &settings) {
    QApplication::setQuitOnLastWindowClosed(false); // the wizard says when it ends
    frmWizard wizard(settings);
    // Queued: the program ends once the button's click has returned.
    QObject::connect(&wizard, &frmWizard::Ended, &wizard, &EndProgram, Qt::QueuedConnection);
    wizard.Open();
    wizard.show();
    return QApplication::exec();
}

} // namespace vialto
