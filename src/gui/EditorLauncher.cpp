#include "gui/EditorLauncher.h"

#include "gui/GuiText.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"
#include "shell/UserInterface.h"

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>

namespace vialto {

namespace {

// Pumping the event loop this often keeps the window painted while waiting.
constexpr int kPaintIntervalMs = 50;

} // namespace

bool LaunchEditor(const EditorCommand &command, QWidget *window) {
    if (command.Program.empty())
        return false;
    Trace(">> LaunchEditor " + command.Program);
    QStringList arguments;
    for (const std::string &argument : command.Arguments)
        arguments << Q(argument);
    QProcess process;
    process.setProgram(Q(command.Program));
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QIODevice::NotOpen);
    if (!process.waitForStarted()) {
        UserInterface().ShowMessage(
            ReplaceAll(AppModel().GetToken("MSG_EDITOR_NOT_STARTED"), "{0}", command.Program),
            MsgIcon::Critical, MsgButtons::Ok);
        return false;
    }
    QWidget *top = window ? window->window() : nullptr;
    if (top)
        top->setEnabled(false);
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(kPaintIntervalMs);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (top)
        top->setEnabled(true);
    Trace("<< LaunchEditor");
    return true;
}

} // namespace vialto
