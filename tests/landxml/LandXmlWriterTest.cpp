// The line writer: the work file that replaces the output only on commit, and
// its failures; the document head; the schema check every document test uses.
#include "landxml/LandXmlFixture.h"

#include <csignal>
#if __has_include(<sys/resource.h>) // a file size limit simulates a full disk
#include <sys/resource.h>
#define VIALTO_HAVE_FILE_SIZE_LIMIT 1
#endif

namespace vialto::test {
namespace {

using ::testing::HasSubstr;

using LineWriter = LandXmlFixture;

// A discarded document, of either flavour, or one whose root was not closed
// leaves the earlier file as it was and nothing beside it. The plain flavour
// writes beside the output under another name, never opens a side file, and
// replaces the earlier file on commit.
TEST_F(LineWriter, OutputReplacesTheEarlierFileOnlyOnCommit) {
    WriteFileBytes(out, "earlier document");
    for (const bool extended : {false, true}) {
        AppModel().IsOstXML = extended;
        ASSERT_TRUE(TagLandXML(false));
        EXPECT_TRUE(WriteLnAt("<Half"));
        CloseFile(); // the export stage closes even when a step failed
        DiscardOutput();
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    }
    AppModel().IsOstXML = false;
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(WriteLnAt("<Alignments>"));
    CloseFile();
    EXPECT_FALSE(CommitOutput());
    ExpectMessage("was not completed");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_EQ(FolderEntries().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(SideFilePath()));
    EXPECT_FALSE(WriteLnAtOst("<X/>"));
    ExpectMessage("CLandXML.WriteLnOst");
    EXPECT_TRUE(TagUnits(3) && TagLandXML(true));
    CloseFile();
    EXPECT_EQ(ReadFileBytes(out), "earlier document");
    ASSERT_TRUE(CommitOutput());
    EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    EXPECT_THAT(ReadFileBytes(out), HasSubstr("</Units>\r\n</LandXML>\r\n"));
}

// The output path turns into a folder while the document is written: the
// finished work file cannot replace it; the failure names the path, and
// nothing is left beside the folder.
TEST_F(LineWriter, FailedReplaceOnCommit) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(TagUnits(3) && TagLandXML(true));
    CloseFile();
    std::filesystem::create_directories(out / "x");
    EXPECT_FALSE(CommitOutput());
    ExpectMessage("Cannot replace the file '" + out.string() + "'");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    EXPECT_TRUE(std::filesystem::is_directory(out / "x"));
}

TEST_F(LineWriter, OpenFailureIsReportedAndLeavesNothing) {
    SetOutputFile((dir / "no/such/folder/out.xml").string());
    EXPECT_FALSE(TagLandXML(false));
    EXPECT_FALSE(IsFileOpen());
    EXPECT_THAT(ui.Messages.at(0).Text, HasSubstr("E_OPENLANDXML\r\n"));
    ExpectMessage("No such file");
    EXPECT_TRUE(FolderEntries().empty());
}

#ifdef VIALTO_HAVE_FILE_SIZE_LIMIT
// A full disk, simulated by a file size limit: the first failed write is
// reported with the line and the file, the document is never committed, and
// the earlier file at the output path survives.
TEST_F(LineWriter, FullDiskIsReportedOnceAndNothingIsCommitted) {
    WriteFileBytes(out, "earlier document");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*savedHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 16384;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);

    ASSERT_TRUE(TagLandXML(false));
    const std::string line(100, 'x');
    int written = 0;
    while (written < 2000 && WriteLnAt(line))
        ++written;
    EXPECT_FALSE(WriteLnAt(line)); // later writes fail quietly
    EXPECT_FALSE(TagLandXML(true));
    CloseFile();
    const bool committed = CommitOutput();

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    EXPECT_LT(written, 2000);
    EXPECT_FALSE(committed);
    ASSERT_EQ(ui.Messages.size(), 2u);
    EXPECT_THAT(ui.Messages[0].Text, HasSubstr("Unhandler Error in CLandXML.WriteLn\r\nDisk full"));
    EXPECT_THAT(ui.Messages[0].Text,
                HasSubstr("\r\nError to write: '\t" + line + "' in file:" + out.string()));
    EXPECT_THAT(ui.Messages[1].Text, HasSubstr("could not be written completely"));
    ui.Messages.clear();
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    EXPECT_EQ(ReadFileBytes(out), "earlier document");
}
#endif

using LandXmlHead = LandXmlFixture;

// The author is escaped and kept in UTF-8; an unknown unit code writes
// nothing and is reported.
TEST_F(LandXmlHead, AuthorEscapedAndUnknownUnitCodeRefused) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(TagApplication("Jos\xC3\xA9 \"P\" & Co"));
    EXPECT_FALSE(TagUnits(9));
    ExpectMessage("CLandXML.TagUnits");
    EXPECT_EQ(MainLevel(), 1);
    const std::string written = FinishDocument();
    EXPECT_THAT(written, HasSubstr("<Author createdBy=\"Jos\xC3\xA9 &quot;P&quot; &amp; Co\" />"));
    EXPECT_THAT(written, ::testing::Not(HasSubstr("Units")));
}

// The schema check accepts the known forms the field software reads and
// nothing else.
TEST(KnownForms, OnlyTheListedFormsAreTolerated) {
    if (!CanValidateXml())
        GTEST_SKIP() << "no xmllint here";
    const std::string golden =
        ReadFileBytes(SourcePath("tests/landxml/golden/alignment_short_arc.xml"));
    const std::size_t end = golden.rfind("</LandXML>");
    const std::string in = "<Alignments name=\"alignments\"><Alignment name=\"A\" length=\"1\" "
                           "staStart=\"0\">";
    const std::string out = "</Alignment></Alignments>";
    const std::string profiles = "<TunnelProfiles><TunnelProfile sta=\"1\"/></TunnelProfiles>";
    TempDir dir;
    for (const auto &[inside, valid] : {std::pair<std::string, bool>{in + profiles + out, true},
                                        {in + "<Feature code=\"Other\">x</Feature>" + out, false},
                                        {profiles, false},
                                        {"<Alignments>", false}}) {
        WriteFileBytes(dir / "case.xml", golden.substr(0, end) + inside + golden.substr(end));
        EXPECT_EQ(ValidateLandXmlKnownForms(dir / "case.xml").empty(), valid) << inside;
    }
}

} // namespace
} // namespace vialto::test
