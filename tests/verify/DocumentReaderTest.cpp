// The reader of our own documents: every golden document of the repository,
// of either flavour, read whole (its elements, points and stringline names
// counted independently in the text) and alike in any block size, down to
// one byte (every tag and number split between blocks); cross sections and
// profiles read from their text as the XML parser reads them; numbers read
// exactly; and every kind of bad document refused with its reason and line
// whatever the block.
#include "verify/DocumentReader.h"

#include "support/TestSupport.h"
#include "verify/CrossSectText.h"
#include "verify/DocumentDump.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <filesystem>
#include <regex>

using namespace vialto;
using vialto::test::Dump;
using vialto::test::kBlocks;
using vialto::test::ReadFileBytes;
using vialto::test::SourcePath;

namespace {

std::ptrdiff_t Count(const std::string &text, const std::string &pattern) {
    const std::regex re(pattern);
    return std::distance(std::sregex_iterator(text.begin(), text.end(), re),
                         std::sregex_iterator());
}

// The texts of a pattern's first group, one per occurrence.
std::vector<std::string> Captures(const std::string &text, const std::string &pattern) {
    const std::regex re(pattern);
    std::vector<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
        found.push_back((*it)[1].str());
    return found;
}

std::vector<std::filesystem::path> GoldenDocuments() {
    std::vector<std::filesystem::path> files;
    for (const char *folder :
         {"tests/landxml/golden", "tests/crosssection/golden", "tests/batch/golden"})
        for (const auto &entry : std::filesystem::directory_iterator(SourcePath(folder)))
            if (entry.path().extension() == ".xml")
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

ReadBackDocument Read(const std::filesystem::path &path, std::size_t block = kReadBackBlockBytes) {
    ReadBackDocument document;
    std::string failure;
    EXPECT_TRUE(ReadLandXmlDocument(path, document, failure, block)) << path << ": " << failure;
    return document;
}

const char *const kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                          "<LandXML>\r\n<Alignments name=\"alignments\">\r\n";
// An alignment's cross sections up to line 6, a good one; what follows from line 7 on.
const std::string kSects =
    std::string(kHead) + "<Alignment name=\"A\">\r\n<CrossSects>\r\n<CrossSect sta=\"1\"/>\r\n";
std::string InSects(const std::string &cut) {
    return kSects + cut + "\r\n</CrossSects></Alignment></Alignments></LandXML>\r\n";
}

// The records of the document, or its failure (which leaves no records).
std::string Reading(std::string text, std::size_t block) {
    ReadBackDocument document;
    std::string failure;
    if (ParseLandXmlDocument(text, document, failure, block))
        return Dump(document);
    EXPECT_TRUE(document.Alignments.empty());
    return "failure: " + failure;
}

// The text with a comment after the start tag of each CrossSect and ProfAlign
// that has content: the XML parser then reads them, not their plain text.
std::string ParserForced(std::string text) {
    for (const char *tag : {"<CrossSect ", "<ProfAlign"})
        for (std::size_t at = text.find(tag); at != std::string::npos;
             at = text.find(tag, at + 1)) {
            const std::size_t tagEnd = text.find('>', at);
            if (text[tagEnd - 1] != '/')
                text.insert(tagEnd + 1, "<!---->");
        }
    return text;
}

// Every element of the name in the text, whole.
std::vector<std::string> Elements(const std::string &text, const std::string &name) {
    std::vector<std::string> found;
    for (std::size_t at = text.find("<" + name + " "); at != std::string::npos;
         at = text.find("<" + name + " ", at + 1)) {
        const std::size_t tagEnd = text.find('>', at);
        const std::size_t end = text[tagEnd - 1] == '/'
                                    ? tagEnd + 1
                                    : text.find("</" + name + ">", at) + name.size() + 3;
        found.push_back(text.substr(at, end - at));
    }
    return found;
}

bool AnyVertex(const VertexText &) { return true; }

} // namespace

TEST(DocumentReader, ReadsEveryGoldenDocumentWholeInAnyBlockSize) {
    const std::vector<std::filesystem::path> files = GoldenDocuments();
    ASSERT_GE(files.size(), 13u);
    for (const std::filesystem::path &file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string text = ReadFileBytes(file);
        // The extended root mirrors alignments and cross sections: count the
        // main part only.
        const std::string main = text.substr(0, text.find("<OstremLandXML"));
        const ReadBackDocument doc = Read(file);
        for (const std::size_t block : {1, 97})
            EXPECT_EQ(Dump(Read(file, block)), Dump(doc)) << "block " << block;
        EXPECT_EQ(doc.Extended, main.size() != text.size());
        // Alignments, elements, vertices, cross sections, surfaces, numbers,
        // stringline names and tunnel profiles: held in the records, and
        // counted independently in the text.
        std::array<std::ptrdiff_t, 8> held{std::ssize(doc.Alignments)};
        for (const DocAlignment &a : doc.Alignments) {
            held[1] += std::ssize(a.Elements);
            // Every arc states its length, for readers that take it from there.
            for (const DocElement &e : a.Elements)
                EXPECT_TRUE(e.Kind != DocElementKind::Curve || e.Length != kNullValue)
                    << e.StaStart;
            for (const DocProfAlign &p : a.Profile)
                held[2] += std::ssize(p.Points);
            held[3] += std::ssize(a.CrossSects);
            for (const DocCrossSect &s : a.CrossSects)
                for (const DocSurface &f : s.Surfaces) {
                    held[4] += 1;
                    held[5] += 2 * std::ssize(f.Points);
                    // Every written point carries its stringline name.
                    EXPECT_EQ(DocVertexNames(f).size(), f.Points.size()) << s.Station;
                    held[6] += std::ssize(DocVertexNames(f));
                }
            held[7] += std::ssize(a.TunnelProfileStations);
        }
        std::array<std::ptrdiff_t, 8> written{Count(main, "<Alignment "),
                                              Count(main, "<(Line|Curve|Spiral) "),
                                              Count(main, "<(PVI>|ParaCurve |CircCurve )"),
                                              Count(main, "<CrossSect "),
                                              Count(main, "<CrossSectSurf "),
                                              0,
                                              0,
                                              Count(main, "<TunnelProfile ")};
        for (const std::string &list : Captures(main, "<PntList2D>([^<]*)</PntList2D>"))
            written[5] += Count(list, "[^ ]+");
        for (const std::string &list :
             Captures(text, "(?:SD Vertex Name\">|<SDVertexName>)([^<]*)<"))
            written[6] += 1 + Count(list, ",");
        EXPECT_EQ(held, written);
        // Every cross section and profile is in the plain form, and read from
        // it as the XML parser reads it.
        CrossSectText sect;
        std::string_view name;
        for (const std::string &element : Elements(text, "CrossSect"))
            EXPECT_TRUE(ScanCrossSectText(element, sect)) << element;
        for (const std::string &element : Elements(text, "ProfAlign"))
            EXPECT_TRUE(ScanProfAlignText(element, name, AnyVertex)) << element;
        EXPECT_EQ(Reading(ParserForced(text), kReadBackBlockBytes), Dump(doc));
    }
}

TEST(DocumentReader, RefusesBadDocumentsWithReasonAndLine) {
    const std::string line =
        "<Line staStart=\"0\">\r\n<Start>0 0</Start>\r\n<End>0 10</End></Line>";
    auto inGeom = [&](const std::string &element) {
        return std::string(kHead) + "<Alignment name=\"A\">\r\n<CoordGeom>\r\n" + element +
               "\r\n</CoordGeom></Alignment></Alignments></LandXML>\r\n";
    };
    struct Case {
        std::string Text;
        std::string Reason;
    };
    const std::vector<Case> cases = {
        {"", "not well-formed XML"},
        {"garbage \x01\xff", "not well-formed XML"},
        {std::string(kHead) + "<Alignment name=\"A\">", "not well-formed XML: "},
        {"<?xml version=\"1.0\"?>\r\n<Other/>", "the root element is <Other>, not <LandXML>"},
        {inGeom("<Line staStart=\"0\"><Start>0 0</Start></Line>"),
         "<Line staStart=\"0\"> has no End (line 6)"},
        {inGeom("<Line staStart=\"0\"><Start>0 0</Start><End>1 x</End></Line>"),
         "\"x\" is not a number (line 6)"},
        {inGeom("<Line staStart=\"0\"><Start>0</Start><End>1 1</End></Line>"),
         "Start needs two numbers"},
        {inGeom("<Line staStart=\"1e999\"><Start>0 0</Start><End>1 1</End></Line>"),
         "staStart=\"1e999\" is not a number"},
        {inGeom("<Curve staStart=\"0\" rot=\"left\"><Start>0 0</Start><Center>0 1</Center>"
                "<End>1 1</End></Curve>"),
         "rot must be cw or ccw, not \"left\""},
        {inGeom("<Spiral staStart=\"0\" length=\"10\" radiusStart=\"INF\" radiusEnd=\"100\" "
                "rot=\"cw\" spiType=\"bloss\"><Start>0 0</Start><PI>5 0</PI><End>10 0</End>"
                "</Spiral>"),
         "spiType=\"bloss\" is not a transition this reader evaluates"},
        {inGeom("<Spiral staStart=\"0\" radiusStart=\"INF\" radiusEnd=\"100\" rot=\"cw\" "
                "spiType=\"clothoid\"><Start>0 0</Start><PI>5 0</PI><End>10 0</End></Spiral>"),
         "has no length attribute"},
        {inGeom(line + "\r\n<IrregularLine/>"), "<IrregularLine> inside CoordGeom"},
        {InSects("<CrossSect sta=\"2\">\r\n<CrossSectSurf name=\"S\"><PntList2D>1 x</PntList2D>"
                 "</CrossSectSurf></CrossSect>"),
         "<PntList2D>: \"x\" is not a number (line 8)"},
        {InSects("<CrossSect sta=\"2\">\r\n\r\n<CrossSectSurf></CrossSect>"),
         "not well-formed XML: Start-end tags mismatch at line 9"},
        {InSects("<CrossSect>\r\n</CrossSect>"), "<CrossSect> has no sta attribute (line 7)"},
        {InSects("<CrossSect sta=\"2\">\r\n<CrossSectSurf name=\"S\"><PntList2D>1 2 3</PntList2D>"
                 "</CrossSectSurf></CrossSect>"),
         "holds an odd count of numbers (offset height pairs) (line 8)"},
        // Never closed: the rest of the document is not well-formed.
        {kSects + "<CrossSect sta=\"2\">\r\n<CrossSectSurf/>\r\n", "not well-formed XML"},
        {std::string(kHead) + "<Alignment name=\"A\"/></Alignments><OstremLandXML>"
                              "<Alignments><Alignment name=\"B\"/></Alignments>"
                              "</OstremLandXML></LandXML>",
         "names alignment \"B\", which the document does not hold"},
        {std::string(kHead) + "<Alignment name=\"A\"><CrossSects><CrossSect sta=\"1\"/>"
                              "</CrossSects></Alignment></Alignments><OstremLandXML>"
                              "<Alignments><Alignment name=\"A\"><CrossSect sta=\"2\"/>"
                              "</Alignment></Alignments></OstremLandXML></LandXML>",
         "does not match the document's cross section at 1.000000"},
        {std::string(kHead) + "<Alignment name=\"A\"><CrossSects><CrossSect sta=\"1\"/>"
                              "</CrossSects></Alignment></Alignments><OstremLandXML>"
                              "<Alignments><Alignment name=\"A\"><CrossSect sta=\"1\">\r\n"
                              "<CrossSectSurf name=\"S\"/></CrossSect></Alignment></Alignments>"
                              "</OstremLandXML></LandXML>",
         "<CrossSect sta=\"1\">: the extended part holds more surfaces (line 5)"},
    };
    for (const Case &c : cases)
        for (const std::size_t block : kBlocks)
            EXPECT_THAT(Reading(c.Text, block), ::testing::AllOf(::testing::StartsWith("failure: "),
                                                                 ::testing::HasSubstr(c.Reason)))
                << c.Text << "\nblock " << block;
}

// Markup the reader steps over to find the cross sections: a comment, CDATA
// and an instruction holding what looks like one, a '>' inside an attribute
// value, an element named alike.
TEST(DocumentReader, FindsTheCrossSectionsPastLookAlikes) {
    const std::string text =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE LandXML [ <!ELEMENT x ANY> ]>\n"
        "<LandXML><Alignments><!-- <CrossSect sta=\"9\"> -->\n"
        "<Alignment name=\"a&gt;b\" desc=\"x > y\"><?pi <CrossSect?><CoordGeom/>\n"
        "<CrossSects><![CDATA[<CrossSect sta=\"8\">]]>\n<CrossSectsNote/>"
        "<CrossSect sta=\"1\" name=\"one\"><CrossSectSurf name=\"S&amp;T\"><PntList2D>\n"
        "1 2 3 4</PntList2D></CrossSectSurf></CrossSect >\n<CrossSect sta=\"2\"/>"
        "</CrossSects></Alignment></Alignments></LandXML>\n";
    // The alignment states no length or start: the null value.
    for (const std::size_t block : kBlocks)
        EXPECT_EQ(Reading(text, block), " 0\nA a>b -9999999.9999000002 -9999999.9999000002 0\n"
                                        " C 1 one 6\n  S S&T [] 1 2 3 4\n C 2  8\n")
            << "block " << block;
}

// The plain text of a ProfAlign or CrossSect, and forms the writer never
// produces, which the XML parser reads: alike either way, or the same fault
// and line.
TEST(DocumentReader, ReadsOtherFormsAsTheParserReadsThem) {
    const std::string surf = "<CrossSectSurf name=\"A\"><PntList2D>1 2</PntList2D></CrossSectSurf>";
    struct Case {
        std::string Text;      // from line 6 on, in Profile or CrossSects
        bool Plain;            // its text is in the plain form
        std::string Read = ""; // in the records, or the failure
    };
    const std::vector<Case> cases = {
        {"<ProfAlign name=\"p\">\r\n<PVI>0 10</PVI>\r\n<CircCurve length=\"20\" "
         "radius=\"-500\">50 12.5</CircCurve><ParaCurve desc=\"x\" length='30'>80 11"
         "</ParaCurve>\r\n<PVI>\t100\r\n 12 </PVI></ProfAlign>",
         true, "  V 50 12.5 2 20 -500 0\n  V 80 11 1 30 0 0\n  V 100 12 0 0 0 0\n"},
        {"<ProfAlign><Feature code=\"c\"><Property/></Feature><PVI >+1 2 3</PVI ><PVI/>"
         "</ProfAlign>",
         true, "<PVI> needs two numbers (station elevation) (line 6)"},
        {"<ProfAlign>\r\n<PVI>1 2 3</PVI>\r\n<ParaCurve>1 2</ParaCurve></ProfAlign>", true,
         "<ParaCurve> has no length attribute (line 8)"},
        {"<ProfAlign>x<PVI>1 2</PVI></ProfAlign>", false, "  V 1 2 0"},
        {"<ProfAlign name=\"a\" name=\"b\" extra=\"1\"><Other>t</Other><PVI>1 2</PVI>"
         "</ProfAlign>",
         true, " P a\n  V 1 2 0"},
        {"<ProfAlign name=\"p\"/>", true, " P p\n"},
        {"<ProfAlign name=\"a&amp;b\"><PVI>1 2</PVI></ProfAlign>", false, " P a&b\n"},
        {"<ProfAlign><PVI><![CDATA[3 4]]></PVI></ProfAlign>", false, "  V 3 4 0"},
        {"<ProfAlign><?pi x?><PVI>1 2</PVI></ProfAlign>", false, "  V 1 2 0"},
        {"<ProfAlign><PVI>1 <b/>2</PVI></ProfAlign>", false,
         "<PVI> needs two numbers (station elevation) (line 6)"},
        {"<ProfAlign>\r\n<PVI>1 2</PVI>\r\n<PVI>1 x</PVI></ProfAlign>", true,
         "<PVI>: \"x\" is not a number (line 8)"},
        {"<ProfAlign>\r\n\r\n<CircCurve length=\"2\">1 2</CircCurve></ProfAlign>", true,
         "<CircCurve> has no radius attribute (line 8)"},
        {"<ProfAlign>\r\n<ParaCurve length=\"1e999\">1 2</ParaCurve></ProfAlign>", true,
         "<ParaCurve>: length=\"1e999\" is not a number (line 7)"},
        {"<ProfAlign>\r\n<PVI>1 2</PVI>\r\n<PVI>3 4</ProfAlign>", false,
         "not well-formed XML: Start-end tags mismatch at line 8"},
        {"<ProfAlign>\r\n<PVI>1 2</PVI>\r\n</Profile>", false,
         "not well-formed XML: Start-end tags mismatch at line 8"},
        // A cross section's plain text: what the scan accepts reads alike;
        // references, markup the parser reads otherwise and broken markup it declines.
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
         true, "  S A [q]\n"},
        {"<CrossSect name=\"no station\">" + surf + "</CrossSect>", true},
        // Numbers read exactly (17 digits tell one double), with a sign or an
        // exponent, long or short.
        {"<CrossSect sta=\"2\"><CrossSectSurf name=\"S\"><PntList2D>-0.000001 4501234.567891 "
         "+2.5 1e3 9999999999.999999 0.30000000000000004 4501234.5678912345 -0</PntList2D>"
         "</CrossSectSurf></CrossSect>",
         true,
         "  S S [] -9.9999999999999995e-07 4501234.5678909998 2.5 1000 9999999999.9999981 "
         "0.30000000000000004 4501234.5678912345 -0\n"},
        {"<CrossSect sta=\"1\" name=\"a&amp;b\">" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\"><!-- c -->" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A\"><PntList2D><![CDATA[1 2]]></PntList2D>"
         "</CrossSectSurf></CrossSect>",
         false},
        {"<CrossSect sta=\"1\">text" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\">" + surf + "</CrossSectX>", false},
        {"<CrossSect sta=\"1\"name=\"x\">" + surf + "</CrossSect>", false},
        {"<CrossSect sta=\"1\"><CrossSectSurf name=\"A" + std::string(1, '\0') + "\"/></CrossSect>",
         false},
        {"<CrossSect sta=\"1\"><Cr\xC3\xA9/>" + surf + "</CrossSect>", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Text);
        std::string_view name;
        CrossSectText sect;
        const bool profile = c.Text.starts_with("<ProfAlign");
        EXPECT_EQ(profile ? ScanProfAlignText(c.Text, name, AnyVertex)
                          : ScanCrossSectText(c.Text, sect),
                  c.Plain);
        const std::string in = profile ? "Profile" : "CrossSects";
        const std::string text = std::string(kHead) + "<Alignment name=\"A\">\r\n<" + in + ">\r\n" +
                                 c.Text + "\r\n</" + in +
                                 "></Alignment></Alignments></LandXML>\r\n";
        EXPECT_THAT(Reading(text, kReadBackBlockBytes), ::testing::HasSubstr(c.Read));
        for (const std::size_t block : kBlocks)
            EXPECT_EQ(Reading(text, block), Reading(ParserForced(text), block))
                << "block " << block;
    }
}
