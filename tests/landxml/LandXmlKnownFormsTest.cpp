// The schema check used by every document test accepts the known forms the
// field software reads and nothing else (the writer tests meet the text features
// and the properties without value).
#include "landxml/LandXmlFixture.h"

namespace vialto::test {
namespace {

TEST(KnownForms, OnlyTheListedFormsAreTolerated) {
    if (!CanValidateXml())
        GTEST_SKIP() << "no xmllint here";
    const std::string golden =
        ReadFileBytes(SourcePath("tests/landxml/golden/alignment_short_arc.xml"));
    const std::size_t end = golden.rfind("</LandXML>");
    const std::string in = "<Alignments name=\"alignments\"><Alignment name=\"A\" length=\"1\" "
                           "staStart=\"0\">";
    const std::string out = "</Alignment></Alignments>";
    const std::string profiles = "<TunnelProfiles><TunnelProfile sta=\"1\"/></TunnelProfiles>";
    TempDir dir;
    for (const auto &[inside, valid] : {std::pair<std::string, bool>{in + profiles + out, true},
                                        {in + "<Feature code=\"Other\">x</Feature>" + out, false},
                                        {profiles, false},
                                        {"<Alignments>", false}}) {
        WriteFileBytes(dir / "case.xml", golden.substr(0, end) + inside + golden.substr(end));
        EXPECT_EQ(ValidateLandXmlKnownForms(dir / "case.xml").empty(), valid) << inside;
    }
}

} // namespace
} // namespace vialto::test
