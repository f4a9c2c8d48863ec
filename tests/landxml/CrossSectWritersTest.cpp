// The writers of cross sections, stringline layers and vertex features, in the
// standard and the extended flavour: each writer's exact lines, written inside
// an alignment of a document that must pass the schema check.
#include "LandXmlCrossSections.h"
#include "LandXmlFixture.h"

#include <cmath>

namespace vialto::test {
namespace {

using CrossSectWriters = LandXmlFixture;

TStringLines FourLines() {
    TStringLines set;
    set.Count = 3;
    set.Lines.resize(4);
    const char *names[] = {"Axis", "B1", "B2", "C"};
    for (int k = 0; k < 4; ++k) {
        set.Lines[k].Name = names[k];
        set.Lines[k].Export = true;
    }
    return set;
}

TEST_F(CrossSectWriters, CrossSectionsFeaturesAndVertexFeatures) {
    BeginAlignment();
    EXPECT_TRUE(TagCrossSects(false));
    EXPECT_TRUE(TagCrossSect(false, "12340.000000"));
    EXPECT_TRUE(TagCrossSectSurf(false, "  Capa de Forma "));
    EXPECT_TRUE(TagPntList2D("-3.500000 10.000000 0.000000 10.070000"));
    EXPECT_TRUE(TagCrossSectSurf(true));
    EXPECT_TRUE(TagCrossSect(true));
    EXPECT_TRUE(TagCrossSects(true));
    EXPECT_TRUE(TagCrossSects(false, "Secciones"));
    EXPECT_TRUE(TagCrossSect(false, "1", "S<1>"));
    EXPECT_TRUE(TagCrossSect(true));
    EXPECT_TRUE(TagCrossSects(true));
    EXPECT_TRUE(TagFeature(false, "SD Group", ""));
    EXPECT_TRUE(TagProperty("name", "Pla\xC3\xA7"
                                    "a"));
    EXPECT_TRUE(TagProperty("empty", ""));
    EXPECT_TRUE(TagFeature(true, "SD Stringline Layer", "a,b"));
    EXPECT_TRUE(TagFeature(true, "X", "")); // closes the group
    EXPECT_TRUE(TagVertexName("L0:1,C1:1"));
    EXPECT_TRUE(TagVertexConnections("R2:1,R2:1", "", "L0:1"));
    EXPECT_TRUE(TagVertexConnections("", "", ""));
    EXPECT_EQ(AlignmentBody(),
              "<CrossSects>\r\n"
              "\t<CrossSect sta=\"12340.000000\">\r\n"
              "\t\t<CrossSectSurf name=\"Capa de Forma\">\r\n"
              "\t\t\t<PntList2D>-3.500000 10.000000 0.000000 10.070000</PntList2D>\r\n"
              "\t\t</CrossSectSurf>\r\n"
              "\t</CrossSect>\r\n"
              "</CrossSects>\r\n"
              "<CrossSects name=\"Secciones\">\r\n"
              "\t<CrossSect sta=\"1\" name=\"S&lt;1&gt;\">\r\n"
              "\t</CrossSect>\r\n"
              "</CrossSects>\r\n"
              "<Feature code=\"SD Group\">\r\n"
              "\t<Property label=\"name\" value=\"Pla\xC3\xA7"
              "a\"/>\r\n"
              "\t<Property label=\"empty\"/>\r\n"
              "\t<Feature code=\"SD Stringline Layer\">a,b</Feature>\r\n"
              "</Feature>\r\n"
              "<Feature code=\"SD Vertex Name\">L0:1,C1:1</Feature>\r\n"
              "<Feature code=\"SD Vertex Connections\">\r\n"
              "\t<Feature code=\"SD Vertex Interpolate\">R2:1,R2:1</Feature>\r\n"
              "\t<Feature code=\"SD Vertex Continue\">L0:1</Feature>\r\n"
              "</Feature>\r\n"
              "<Feature code=\"SD Vertex Connections\">\r\n"
              "</Feature>\r\n");
}

// One layer: empty names are left out, the centre line given by its index (-1:
// none), exclusions by index (out of range: ignored). A set of layers: the
// default one holds the exported lines of state 0; named layers their members.
TEST_F(CrossSectWriters, StringlineLayers) {
    BeginAlignment();
    EXPECT_TRUE(TagStringLineLayer({"A", "B1", "", "B2"}, "L", 0, true, {-1}));
    EXPECT_TRUE(TagStringLineLayer({"A", "B1", "B2"}, "M", -1, false, {2, 1, 7}));
    TStringLines set = FourLines();
    set.Lines[2].State = 1;      // not in the default layer
    set.Lines[3].Export = false; // not written
    set.Lines[1].Excluded = true;
    EXPECT_TRUE(TagStringLineLayers(set, "Axis", false, {-1}));
    set.Lines[3].Export = true;
    set.Layers = {{"Road", {0, 1, 2}}, {"Empty", {0}}, {"Side", {3, 9}}};
    EXPECT_TRUE(TagStringLineLayersOwnExclusions(set, "Axis", true));
    EXPECT_EQ(AlignmentBody(), "<Feature code=\"SD Stringline Layer\">A,B1,B2\r\n"
                               "\t<Property label=\"name\" value=\"L\"/>\r\n"
                               "\t<Property label=\"centerline\" value=\"A\"/>\r\n"
                               "\t<Property label=\"sorted\" value=\"YES\"/>\r\n"
                               "</Feature>\r\n"
                               "<Feature code=\"SD Stringline Layer\">A,B1,B2\r\n"
                               "\t<Property label=\"name\" value=\"M\"/>\r\n"
                               "\t<Property label=\"sorted\" value=\"NO\"/>\r\n"
                               "\t<Property label=\"excluded\" value=\"B2\"/>\r\n"
                               "\t<Property label=\"excluded\" value=\"B1\"/>\r\n"
                               "</Feature>\r\n"
                               "<Feature code=\"SD Stringline Layers\">\r\n"
                               "\t<Feature code=\"SD Stringline Layer\">Axis,B1\r\n"
                               "\t\t<Property label=\"name\" value=\"Default Layer\"/>\r\n"
                               "\t\t<Property label=\"centerline\" value=\"Axis\"/>\r\n"
                               "\t\t<Property label=\"sorted\" value=\"NO\"/>\r\n"
                               "\t</Feature>\r\n"
                               "</Feature>\r\n"
                               "<Feature code=\"SD Stringline Layers\">\r\n"
                               "\t<Feature code=\"SD Stringline Layer\">Axis,B1,B2\r\n"
                               "\t\t<Property label=\"name\" value=\"Road\"/>\r\n"
                               "\t\t<Property label=\"centerline\" value=\"Axis\"/>\r\n"
                               "\t\t<Property label=\"sorted\" value=\"YES\"/>\r\n"
                               "\t\t<Property label=\"excluded\" value=\"B1\"/>\r\n"
                               "\t</Feature>\r\n"
                               "\t<Feature code=\"SD Stringline Layer\">Axis,C\r\n"
                               "\t\t<Property label=\"name\" value=\"Side\"/>\r\n"
                               "\t\t<Property label=\"centerline\" value=\"Axis\"/>\r\n"
                               "\t\t<Property label=\"sorted\" value=\"YES\"/>\r\n"
                               "\t</Feature>\r\n"
                               "</Feature>\r\n");
}

// The main part holds no SD element: they go to a side file beside the output,
// which closing the root merges into the extended root and deletes.
TEST_F(CrossSectWriters, ExtendedFlavourWritesTheStringlineElementsToTheSideFile) {
    BeginAlignment(true);
    EXPECT_EQ(SideFilePath(), dir / "out.xmlost");
    EXPECT_TRUE(std::filesystem::exists(SideFilePath()));
    TStringLines set = FourLines();
    set.Layers = {{"Road", {1, 2}}};
    EXPECT_TRUE(TagCrossSects(false));
    EXPECT_TRUE(TagCrossSect(false, "10.000000"));
    EXPECT_TRUE(TagCrossSectSurf(false, "Rasante"));
    EXPECT_TRUE(TagPntList2D("1.000000 2.000000"));
    EXPECT_TRUE(TagVertexName("R0:0"));
    EXPECT_TRUE(TagVertexConnections("", "K", "R0:0"));
    EXPECT_TRUE(TagCrossSectSurf(true));
    EXPECT_TRUE(TagCrossSect(true));
    EXPECT_TRUE(TagCrossSects(true));
    EXPECT_TRUE(TagStringLineLayers(set, "Axis", true, {1}));
    EXPECT_EQ(AlignmentBody(), "<CrossSects>\r\n"
                               "\t<CrossSect sta=\"10.000000\">\r\n"
                               "\t\t<CrossSectSurf name=\"Rasante\">\r\n"
                               "\t\t\t<PntList2D>1.000000 2.000000</PntList2D>\r\n"
                               "\t\t</CrossSectSurf>\r\n"
                               "\t</CrossSect>\r\n"
                               "</CrossSects>\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"out.xml"});
    const std::size_t root = bytes.find("\t</Alignments>\r\n\t<OstremLandXML xmlns=");
    ASSERT_NE(root, std::string::npos);
    EXPECT_EQ(bytes.substr(bytes.find(">\r\n", root + 16) + 3),
              "\t\t<Alignments name=\"alignments\">\r\n"
              "\t\t\t<Alignment name=\"F\">\r\n"
              "\t\t\t\t<CrossSect sta=\"10.000000\">\r\n"
              "\t\t\t\t\t<CrossSectSurf name=\"Rasante\">\r\n"
              "\t\t\t\t\t\t<SDVertexName>R0:0</SDVertexName>\r\n"
              "\t\t\t\t\t\t<SDVertexConnections>\r\n"
              "\t\t\t\t\t\t\t<SDVertexLink>K</SDVertexLink>\r\n"
              "\t\t\t\t\t\t\t<SDVertexContinue>R0:0</SDVertexContinue>\r\n"
              "\t\t\t\t\t\t</SDVertexConnections>\r\n"
              "\t\t\t\t\t</CrossSectSurf>\r\n"
              "\t\t\t\t</CrossSect>\r\n"
              "\t\t\t\t<SDStringLineLayers>\r\n"
              "\t\t\t\t\t<SDStringLineLayer name=\"Road\" inclStringlines=\"Axis,B1,B2\" "
              "centreLine=\"Axis\" excluded=\"B1\" sorted=\"true\"/>\r\n"
              "\t\t\t\t</SDStringLineLayers>\r\n"
              "\t\t\t</Alignment>\r\n"
              "\t\t</Alignments>\r\n"
              "\t</OstremLandXML>\r\n"
              "</LandXML>\r\n");
}

// Three straight pieces of a stringline: east 10 m, north 10 m, east 5 m.
TEST_F(CrossSectWriters, IrregularLine) {
    HzAlignment hz = MakeOneBased<HzElement>(3);
    const double xs[] = {0, 1000, 1010, 1010}, ys[] = {0, 500, 500, 510};
    const double az[] = {0, M_PI / 2, 0, M_PI / 2}, len[] = {0, 10, 10, 5};
    for (int k = 1; k <= 3; ++k) {
        hz[k].Number = k;
        hz[k].Chainage = 100 + 10 * (k - 1);
        hz[k].X = xs[k];
        hz[k].Y = ys[k];
        hz[k].Azimuth = az[k];
        hz[k].Length = len[k];
    }
    BeginAlignment();
    EXPECT_TRUE(TagCoordGeom(false));
    EXPECT_TRUE(TagCoordGeomIrrLn(hz, kNullValue, kNullValue));
    EXPECT_TRUE(TagCoordGeomIrrLn(hz, 112, 115)); // only the second piece
    EXPECT_TRUE(TagCoordGeom(true));
    EXPECT_EQ(AlignmentBody(),
              "<CoordGeom>\r\n"
              "\t<IrregularLine staStart=\"100.000000\">\r\n"
              "\t\t<Start>500.000000 1000.000000</Start>\r\n"
              "\t\t<End>510.000000 1015.000000</End>\r\n"
              "\t\t<PntList2D>500.000000 1000.000000 500.000000 1010.000000 510.000000 "
              "1010.000000 510.000000 1015.000000</PntList2D>\r\n"
              "\t</IrregularLine>\r\n"
              "\t<IrregularLine staStart=\"110.000000\">\r\n"
              "\t\t<Start>500.000000 1010.000000</Start>\r\n"
              "\t\t<End>510.000000 1010.000000</End>\r\n"
              "\t\t<PntList2D>500.000000 1010.000000 510.000000 1010.000000</PntList2D>\r\n"
              "\t</IrregularLine>\r\n"
              "</CoordGeom>\r\n");
}

} // namespace
} // namespace vialto::test
