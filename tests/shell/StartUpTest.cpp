#include "StartUp.h"

#include "AppModel.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::RecordingUi;
using vialto::test::TempDir;

namespace {

class StartUpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        SetSupportedFormats(fmtTunnel);
    }
    void TearDown() override { AppModel().Reset(); }
    RecordingUi ui_;
    TempDir dir_;
};

} // namespace

TEST_F(StartUpTest, TokenisingRules) {
    struct Case {
        const char *line;
        const char *output;
        const char *roadName;
        bool ost;
    };
    const Case cases[] = {
        {"-o \"/tmp/a.xml\"", "/tmp/a.xml", "", false},
        {"-o \"/tmp/with blank/a.xml\"", "/tmp/with blank/a.xml", "", false},
        {"-o \"/tmp/two  blanks/a.xml\"", "/tmp/two  blanks/a.xml", "", false},
        {"-n \"Road7\" -o \"/x.xml\"", "/x.xml", "Road7", false},
        {"-o \"/first.xml\" -o \"/second.xml\" -n \"A\" -n \"B\"", "/second.xml", "B", false},
        {"-OstLandXml -o \"/x.xml\"", "/x.xml", "", true},
        {"unknown  -o \"C:\\out dir\\x.xml\" tail", "C:\\out dir\\x.xml", "", false},
    };
    for (const Case &c : cases) {
        AppModel().Reset();
        EXPECT_TRUE(ReadLineCommand(c.line)) << c.line;
        EXPECT_EQ(AppModel().XmlFileToExport, c.output) << c.line;
        EXPECT_EQ(AppModel().ConversionInfo().RoadDataName, c.roadName) << c.line;
        EXPECT_EQ(AppModel().IsOstXML, c.ost) << c.line;
    }
    EXPECT_TRUE(ui_.SaveDialogs.empty());
}

TEST_F(StartUpTest, ErrorsEndTheCommandLineWithFalse) {
    for (const char *line : {"-o", "-o /tmp/unquoted.xml", "-n", "-o \"/tmp/open ended"}) {
        AppModel().Reset();
        ui_.Messages.clear();
        EXPECT_FALSE(ReadLineCommand(line)) << line;
        ASSERT_EQ(ui_.Messages.size(), 1u) << line;
        EXPECT_EQ(ui_.Messages[0].Text.rfind("Unhandler Error in ReadLineCommand\r\n", 0), 0u);
    }
}

TEST_F(StartUpTest, NoOutputAsksTheSaveDialog) {
    EXPECT_FALSE(ReadLineCommand(""));
    ASSERT_EQ(ui_.SaveDialogs.size(), 1u);
    EXPECT_EQ(ui_.SaveDialogs[0], "out_v1.0.0.xml");
    ui_.SaveAnswer = (dir_ / "chosen.xml").string();
    EXPECT_TRUE(ReadLineCommand("-n \"x\""));
    EXPECT_EQ(AppModel().XmlFileToExport, ui_.SaveAnswer);
}

TEST_F(StartUpTest, RegistrationRecord) {
    const std::string path = (dir_ / "with blank" / "reg.txt").string();
    std::filesystem::create_directories(dir_ / "with blank");
    const int code = StartUp("-reg -o \"" + path + "\"", [] { return 0; });
    EXPECT_EQ(code, kExitStopped);
    EXPECT_EQ(ReadFileBytes(path),
              "[Info]\r\nName=Vialto\r\nDescription=Vialto Converter\r\nFormat=Tunnel\r\n");
    // "-reg" alone asks for the file first; cancelling writes nothing.
    EXPECT_EQ(StartUp("-reg", [] { return 0; }), kExitStopped);
    EXPECT_EQ(ui_.SaveDialogs.size(), 1u);
}

TEST_F(StartUpTest, FormatNamesInRegistrationOrder) {
    EXPECT_EQ(SupportedFormatNames(2), "Tunnel");
    EXPECT_EQ(SupportedFormatNames(1 | 4 | 16), "Road,Rail,DTM");
    EXPECT_EQ(SupportedFormatNames(31), "Road,Tunnel,Rail,PLA,DTM");
    clsConverterInfo info;
    for (auto [formats, count] : {std::pair{2, 1}, {1, 1}, {3, 2}, {4, 2}, {7, 4}, {8, 0}}) {
        info.nFormatsSuppront = formats;
        EXPECT_EQ(info.JobTypeCount(), count) << formats;
    }
}

TEST_F(StartUpTest, MissingLanguageFileStopsWithMessage) {
    SetProgramFolder(dir_.Path().string());
    bool wizardRan = false;
    const int code = StartUp("-o \"" + (dir_ / "o.xml").string() + "\"", [&] {
        wizardRan = true;
        return 0;
    });
    EXPECT_EQ(code, kExitStopped);
    EXPECT_FALSE(wizardRan);
    ASSERT_FALSE(ui_.Messages.empty());
    EXPECT_EQ(ui_.Messages.back().Text,
              "Cannot find 'StridonV2.lng'. Please, reinstall this application.");
    EXPECT_EQ(ui_.Messages.back().Icon, MsgIcon::Critical);
    SetProgramFolder(".");
}

TEST_F(StartUpTest, CommandLineFromArgsQuotesValues) {
    EXPECT_EQ(CommandLineFromArgs({"-reg", "-o", "/a b/reg.txt"}), "-reg -o \"/a b/reg.txt\"");
    EXPECT_EQ(CommandLineFromArgs({"-n", "Road", "-o", "\"/x.xml\""}), "-n \"Road\" -o \"/x.xml\"");
}

TEST_F(StartUpTest, RoadDataName) {
    clsConversionInfo info;
    EXPECT_EQ(info.GetRoadDataName({"C:\\jobs\\a.plt", "/home/u/b.alz"}), "<a.plt + b.alz>");
    info.RoadDataName = "Road7";
    EXPECT_EQ(info.GetRoadDataName({"a.plt"}), "Road7");
}
