#include "gui/RunWizard.h"

#include "gui/frmWizard.h"

#include <QApplication>

namespace vialto {

int RunWizard(ISettings &settings) {
    QApplication::setQuitOnLastWindowClosed(false); // the wizard says when it ends
    frmWizard wizard(settings);
    QObject::connect(
        &wizard, &frmWizard::Ended, &wizard, [](int code) { QCoreApplication::exit(code); },
        Qt::QueuedConnection);
    wizard.Open();
    wizard.show();
    return QApplication::exec();
}

} // namespace vialto
