#include "editors/TunnelEditing.h"

#include "EditorFakes.h"
#include "editors/EditorSession.h"
#include "railtunnel/Tunnel.h"

using namespace vialto;
using namespace vialto::editors;
using namespace vialto::editors::test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class TunnelEditingTest : public EditorTest {
  protected:
    // The chainages the converter reads from the file, sorted as it sorts them.
    static std::vector<double> ReaderChainages(const std::filesystem::path &file) {
        clsTunnel tunnel;
        EXPECT_TRUE(tunnel.Load(file.string()));
        return tunnel.GetChainages();
    }

    EditorSession session_{TunnelKind()};
};

// Profiles in groups stay in their groups; what stood before the root moves
// to the root's start, so that the root's start tag is the second line. The
// saved file (data/groups-saved.xml) is the input indented, in CR LF lines,
// with the new profile at 55.000 in zone A and the note, padding and CDATA
// as they were.
TEST_F(TunnelEditingTest, GroupsAndPrologAreKept) {
    const auto file = dir_ / "groups.xml";
    WriteFileBytes(file, "<!-- made by hand -->\n<TunnelProfiles>\n"
                         "<Zone id=\"A\"><TunnelProfile sta=\"10\"/><TunnelProfile sta=\"20\"/>"
                         "<Note>a&#13;b</Note></Zone>\n"
                         "<Zone id=\"B\"><TunnelProfile sta=\"90\"><Pad> </Pad>"
                         "<![CDATA[a<b]]></TunnelProfile></Zone>\n"
                         "</TunnelProfiles>\n<!-- after -->\n");
    ASSERT_TRUE(session_.Open(file.string()));
    EXPECT_TRUE(session_.Verdict().Accepted);
    session_.AddRow(2); // after row 2, in zone A: halfway to 90
    ASSERT_TRUE(session_.Save(dialogs_));
    EXPECT_EQ(ReadFileBytes(file),
              ReadFileBytes(SourcePath("tests/editors/data/groups-saved.xml")));
    EXPECT_THAT(ReaderChainages(file), ElementsAre(10, 20, 55, 90));
}

// A file the converter refuses shows why, and nothing rewrites it unless the
// user agrees to replace it.
TEST_F(TunnelEditingTest, RefusedFileShowsTheReasonAndIsNotRewritten) {
    struct Case {
        const char *Name;
        std::string Text;
        const char *Reason;      // the converter's
        const char *LoadProblem; // the editor's, "" when it shows the rows
    };
    const std::string decl = "<?xml version=\"1.0\"?>\n";
    const Case cases[] = {
        {"profile without sta",
         decl + "<TunnelProfiles>\n <TunnelProfile name=\"x\"/>\n <TunnelProfile sta=\"1\"/>\n"
                "</TunnelProfiles>",
         "at line 3, column 3 of", ""},
        {"comment before the root", decl + "<!-- c -->\n<TunnelProfiles/>",
         "does not start with <TunnelProfiles", ""},
        {"no profiles", decl + "<TunnelProfiles>\n</TunnelProfiles>",
         "has no <TunnelProfile> elements", ""},
        {"malformed", decl + "<TunnelProfiles>\n<TunnelProfile sta=\"1\">\n</TunnelProfiles>",
         "at line 4, column 3", "at line 4, column 3"},
        {"another root", decl + "<Cant/>", "does not start with <TunnelProfiles",
         "The root element is <Cant>, not <TunnelProfiles>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto file = dir_ / "bad.xml";
        WriteFileBytes(file, c.Text);
        const bool editable = *c.LoadProblem == 0;
        EXPECT_EQ(session_.Open(file.string()), editable);
        EXPECT_FALSE(session_.Verdict().Accepted);
        EXPECT_THAT(VerdictLine(session_.Verdict()), HasSubstr(c.Reason));
        EXPECT_THAT(session_.LoadProblem(), HasSubstr(c.LoadProblem));
        if (editable)
            session_.AddRow(0);
        dialogs_.ConfirmAnswer = false;
        EXPECT_FALSE(session_.Save(dialogs_));
        EXPECT_EQ(ReadFileBytes(file), c.Text);
        EXPECT_THAT(FolderNames(dir_.Path()), ElementsAre("bad.xml"));
    }
    // Mended and replaced with the user's consent, the converter reads it.
    WriteFileBytes(dir_ / "bad.xml", cases[0].Text);
    ASSERT_TRUE(session_.Open((dir_ / "bad.xml").string()));
    EXPECT_EQ(CellText(session_.Table(), 0, tunnelChainage), "");
    EXPECT_EQ(session_.SetCell(0, tunnelChainage, "5"), "");
    dialogs_.ConfirmAnswer = true;
    ASSERT_TRUE(session_.Save(dialogs_));
    EXPECT_TRUE(session_.Verdict().Accepted);
    EXPECT_THAT(ReaderChainages(dir_ / "bad.xml"), ElementsAre(1, 5));
}

} // namespace
