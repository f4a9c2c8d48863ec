// The user interface of the wizard program: message boxes and the save
// dialog as Qt dialogs over the active window. The application object is
// made only when a dialog is first needed, so "-reg" with an output path runs
// without a display.
#pragma once

#include "shell/UserInterface.h"

#include <functional>

namespace vialto {

class QtUserInterface final : public IUserInterface {
  public:
    // ensureApplication makes the application object when there is none.
    explicit QtUserInterface(std::function<void()> ensureApplication);
    MsgResult ShowMessage(const std::string &text, MsgIcon icon, MsgButtons buttons) override;
    MsgResult ShowTitledMessage(const std::string &title, const std::string &text, MsgIcon icon,
                                MsgButtons buttons) override;
    std::string AskSaveFile(const std::string &filter, const std::string &proposedName) override;
    // Leaves the event loop with the code (the program then returns it).
    void ExitProcess(int code) override;

  private:
    std::function<void()> ensureApplication_;
};

} // namespace vialto
