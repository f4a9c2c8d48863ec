#include "shell/StartUp.h"

#include "shell/AppModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace vialto;

namespace {

class StartUpTest : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().Reset(); }
    void TearDown() override { SetProgramFolder("."); }
    vialto::test::RecordingUi ui_;
    vialto::test::TempDir dir_;
    bool wizardRan_ = false;
    std::function<int()> wizard_ = [this] { return wizardRan_ = true, kExitFinished; };
};

} // namespace

// Each line: the output path, the road data name and the flavour it leaves.
TEST_F(StartUpTest, TokenisingRules) {
    const std::tuple<const char *, const char *, const char *, bool> cases[] = {
        {"-o \"/tmp/two  blanks/a.xml\"", "/tmp/two  blanks/a.xml", "", false},
        {"-o \"/first.xml\" -o \"/second.xml\" -n \"A\" -n \"B\"", "/second.xml", "B", false},
        {"-OstLandXml -o \"/x.xml\"", "/x.xml", "", true},
        {"unknown  -o \"C:\\out dir\\x.xml\" tail", "C:\\out dir\\x.xml", "", false},
    };
    for (const auto &[line, output, roadName, ost] : cases) {
        AppModel().Reset();
        EXPECT_TRUE(ReadLineCommand(line)) << line;
        EXPECT_EQ(AppModel().XmlFileToExport, output) << line;
        EXPECT_EQ(AppModel().ConversionInfo().RoadDataName, roadName) << line;
        EXPECT_EQ(AppModel().IsOstXML, ost) << line;
    }
    EXPECT_TRUE(ui_.SaveDialogs.empty());
    // The batch command's arguments come back unchanged through one command line.
    ASSERT_TRUE(ReadLineCommand(CommandLineFromArgs({"-n", "Road7", "-o", "/a  b/c d.xml"})));
    EXPECT_EQ(AppModel().XmlFileToExport, "/a  b/c d.xml");
    EXPECT_EQ(AppModel().ConversionInfo().RoadDataName, "Road7");
    EXPECT_EQ(CommandLineFromArgs({"-o", "-reg"}), "-o -reg");
}

TEST_F(StartUpTest, ErrorsEndTheCommandLineWithFalse) {
    // An option after "-o" or "-n" is never their value.
    for (const char *line : {"-o", "-o /tmp/unquoted.xml", "-n", "-o \"/tmp/open ended", "-o -reg",
                             "-o -reg \"/tmp/r.xml\"", "-n -o \"/tmp/x.xml\""}) {
        ui_.Messages.clear();
        EXPECT_FALSE(ReadLineCommand(line)) << line;
        ASSERT_EQ(ui_.Messages.size(), 1u) << line;
        EXPECT_EQ(ui_.Messages[0].Text.rfind("Unhandler Error in ReadLineCommand\r\n", 0), 0u);
    }
}

// Without an output, or asked to register without one, the save dialog
// asks for the file and its cancel stops (the path chosen and the record
// itself are the wizard program's tests).
TEST_F(StartUpTest, NoOutputAsksTheSaveDialogAndItsCancelStops) {
    for (const char *line : {"", "-reg"}) {
        ui_.SaveDialogs.clear();
        EXPECT_EQ(StartUp(line, wizard_), kExitStopped) << line;
        EXPECT_EQ(ui_.SaveDialogs, std::vector<std::string>{"out_v1.0.0.xml"}) << line;
    }
    EXPECT_FALSE(wizardRan_);
}

// A language file that is missing, or a folder in its place, stops start-up.
TEST_F(StartUpTest, UnreadableLanguageFileStopsBeforeTheWizard) {
    SetProgramFolder(dir_.Path().string());
    for (const char *error : {"File not found", "Path/File access error"}) {
        ui_.Messages.clear();
        EXPECT_EQ(StartUp("-o \"" + (dir_ / "o.xml").string() + "\"", wizard_), kExitStopped);
        EXPECT_FALSE(wizardRan_);
        ASSERT_EQ(ui_.Messages.size(), 2u);
        EXPECT_EQ(ui_.Messages[0].Text.rfind(
                      std::string("Unhandler Error in clsLanguageFile.ReadFile\r\n") + error, 0),
                  0u)
            << ui_.Messages[0].Text;
        EXPECT_EQ(ui_.Messages[1].Text,
                  "Cannot find 'StridonV2.lng'. Please, reinstall this application.");
        EXPECT_EQ(ui_.Messages[1].Icon, MsgIcon::Critical);
        std::filesystem::create_directory(dir_ / "StridonV2.lng");
    }
}
