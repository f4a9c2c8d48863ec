#include "gui/QtUserInterface.h"

#include "gui/GuiText.h"
#include "shell/AppModel.h"
#include "wizard/DialogFilter.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <cstdlib>

namespace vialto {

namespace {

QMessageBox::Icon BoxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    default:
        return QMessageBox::Information;
    }
}

} // namespace

QtUserInterface::QtUserInterface(std::function<void()> ensureApplication)
    : ensureApplication_(std::move(ensureApplication)) {}

MsgResult QtUserInterface::ShowMessage(const std::string &text, MsgIcon icon, MsgButtons buttons) {
    return ShowTitledMessage(AppModel().ConverterInfo().sName, text, icon, buttons);
}

MsgResult QtUserInterface::ShowTitledMessage(const std::string &title, const std::string &text,
                                             MsgIcon icon, MsgButtons buttons) {
    ensureApplication_();
    QMessageBox box(BoxIcon(icon), Q(title), Q(text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    switch (buttons) {
    case MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    default:
        return MsgResult::Ok;
    }
}

std::string QtUserInterface::AskSaveFile(const std::string &filter,
                                         const std::string &proposedName) {
    ensureApplication_();
    QStringList filters;
    for (const std::string &entry : DialogFilters(filter))
        filters << Q(entry);
    const QString chosen = QFileDialog::getSaveFileName(
        QApplication::activeWindow(), Q(AppModel().ConverterInfo().sName), Q(proposedName),
        filters.join(QStringLiteral(";;")));
    return S(QDir::toNativeSeparators(chosen));
}

void QtUserInterface::ExitProcess(int code) {
    if (QCoreApplication::instance())
        QCoreApplication::exit(code);
    else
        std::exit(code);
}

} // namespace vialto
