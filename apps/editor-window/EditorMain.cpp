#include "editor-window/EditorMain.h"

#include "editor-window/EditorWindow.h"
#include "editor-window/QtEditorDialogs.h"
#include "shell/AppModel.h"

#include <QApplication>
#include <QFileInfo>

#include <iostream>
#include <memory>

namespace vialto::editors {
namespace {

// The converter's messages come from the language file beside the programs;
// without it they show their token names.
void ReadLanguageFile() {
    SetProgramFolder(QCoreApplication::applicationDirPath().toStdString());
    if (QFileInfo::exists(QCoreApplication::applicationDirPath() + "/StridonV2.lng"))
        AppModel().TokenFile().ReadFile("StridonV2.lng");
}

} // namespace

int RunEditorProgram(int argc, char **argv, const EditorProgram &program) {
    // Taken before Qt sees them: Qt would take a file named like one of its
    // own options ("-style", "-reverse") for that option.
    const std::vector<std::string> args(argv + 1, argv + argc);
    const EditorCommand command = program.Parse(args);
    if (command.Help) {
        std::cout << program.Usage();
        return 0;
    }
    if (!command.Error.empty()) {
        std::cerr << command.Error << "\n" << program.Usage();
        return kExitUsage;
    }
    int qtArgc = 1;
    if (command.CheckOnly) {
        QCoreApplication app(qtArgc, argv);
        ReadLanguageFile();
        return RunCheck(program.Kind(command), command, std::cout, std::cerr);
    }
    QApplication app(qtArgc, argv);
    ReadLanguageFile();
    QtEditorDialogs dialogs;
    EditorSession session(program.Kind(command));
    if (!StartSession(session, command, dialogs))
        return 1;
    EditorWindow window(session, dialogs);
    dialogs.SetParent(&window);
    window.show();
    return QApplication::exec();
}

} // namespace vialto::editors
