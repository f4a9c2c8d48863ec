#include "editor-window/QtEditorDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QString>

namespace vialto::editors {
namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

QString Title(QWidget *parent) {
    return parent ? parent->windowTitle().replace(QStringLiteral("[*]"), QString())
                  : QCoreApplication::applicationName();
}

} // namespace

std::string QtEditorDialogs::AskSavePath(const std::string &caption, const std::string &proposed,
                                         const std::string &filter) {
    return QFileDialog::getSaveFileName(parent_, Q(caption), Q(proposed), Q(filter)).toStdString();
}

bool QtEditorDialogs::Confirm(const std::string &question) {
    return QMessageBox::question(parent_, Title(parent_), Q(question),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

IEditorDialogs::Unsaved QtEditorDialogs::AskUnsaved(const std::string &question) {
    switch (QMessageBox::question(parent_, Title(parent_), Q(question),
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                                  QMessageBox::Save)) {
    case QMessageBox::Save:
        return Unsaved::Save;
    case QMessageBox::Discard:
        return Unsaved::Discard;
    default:
        return Unsaved::Cancel;
    }
}

void QtEditorDialogs::Tell(const std::string &problem) {
    QMessageBox::warning(parent_, Title(parent_), Q(problem));
}

} // namespace vialto::editors
