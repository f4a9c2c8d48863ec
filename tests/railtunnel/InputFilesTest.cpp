// The XML files the converter reads beside the listings: their decoding, the
// tunnel profile set and its one-line copy, and the cant table's import.
#include "landxml/LandXmlWriter.h"
#include "railtunnel/Superelevation.h"
#include "railtunnel/Tunnel.h"
#include "railtunnel/XmlInputFile.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Error.h"
#include "shell/Text.h"
#include "support/HostileXml.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

class InputFiles : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().Reset(); }
    void TearDown() override {
        DiscardOutput();
        AppModel().Reset();
    }
    // The path of a file holding the bytes.
    std::string File(const std::string &bytes, const char *name = "in.xml") {
        WriteFileBytes(dir_ / name, bytes);
        return (dir_ / name).string();
    }
    std::string LastMessage() const {
        return ui_.Messages.empty() ? std::string() : ui_.Messages.back().Text;
    }
    // Name, file text, the message the user sees, part of the reason the import
    // tree shows.
    using Refused = std::tuple<const char *, std::string, const char *, const char *>;
    // Each file is refused by `load` with its message and reason, and leaves
    // what was read before as it was (`unchanged`).
    template <class Load, class Unchanged>
    void ExpectRefused(const std::vector<Refused> &cases, Load load, Unchanged unchanged) {
        for (const auto &[name, text, message, part] : cases) {
            SCOPED_TRACE(name);
            ui_.Messages.clear();
            const ErrorRecorder errors;
            EXPECT_FALSE(load(File(text)));
            ASSERT_FALSE(errors.Errors().empty());
            const std::string &reason = errors.Errors().back().Description;
            EXPECT_EQ(LastMessage(), message);
            EXPECT_NE(reason.find(part), std::string::npos) << reason;
            EXPECT_TRUE(unchanged());
        }
    }

    TempDir dir_;
    RecordingUi ui_;
};

constexpr long kNotFound = 111;
constexpr long kBad = 222;

TEST_F(InputFiles, EncodingsBecomeUtf8) {
    const std::string utf8Decl = "<?xml version=\"1.0\"?>";
    // Bytes on the disc, the text read.
    const std::pair<std::string, std::string> cases[] = {
        {utf8Decl + "<a>é€</a>", utf8Decl + "<a>é€</a>"},
        {"\xEF\xBB\xBF<a>é</a>", "<a>é</a>"}, // UTF-8 with a mark
        {"<?xml version='1.0' encoding='Windows-1252'?><a>\xE9\x80\x93</a>",
         "<?xml version='1.0' encoding='Windows-1252'?><a>é€“</a>"},
        {"<a>Espa\xF1ol</a>", "<a>Español</a>"}, // undeclared: ANSI
        {std::string("\xFF\xFE<\0a\0>\0\xE9\0\xAC\x20<\0/\0a\0>\0", 20), "<a>é€</a>"}, // UTF-16LE
        {std::string("<\0a\0/\0>\0", 8), "<a/>"},                         // UTF-16LE without a mark
        {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"}, // a surrogate pair
        {std::string("<a>\x01\x02</a>"), "<a>?\?</a>"},
    };
    for (const auto &[bytes, text] : cases)
        EXPECT_EQ(ReadXmlInputText(File(bytes), kNotFound, kBad), text);
}

TEST_F(InputFiles, UnreadableFilesRaiseTheGivenNumbers) {
    const auto error = [](const std::string &path) {
        return ErrorOf([&] { ReadXmlInputText(path, kNotFound, kBad); });
    };
    const ErrorInfo unknown = error(File("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>"));
    EXPECT_EQ(unknown.Number, kBad);
    EXPECT_NE(unknown.Description.find("'shift_jis'"), std::string::npos);
    EXPECT_EQ(error(File(std::string("\xFF\xFE\x00\xDC<\0", 6))).Number, kBad); // lone surrogate
    const ErrorInfo missing = error((dir_ / "none.xml").string());
    EXPECT_EQ(missing.Number, kNotFound);
    EXPECT_NE(missing.Description.find("none.xml"), std::string::npos);
    // A file beyond the limit is refused before it is read.
    const std::string huge = File("<?xml version=\"1.0\"?>", "huge.xml");
    std::filesystem::resize_file(huge, kMaxXmlInputBytes + 1);
    EXPECT_EQ(error(huge).Number, kBad);
    EXPECT_EQ(error(dir_.Path().string()).Number, kNotFound); // a folder is not a file
}

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

TEST_F(InputFiles, BadTunnelFilesAreRefusedWithTheirErrorNumber) {
    // The set with the given profiles on the lines after the root's start tag.
    const auto set = [](const std::string &profiles) {
        return kDecl + "<TunnelProfiles>\r\n" + profiles + "</TunnelProfiles>";
    };
    const std::string doctype = ExternalEntityDoctype("TunnelProfiles"),
                      entity = "<TunnelProfiles><TunnelProfile sta=\"&xxe;\"/></TunnelProfiles>";
    const char *invalid = "E_NOVALIDFILE";
    clsTunnel tunnel;
    ExpectRefused(
        {{"second line a comment", kDecl + "<!-- x -->\r\n" + set("<TunnelProfile sta=\"1\"/>"),
          invalid, "does not start with <TunnelProfiles"},
         {"wrong root without declaration", "<Profiles><TunnelProfile sta=\"1\"/></Profiles>",
          invalid, "not <TunnelProfiles>"},
         {"malformed", set("<TunnelProfile sta=\"1\">\r\n"), invalid,
          "in.xml is not well-formed XML: Start-end tags mismatch at line 4"},
         {"empty file", "", invalid, "not well-formed"},
         {"no profiles", set(""), "E_NOTFILLALL", "no <TunnelProfile>"},
         {"profile without sta", set("<TunnelProfile/>"), invalid, "no sta attribute"},
         // Entities are never expanded.
         {"external entity on the second line", kDecl + doctype + entity, invalid,
          "does not start with <TunnelProfiles"},
         {"external entity without declaration", doctype + entity, invalid,
          "declares a document type at line 1, column"},
         {"bare ampersand", set("<TunnelProfile sta=\"1\" n=\"a & b\"/>"), invalid,
          "\"&\" at line 3, column 29"}},
        [&](const std::string &path) { return tunnel.Load(path); },
        [&] { return tunnel.GetChainages().empty() && tunnel.Text().empty(); });
    ui_.Messages.clear();
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
// profiles come in ascending order and the copy is UTF-8.
TEST_F(InputFiles, AnsiTunnelFileWithSplitAttributes) {
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load(SourcePath("samples/tunnel/profiles_cp1252.xml").string()));
    EXPECT_EQ(tunnel.GetChainages(), (std::vector<double>{12440, 12520.5, 12600}));
    EXPECT_TRUE(StartsWith(tunnel.Text(), "<TunnelProfiles name=\"Túnel Peñarroya\" unit=\"m\">"
                                          "<TunnelProfile sta=\"12520,5\" name=\"Boca norte – "));
}

// The tunnel copy keeps every element, attribute, text (blanks included), CDATA
// section, comment and instruction of the root, and what follows the root, as
// one well-formed line. (The tunnel job's golden document shows the layout
// between tags going.)
TEST_F(InputFiles, TunnelCopyKeepsTheContentOnOneLine) {
    const std::string head = kDecl + "<TunnelProfiles>\r\n  <TunnelProfile sta=\"5\">";
    const std::string tail = "</TunnelProfile>\r\n</TunnelProfiles>";
    const std::pair<std::string, std::string> cases[] = {
        // in the file, in the copy
        {"<Pad> </Pad><Tab>\t</Tab>", "<Pad> </Pad><Tab>&#9;</Tab>"},
        {"<R>\r\n  two\r\n  lines </R>", "<R>&#10;  two&#10;  lines </R>"},
        {"<![CDATA[<raw> & ]]>]]>", "<![CDATA[<raw> & ]]>]]&gt;"},
        {"<![CDATA[a\r\nb]]><![CDATA[]]>", "<![CDATA[a]]>&#10;<![CDATA[b]]><![CDATA[]]>"},
        {"<P a=\"x &amp; &lt;y&gt; &quot;q&quot;\" b=\"line&#10;break\"/>",
         "<P a=\"x &amp; &lt;y&gt; &quot;q&quot;\" b=\"line&#10;break\"/>"},
        // Comments and instructions keep to one line and never hold "--" or end on "-".
        {"<!-- a -- comment\r\n over\tlines- -->", "<!-- a - - comment  over\tlines- -->"},
        {"<?editor keep\r\nthis?>", "<?editor keep  this?>"},
    };
    for (const auto &[inside, copied] : cases) {
        clsTunnel tunnel;
        ASSERT_TRUE(tunnel.Load(File(head + inside + tail))) << inside;
        EXPECT_EQ(tunnel.Text(), "<TunnelProfiles><TunnelProfile sta=\"5\">" + copied +
                                     "</TunnelProfile></TunnelProfiles>");
        EXPECT_EQ(CheckWellFormedXml(File(tunnel.Text(), "line.xml")), "") << inside;
    }
    // What follows the root element is copied after it.
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load(File(head + tail + "\r\n<!-- end of set -->\r\n<?done?>\r\n")));
    EXPECT_EQ(
        tunnel.Text(),
        "<TunnelProfiles><TunnelProfile sta=\"5\"/></TunnelProfiles><!-- end of set --><?done?>");
    // Nesting as deep as a file can make does not exhaust the stack; the
    // innermost element, having no content, is written as an empty tag.
    std::string open, close;
    for (int i = 0; i < 200000; ++i) {
        open += "<a>";
        close += "</a>";
    }
    const std::string profile = "<TunnelProfiles><TunnelProfile sta=\"7\"/>";
    ASSERT_TRUE(tunnel.Load(File(kDecl + profile + open + close + "</TunnelProfiles>")));
    EXPECT_EQ(tunnel.Text(),
              profile + open.substr(3) + "<a/>" + close.substr(4) + "</TunnelProfiles>");
}

// Lengths and cants follow the job's unit; the slope does not depend on it.
TEST_F(InputFiles, CantSamplesInMetresAndMillimetres) {
    clsSuperelevation table;
    const std::string single = SourcePath("samples/cant/single_cant.xml").string();
    for (const auto &[unit, scale] : {std::pair{unitMetre, 1.0}, {unitMillimetre, 1000.0}}) {
        ASSERT_TRUE(table.Import(single, unit));
        EXPECT_DOUBLE_EQ(table.Gauge(), 1.435 * scale);
        // Halfway up the reverse curve from 0 to 85 mm at 2880..3000.
        EXPECT_NEAR(table.GetSlopeInChainage(2940 * scale), std::asin(0.0425 / 1.5), 1e-12);
    }
    ASSERT_TRUE(table.Import(SourcePath("samples/cant/left_right.xml").string(), unitMetre));
    EXPECT_DOUBLE_EQ(table.Gauge(), 1.668); // written with a decimal comma
    EXPECT_NEAR(table.GetSlopeInChainage(3100), std::asin(-0.095 / 1.733), 1e-12);
    EXPECT_TRUE(ui_.Messages.empty());
}

// Each bad cant table is refused with the number its fault calls for; the user
// sees that number's message, the reason names what is wrong, and the table
// keeps what it held. The second node is the editor's comment, naming a
// version the reader knows ("2.3.0" or any ".d." between two quotes).
// Entities are never expanded: a document type is refused wherever it stands,
// an undeclared entity as not well-formed.
TEST_F(InputFiles, BadCantFilesAreRefusedWithTheirErrorNumber) {
    const std::string root = "<Cant gauge=\"1.435\" superelevationBase=\"1.5\" "
                             "rotationPoint=\"insideRail\" coPlane=\"false\" version=\"1.2.0\">\n";
    const std::string comment = "<!-- written by the cant editor, version '2.3.0' -->\n";
    const std::string stations =
        "<CantStation station=\"100\" appliedCant=\"0\" rotationPoint=\"insideRail\"/>\n"
        "<CantStation station=\"200\" appliedCant=\"100\" rotationPoint=\"insideRail\"/>\n";
    const auto file = [&](const std::string &inside) {
        return kDecl + comment + root + inside + "</Cant>";
    };
    const auto version = [&](const std::string &versionComment) {
        return kDecl + versionComment + "\n" + root + stations + "</Cant>";
    };
    const std::string external = ExternalEntityDoctype("Cant");
    const std::string entityStation =
        "<CantStation station=\"&xxe;\" appliedCant=\"0\" rotationPoint=\"center\"/>";
    clsSuperelevation table;
    const auto import = [&](const std::string &path) { return table.Import(path, unitMetre); };
    ASSERT_TRUE(import(File(version("<!-- 'cant editor' 4.1.7 'x' -->"))));
    ExpectRefused(
        {{"second node is an element", kDecl + root + stations + "</Cant>", "E_FILE_SUPER", ""},
         {"unknown version", version("<!-- version '1.4.2' -->"), "E_FILE_SUPER_VER", ""},
         {"version not quoted", version("<!-- version 2.3.0 -->"), "E_FILE_SUPER_VER", ""},
         {"version of two digits", version("<!-- version '10.12.0' -->"), "E_FILE_SUPER_VER", ""},
         {"external entity as the second node",
          kDecl + external + comment + root + entityStation + "</Cant>", "E_FILE_SUPER",
          "is a document type declaration"},
         {"document type after the comment",
          kDecl + comment + external + root + stations + "</Cant>", "E_SAMENAME",
          "declares a document type at line 3, column"},
         {"undeclared entity", file(entityStation), "E_SAMENAME",
          "\"&xxe;\" at line 4, column 23 is not a predefined entity"},
         {"wrong root", kDecl + comment + "<Kant gauge=\"1\"><CantStation station=\"1\"/></Kant>",
          "E_NOVALIDFILE", ""},
         {"no stations", file("<Stations/>"), "E_NOTFILLALL", ""},
         {"malformed", file("<CantStation station=\"1\""), "E_SAMENAME", "not well-formed"},
         {"second station without attributes",
          file("<CantStation station=\"5\" appliedCant=\"1\" rotationPoint=\"center\"/>"
               "<CantStation/>"),
          "E_NOVALIDFILE", "has no station attribute"}},
        import, [&] {
            return table.GetChainages() == std::vector<double>{100, 200};
        });
    // The predefined entities and character references are read as ever.
    const ErrorRecorder errors;
    ASSERT_TRUE(import(File(file("<CantStation station=\"&#49;0&#x30;\" appliedCant=\"0\" "
                                 "rotationPoint=\"&#99;enter\"/>"))));
    EXPECT_EQ(table.GetChainages(), std::vector<double>{100});
    EXPECT_TRUE(errors.Errors().empty());
    EXPECT_FALSE(import((dir_ / "missing.xml").string()));
    EXPECT_EQ(LastMessage(), "E_SAMENAME");
    EXPECT_EQ(table.Version(), "1.2.0");
}

} // namespace
