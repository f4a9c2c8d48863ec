// What the engine asks of the person in front of it: message boxes, the save
// dialog, progress with cancel, and the end of the process. The Qt wizard
// implements these with real widgets, the command lines with the console, the
// tests with a recording fake. The engine never includes a toolkit header.
#pragma once

#include <string>

namespace vialto {

enum class MsgIcon { Critical, Question, Warning, Information };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgResult { Ok, Cancel, Yes, No };

class IUserInterface {
  public:
    virtual ~IUserInterface() = default;
    // A modal message box; returns the button chosen.
    virtual MsgResult ShowMessage(const std::string &text, MsgIcon icon, MsgButtons buttons) = 0;
    // A message box with a title of its own (the program's name otherwise).
    virtual MsgResult ShowTitledMessage(const std::string &title, const std::string &text,
                                        MsgIcon icon, MsgButtons buttons) {
        (void)title;
        return ShowMessage(text, icon, buttons);
    }
    // The save-file dialog; returns the chosen path, "" when cancelled.
    virtual std::string AskSaveFile(const std::string &filter, const std::string &proposedName) = 0;
    // Ends the process with the exit code (a front end may instead unwind to
    // its main loop; the engine does not rely on this call not returning).
    virtual void ExitProcess(int code) = 0;
};

// Progress of a long step, with the one way to interrupt it.
class IProgress {
  public:
    virtual ~IProgress() = default;
    virtual void Start(const std::string &caption, double minimum, double maximum) = 0;
    virtual void Step(double value) = 0;
    virtual bool CancelRequested() = 0;
    virtual void Finish() = 0;
    // The information line under the title (which step of the work runs).
    virtual void SetInfo(const std::string & /*info*/) {}
};

// A progress that shows nothing and never cancels.
class NullProgress final : public IProgress {
  public:
    void Start(const std::string &, double, double) override {}
    void Step(double) override {}
    bool CancelRequested() override { return false; }
    void Finish() override {}
};

// Console front end: messages go to standard error, the save dialog answers
// "cancelled", and ExitProcess calls std::exit.
class ConsoleUserInterface final : public IUserInterface {
  public:
    MsgResult ShowMessage(const std::string &text, MsgIcon icon, MsgButtons buttons) override;
    std::string AskSaveFile(const std::string &filter, const std::string &proposedName) override;
    void ExitProcess(int code) override;
};

// The user interface in force for the process. Defaults to the console one.
IUserInterface &UserInterface();
// Installs another user interface (not owned); nullptr restores the console.
void SetUserInterface(IUserInterface *ui);

} // namespace vialto
