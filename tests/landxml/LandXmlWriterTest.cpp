// The line writer: text conversion, indentation and line ends, the work file
// that replaces the output only on commit, and write failures.
#include "LandXmlFixture.h"

#include <csignal>
#include <sys/resource.h>

namespace vialto::test {
namespace {

using ::testing::HasSubstr;

struct TextCase {
    const char *Name;
    std::string In;
    std::string Escaped;
};

TEST(XmlText, ConvertsAndEscapesDataTexts) {
    const std::vector<TextCase> cases = {
        {"tilde stays", "a~b", "a~b"},
        {"e acute is two bytes", "Jos\xC3\xA9", "Jos\xC3\xA9"},
        {"markup characters", "a&b<c>d\"e", "a&amp;b&lt;c&gt;d&quot;e"},
        {"apostrophe needs no escape inside double quotes", "O'Brien", "O'Brien"},
        {"tab CR LF kept as references", "a\tb\r\nc", "a&#9;b&#13;&#10;c"},
        {"control characters XML cannot carry", std::string("a\x01z") + '\0', "a?z?"},
        {"lone Windows-1252 e acute", "Jos\xE9", "Jos\xC3\xA9"},
        {"Windows-1252 euro sign", "\x80", "\xE2\x82\xAC"},
        {"undefined Windows-1252 byte", "\x81", "?"},
        {"overlong slash is not a slash", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"truncated sequence at the end", "a\xE2\x82", "a\xC3\xA2\xE2\x80\x9A"},
        {"encoded surrogate is refused", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        {"four-byte character passes", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        {"U+FFFF cannot be carried", "\xEF\xBF\xBF", "?"},
    };
    for (const TextCase &c : cases) {
        EXPECT_EQ(XmlText(c.In), c.Escaped) << c.Name;
        // The unescaped form differs only by the escapes.
        const std::string plain = Utf8Text(c.In);
        EXPECT_EQ(XmlText(plain), c.Escaped) << c.Name;
    }
    EXPECT_EQ(PointText(1000.5, -2.25), "-2.250000 1000.500000"); // northing first
}

using LineWriter = LandXmlFixture;

// Each open adds a tab, each close takes one off; the side level, used by
// WriteLnAtOstLevel, is 0 without the extended flavour.
TEST_F(LineWriter, IndentsWithTabsAndEndsLinesWithCrLf) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_EQ(MainLevel(), 1);
    EXPECT_TRUE(WriteLnOpen("<Alignments>"));
    EXPECT_TRUE(WriteLnOpen("<Alignment name=\"a\" length=\"1\" staStart=\"0\">"));
    EXPECT_TRUE(WriteLnAtOstLevel("<Feature code=\"t\"/>"));
    EXPECT_TRUE(WriteLnClose("</Alignment>"));
    EXPECT_TRUE(WriteLnClose("</Alignments>"));
    EXPECT_EQ(MainLevel(), 1);
    EXPECT_TRUE(TagUnits(3));
    bytes = FinishDocument();
    EXPECT_THAT(bytes, HasSubstr("?>\r\n<LandXML "));
    EXPECT_THAT(bytes, HasSubstr(">\r\n\t<Alignments>\r\n\t\t<Alignment name=\"a\" length=\"1\" "
                                 "staStart=\"0\">\r\n<Feature code=\"t\"/>\r\n\t\t</Alignment>\r\n"
                                 "\t</Alignments>\r\n\t<Units>\r\n"));
}

// The plain flavour writes the document beside the output under another name
// and never opens a side file.
TEST_F(LineWriter, OutputAppearsOnlyOnCommit) {
    WriteFileBytes(out, "earlier document");
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_EQ(FolderEntries().size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(SideFilePath()));
    EXPECT_FALSE(WriteLnOst("<X/>"));
    ExpectMessage("CLandXML.WriteLnOst");
    EXPECT_TRUE(TagUnits(3));
    EXPECT_TRUE(TagLandXML(true));
    CloseFile();
    EXPECT_EQ(ReadFileBytes(out), "earlier document");
    ASSERT_TRUE(CommitOutput());
    EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    EXPECT_THAT(ReadFileBytes(out), HasSubstr("</Units>\r\n</LandXML>\r\n"));
}

// A discarded document, of either flavour, leaves the earlier file as it was
// and nothing beside it; so does a document whose root was not closed.
TEST_F(LineWriter, DiscardOrAnUnfinishedDocumentKeepsTheEarlierFile) {
    WriteFileBytes(out, "earlier document");
    for (const bool extended : {false, true}) {
        AppModel().IsOstXML = extended;
        ASSERT_TRUE(TagLandXML(false));
        EXPECT_TRUE(WriteLnAt("<Half"));
        CloseFile(); // the export stage closes even when a step failed
        DiscardOutput();
        EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
        EXPECT_EQ(ReadFileBytes(out), "earlier document");
    }
    // A new conversion forgets uncommitted work as well.
    ASSERT_TRUE(TagLandXML(false));
    SetOutputFile(out.string());
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    EXPECT_FALSE(CommitOutput()); // nothing was written since
    ExpectMessage("No document was written");
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(WriteLnAt("<Alignments>"));
    CloseFile();
    EXPECT_FALSE(CommitOutput());
    ExpectMessage("was not completed");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    EXPECT_EQ(ReadFileBytes(out), "earlier document");
}

struct OpenFailure {
    const char *Name;
    std::string Path; // relative to the test folder; "" for no path at all
    const char *Reason;
};

TEST_F(LineWriter, OpenFailuresAreReportedAndLeaveNothing) {
    WriteFileBytes(dir / "plainfile", "x");
    std::filesystem::create_directory(dir / "folder.xml");
    const std::vector<OpenFailure> cases = {
        {"missing folder", "no/such/folder/out.xml", "No such file"},
        {"a file used as a folder", "plainfile/out.xml", "Not a directory"},
        {"the output is a folder", "folder.xml", "is a folder"},
        {"no output set", "", "No output file"},
    };
    for (const OpenFailure &c : cases) {
        SCOPED_TRACE(c.Name);
        SetOutputFile(c.Path.empty() ? std::string() : (dir / c.Path).string());
        EXPECT_FALSE(TagLandXML(false));
        EXPECT_FALSE(IsFileOpen());
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_THAT(ui.Messages[0].Text, HasSubstr("E_OPENLANDXML\r\n"));
        ExpectMessage(c.Reason);
        EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"folder.xml", "plainfile"}));
    }
}

TEST_F(LineWriter, WriteWithoutAnOpenFileIsReported) {
    EXPECT_FALSE(WriteLn("<Lost/>"));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_EQ(ui.Messages[0].Text, "Unhandler Error in CLandXML.WriteLn\r\nBad file name or "
                                   "number\r\nError to write: '<Lost/>' in file:" +
                                       out.string());
    ui.Messages.clear();
    EXPECT_FALSE(WriteLnAtOst("<Lost/>"));
    ExpectMessage("CLandXML.WriteLnOst");
}

TEST_F(LineWriter, LevelsNeverGoBelowZero) {
    ASSERT_TRUE(TagLandXML(false));
    EXPECT_TRUE(WriteLnClose("</LandXMLChild>")); // level 1 -> 0
    EXPECT_FALSE(WriteLnClose("</Unbalanced>"));
    EXPECT_EQ(MainLevel(), 0);
    ExpectMessage("CLandXML.WriteLnClose");
}

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
    int failedAt = -1;
    for (int i = 0; i < 2000; ++i) {
        if (!WriteLnAt(line)) {
            failedAt = i;
            break;
        }
    }
    EXPECT_FALSE(WriteLnAt(line)); // later writes fail quietly
    EXPECT_TRUE(TagLandXML(true) == false);
    CloseFile();
    const bool committed = CommitOutput();

    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);

    EXPECT_GE(failedAt, 0);
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

} // namespace
} // namespace vialto::test
