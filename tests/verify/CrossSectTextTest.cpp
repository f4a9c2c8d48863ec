// The quick reading of a cross section's text against the XML parser: what it
// accepts, the parser (with the reader's options) reads alike, on every cross
// section of every golden document (all of which it accepts) and on a table
// of forms the writer never produces; and what it must not read itself (a
// reference, a comment, CDATA, broken markup) it declines.
#include "verify/CrossSectText.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

using namespace vialto;

namespace {

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return "";
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

std::string Shown(const std::optional<std::string_view> &text) {
    return text ? "[" + Trimmed(*text) + "]" : "-";
}

// What the reader takes from a cross section, as text (texts trimmed: the
// reader trims them or splits them at blanks).
std::string Dump(const CrossSectText &sect) {
    std::ostringstream out;
    out << Shown(sect.Sta) << " " << sect.Name << "\n";
    for (const SurfaceText &s : sect.Surfaces)
        out << " " << s.Name << " @" << s.Offset << " " << Shown(s.Points) << " "
            << Shown(s.VertexNames) << " " << Shown(s.MirrorNames) << "\n";
    return out.str();
}

// The same as the XML parser reads it; nullopt when it refuses the text.
std::optional<std::string> ParserDump(std::string text) {
    pugi::xml_document xml;
    if (!xml.load_buffer_inplace(text.data(), text.size(),
                                 pugi::parse_escapes | pugi::parse_embed_pcdata,
                                 pugi::encoding_utf8))
        return std::nullopt;
    const pugi::xml_node root = xml.first_child();
    CrossSectText sect;
    if (const pugi::xml_attribute sta = root.attribute("sta"))
        sect.Sta = sta.value();
    sect.Name = root.attribute("name").value();
    for (const pugi::xml_node &surf : root.children("CrossSectSurf")) {
        SurfaceText &s = sect.Surfaces.emplace_back();
        s.Name = surf.attribute("name").value();
        s.Offset = static_cast<std::size_t>(surf.offset_debug()) - 1; // its name, after "<"
        if (const pugi::xml_node list = surf.child("PntList2D"))
            s.Points = list.child_value();
        for (const pugi::xml_node &feature : surf.children("Feature"))
            if (std::string_view(feature.attribute("code").value()) == "SD Vertex Name")
                s.VertexNames = feature.child_value();
        if (const pugi::xml_node names = surf.child("SDVertexName"))
            s.MirrorNames = names.child_value();
    }
    return Dump(sect);
}

// Every CrossSect element of a document's text.
std::vector<std::string> CrossSects(const std::string &text) {
    std::vector<std::string> found;
    for (std::size_t at = text.find("<CrossSect "); at != std::string::npos;
         at = text.find("<CrossSect ", at + 1)) {
        const std::size_t tagEnd = text.find('>', at);
        const std::size_t end =
            text[tagEnd - 1] == '/' ? tagEnd + 1 : text.find("</CrossSect>", at) + 12;
        found.push_back(text.substr(at, end - at));
    }
    return found;
}

void ExpectAsParser(const std::string &text, bool accepted) {
    CrossSectText sect;
    const bool ok = ScanCrossSectText(text, sect);
    EXPECT_EQ(ok, accepted) << text;
    if (ok) {
        const std::optional<std::string> parsed = ParserDump(text);
        ASSERT_TRUE(parsed) << "accepted what the parser refuses: " << text;
        EXPECT_EQ(Dump(sect), *parsed) << text;
    }
}

TEST(CrossSectText, EveryCrossSectOfEveryGoldenDocumentReadsAsTheParserReadsIt) {
    long checked = 0;
    for (const char *folder :
         {"tests/landxml/golden", "tests/crosssection/golden", "tests/batch/golden"}) {
        for (const auto &entry :
             std::filesystem::directory_iterator(vialto::test::SourcePath(folder))) {
            if (entry.path().extension() != ".xml")
                continue;
            for (const std::string &sect : CrossSects(vialto::test::ReadFileBytes(entry.path()))) {
                ExpectAsParser(sect, true);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

TEST(CrossSectText, OtherFormsReadAsTheParserReadsThemOrAreDeclined) {
    const std::string surf = "<CrossSectSurf name=\"A\"><PntList2D>1 2</PntList2D></CrossSectSurf>";
    const std::pair<std::string, bool> cases[] = {
        // Accepted.
        {"<CrossSect sta='1.5' name = 'x'>\r\n\t" + surf + "\r\n</CrossSect >", true},
        {"<CrossSect sta=\"1\"/>", true},
        {"<CrossSect sta=\"1\" sta=\"2\"><CrossSectSurf name=\"A\"/></CrossSect>", true},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A\"><PntList2D/><PntList2D>3 4</PntList2D>"
         "<SDVertexName> a,b </SDVertexName><SDVertexName>c</SDVertexName></CrossSectSurf>"
         "</CrossSect>",
         true},
        {"<CrossSect sta=\"1\"><Other a=\"<\">x<y/>z</Other><CrossSectSurf name=\"A\">"
         "<PntList2D>  </PntList2D><Feature code=\"SD Vertex Name\">p</Feature>"
         "<Feature code=\"SD Vertex Name\">q</Feature><Feature code=\"other\"><Feature>r"
         "</Feature></Feature></CrossSectSurf></CrossSect>",
         true},
        {"<CrossSect name=\"no station\">" + surf + "</CrossSect>", true},
        // Declined: references, markup the parser reads otherwise, broken markup.
        {"<CrossSect sta=\"1\" name=\"a&amp;b\">" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A\"><PntList2D>&#49; 2</PntList2D>"
         "</CrossSectSurf></CrossSect>",
         false},
        {"<CrossSect sta=\"1\"><!-- c -->" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A\"><PntList2D><![CDATA[1 2]]></PntList2D>"
         "</CrossSectSurf></CrossSect>",
         false},
        {"<CrossSect sta=\"1\"><?pi x?>" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\">text" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A\"><PntList2D>1<b/>2</PntList2D>"
         "</CrossSectSurf></CrossSect>",
         false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A\"><Feature code=\"SD Vertex Name\">a<b/>"
         "</Feature></CrossSectSurf></CrossSect>",
         false},
        {"<CrossSect sta=\"1\">" + surf + "</CrossSectX>", false},
        {"<CrossSect sta=\"1\">" + surf + "</CrossSect", false},
        {"<CrossSect sta=\"1\"name=\"x\">" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\">" + surf + "</CrossSect><CrossSect/>", false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A" + std::string(1, '\0') + "\"/></CrossSect>",
         false},
        {"<CrossSect sta=\"1\"><Cr\xC3\xA9/>" + surf + "</CrossSect>", false},
    };
    for (const auto &[text, accepted] : cases)
        ExpectAsParser(text, accepted);
}

} // namespace
