#include "shell/LanguageFile.h"

#include "shell/AppModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <regex>

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
                  "ACCENT = Estación\n");
    EXPECT_EQ(file.GetToken("KEY_A"), "first value");
    EXPECT_EQ(file.GetToken("key_a"), "key_a");
    EXPECT_EQ(file.GetToken("TWO_LINES"), "one\r\ntwo");
    EXPECT_EQ(file.GetToken("HAS_EQUALS"), "HAS_EQUALS");
    EXPECT_EQ(file.GetToken("NO_EQUALS"), "NO_EQUALS");
    EXPECT_EQ(file.GetToken("ACCENT"), "Estación");
    EXPECT_EQ(file.Entries().size(), 4u);
}

// Every token a source file asks for has a text in the shipped language file.
TEST(LanguageFile, ShippedFileCoversEveryTokenTheSourcesUse) {
    SetProgramFolder(VIALTO_BIN_DIR);
    clsLanguageFile file;
    ASSERT_TRUE(file.ReadFile("StridonV2.lng"));
    SetProgramFolder(".");
    const std::regex token("\"((BT|CMD|E|FR|LBL|OPT|TXT|T|MSG)_[A-Z_]+)\"");
    std::size_t used = 0;
    for (const auto &entry :
         std::filesystem::recursive_directory_iterator(vialto::test::SourcePath("src"))) {
        const std::string text = vialto::test::ReadFileBytes(entry.path());
        for (std::sregex_iterator at(text.begin(), text.end(), token), end; at != end; ++at, ++used)
            EXPECT_NE(file.GetToken((*at)[1]), (*at)[1]) << entry.path();
    }
    EXPECT_GT(used, 40u);
    EXPECT_NE(file.GetToken("MSG_WRONG_SUPERELEV_VERSION").find("{0}"), std::string::npos);
}
