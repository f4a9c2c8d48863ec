#include "ErrHandler.h"

#include "AppModel.h"
#include "TestSupport.h"
#include "Text.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::RecordingUi;
using vialto::test::TempDir;

namespace {

// Points the log at a private temporary folder for the test's life.
class ErrHandlerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        oldTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", dir_.Path().c_str(), 1);
        AppModel().Reset();
        AppModel().TokenFile().ReadText("E_NOTFILLALL = Not all\nE_OPENLANDXML = Cannot open\n"
                                        "E_FILE_SUPER_VER = Old version\n");
        SetAssertionsSilenced(false);
    }
    void TearDown() override {
        if (oldTmp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        AppModel().Reset();
    }
    std::string Log() const { return ReadFileBytes(LogFilePath()); }

    TempDir dir_;
    RecordingUi ui_;
    std::string oldTmp_;
};

} // namespace

TEST_F(ErrHandlerTest, TableOfNumbers) {
    struct Case {
        long number;
        std::string shown; // "" = nothing shown
        MsgIcon icon;
        bool logged;
    };
    const std::vector<Case> cases = {
        {10001, "my message", MsgIcon::Critical, true},
        {10002, "Not all", MsgIcon::Warning, false},
        {10003, "E_SAMENAME", MsgIcon::Warning, false},
        {10004, "E_NOTFINDXMLELM", MsgIcon::Warning, false},
        {10005, "Cannot open\r\nmy message", MsgIcon::Warning, false},
        {10011, "E_NOVALIDFILE", MsgIcon::Warning, false},
        {20000, "", MsgIcon::Warning, true},
        {20001, "E_FILE_SUPER", MsgIcon::Warning, false},
        {20002, "Old version", MsgIcon::Warning, false},
        {53, "Unhandler Error in Src\r\nmy message", MsgIcon::Critical, true},
    };
    for (const Case &c : cases) {
        ui_.Messages.clear();
        std::filesystem::remove(LogFilePath());
        ErrHandler({c.number, "Src", "my message"});
        if (c.shown.empty()) {
            EXPECT_TRUE(ui_.Messages.empty()) << c.number;
        } else {
            ASSERT_EQ(ui_.Messages.size(), 1u) << c.number;
            EXPECT_EQ(ui_.Messages[0].Text, c.shown);
            EXPECT_EQ(ui_.Messages[0].Icon, c.icon) << c.number;
            EXPECT_EQ(ui_.Messages[0].Buttons, MsgButtons::Ok);
        }
        const std::string log = Log();
        EXPECT_EQ(log.find("Error: " + std::to_string(c.number) + " my message in Src\r\n") !=
                      std::string::npos,
                  c.logged)
            << c.number << log;
    }
}

TEST_F(ErrHandlerTest, LogBlockFormat) {
    LogError({20000, "ExportRoad", "Nothing to export"});
    LogMessage("hello");
    const std::string log = Log();
    // "==== MM-DD-YYYY  HH:MM:SS ====\r\nError: ...\r\nMsg hello\r\n"
    ASSERT_EQ(log.size(), 5u + 20u + 5u + 2u + 46u + 11u);
    EXPECT_EQ(log.substr(0, 5), "==== ");
    EXPECT_EQ(log[7], '-');
    EXPECT_EQ(log[10], '-');
    EXPECT_EQ(log.substr(15, 2), "  ");
    EXPECT_EQ(log[19], ':');
    EXPECT_EQ(log[22], ':');
    EXPECT_EQ(log.substr(25),
              " ====\r\nError: 20000 Nothing to export in ExportRoad\r\nMsg hello\r\n");
}

TEST_F(ErrHandlerTest, AssertionOnlyShownInDebugModeAndCanBeSilenced) {
    ErrHandler({20000, "Op", "cond"});
    EXPECT_TRUE(ui_.Messages.empty());
    AppModel().DebugMode = true;
    ui_.Answers = {MsgResult::Cancel};
    ErrHandler({20000, "Op", "cond"});
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_EQ(ui_.Messages[0].Text,
              "ASSERT in Op\r\ncond\r\n\r\nPress 'Cancel' to do not show again "
              "assert message box in current debuging");
    EXPECT_EQ(ui_.Messages[0].Buttons, MsgButtons::OkCancel);
    ErrHandler({20000, "Op", "cond"});
    EXPECT_EQ(ui_.Messages.size(), 1u); // silenced
    const std::string log = Log();
    std::size_t blocks = 0;
    for (std::size_t at = log.find("Error: 20000"); at != std::string::npos;
         at = log.find("Error: 20000", at + 1))
        ++blocks;
    EXPECT_EQ(blocks, 3u);
}

TEST_F(ErrHandlerTest, AddOnModeIsSilent) {
    AppModel().SetAddOnMode(true);
    ErrHandler({53, "ImportHzAligment", "File not found"});
    EXPECT_TRUE(ui_.Messages.empty());
    EXPECT_FALSE(std::filesystem::exists(LogFilePath()));
}

TEST_F(ErrHandlerTest, GuardedMapsRuntimeFailures) {
    struct Case {
        std::function<void()> body;
        long number;
    };
    const std::vector<Case> cases = {
        {[] { RaiseError(10001, "x"); }, 10001},
        {[] { std::vector<int>().at(3); }, 9},
        {[] { throw std::invalid_argument("bad"); }, 13},
        {[] { Divide(1.0, 0.0); }, 11},
        {[] { throw std::overflow_error("big"); }, 6},
        {[] { (void)std::filesystem::file_size("/definitely/not/here"); }, 53},
        {[] { throw std::runtime_error("other"); }, 5},
        {[] { throw 42; }, 5},
    };
    for (const Case &c : cases) {
        ui_.Messages.clear();
        std::filesystem::remove(LogFilePath());
        const bool result = GuardedRun("ExportRoad", c.body);
        EXPECT_FALSE(result);
        const std::string log = Log();
        EXPECT_NE(log.find("Error: " + std::to_string(c.number) + " "), std::string::npos)
            << c.number << " " << log;
        EXPECT_NE(log.find(" in ExportRoad\r\n"), std::string::npos) << log;
    }
    EXPECT_EQ(Guarded("Ok", -1, [] { return 7; }), 7);
}
