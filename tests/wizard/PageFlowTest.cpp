// The wizard's page flow without a window: which page is entered and left on
// Next and Back, the skip of a declined page, Finish, and the button states
// (Cancel, closing and the frozen flow under the progress panel are the
// window's and the program's tests).
#include "wizard/PageFlow.h"
#include "shell/AppModel.h"
#include "shell/StartUp.h"

#include <gtest/gtest.h>

#include <set>

using namespace vialto;

namespace {

class FakeWindow final : public IWizardWindow {
  public:
    std::vector<int> Shown, Ends;
    std::string Title;
    ButtonStates Buttons;
    int Busy = 0, MaxBusy = 0;

    void ShowPage(int page) override { Shown.push_back(page); }
    void SetHeader(const std::string &title, const std::string &) override { Title = title; }
    void SetHeaderVisible(bool) override {}
    void SetButtons(const ButtonStates &states) override { Buttons = states; }
    bool IsProgressVisible() const override { return false; }
    void SetBusy(bool busy) override { MaxBusy = std::max(MaxBusy, Busy += busy ? 1 : -1); }
    void EndWizard(int code) override { Ends.push_back(code); }
};

// Records every call ("in 3", "out 1"); declines the entries and exits named.
class FakeHandlers final : public IPageHandlers {
  public:
    std::vector<std::string> Calls;
    std::set<int> DeclineIntro, DeclineExit;
    int Releases = 0;

    bool IntroPage(int page) override {
        Calls.push_back("in " + std::to_string(page));
        return !DeclineIntro.count(page);
    }
    bool ExitPage(int page) override {
        Calls.push_back("out " + std::to_string(page));
        return !DeclineExit.count(page);
    }
    void Release() override { ++Releases; }
};

// The controller's page list: job type, files, preferences, importing,
// exporting, result.
class PageFlow : public ::testing::Test {
  protected:
    void Open(int jobTypeCount) {
        flow_.SetHandlers(&handlers_);
        for (int page : {pageFiles, pagePreferences, pageImporting, pageExporting, pageResult})
            flow_.AddPage(page);
        flow_.Start(jobTypeCount);
    }
    void Forward(int times) {
        for (int i = 0; i < times; ++i)
            flow_.Next();
        handlers_.Calls.clear();
    }
    using Calls = std::vector<std::string>;
    FakeWindow window_;
    FakeHandlers handlers_;
    WizardFlow flow_{window_};
};

} // namespace

TEST_F(PageFlow, OneJobTypeOpensOnTheFilesPageAndNeverEntersTheJobTypePage) {
    Open(1);
    EXPECT_EQ(handlers_.Calls, Calls{"in 1"});
    EXPECT_EQ(window_.Shown, std::vector<int>{pageFiles});
    EXPECT_FALSE(window_.Buttons.BackEnabled);
    flow_.Back(); // disabled, and ignored if called anyway
    EXPECT_EQ(flow_.CurrentPageId(), pageFiles);
    EXPECT_TRUE(window_.MaxBusy == 1 && window_.Busy == 0); // the hourglass, and off again
}

TEST_F(PageFlow, ARefusedExitKeepsThePageAndADeclinedEntryIsSkipped) {
    Open(1);
    handlers_.Calls.clear();
    handlers_.DeclineExit = {pageFiles};
    flow_.Next();
    EXPECT_EQ(flow_.CurrentPageId(), pageFiles);
    handlers_.DeclineExit.clear();
    handlers_.DeclineIntro = {pagePreferences, pageImporting, pageResult};
    flow_.Next(); // skips to the next page whatever it says
    EXPECT_EQ(flow_.CurrentPageId(), pageImporting);
    EXPECT_EQ(handlers_.Calls, (Calls{"out 1", "out 1", "in 3", "in 4"}));
    flow_.Next(); // a declined last entry never passes the end of the list
    flow_.Next();
    EXPECT_EQ(flow_.CurrentPageId(), pageResult);
    EXPECT_TRUE(window_.Ends.empty());
}

TEST_F(PageFlow, BackNeverReentersAndBackFromTheLastPageLeavesIt) {
    Open(1);
    Forward(4);
    flow_.Back();
    EXPECT_EQ(flow_.CurrentPageId(), pageExporting);
    EXPECT_EQ(window_.Title, AppModel().GetToken("LBL_EXP_TIT"));
    flow_.Back();
    EXPECT_EQ(flow_.CurrentPageId(), pageImporting);
    EXPECT_EQ(handlers_.Calls, Calls{"out 6"});
}

TEST_F(PageFlow, FinishLeavesTheLastPageWritesThePreferencesAndEndsWithZero) {
    Open(1);
    Forward(4);
    handlers_.DeclineExit = {pageResult}; // Finish goes on whatever the page says
    flow_.Next();
    EXPECT_EQ(handlers_.Calls, Calls{"out 6"});
    EXPECT_EQ(handlers_.Releases, 1);
    EXPECT_EQ(window_.Ends, std::vector<int>{kExitFinished});
    flow_.Next(); // an ended wizard does nothing more
    EXPECT_EQ(window_.Ends.size(), 1u);
}
