#include "wizard/PageFlow.h"

#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/StartUp.h"

#include <algorithm>

namespace vialto {

namespace {

// The hourglass for the length of a step, restored on every way out.
class BusyPointer {
  public:
    explicit BusyPointer(IWizardWindow &window) : window_(window) { window_.SetBusy(true); }
    ~BusyPointer() { window_.SetBusy(false); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

  private:
    IWizardWindow &window_;
};

} // namespace

std::optional<HeaderTokens> PageHeaderTokens(int page) {
    switch (page) {
    case pageJobType:
        return HeaderTokens{"LBL_JOB_TIT", "LBL_JOB_SUBTIT"};
    case pageFiles:
        return HeaderTokens{"LBL_FIL_TIT", "LBL_FIL_SUBTIT"};
    case pageDetails:
        return HeaderTokens{"LBL_DET_TIT", "LBL_DET_SUBTIT"};
    case pagePreferences:
        return HeaderTokens{"LBL_PRE_TIT", "LBL_PRE_SUBTIT"};
    case pageImporting:
        return HeaderTokens{"LBL_IMP_TIT", "LBL_IMP_SUBTIT"};
    case pageExporting:
        return HeaderTokens{"LBL_EXP_TIT", "LBL_EXP_SUBTIT"};
    case pageSelectStrLn:
        return HeaderTokens{"LBL_SELECT_STRLN_TIT", "LBL_SELECT_STRLN_SUBTIT"};
    case pageSelect:
        return HeaderTokens{"LBL_SELECT_TIT", "LBL_SELECT_SUBTIT"};
    default:
        return std::nullopt;
    }
}

void WizardFlow::InsertPage(int pageToInsert, int pageLater) {
    for (auto at = pages_.begin(); at != pages_.end(); ++at)
        if (*at == pageLater)
            at = pages_.insert(at, pageToInsert) + 1;
}

void WizardFlow::DeleteLastPage() {
    if (pages_.size() > 1)
        pages_.pop_back();
    index_ = std::min(index_, static_cast<int>(pages_.size()) - 1);
}

void WizardFlow::DeletePage(int page) {
    std::erase(pages_, page);
    if (pages_.empty())
        pages_.push_back(pageJobType);
    index_ = std::min(index_, static_cast<int>(pages_.size()) - 1);
}

bool WizardFlow::IsPageLoaded(int page) const {
    return std::find(pages_.begin(), pages_.end(), page) != pages_.end();
}

void WizardFlow::SetHeader(int page) {
    if (const auto tokens = PageHeaderTokens(page))
        window_.SetHeader(AppModel().GetToken(tokens->Title),
                          AppModel().GetToken(tokens->Subtitle));
}

ButtonStates WizardFlow::Buttons() const {
    ButtonStates states;
    const bool last = index_ == static_cast<int>(pages_.size()) - 1;
    states.BackEnabled = index_ > firstIndex_;
    states.NextIsFinish = last;
    states.CancelVisible = !last;
    return states;
}

void WizardFlow::ShowCurrent() {
    window_.ShowPage(CurrentPageId());
    window_.SetButtons(Buttons());
}

void WizardFlow::Start(int jobTypeCount) {
    Trace(">> frmWizard.Start");
    BusyPointer busy(window_);
    firstIndex_ = jobTypeCount == 1 && pages_.size() > 1 ? 1 : 0;
    index_ = firstIndex_;
    if (handlers_ && handlers_->IntroPage(CurrentPageId()))
        ShowCurrent();
    else
        window_.SetButtons(Buttons());
}

void WizardFlow::Next() {
    if (Ignored() || !handlers_)
        return;
    const int last = static_cast<int>(pages_.size()) - 1;
    if (index_ == last) {
        handlers_->ExitPage(CurrentPageId()); // Finish goes on whatever it says
        handlers_->Release();
        ended_ = true;
        window_.EndWizard(kExitFinished);
        return;
    }
    BusyPointer busy(window_);
    if (!handlers_->ExitPage(CurrentPageId()))
        return;
    ++index_;
    // A page whose entry declines is skipped: the one after it is entered
    // whatever it answers. The list's end is never passed.
    if (!handlers_->IntroPage(CurrentPageId()) && index_ < last) {
        ++index_;
        handlers_->IntroPage(CurrentPageId());
    }
    ShowCurrent();
}

void WizardFlow::Back() {
    if (Ignored() || !handlers_ || index_ <= firstIndex_)
        return;
    BusyPointer busy(window_);
    if (index_ == static_cast<int>(pages_.size()) - 1)
        handlers_->ExitPage(CurrentPageId()); // the last page puts its layout back
    --index_;
    // The earlier page is shown as it was left: its entry is not run again.
    SetHeader(CurrentPageId());
    ShowCurrent();
}

void WizardFlow::Cancel() {
    if (Ignored())
        return;
    ended_ = true;
    window_.EndWizard(kExitCancelled);
}

void WizardFlow::Close() {
    if (Ignored())
        return;
    if (handlers_)
        handlers_->Release();
    ended_ = true;
    window_.EndWizard(kExitCancelled);
}

} // namespace vialto
