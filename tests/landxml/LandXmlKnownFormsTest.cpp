// The schema check used by every document test accepts exactly the known forms
// the field software reads and nothing else (the writer tests meet the text
// features and the properties without value).
#include "LandXmlFixture.h"

namespace vialto::test {
namespace {

TEST(KnownForms, OnlyTheListedFormsAreTolerated) {
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<LandXML "
        "xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\" date=\"2000-01-01\" "
        "time=\"00:00:01\">\r\n<Units><Metric areaUnit=\"squareMeter\" linearUnit=\"meter\" "
        "volumeUnit=\"cubicMeter\" temperatureUnit=\"celsius\" pressureUnit=\"HPA\" /></Units>\r\n";
    const std::string in = "<Alignments name=\"alignments\"><Alignment name=\"A\" length=\"1\" "
                           "staStart=\"0\">";
    const std::string out = "</Alignment></Alignments>\r\n";
    const std::string profiles = "<TunnelProfiles><TunnelProfile sta=\"1\"/></TunnelProfiles>";
    struct Case {
        const char *Name;
        std::string Inside;
        bool Valid;
    };
    const std::vector<Case> cases = {
        {"tunnel profiles inside the alignment", in + profiles + out, true},
        {"text in any other feature", in + "<Feature code=\"Other\">x</Feature>" + out, false},
        {"tunnel profiles elsewhere", profiles, false},
        {"a radius that is not a number",
         in +
             "<CoordGeom><Curve rot=\"cw\" radius=\"inf\"><Start>0 0</Start><Center>0 "
             "1</Center><End>1 1</End></Curve></CoordGeom>" +
             out,
         false},
        {"not well-formed", "<Alignments>", false},
    };
    TempDir dir;
    for (const Case &c : cases) {
        WriteFileBytes(dir / "case.xml", head + c.Inside + "</LandXML>\r\n");
        const std::string complaints = ValidateLandXmlKnownForms(dir / "case.xml");
        EXPECT_EQ(complaints.empty(), c.Valid) << c.Name << "\n" << complaints;
    }
}

} // namespace
} // namespace vialto::test
