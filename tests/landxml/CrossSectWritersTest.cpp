// The writers of cross sections, stringline layers and vertex features: what the end-to-end
// documents never hold (escaped names, properties without value, the extended flavour's side file).
#include "landxml/LandXmlCrossSections.h"
#include "landxml/LandXmlFixture.h"

namespace vialto::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
using CrossSectWriters = LandXmlFixture;

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
