// The schema check used by every document test accepts exactly the known forms
// the field software reads and nothing else.
#include "LandXmlFixture.h"

namespace vialto::test {
namespace {

std::string Document(const std::string &inside) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<LandXML "
           "xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\" "
           "date=\"2000-01-01\" time=\"00:00:01\">\r\n<Units><Metric areaUnit=\"squareMeter\" "
           "linearUnit=\"meter\" volumeUnit=\"cubicMeter\" temperatureUnit=\"celsius\" "
           "pressureUnit=\"HPA\" /></Units>\r\n" +
           inside + "</LandXML>\r\n";
}

const std::string kAlignmentStart =
    "<Alignments name=\"alignments\"><Alignment name=\"A\" length=\"1\" staStart=\"0\">";
const std::string kAlignmentEnd = "</Alignment></Alignments>\r\n";

struct FormCase {
    const char *Name;
    std::string Inside;
    bool Valid;
};

TEST(KnownForms, OnlyTheListedFormsAreTolerated) {
    const std::string profiles = "<TunnelProfiles><TunnelProfile sta=\"1\"/></TunnelProfiles>";
    const std::vector<FormCase> cases = {
        {"feature texts of the stringline information",
         kAlignmentStart +
             "<Feature code=\"SD Vertex Name\">P1</Feature>"
             "<Feature code=\"SD Vertex Connections\"><Feature code=\"SD Vertex "
             "Link\">P2</Feature></Feature>"
             "<Feature code=\"SD Stringline Layers\"><Feature code=\"SD Stringline "
             "Layer\">A,B<Property label=\"name\" value=\"L\"/></Feature></Feature>" +
             kAlignmentEnd,
         true},
        {"property without value",
         kAlignmentStart +
             "<Feature code=\"x\"><Property label=\"excluded\"/>"
             "</Feature>" +
             kAlignmentEnd,
         true},
        {"tunnel profiles inside the alignment", kAlignmentStart + profiles + kAlignmentEnd, true},
        {"text in any other feature",
         kAlignmentStart + "<Feature code=\"Other\">x</Feature>" + kAlignmentEnd, false},
        {"tunnel profiles elsewhere", profiles, false},
        {"an empty alignment group", "<Alignments name=\"alignments\"></Alignments>", false},
        {"a radius that is not a number",
         kAlignmentStart +
             "<CoordGeom><Curve rot=\"cw\" radius=\"inf\"><Start>0 0</Start><Center>0 "
             "1</Center><End>1 1</End></Curve></CoordGeom>" +
             kAlignmentEnd,
         false},
        {"not well-formed", "<Alignments>", false},
    };
    TempDir dir;
    for (const FormCase &c : cases) {
        const auto file = dir / "case.xml";
        WriteFileBytes(file, Document(c.Inside));
        const std::string complaints = ValidateLandXmlKnownForms(file);
        EXPECT_EQ(complaints.empty(), c.Valid) << c.Name << "\n" << complaints;
    }
}

} // namespace
} // namespace vialto::test
