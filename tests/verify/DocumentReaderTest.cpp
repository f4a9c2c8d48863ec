// The reader of our own documents: every golden document of the repository
// read whole (its elements counted independently in the text), both flavours
// of one road read into the same records, and every kind of bad document
// refused with its reason and line.
#include "verify/DocumentReader.h"

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <regex>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::SourcePath;

namespace {

// Occurrences of a pattern in the text.
long Count(const std::string &text, const std::string &pattern) {
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

ReadBackDocument Read(const std::filesystem::path &path) {
    ReadBackDocument document;
    std::string failure;
    EXPECT_TRUE(ReadLandXmlDocument(path, document, failure)) << path << ": " << failure;
    return document;
}

std::string Failure(std::string text) {
    ReadBackDocument document;
    std::string failure;
    EXPECT_FALSE(ParseLandXmlDocument(text, document, failure));
    EXPECT_TRUE(document.Alignments.empty());
    return failure;
}

const char *const kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                          "<LandXML>\r\n<Alignments name=\"alignments\">\r\n";

} // namespace

TEST(DocumentReader, ReadsEveryGoldenDocumentWhole) {
    const std::vector<std::filesystem::path> files = GoldenDocuments();
    ASSERT_GE(files.size(), 13u);
    for (const std::filesystem::path &file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::string text = ReadFileBytes(file);
        // The extended root mirrors alignments and cross sections: count the
        // main part only.
        const std::string main = text.substr(0, text.find("<OstremLandXML"));
        const ReadBackDocument doc = Read(file);
        EXPECT_EQ(doc.Extended, main.size() != text.size());
        EXPECT_EQ(doc.LinearUnit, "meter");
        long elements = 0, vertices = 0, sections = 0, surfaces = 0, points = 0, named = 0;
        for (const DocAlignment &a : doc.Alignments) {
            elements += static_cast<long>(a.Elements.size());
            // Every arc states its length, for readers that take it from there.
            for (const DocElement &e : a.Elements) {
                if (e.Kind == DocElementKind::Curve) {
                    EXPECT_NE(e.Length, kNullValue) << e.StaStart;
                }
            }
            for (const DocProfAlign &p : a.Profile)
                vertices += static_cast<long>(p.Points.size());
            sections += static_cast<long>(a.CrossSects.size());
            for (const DocCrossSect &s : a.CrossSects)
                for (const DocSurface &f : s.Surfaces) {
                    ++surfaces;
                    points += static_cast<long>(f.Points.size());
                    // Every written point carries its stringline name.
                    EXPECT_EQ(DocVertexNames(f).size(), f.Points.size()) << s.Station;
                    named += static_cast<long>(DocVertexNames(f).size());
                }
        }
        EXPECT_EQ(static_cast<long>(doc.Alignments.size()), Count(main, "<Alignment "));
        EXPECT_EQ(elements, Count(main, "<(Line|Curve|Spiral) "));
        EXPECT_EQ(vertices, Count(main, "<(PVI>|ParaCurve |CircCurve )"));
        EXPECT_EQ(sections, Count(main, "<CrossSect "));
        EXPECT_EQ(surfaces, Count(main, "<CrossSectSurf "));
        long names = 0;
        for (const std::string &list :
             Captures(text, "(?:SD Vertex Name\">|<SDVertexName>)([^<]*)<"))
            names += 1 + Count(list, ",");
        EXPECT_EQ(named, names);
        long written = 0;
        for (const std::string &list : Captures(main, "<PntList2D>([^<]*)</PntList2D>"))
            written += Count(list, "[^ ]+");
        EXPECT_EQ(2 * points, written);
        long tunnel = 0;
        for (const DocAlignment &a : doc.Alignments)
            tunnel += static_cast<long>(a.TunnelProfileStations.size());
        EXPECT_EQ(tunnel, Count(main, "<TunnelProfile "));
    }
}

// The two flavours of the same road differ only in where the stringline names
// stand; read back, they are the same records.
TEST(DocumentReader, BothFlavoursGiveTheSameRecords) {
    const ReadBackDocument plain =
        Read(SourcePath("tests/crosssection/golden/small_road_plain.xml"));
    const ReadBackDocument extended =
        Read(SourcePath("tests/crosssection/golden/small_road_extended.xml"));
    ASSERT_EQ(plain.Alignments.size(), 1u);
    ASSERT_EQ(extended.Alignments.size(), 1u);
    const auto &p = plain.Alignments[0].CrossSects, &e = extended.Alignments[0].CrossSects;
    ASSERT_EQ(p.size(), 3u);
    ASSERT_EQ(p.size(), e.size());
    for (std::size_t i = 0; i < p.size(); ++i) {
        EXPECT_EQ(p[i].Station, e[i].Station);
        ASSERT_EQ(p[i].Surfaces.size(), e[i].Surfaces.size());
        for (std::size_t j = 0; j < p[i].Surfaces.size(); ++j) {
            EXPECT_EQ(p[i].Surfaces[j].Name, e[i].Surfaces[j].Name);
            EXPECT_EQ(p[i].Surfaces[j].VertexNameList, e[i].Surfaces[j].VertexNameList);
            EXPECT_EQ(p[i].Surfaces[j].Points.size(), e[i].Surfaces[j].Points.size());
        }
    }
    EXPECT_THAT(DocVertexNames(p[1].Surfaces[1]),
                ::testing::ElementsAre("L0:1", "C1:1", "R2:1", "R3:1"));
    EXPECT_EQ(p[1].Surfaces[1].Points[3].Offset, 3.5);
    EXPECT_EQ(p[1].Surfaces[1].Points[3].Height, 10.2);
}

TEST(DocumentReader, ReadsFiguresAttributesAndLayers) {
    const ReadBackDocument doc = Read(SourcePath("tests/landxml/golden/alignment_profile.xml"));
    ASSERT_EQ(doc.Alignments.size(), 1u);
    const DocAlignment &a = doc.Alignments[0];
    EXPECT_EQ(a.Name, "Eje 1");
    EXPECT_EQ(a.StaStart, 0);
    ASSERT_EQ(a.Elements.size(), 5u);
    const DocElement &spiral = a.Elements[1];
    EXPECT_EQ(spiral.Kind, DocElementKind::Spiral);
    EXPECT_EQ(spiral.RadiusStart, 0); // INF
    EXPECT_EQ(spiral.RadiusEnd, 250);
    EXPECT_EQ(spiral.Constant, 100);
    EXPECT_TRUE(spiral.Clockwise);
    EXPECT_EQ(spiral.Start.Y, 5095.533649); // northing first in the document
    EXPECT_EQ(spiral.Start.X, 1029.552021);
    EXPECT_EQ(a.Elements[2].Center.X, 1274.549985);
    ASSERT_EQ(a.StaEquations.size(), 1u);
    EXPECT_EQ(a.StaEquations[0].Back, 995.5);
    ASSERT_EQ(a.Profile.size(), 2u);
    EXPECT_EQ(a.Profile[1].Name, "Eje 1_1");
    EXPECT_EQ(a.Profile[0].Points[2].Curve, DocVerticalCurve::Parabola);
    EXPECT_EQ(a.Profile[0].Points[2].CurveLength, 80);
    EXPECT_EQ(a.Profile[0].Points[5].CurveRadius, -5000);

    const ReadBackDocument rails = Read(SourcePath("tests/batch/golden/double-rail.xml"));
    ASSERT_EQ(rails.StringlineLayers.size(), 2u);
    EXPECT_EQ(rails.StringlineLayers[1].Name, "PAGE3");
    EXPECT_EQ(rails.StringlineLayers[1].CentreLine, "double_centre_CCL");
    EXPECT_THAT(rails.StringlineLayers[1].Stringlines,
                ::testing::ElementsAre("double_centre_CCL", "double_right", "Left_R", "Right_R"));
}

// The extended flavour's layers stand in its own root.
TEST(DocumentReader, ReadsTheExtendedLayers) {
    std::string text = std::string(kHead) +
                       "<Alignment name=\"A\"><CoordGeom/></Alignment></Alignments>\r\n"
                       "<OstremLandXML><Alignments name=\"alignments\"><Alignment name=\"A\"/>"
                       "<SDStringLineLayers><SDStringLineLayer name=\"PAGE1\" "
                       "inclStringlines=\"A,Left,Right\" centreLine=\"A\" excluded=\"Left\" "
                       "sorted=\"false\"/></SDStringLineLayers></Alignments></OstremLandXML>"
                       "</LandXML>\r\n";
    ReadBackDocument doc;
    std::string failure;
    ASSERT_TRUE(ParseLandXmlDocument(text, doc, failure)) << failure;
    EXPECT_TRUE(doc.Extended);
    ASSERT_EQ(doc.StringlineLayers.size(), 1u);
    EXPECT_EQ(doc.StringlineLayers[0].Name, "PAGE1");
    EXPECT_THAT(doc.StringlineLayers[0].Stringlines, ::testing::ElementsAre("A", "Left", "Right"));
    EXPECT_THAT(doc.StringlineLayers[0].Excluded, ::testing::ElementsAre("Left"));
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
        {std::string(kHead) + "<Alignment name=\"A\"><CrossSects><CrossSect sta=\"1\">"
                              "<CrossSectSurf name=\"S\"><PntList2D>1 2 3</PntList2D>"
                              "</CrossSectSurf></CrossSect></CrossSects></Alignment>"
                              "</Alignments></LandXML>",
         "odd count of numbers"},
        {std::string(kHead) + "<Alignment name=\"A\"/></Alignments><OstremLandXML>"
                              "<Alignments><Alignment name=\"B\"/></Alignments>"
                              "</OstremLandXML></LandXML>",
         "names alignment \"B\", which the document does not hold"},
        {std::string(kHead) + "<Alignment name=\"A\"><CrossSects><CrossSect sta=\"1\"/>"
                              "</CrossSects></Alignment></Alignments><OstremLandXML>"
                              "<Alignments><Alignment name=\"A\"><CrossSect sta=\"2\"/>"
                              "</Alignment></Alignments></OstremLandXML></LandXML>",
         "does not match the document's cross section at 1.000000"},
    };
    for (const Case &c : cases)
        EXPECT_THAT(Failure(c.Text), ::testing::HasSubstr(c.Reason)) << c.Text;
}

TEST(DocumentReader, RefusesAFileItCannotRead) {
    ReadBackDocument doc;
    std::string failure;
    vialto::test::TempDir dir;
    EXPECT_FALSE(ReadLandXmlDocument(dir / "absent.xml", doc, failure));
    EXPECT_THAT(failure, ::testing::HasSubstr("cannot read"));
    EXPECT_FALSE(ReadLandXmlDocument(dir.Path(), doc, failure)); // a folder
    EXPECT_FALSE(failure.empty());
}

// Numbers are read exactly as a full decimal conversion reads them, short or
// long, with or without a sign or a point.
TEST(DocumentReader, ReadsNumbersExactly) {
    const std::vector<std::string> numbers = {"-0.000001",
                                              "4501234.567891",
                                              "123456789.123456",
                                              "0.1",
                                              "-7",
                                              "+2.5",
                                              "1e3",
                                              "999999999999999",
                                              "9999999999.999999",
                                              "0.30000000000000004",
                                              "4501234.5678912345",
                                              "-0"};
    std::string list;
    for (const std::string &n : numbers)
        list += n + " " + n + " ";
    std::string text = std::string(kHead) +
                       "<Alignment name=\"A\"><CrossSects><CrossSect sta=\"1\"><CrossSectSurf "
                       "name=\"S\"><PntList2D>" +
                       list +
                       "</PntList2D></CrossSectSurf></CrossSect></CrossSects></Alignment>"
                       "</Alignments></LandXML>";
    ReadBackDocument doc;
    std::string failure;
    ASSERT_TRUE(ParseLandXmlDocument(text, doc, failure)) << failure;
    const std::vector<DocSectionPoint> &points =
        doc.Alignments.at(0).CrossSects.at(0).Surfaces.at(0).Points;
    ASSERT_EQ(points.size(), numbers.size());
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const std::string n = numbers[k][0] == '+' ? numbers[k].substr(1) : numbers[k];
        double expected = 0;
        std::from_chars(n.data(), n.data() + n.size(), expected);
        EXPECT_EQ(points[k].Offset, expected) << numbers[k];
        EXPECT_EQ(std::signbit(points[k].Offset), std::signbit(expected)) << numbers[k];
    }
}
