// The writers' chainage ranges and failures, and what the end-to-end documents
// never hold: escaped names, properties without value, the extended flavour's
// side file.
#include "landxml/LandXmlCrossSections.h"
#include "landxml/LandXmlFixture.h"
#include "landxml/LandXmlProfile.h"
#include "support/ElementBuilders.h"

namespace vialto::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using CrossSectWriters = LandXmlFixture;

class Fragment : public LandXmlFixture {
  protected:
    void SetUp() override {
        LandXmlFixture::SetUp();
        BeginAlignment();
    }
    // "staStart" values of the written blocks, in order.
    static std::vector<std::string> Starts(const std::string &body) {
        std::vector<std::string> starts;
        for (std::size_t at = body.find("staStart=\""); at != std::string::npos;
             at = body.find("staStart=\"", at + 1)) {
            starts.push_back(body.substr(at + 10, body.find('"', at + 10) - at - 10));
        }
        return starts;
    }
};

// Straight elements of length 10 from chainage 0, all on one line east.
HzAlignment Straights(int n) {
    std::vector<HzElement> e;
    for (int i = 0; i < n; ++i)
        e.push_back(HzAt(10.0 * i, 10.0 * i, 0, kHalfPi, 0, 0, 10));
    return OneBased(e);
}

// Elements first..last (1-based) of five straights of 10 m are written.
TEST_F(Fragment, GeometryRangeTakesTheElementsHoldingItsEnds) {
    const struct {
        double From, To;
        int First, Last;
    } cases[] = {{kNullValue, kNullValue, 1, 5},
                 {15, 25, 2, 3},
                 {20, 30, 3, 4},
                 {-100, 5, 1, 1},
                 {45, 1000, 5, 5}};
    std::vector<std::string> starts;
    for (const auto &c : cases) {
        double first = -1, last = -1;
        EXPECT_TRUE(TagCoordGeom(false) &&
                    TagCoordGeomRegular(Straights(5), c.From, c.To, first, last) &&
                    TagCoordGeom(true));
        EXPECT_EQ(std::pair(first, last), std::pair(10.0 * (c.First - 1), 10.0 * c.Last)) << c.From;
        for (int k = c.First; k <= c.Last; ++k)
            starts.push_back(FormatDecimals(10 * (k - 1), 6));
    }
    EXPECT_EQ(Starts(AlignmentBody()), starts);
}

// Grade points every 100 m at the given heights (-999: no height).
VtAlignment Grades(const std::vector<double> &heights) {
    std::vector<VtElement> v;
    for (std::size_t i = 0; i < heights.size(); ++i)
        v.push_back(VtAt(100.0 * static_cast<double>(i), heights[i], 0.1, 0, 100));
    return OneBased(v);
}

// A range takes the elements holding its ends and two more; points without
// height end a ProfAlign and start the next, numbered, one (the name escaped),
// which closes at the end of the last element (600 + 100 m at 10 %); a
// profile with no height at all is not written.
TEST_F(Fragment, ProfileRangesAndPointsWithoutHeight) {
    double first = 0, last = 0;
    EXPECT_TRUE(TagProfile(false) &&
                TagProfAlign(first, last, "P", Grades({0, 10, 20, 30, 40, 50, 60}), 150, 250));
    EXPECT_EQ(std::pair(first, last), std::pair(100.0, 500.0));
    EXPECT_TRUE(TagProfAlign(first, last, "A&B", Grades({-999, 10, -999, -999, 40, -999, 60}),
                             kNullValue, kNullValue));
    EXPECT_EQ(first, 0);
    EXPECT_TRUE(
        TagProfAlign(first, last, "none", Grades({-999, -999.000001}), kNullValue, kNullValue) &&
        TagProfAlign(first, last, "T", Grades({0, -999}), kNullValue, kNullValue) &&
        TagProfile(true));
    EXPECT_EQ(AlignmentBody(),
              "<Profile><ProfAlign name=\"P\"><PVI>100.000000 10.000000</PVI><PVI>200.000000 "
              "20.000000</PVI><PVI>300.000000 30.000000</PVI><PVI>400.000000 40.000000</PVI>"
              "<PVI>500.000000 50.000000</PVI></ProfAlign><ProfAlign name=\"A&amp;B\"><PVI>"
              "100.000000 10.000000</PVI></ProfAlign><ProfAlign name=\"A&amp;B_1\"><PVI>400.000000 "
              "40.000000</PVI></ProfAlign><ProfAlign name=\"A&amp;B_2\"><PVI>600.000000 "
              "60.000000</PVI><PVI>700.000000 70.000000</PVI></ProfAlign><ProfAlign "
              "name=\"T\"><PVI>0.000000 0.000000</PVI>"
              "</ProfAlign></Profile>");
}

TEST_F(Fragment, CircularCurveWithoutAGradeOutIsReported) {
    VtAlignment v = Grades({0});
    v[1].Parameter = 2000;
    v[1].Length = -50; // circular, last element, no GradeOut and no next grade
    double first = 0, last = 0;
    const std::uint8_t level = MainLevel();
    EXPECT_FALSE(TagProfAlign(first, last, "C", v, kNullValue, kNullValue));
    EXPECT_EQ(MainLevel(), level);
    ExpectMessage("in TagProfAlign\r\nSubscript out of range");
    // With its grade out given it is written, and its range is not negative.
    v[1].GradeOut = 0.125;
    EXPECT_TRUE(TagProfAlign(first, last, "C", v, kNullValue, kNullValue));
    EXPECT_EQ(last, 50);
}

TEST_F(CrossSectWriters, NamesEscapedAndPropertiesWithoutValue) {
    BeginAlignment();
    EXPECT_TRUE(TagCrossSects(false, "Secciones") && TagCrossSect(false, "1", "S<1>") &&
                TagCrossSectSurf(false, "  Capa de Forma ") &&
                TagPntList2D("-3.500000 10.000000") && TagCrossSectSurf(true) &&
                TagCrossSect(true) && TagCrossSects(true));
    EXPECT_TRUE(TagFeature(false, "SD Group", "") && TagProperty("name", "Pla\u00e7a") &&
                TagProperty("empty", "") && TagFeature(true, "X", "") &&
                TagVertexConnections("R2:1,R2:1", "", "L0:1"));
    EXPECT_EQ(AlignmentBody(),
              "<CrossSects name=\"Secciones\"><CrossSect sta=\"1\" name=\"S&lt;1&gt;\">"
              "<CrossSectSurf name=\"Capa de Forma\"><PntList2D>-3.500000 10.000000</PntList2D>"
              "</CrossSectSurf></CrossSect></CrossSects><Feature code=\"SD Group\"><Property "
              "label=\"name\" value=\"Pla\u00e7a\"/><Property label=\"empty\"/></Feature><Feature "
              "code=\"SD Vertex Connections\">"
              "<Feature code=\"SD Vertex Interpolate\">R2:1,R2:1</Feature><Feature code=\"SD "
              "Vertex Continue\">L0:1</Feature></Feature>");
}

// The SD elements go to a side file beside the output, which closing the root
// merges into the extended root and deletes.
TEST_F(CrossSectWriters, ExtendedFlavourWritesTheStringlineElementsToTheSideFile) {
    BeginAlignment(true);
    EXPECT_EQ(SideFilePath(), dir / "out.xmlost");
    EXPECT_TRUE(std::filesystem::exists(SideFilePath()));
    TStringLines set;
    set.Count = 3;
    for (const char *name : {"Axis", "B1", "B2", "C"}) {
        set.Lines.push_back({});
        set.Lines.back().Name = name;
        set.Lines.back().Export = true;
    }
    set.Layers = {{"Road", {1, 2}}};
    EXPECT_TRUE(TagCrossSects(false) && TagCrossSect(false, "10.000000") &&
                TagCrossSectSurf(false, "Rasante") && TagPntList2D("1.000000 2.000000") &&
                TagVertexName("R0:0") && TagVertexConnections("", "K", "R0:0") &&
                TagCrossSectSurf(true) && TagCrossSect(true) && TagCrossSects(true) &&
                TagStringLineLayers(set, "Axis", true, {1}));
    EXPECT_THAT(AlignmentBody(), Not(HasSubstr("SD")));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    const std::size_t root = bytes.find("\t</Alignments>\r\n\t<OstremLandXML xmlns=");
    ASSERT_NE(root, std::string::npos);
    const std::string side = bytes.substr(root);
    EXPECT_THAT(side, HasSubstr("<SDVertexConnections>\r\n\t\t\t\t\t\t\t<SDVertexLink>K</"));
    EXPECT_THAT(side, HasSubstr("\t\t\t\t<SDStringLineLayers>\r\n"
                                "\t\t\t\t\t<SDStringLineLayer name=\"Road\" "
                                "inclStringlines=\"Axis,B1,B2\" centreLine=\"Axis\" "
                                "excluded=\"B1\" sorted=\"true\"/>\r\n"));
}

} // namespace
} // namespace vialto::test
