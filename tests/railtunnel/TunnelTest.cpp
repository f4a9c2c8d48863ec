#include "Tunnel.h"

#include "AppModel.h"
#include "Error.h"
#include "LandXmlHead.h"
#include "LandXmlWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

// Whether the file is well-formed XML (xmllint without a schema); "" when it is.
std::string CheckWellFormed(const std::filesystem::path &file) {
    const std::string command = "xmllint --noout \"" + file.string() + "\" 2>&1";
    std::string output;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "cannot run xmllint";
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return pclose(pipe) == 0 ? std::string() : output;
}

// What a reader gets from an element: its name, attributes and text, and the
// same of every element below it (layout white space and comments aside).
std::string Content(const pugi::xml_node &node) {
    std::string out;
    if (node.type() == pugi::node_element) {
        out += "<" + std::string(node.name());
        for (const auto &a : node.attributes())
            out += " " + std::string(a.name()) + "=[" + a.value() + "]";
        out += ">";
        for (const auto &child : node.children())
            out += Content(child);
        out += "</>";
    } else if ((node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) &&
               std::string_view(node.value()).find_first_not_of(" \t\r\n") != std::string::npos) {
        out += "{" + std::string(node.value()) + "}";
    }
    return out;
}

// The root element's content of an XML file as its own declaration says.
std::string FileContent(const std::filesystem::path &file, const char *root) {
    pugi::xml_document doc;
    const pugi::xml_parse_result result = doc.load_file(file.c_str());
    EXPECT_TRUE(result) << result.description();
    return Content(doc.select_node((std::string("//") + root).c_str()).node());
}

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

TEST_F(TunnelTest, SampleSetIsExportedAsOneUnindentedLine) {
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load(SourcePath("samples/tunnel/profiles.xml").string()));
    EXPECT_TRUE(ui_.Messages.empty());
    std::vector<double> every80;
    for (double c = 12360; c <= 15000; c += 80)
        every80.push_back(c);
    EXPECT_EQ(tunnel.GetChainages(), every80);
    EXPECT_EQ(tunnel.GetChainageStart(), 12360);
    EXPECT_EQ(tunnel.GetChainageEnd(), 15000);
    EXPECT_TRUE(StartsWith(tunnel.Text(), "<TunnelProfiles name=\"Túnel de Vialto\""));
    EXPECT_TRUE(EndsWith(tunnel.Text(), "</TunnelProfiles>"));
    EXPECT_EQ(tunnel.Text().find_first_of("\r\n"), std::string::npos);
    double start = 0, end = 0;
    bool ok = false;
    const auto out = ExportDocument(tunnel, start, end, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(start, 12360);
    EXPECT_EQ(end, 15000);
    const std::string written = ReadFileBytes(out);
    EXPECT_NE(written.find("\r\n" + tunnel.Text() + "\r\n"), std::string::npos);
    EXPECT_EQ(written.find("<?xml", 5), std::string::npos); // the file's declaration is not copied
    EXPECT_EQ(CheckWellFormed(out), "");
    EXPECT_EQ(FileContent(out, "TunnelProfiles"),
              FileContent(SourcePath("samples/tunnel/profiles.xml"), "TunnelProfiles"));
}

TEST_F(TunnelTest, ChainagesAreSortedAndReadWithEitherSeparator) {
    clsTunnel tunnel;
    ASSERT_TRUE(LoadText(tunnel, kDecl +
                                     "<TunnelProfiles><TunnelProfile sta=\"120\"/>"
                                     "<TunnelProfile sta=\"100\"/><TunnelProfile sta=\"140\"/>\r\n"
                                     "<Group><TunnelProfile sta=\"1234,5\"/></Group>\r\n"
                                     "</TunnelProfiles>\r\n"));
    EXPECT_EQ(tunnel.GetChainages(), (std::vector<double>{100, 120, 140, 1234.5}));
    EXPECT_EQ(tunnel.GetChainageStart(), 100);
    EXPECT_EQ(tunnel.GetChainageEnd(), 1234.5);
}

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
        {"second line another tag", kDecl + "<TunnelProfile sta=\"1\"/>\r\n", "E_NOVALIDFILE"},
        {"all on the declaration's line", "<?xml version=\"1.0\"?><TunnelProfiles>" + profiles,
         "E_NOVALIDFILE"},
        {"wrong root without declaration", "<Profiles><TunnelProfile sta=\"1\"/></Profiles>",
         "E_NOVALIDFILE"},
        {"root name only begins alike", kDecl + "<TunnelProfilesSet>" + "</TunnelProfilesSet>",
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
    EXPECT_TRUE(StartsWith(ui_.Messages[0].Text, "Unhandler Error in clsTunnel.Load"));
}

// Attributes split over lines, a text with a line break, and the ANSI code
// page: the document carries exactly what the editor wrote, in UTF-8.
TEST_F(TunnelTest, AnsiFileWithSplitAttributesRoundTrips) {
    const auto sample = SourcePath("samples/tunnel/profiles_cp1252.xml");
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load(sample.string()));
    EXPECT_EQ(tunnel.GetChainages(), (std::vector<double>{12440, 12520.5, 12600}));
    EXPECT_EQ(tunnel.Text().find_first_of("\r\n"), std::string::npos);

    double start = 0, end = 0;
    bool ok = false;
    const auto out = ExportDocument(tunnel, start, end, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(CheckWellFormed(out), "");
    // What the editor wrote, as any XML reader of the original file sees it.
    const std::string expected =
        "<TunnelProfiles name=[Túnel Peñarroya] unit=[m]>"
        "<TunnelProfile sta=[12520,5] name=[Boca norte – emboquille]>"
        "<Remarks>{Paraguas de micropilotes\nsobre la clave (coste 1.250 €)}</>"
        "<Layer name=[Excavación]><Point offset=[-5.000] height=[0.000]></>"
        "<Point offset=[5.000] height=[0.000]></></></>"
        "<TunnelProfile sta=[12440.000] name=[Pozo de ataque]></>"
        "<TunnelProfile sta=[12600.000] name=[Cámara de bombeo]></></>";
    EXPECT_EQ(FileContent(out, "TunnelProfiles"), expected);
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
    const auto path = dir_ / "line.xml";
    WriteFileBytes(path, tunnel.Text());
    EXPECT_EQ(tunnel.Text().find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(CheckWellFormed(path), "");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(tunnel.Text().c_str()));
    const pugi::xml_node root = doc.document_element();
    EXPECT_STREQ(root.attribute("a").value(), "x & <y> \"q\"");
    EXPECT_STREQ(root.attribute("b").value(), "line\nbreak");
    EXPECT_STREQ(root.child("TunnelProfile").text().get(), "<raw> & ]]>");
}

// Nesting as deep as a file can make does not exhaust the stack.
TEST_F(TunnelTest, DeepNesting) {
    const auto repeat = [](const char *tag, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += tag;
        return out;
    };
    const int depth = 200000;
    clsTunnel tunnel;
    ASSERT_TRUE(LoadText(tunnel, kDecl + "<TunnelProfiles>\r\n<TunnelProfile sta=\"7\"/>" +
                                     repeat("<a>", depth) + repeat("</a>", depth) +
                                     "</TunnelProfiles>"));
    EXPECT_EQ(tunnel.GetChainages(), std::vector<double>{7});
    // The innermost element, having no content, is written as an empty tag.
    EXPECT_EQ(tunnel.Text(), "<TunnelProfiles><TunnelProfile sta=\"7\"/>" +
                                 repeat("<a>", depth - 1) + "<a/>" + repeat("</a>", depth - 1) +
                                 "</TunnelProfiles>");
}

TEST_F(TunnelTest, ExportWithoutProfilesFails) {
    clsTunnel tunnel;
    double start = 1, end = 1;
    bool ok = true;
    ExportDocument(tunnel, start, end, ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(StartsWith(LastMessage(), "Unhandler Error in clsTunnel.ExportToLandXml"));
}

} // namespace
