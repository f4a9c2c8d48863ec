#include "shell/UserInterface.h"

#include <cstdlib>
#include <iostream>

namespace vialto {

namespace {

const char *IconWord(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Critical:
        return "error";
    case MsgIcon::Question:
        return "question";
    case MsgIcon::Warning:
        return "warning";
    case MsgIcon::Information:
        break;
    }
    return "info";
}

IUserInterface *&Installed() {
    static IUserInterface *ui = nullptr;
    return ui;
}

} // namespace

MsgResult ConsoleUserInterface::ShowMessage(const std::string &text, MsgIcon icon,
                                            MsgButtons buttons) {
    std::cerr << IconWord(icon) << ": " << text << '\n';
    // Nobody can answer on a batch console: questions take the cautious answer.
    switch (buttons) {
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::OkCancel:
    case MsgButtons::Ok:
        break;
    }
    return MsgResult::Ok;
}

std::string ConsoleUserInterface::AskSaveFile(const std::string &,
                                              const std::string &proposedName) {
    std::cerr << "No output file given (-o \"path\"); the save dialog (proposing " << proposedName
              << ") is not available on the console: cancelled.\n";
    return {};
}

void ConsoleUserInterface::ExitProcess(int code) {
    std::cout.flush();
    std::cerr.flush();
    std::exit(code);
}

IUserInterface &UserInterface() {
    static ConsoleUserInterface console;
    IUserInterface *ui = Installed();
    return ui ? *ui : console;
}

void SetUserInterface(IUserInterface *ui) { Installed() = ui; }

} // namespace vialto
