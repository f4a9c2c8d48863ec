#include "shell/ErrHandler.h"

#include "shell/AppModel.h"
#include "shell/Error.h"
#include "support/TestSupport.h"

#include <ctime>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <stdexcept>
#include <thread>
#include <tuple>
#include <vector>

using namespace vialto;

namespace {

// Points the log at a private temporary folder for the test's life.
class ErrHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        AppModel().TokenFile().ReadText("E_NOTFILLALL = Not all\nE_OPENLANDXML = Cannot open\n");
        SetAssertionsSilenced(false);
    }
    void TearDown() override { AppModel().Reset(); }
    std::string Log() const { return vialto::test::ReadFileBytes(LogFilePath()); }
    void Clear() {
        ui_.Messages.clear();
        std::filesystem::remove(LogFilePath());
    }

    vialto::test::TempLogFolder dir_;
    vialto::test::RecordingUi ui_;
};

} // namespace

// What each number shows ("" = nothing) and whether it reaches the log;
// E_SAMENAME stands for a token the file lacks, which shows its own name.
TEST_F(ErrHandlerTest, EachNumberIsShownAndLoggedAsItsTableSays) {
    const MsgIcon warning = MsgIcon::Warning, critical = MsgIcon::Critical;
    const std::tuple<long, std::string, MsgIcon, bool> cases[] = {
        {10001, "my message", critical, true},
        {10002, "Not all", warning, false},
        {10003, "E_SAMENAME", warning, false},
        {10005, "Cannot open\r\nmy message", warning, false},
        {20000, "", warning, true},
        {20002, "E_FILE_SUPER_VER", warning, false},
        {53, "Unhandler Error in Src\r\nmy message", critical, true},
    };
    for (const auto &[number, shown, icon, logged] : cases) {
        Clear();
        ErrHandler({number, "Src", "my message"});
        ASSERT_EQ(ui_.Messages.size(), shown.empty() ? 0u : 1u) << number;
        if (!shown.empty()) {
            EXPECT_EQ(ui_.Messages[0].Text, shown);
            EXPECT_EQ(ui_.Messages[0].Icon, icon) << number;
        }
        const std::string line = "Error: " + std::to_string(number) + " my message in Src\r\n";
        EXPECT_EQ(Log().find(line) != std::string::npos, logged) << number << Log();
    }
}

TEST_F(ErrHandlerTest, LogBlockIsMonthDayYearThenTheErrorLine) {
    const auto today = [] {
        char text[16];
        const std::time_t now = std::time(nullptr);
        std::strftime(text, sizeof text, "%m-%d-%Y", std::localtime(&now));
        return std::string(text);
    };
    const std::string before = today(); // the block may be written across midnight
    LogError({20000, "ExportRoad", "Nothing to export"});
    LogMessage("hello");
    const std::string after = today();
    EXPECT_TRUE(std::regex_match(Log(), std::regex("==== (" + before + "|" + after +
                                                   ")  ([01]\\d|2[0-3])(:[0-5]\\d){2} ====\r\n"
                                                   "Error: 20000 Nothing to export in ExportRoad"
                                                   "\r\nMsg hello\r\n")))
        << Log();
}

TEST_F(ErrHandlerTest, AssertionsShowOnlyInDebugModeUntilCancelledButAlwaysLog) {
    ErrHandler({20000, "Op", "cond"});
    EXPECT_TRUE(ui_.Messages.empty());
    AppModel().DebugMode = true;
    ui_.Answers = {MsgResult::Cancel};
    ErrHandler({20000, "Op", "cond"});
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Text, "ASSERT in Op\r\ncond\r\n\r\nPress 'Cancel' to do not show "
                                    "again assert message box in current debuging");
    EXPECT_EQ(ui_.Messages[0].Buttons, MsgButtons::OkCancel);
    Clear();
    ErrHandler({20000, "Op", "cond"});
    EXPECT_TRUE(ui_.Messages.empty()); // silenced, yet logged
    EXPECT_NE(Log().find("Error: 20000 cond in Op\r\n"), std::string::npos);
}

// The boundary turns whatever escapes an operation into its error number and
// names the operation as the source.
TEST_F(ErrHandlerTest, GuardedMapsRuntimeFailures) {
    const std::pair<std::function<void()>, long> cases[] = {
        {[] { RaiseError(10001, "x"); }, 10001},
        {[] { (void)std::vector<int>().at(3); }, 9},
        {[] { throw std::invalid_argument("bad"); }, 13},
        {[] { (void)Divide(1.0, 0.0); }, 11},
        {[] { throw std::overflow_error("big"); }, 6},
        {[] { (void)std::filesystem::file_size("/definitely/not/here"); }, 53},
        {[] { throw std::runtime_error("other"); }, 5},
        {[] { throw 42; }, 5},
    };
    for (const auto &[body, number] : cases) {
        Clear();
        EXPECT_FALSE(GuardedRun("ExportRoad", body));
        EXPECT_NE(Log().find("Error: " + std::to_string(number) + " "), std::string::npos)
            << number << " " << Log();
        EXPECT_NE(Log().find(" in ExportRoad\r\n"), std::string::npos) << Log();
    }
    EXPECT_EQ(Guarded("Ok", -1, [] { return 7; }), 7);
}

// A recorder keeps what the handler is handed, even when add-on mode shows
// nothing; the innermost one records, and the outer one resumes after it.
TEST_F(ErrHandlerTest, RecorderKeepsErrorsForItsCaller) {
    ErrorRecorder outer;
    AppModel().SetAddOnMode(true);
    {
        ErrorRecorder inner;
        ErrHandler({10011, "clsTunnel.Load", "line 3"});
        ASSERT_EQ(inner.Errors().size(), 1u);
        EXPECT_EQ(inner.Errors()[0].Description, "line 3");
    }
    ErrHandler({53, "Op", "gone"});
    EXPECT_TRUE(ui_.Messages.empty());
    ASSERT_EQ(outer.Errors().size(), 1u);
    EXPECT_EQ(outer.Errors()[0].Source, "Op");
}

// Errors raised on a worker thread while held reach nobody until the thread
// that split the work hands them on: then they are shown, logged and
// recorded there, list by list in order. A hold on one thread leaves the
// others' errors alone, and the innermost of nested holds holds.
TEST_F(ErrHandlerTest, HeldErrorsWaitForTheSplittingThread) {
    std::vector<std::vector<ErrorInfo>> held(2);
    std::vector<ErrorInfo> inner;
    std::thread worker([&] {
        const HeldErrors hold(held[1]);
        EXPECT_FALSE(GuardedRun("Sample", [] { RaiseError(10001, "second"); }));
        {
            const HeldErrors nested(inner);
            ErrHandler({10001, "Nested", "kept apart"});
        }
        ErrHandler({53, "Sample", "third"});
    });
    {
        const HeldErrors hold(held[0]);
        ErrHandler({10001, "Sample", "first"});
    }
    worker.join();
    EXPECT_TRUE(ui_.Messages.empty());
    EXPECT_TRUE(Log().empty()) << Log();
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_EQ(inner[0].Source, "Nested");

    ErrorRecorder recorder;
    HandOnErrors(held);
    ASSERT_EQ(recorder.Errors().size(), 3u);
    const char *order[] = {"first", "second", "third"};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(recorder.Errors()[i].Description, order[i]);
    ASSERT_EQ(ui_.Messages.size(), 3u);
    EXPECT_EQ(ui_.Messages[0].Text, "first");
    EXPECT_EQ(ui_.Messages[2].Text, "Unhandler Error in Sample\r\nthird");
    EXPECT_LT(Log().find("first"), Log().find("third")) << Log();
    ErrHandler({10001, "After", "shown at once"});
    EXPECT_EQ(ui_.Messages.size(), 4u);
}
