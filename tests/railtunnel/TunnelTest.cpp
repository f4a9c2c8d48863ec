#include "railtunnel/Tunnel.h"

#include "landxml/LandXmlHead.h"
#include "landxml/LandXmlWriter.h"
#include "shell/AppModel.h"
#include "shell/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
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

    // A small document with one alignment holding the exported set.
    std::filesystem::path ExportDocument(const clsTunnel &tunnel, double &start, double &end,
                                         bool &ok) {
        const auto out = dir_ / "out.xml";
        SetOutputFile(out.string());
        EXPECT_TRUE(TagLandXML(false));
        WriteLnOpen("<Alignments>");
        WriteLnOpen("<Alignment name=\"Tunnel axis\" length=\"3000\" staStart=\"12340\">");
        ok = tunnel.ExportToLandXml(start, end);
        WriteLnClose("</Alignment>");
        WriteLnClose("</Alignments>");
        EXPECT_TRUE(TagLandXML(true));
        CloseFile();
        EXPECT_TRUE(CommitOutput());
        return out;
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
    };
    const std::string profiles = "<TunnelProfile sta=\"1\"/></TunnelProfiles>";
    const Case cases[] = {
        {"second line a comment", kDecl + "<!-- profiles -->\r\n<TunnelProfiles>" + profiles,
         "E_NOVALIDFILE"},
        {"wrong root without declaration", "<Profiles><TunnelProfile sta=\"1\"/></Profiles>",
         "E_NOVALIDFILE"},
        {"malformed", kDecl + "<TunnelProfiles>\r\n<TunnelProfile sta=\"1\">\r\n</TunnelProfiles>",
         "E_NOVALIDFILE"},
        {"empty file", "", "E_NOVALIDFILE"},
        {"no profiles", kDecl + "<TunnelProfiles name=\"x\">\r\n</TunnelProfiles>", "E_NOTFILLALL"},
        {"profile without sta", kDecl + "<TunnelProfiles>\r\n<TunnelProfile/></TunnelProfiles>",
         "E_NOVALIDFILE"},
    };
    for (const Case &c : cases) {
        ui_.Messages.clear();
        clsTunnel tunnel;
        EXPECT_FALSE(LoadText(tunnel, c.Text)) << c.Name;
        EXPECT_EQ(LastMessage(), c.Message) << c.Name;
        EXPECT_TRUE(tunnel.GetChainages().empty()) << c.Name;
        EXPECT_TRUE(tunnel.Text().empty()) << c.Name;
    }
    ui_.Messages.clear();
    clsTunnel tunnel;
    EXPECT_FALSE(tunnel.Load((dir_ / "missing.xml").string()));
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_TRUE(StartsWith(LastMessage(), "Unhandler Error in clsTunnel.Load"));
    // Without profiles there is nothing to export.
    double start = 1, end = 1;
    bool ok = true;
    ExportDocument(tunnel, start, end, ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(StartsWith(LastMessage(), "Unhandler Error in clsTunnel.ExportToLandXml"));
}

// Attributes split over lines, a text with a line break, and the ANSI code
// page: the document carries what the editor wrote, on one line in UTF-8.
TEST_F(TunnelTest, AnsiFileWithSplitAttributesRoundTrips) {
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load(SourcePath("samples/tunnel/profiles_cp1252.xml").string()));
    EXPECT_EQ(tunnel.GetChainages(), (std::vector<double>{12440, 12520.5, 12600}));
    EXPECT_EQ(tunnel.Text(),
              "<TunnelProfiles name=\"Túnel Peñarroya\" unit=\"m\"><TunnelProfile sta=\"12520,5\" "
              "name=\"Boca norte – emboquille\"><Remarks>Paraguas de micropilotes&#10;sobre la "
              "clave (coste 1.250 €)</Remarks><Layer name=\"Excavación\"><Point offset=\"-5.000\" "
              "height=\"0.000\"/><Point offset=\"5.000\" height=\"0.000\"/></Layer></TunnelProfile>"
              "<TunnelProfile sta=\"12440.000\" name=\"Pozo de ataque\"/><TunnelProfile "
              "sta=\"12600.000\" name=\"Cámara de bombeo\"/></TunnelProfiles>");
    double start = 0, end = 0;
    bool ok = false;
    const auto out = ExportDocument(tunnel, start, end, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(start, 12440);
    EXPECT_EQ(end, 12600);
    const std::string written = ReadFileBytes(out);
    EXPECT_NE(written.find("\r\n" + tunnel.Text() + "\r\n"), std::string::npos);
    EXPECT_EQ(written.find("<?xml", 5), std::string::npos); // the file's declaration is not copied
    EXPECT_EQ(CheckWellFormedXml(out), "");
}

TEST_F(TunnelTest, MarkupInsideTheSetStaysWellFormed) {
    clsTunnel tunnel;
    ASSERT_TRUE(LoadText(
        tunnel, kDecl + "<TunnelProfiles a=\"x &amp; &lt;y&gt; &quot;q&quot;\" "
                        "b=\"line&#10;break\">\r\n"
                        "<!-- a -- comment\r\n over lines- -->\r\n"
                        "<TunnelProfile sta=\"5\"><![CDATA[<raw> & ]]>]]></TunnelProfile>\r\n"
                        "<?editor keep\r\nthis?>\r\n"
                        "</TunnelProfiles>\r\n"));
    // Comments and instructions keep to one line and never hold "--" or end on "-".
    EXPECT_EQ(tunnel.Text(),
              "<TunnelProfiles a=\"x &amp; &lt;y&gt; &quot;q&quot;\" b=\"line&#10;break\"><!-- a "
              "- - comment  over lines- --><TunnelProfile sta=\"5\">&lt;raw&gt; &amp; "
              "]]&gt;</TunnelProfile><?editor keep  this?></TunnelProfiles>");
    WriteFileBytes(dir_ / "line.xml", tunnel.Text());
    EXPECT_EQ(CheckWellFormedXml(dir_ / "line.xml"), "");
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
    ASSERT_TRUE(LoadText(tunnel, kDecl + "<TunnelProfiles>\r\n<TunnelProfile sta=\"7\"/>" + open +
                                     close + "</TunnelProfiles>"));
    EXPECT_EQ(tunnel.GetChainages(), std::vector<double>{7});
    EXPECT_EQ(tunnel.Text(), "<TunnelProfiles><TunnelProfile sta=\"7\"/>" + open.substr(3) +
                                 "<a/>" + close.substr(4) + "</TunnelProfiles>");
}

} // namespace
