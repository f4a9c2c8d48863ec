#include "LanguageFile.h"

#include "AppModel.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;

TEST(LanguageFile, ReadingRules) {
    clsLanguageFile file;
    file.ReadText("# comment\r\n"
                  "   # indented comment = not an entry\r\n"
                  "\r\n"
                  "  KEY_A  =  first value  \r\n"
                  "KEY_A = second value\r\n"
                  "TWO_LINES = one\\ntwo\r\n"
                  "HAS_EQUALS = a = b\r\n"
                  "NO_EQUALS value\n"
                  "ACCENT = Estación\n"
                  "EMPTY =\n");
    EXPECT_EQ(file.GetToken("KEY_A"), "first value");
    EXPECT_EQ(file.GetToken("TWO_LINES"), "one\r\ntwo");
    EXPECT_EQ(file.GetToken("HAS_EQUALS"), "HAS_EQUALS");
    EXPECT_EQ(file.GetToken("NO_EQUALS"), "NO_EQUALS");
    EXPECT_EQ(file.GetToken("key_a"), "key_a");
    EXPECT_EQ(file.GetToken("ACCENT"), "Estación");
    EXPECT_EQ(file.GetToken("EMPTY"), "");
    EXPECT_EQ(file.Entries().size(), 5u);
}

TEST(LanguageFile, EmptyFileReadsAndMissingFileFails) {
    vialto::test::TempDir dir;
    vialto::test::RecordingUi ui;
    SetProgramFolder(dir.Path().string());
    vialto::test::WriteFileBytes(dir / "empty.lng", "");
    clsLanguageFile file;
    EXPECT_TRUE(file.ReadFile("empty.lng"));
    EXPECT_EQ(file.GetToken("BT_NEXT"), "BT_NEXT");
    EXPECT_FALSE(file.ReadFile("missing.lng"));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text.rfind(
                  "Unhandler Error in clsLanguageFile.ReadFile\r\nFile not found", 0),
              0u);
    SetProgramFolder(".");
}

// The shipped language file has a text for every token the program uses.
TEST(LanguageFile, ShippedFileCoversEveryToken) {
    SetProgramFolder(VIALTO_BIN_DIR);
    clsLanguageFile file;
    ASSERT_TRUE(file.ReadFile("StridonV2.lng"));
    for (const char *token : {"BT_BACK",
                              "BT_NEXT",
                              "BT_FINISH",
                              "BT_CANCEL",
                              "E_NOTFILLALL",
                              "E_SAMENAME",
                              "E_NOTFINDXMLELM",
                              "E_OPENLANDXML",
                              "E_NOVALIDFILE",
                              "E_FILE_SUPER",
                              "E_FILE_SUPER_VER",
                              "E_EMPTYFILE",
                              "E_CH",
                              "E_X",
                              "E_Y",
                              "E_Z",
                              "E_DESCRIPTION",
                              "E_CREATE_ARC",
                              "E_TOLE_HZ",
                              "E_TOLE_VT",
                              "E_TOLE_TUNNEL",
                              "E_TOLE_SUPERELV",
                              "LBL_FIL_SUPERELEV",
                              "T_EXPORTING_CR",
                              "LBL_UNIT_US_FOOT",
                              "OPT_RAIL_HIGH",
                              "FR_SUMMARY_RIGHT",
                              "MSG_WRONG_SUPERELEV_VERSION"})
        EXPECT_NE(file.GetToken(token), token);
    EXPECT_NE(file.GetToken("MSG_WRONG_SUPERELEV_VERSION").find("{0}"), std::string::npos);
    SetProgramFolder(".");
}
