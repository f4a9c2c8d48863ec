#include "railtunnel/Tunnel.h"

#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "support/HostileXml.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

class TunnelTest : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().Reset(); }
    void TearDown() override {
        DiscardOutput();
        AppModel().Reset();
    }

    bool LoadText(clsTunnel &tunnel, const std::string &text) {
        const auto path = dir_ / "tunnel.xml";
        WriteFileBytes(path, text);
        return tunnel.Load(path.string());
    }
    std::string LastMessage() const {
        return ui_.Messages.empty() ? std::string() : ui_.Messages.back().Text;
    }

    TempDir dir_;
    RecordingUi ui_;
};

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

TEST_F(TunnelTest, BadFilesAreRefusedWithTheirErrorNumber) {
    struct Case {
        const char *Name;
        std::string Text;
        const char *Message;
        const char *Reason = ""; // part of the reason the import tree shows
    };
    const std::string profiles = "<TunnelProfile sta=\"1\"/></TunnelProfiles>";
    const std::string entityProfile =
        "<TunnelProfiles><TunnelProfile sta=\"&xxe;\"/></TunnelProfiles>";
    const Case cases[] = {
        {"second line a comment", kDecl + "<!-- profiles -->\r\n<TunnelProfiles>" + profiles,
         "E_NOVALIDFILE"},
        {"wrong root without declaration", "<Profiles><TunnelProfile sta=\"1\"/></Profiles>",
         "E_NOVALIDFILE"},
        {"malformed", kDecl + "<TunnelProfiles>\r\n<TunnelProfile sta=\"1\">\r\n</TunnelProfiles>",
         "E_NOVALIDFILE", "tunnel.xml is not well-formed XML: Start-end tags mismatch at line 4"},
        {"empty file", "", "E_NOVALIDFILE"},
        {"no profiles", kDecl + "<TunnelProfiles name=\"x\">\r\n</TunnelProfiles>", "E_NOTFILLALL"},
        {"profile without sta", kDecl + "<TunnelProfiles>\r\n<TunnelProfile/></TunnelProfiles>",
         "E_NOVALIDFILE"},
        // Entities are never expanded.
        {"external entity on the second line",
         kDecl + ExternalEntityDoctype("TunnelProfiles") + entityProfile, "E_NOVALIDFILE",
         "does not start with <TunnelProfiles"},
        {"external entity without declaration",
         ExternalEntityDoctype("TunnelProfiles") + entityProfile, "E_NOVALIDFILE",
         "declares a document type at line 1, column"},
        {"bare ampersand",
         kDecl + "<TunnelProfiles>\r\n<TunnelProfile sta=\"1\" n=\"a & b\"/>" + "</TunnelProfiles>",
         "E_NOVALIDFILE", "\"&\" at line 3, column 29"},
    };
    for (const Case &c : cases) {
        ui_.Messages.clear();
        clsTunnel tunnel;
        const ErrorRecorder errors;
        EXPECT_FALSE(LoadText(tunnel, c.Text)) << c.Name;
        ASSERT_FALSE(errors.Errors().empty()) << c.Name;
        const std::string &reason = errors.Errors().back().Description;
        EXPECT_EQ(LastMessage(), c.Message) << c.Name;
        EXPECT_NE(reason.find(c.Reason), std::string::npos) << c.Name << ": " << reason;
        EXPECT_TRUE(tunnel.GetChainages().empty()) << c.Name;
        EXPECT_TRUE(tunnel.Text().empty()) << c.Name;
    }
    ui_.Messages.clear();
    clsTunnel tunnel;
    EXPECT_FALSE(tunnel.Load((dir_ / "missing.xml").string()));
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_TRUE(StartsWith(LastMessage(), "Unhandler Error in clsTunnel.Load"));
    // Without profiles there is nothing to export.
    SetOutputFile((dir_ / "out.xml").string());
    ASSERT_TRUE(OpenFile());
    double start = 1, end = 1;
    EXPECT_FALSE(tunnel.ExportToLandXml(start, end));
    EXPECT_TRUE(StartsWith(LastMessage(), "Unhandler Error in clsTunnel.ExportToLandXml"));
}

// The ANSI code page, attributes split over lines, a decimal comma: the
// profiles come in ascending order and the copy is UTF-8. (The sample job's
// document shows how the copy is written.)
TEST_F(TunnelTest, AnsiFileWithSplitAttributes) {
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load(SourcePath("samples/tunnel/profiles_cp1252.xml").string()));
    EXPECT_EQ(tunnel.GetChainages(), (std::vector<double>{12440, 12520.5, 12600}));
    EXPECT_TRUE(StartsWith(tunnel.Text(), "<TunnelProfiles name=\"Túnel Peñarroya\" unit=\"m\">"
                                          "<TunnelProfile sta=\"12520,5\" name=\"Boca norte – "));
}

// The copy keeps every element, attribute, text (blanks included), CDATA
// section, comment and instruction of the root, and what follows the root;
// only the line breaks and indentation between tags go. Each copy is one
// well-formed line.
TEST_F(TunnelTest, CopyKeepsTheContentOnOneLine) {
    const std::string head = kDecl + "<TunnelProfiles>\r\n  <TunnelProfile sta=\"5\">";
    const std::string tail = "</TunnelProfile>\r\n</TunnelProfiles>";
    struct Case {
        const char *Name;
        std::string Inside; // the profile's content in the file
        std::string Copied; // ... in the copy
    };
    const Case cases[] = {
        {"blank text", "<Pad> </Pad><Tab>\t</Tab>", "<Pad> </Pad><Tab>&#9;</Tab>"},
        {"layout only", "\r\n    <Pad>\r\n    </Pad>\r\n  ", "<Pad/>"},
        {"text over lines", "<R>\r\n  two\r\n  lines </R>", "<R>&#10;  two&#10;  lines </R>"},
        {"CDATA", "<![CDATA[<raw> & ]]>]]>", "<![CDATA[<raw> & ]]>]]&gt;"},
        {"CDATA over lines", "<![CDATA[a\r\nb]]><![CDATA[]]>",
         "<![CDATA[a]]>&#10;<![CDATA[b]]><![CDATA[]]>"},
        {"escapes", "<P a=\"x &amp; &lt;y&gt; &quot;q&quot;\" b=\"line&#10;break\"/>",
         "<P a=\"x &amp; &lt;y&gt; &quot;q&quot;\" b=\"line&#10;break\"/>"},
        // Comments and instructions keep to one line and never hold "--" or end on "-".
        {"comment", "<!-- a -- comment\r\n over\tlines- -->",
         "<!-- a - - comment  over\tlines- -->"},
        {"instruction", "<?editor keep\r\nthis?>", "<?editor keep  this?>"},
    };
    for (const Case &c : cases) {
        clsTunnel tunnel;
        ASSERT_TRUE(LoadText(tunnel, head + c.Inside + tail)) << c.Name;
        EXPECT_EQ(tunnel.Text(), "<TunnelProfiles><TunnelProfile sta=\"5\">" + c.Copied +
                                     "</TunnelProfile></TunnelProfiles>")
            << c.Name;
        WriteFileBytes(dir_ / "line.xml", tunnel.Text());
        EXPECT_EQ(CheckWellFormedXml(dir_ / "line.xml"), "") << c.Name;
    }
    // What follows the root element is copied after it.
    clsTunnel tunnel;
    ASSERT_TRUE(LoadText(tunnel, head + tail + "\r\n<!-- end of set -->\r\n<?done?>\r\n"));
    EXPECT_EQ(
        tunnel.Text(),
        "<TunnelProfiles><TunnelProfile sta=\"5\"/></TunnelProfiles><!-- end of set --><?done?>");
}

// Nesting as deep as a file can make does not exhaust the stack; the
// innermost element, having no content, is written as an empty tag.
TEST_F(TunnelTest, DeepNesting) {
    std::string open, close;
    for (int i = 0; i < 200000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    clsTunnel tunnel;
    const std::string profile = "<TunnelProfiles><TunnelProfile sta=\"7\"/>";
    ASSERT_TRUE(LoadText(tunnel, kDecl + profile + open + close + "</TunnelProfiles>"));
    EXPECT_EQ(tunnel.Text(),
              profile + open.substr(3) + "<a/>" + close.substr(4) + "</TunnelProfiles>");
}

} // namespace
