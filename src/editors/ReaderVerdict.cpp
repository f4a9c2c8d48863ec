#include "editors/ReaderVerdict.h"

#include "shell/ErrHandler.h"
#include "shell/UserInterface.h"

#include <vector>

namespace vialto::editors {
namespace {

// Keeps what the reader would have shown instead of showing it.
class HeldBackUserInterface final : public IUserInterface {
  public:
    HeldBackUserInterface() : outer_(&UserInterface()) { SetUserInterface(this); }
    // Installing the console explicitly is the same as installing none.
    ~HeldBackUserInterface() override { SetUserInterface(outer_); }
    HeldBackUserInterface(const HeldBackUserInterface &) = delete;
    HeldBackUserInterface &operator=(const HeldBackUserInterface &) = delete;

    std::vector<std::string> Shown;

    MsgResult ShowMessage(const std::string &text, MsgIcon, MsgButtons buttons) override {
        Shown.push_back(text);
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
    std::string AskSaveFile(const std::string &, const std::string &) override { return {}; }
    void ExitProcess(int) override {}

  private:
    IUserInterface *outer_;
};

} // namespace

ReaderVerdict RunReader(const std::function<bool(std::string &summary)> &read) {
    ReaderVerdict verdict;
    ErrorRecorder errors;
    std::vector<std::string> shown;
    {
        HeldBackUserInterface held;
        verdict.Accepted = read(verdict.Summary);
        shown = held.Shown;
    }
    if (!errors.Errors().empty()) {
        const ErrorInfo &first = errors.Errors().front();
        verdict.Reason = first.Description;
        verdict.Message = shown.empty() ? first.Description : shown.front();
        // An unexpected error's message already holds its description.
        if (verdict.Message.find(verdict.Reason) != std::string::npos)
            verdict.Reason.clear();
    }
    if (verdict.Accepted)
        verdict.Message.clear();
    return verdict;
}

std::string VerdictLine(const ReaderVerdict &verdict) {
    if (verdict.Accepted)
        return "The converter reads this file: " + verdict.Summary;
    std::string line = "The converter refuses this file: " + verdict.Message;
    if (!verdict.Reason.empty())
        line += " (" + verdict.Reason + ")";
    return line;
}

} // namespace vialto::editors
