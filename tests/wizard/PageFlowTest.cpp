// The wizard's page flow without a window: which page is entered and left on
// Next and Back, the skip of a declined page, Finish, Cancel and closing, the
// button states, and that nothing moves while the progress panel shows.
#include "wizard/PageFlow.h"
#include "shell/AppModel.h"
#include "shell/StartUp.h"

#include <gtest/gtest.h>

#include <set>

using namespace vialto;

namespace {

class FakeWindow final : public IWizardWindow {
  public:
    std::vector<int> Shown;
    std::string Title;
    ButtonStates Buttons;
    bool Progress = false;
    int Busy = 0;
    int MaxBusy = 0;
    std::vector<int> Ends;

    void ShowPage(int page) override { Shown.push_back(page); }
    void SetHeader(const std::string &title, const std::string &) override { Title = title; }
    void SetHeaderVisible(bool) override {}
    void SetButtons(const ButtonStates &states) override { Buttons = states; }
    bool IsProgressVisible() const override { return Progress; }
    void SetBusy(bool busy) override {
        Busy += busy ? 1 : -1;
        MaxBusy = std::max(MaxBusy, Busy);
    }
    void EndWizard(int code) override { Ends.push_back(code); }
};

// Records every call; declines the entries and exits it is told to.
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
        handlers_.Calls.clear();
    }
    void Forward(int times) {
        for (int i = 0; i < times; ++i)
            flow_.Next();
    }
    FakeWindow window_;
    FakeHandlers handlers_;
    WizardFlow flow_{window_};
};

} // namespace

TEST_F(PageFlow, OneJobTypeOpensOnTheFilesPageAndNeverEntersTheJobTypePage) {
    flow_.SetHandlers(&handlers_);
    for (int page : {pageFiles, pagePreferences, pageImporting, pageExporting, pageResult})
        flow_.AddPage(page);
    flow_.Start(1);
    EXPECT_EQ(handlers_.Calls, std::vector<std::string>{"in 1"});
    EXPECT_EQ(window_.Shown, std::vector<int>{pageFiles});
    EXPECT_FALSE(window_.Buttons.BackEnabled);
    flow_.Back(); // disabled, and ignored if called anyway
    EXPECT_EQ(flow_.CurrentPageId(), pageFiles);
    EXPECT_EQ(window_.MaxBusy, 1);
    EXPECT_EQ(window_.Busy, 0);
}

TEST_F(PageFlow, SeveralJobTypesOpenOnTheJobTypePage) {
    Open(4);
    EXPECT_EQ(flow_.CurrentPageId(), pageJobType);
    EXPECT_FALSE(window_.Buttons.BackEnabled);
    flow_.Next();
    EXPECT_EQ(flow_.CurrentPageId(), pageFiles);
    EXPECT_TRUE(window_.Buttons.BackEnabled);
}

TEST_F(PageFlow, ButtonsFollowThePosition) {
    Open(1);
    const std::vector<ButtonStates> expected = {
        {false, true, false, true}, // files: the first page
        {true, true, false, true},  // preferences
        {true, true, false, true},  // importing
        {true, true, false, true},  // exporting
        {true, true, true, false},  // result: Finish, no Cancel
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(window_.Buttons, expected[i]) << "entry " << i + 1;
        flow_.Next();
    }
}

TEST_F(PageFlow, ARefusedExitKeepsThePage) {
    Open(1);
    handlers_.DeclineExit = {pageFiles};
    flow_.Next();
    EXPECT_EQ(flow_.CurrentPageId(), pageFiles);
    EXPECT_EQ(handlers_.Calls, std::vector<std::string>{"out 1"});
}

TEST_F(PageFlow, ADeclinedEntrySkipsToTheNextPageWhateverItSays) {
    Open(1);
    handlers_.DeclineIntro = {pagePreferences, pageImporting};
    flow_.Next();
    EXPECT_EQ(flow_.CurrentPageId(), pageImporting);
    EXPECT_EQ(handlers_.Calls, (std::vector<std::string>{"out 1", "in 3", "in 4"}));
}

TEST_F(PageFlow, ADeclinedLastEntryNeverPassesTheEndOfTheList) {
    Open(1);
    handlers_.DeclineIntro = {pageResult};
    Forward(4);
    EXPECT_EQ(flow_.CurrentPageId(), pageResult);
    EXPECT_TRUE(window_.Ends.empty());
}

TEST_F(PageFlow, BackNeverReentersAndBackFromTheLastPageLeavesIt) {
    Open(1);
    Forward(4);
    handlers_.Calls.clear();
    flow_.Back();
    EXPECT_EQ(flow_.CurrentPageId(), pageExporting);
    EXPECT_EQ(handlers_.Calls, std::vector<std::string>{"out 6"});
    EXPECT_EQ(window_.Title, AppModel().GetToken("LBL_EXP_TIT"));
    flow_.Back();
    EXPECT_EQ(flow_.CurrentPageId(), pageImporting);
    EXPECT_EQ(handlers_.Calls.size(), 1u);
}

TEST_F(PageFlow, FinishLeavesTheLastPageWritesThePreferencesAndEndsWithZero) {
    Open(1);
    Forward(4);
    handlers_.DeclineExit = {pageResult}; // Finish goes on whatever the page says
    handlers_.Calls.clear();
    flow_.Next();
    EXPECT_EQ(handlers_.Calls, std::vector<std::string>{"out 6"});
    EXPECT_EQ(handlers_.Releases, 1);
    EXPECT_EQ(window_.Ends, std::vector<int>{kExitFinished});
    flow_.Next(); // an ended wizard does nothing more
    EXPECT_EQ(window_.Ends.size(), 1u);
}

TEST_F(PageFlow, CancelEndsWith1223AndWritesNoPreference) {
    Open(1);
    flow_.Cancel();
    EXPECT_EQ(window_.Ends, std::vector<int>{kExitCancelled});
    EXPECT_EQ(handlers_.Releases, 0);
}

TEST_F(PageFlow, ClosingTheWindowWritesThePreferencesButEndsAsCancelled) {
    Open(1);
    flow_.Close();
    EXPECT_EQ(window_.Ends, std::vector<int>{kExitCancelled});
    EXPECT_EQ(handlers_.Releases, 1);
}

TEST_F(PageFlow, NothingMovesWhileTheProgressPanelShows) {
    Open(1);
    flow_.Next();
    window_.Progress = true;
    flow_.Next();
    flow_.Back();
    flow_.Cancel();
    flow_.Close();
    EXPECT_EQ(flow_.CurrentPageId(), pagePreferences);
    EXPECT_TRUE(handlers_.Calls.size() == 2u && window_.Ends.empty() && handlers_.Releases == 0);
}

TEST(PageList, InsertAndDeleteActOnEveryOccurrence) {
    FakeWindow window;
    WizardFlow flow(window);
    for (int page : {pageFiles, pageImporting, pageFiles, pageResult})
        flow.AddPage(page);
    flow.InsertPage(pageDetails, pageFiles);
    EXPECT_EQ(flow.Pages(), (std::vector<int>{0, 2, 1, 4, 2, 1, 6}));
    flow.DeletePage(pageFiles);
    EXPECT_EQ(flow.Pages(), (std::vector<int>{0, 2, 4, 2, 6}));
    flow.DeleteLastPage();
    EXPECT_FALSE(flow.IsPageLoaded(pageResult));
    EXPECT_TRUE(flow.IsPageLoaded(pageDetails));
}

TEST(PageList, ResultPageAndUnknownPagesLeaveTheHeader) {
    FakeWindow window;
    WizardFlow flow(window);
    window.Title = "kept";
    flow.SetHeader(pageResult);
    flow.SetHeader(42);
    EXPECT_EQ(window.Title, "kept");
    flow.SetHeader(pageSelect);
    EXPECT_EQ(window.Title, AppModel().GetToken("LBL_SELECT_TIT"));
}
