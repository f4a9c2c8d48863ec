// Whole conversions of the bundled sample jobs through the batch command:
// the documents are compared byte for byte with reviewed golden files,
// validated against the LandXML 1.2 schema (minus the forms the field
// software needs), and checked against the samples' known geometry.
#include "BatchCommand.h"

#include "AppModel.h"
#include "LandXmlKnownForms.h"
#include "TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <pugixml.hpp>
#include <regex>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::SourcePath;
using vialto::test::TempDir;

namespace {

// The author is the logged-on user: the one part of a document that depends
// on the machine.
std::string WithoutAuthor(const std::string &document) {
    return std::regex_replace(document, std::regex("createdBy=\"[^\"]*\""), "createdBy=\"\"");
}

struct ConvertResult {
    int Code = 0;
    std::string Out, Err;
};

ConvertResult Convert(const std::vector<std::string> &args) {
    SetProgramFolder(VIALTO_BIN_DIR);
    std::ostringstream out, err;
    ConvertResult result;
    result.Code = RunConvert(args, out, err);
    result.Out = out.str();
    result.Err = err.str();
    return result;
}

std::vector<double> Numbers(const char *text) {
    std::vector<double> numbers;
    std::istringstream in(text);
    for (double v; in >> v;)
        numbers.push_back(v);
    return numbers;
}

// Every element of every CoordGeom starts where the one before it ended.
void ExpectContinuousGeometry(const pugi::xml_document &doc) {
    for (const pugi::xpath_node &geom : doc.select_nodes("//CoordGeom")) {
        std::vector<double> lastEnd;
        for (const pugi::xml_node element : geom.node().children()) {
            const std::vector<double> start = Numbers(element.child_value("Start"));
            const std::vector<double> end = Numbers(element.child_value("End"));
            ASSERT_EQ(start.size(), 2u);
            ASSERT_EQ(end.size(), 2u);
            if (!lastEnd.empty()) {
                EXPECT_NEAR(start[0], lastEnd[0], 1e-4) << element.attribute("staStart").value();
                EXPECT_NEAR(start[1], lastEnd[1], 1e-4) << element.attribute("staStart").value();
            }
            lastEnd = end;
        }
    }
}

class EndToEnd : public ::testing::TestWithParam<const char *> {
  protected:
    TempDir dir_;
};

} // namespace

TEST_P(EndToEnd, SampleJobMatchesGoldenAndSchema) {
    const std::string job = GetParam();
    const std::string output = (dir_ / (job + ".xml")).string();
    const ConvertResult run =
        Convert({"--job-file", SourcePath("samples/jobs/" + job + ".job").string(), "-o", output});
    ASSERT_EQ(run.Code, 0) << run.Out << run.Err;
    EXPECT_NE(run.Out.find("Wrote " + output), std::string::npos);

    const std::string written = WithoutAuthor(ReadFileBytes(output));
    const std::filesystem::path golden = SourcePath("tests/wizard/golden/" + job + ".xml");
    if (std::getenv("VIALTO_UPDATE_GOLDEN"))
        vialto::test::WriteFileBytes(golden, written);
    EXPECT_TRUE(written == ReadFileBytes(golden))
        << "the " << job << " document differs from " << golden
        << " (review it; VIALTO_UPDATE_GOLDEN=1 rewrites it)";
    EXPECT_EQ(vialto::test::ValidateLandXmlKnownForms(output), "");

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(output.c_str()));
    ExpectContinuousGeometry(doc);
    // No half-written or side files stay behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                            std::filesystem::directory_iterator{}),
              1);
}

INSTANTIATE_TEST_SUITE_P(SampleJobs, EndToEnd,
                         ::testing::Values("tunnel", "road", "rail", "double-rail"));

// The road's alignment starts and ends where the sample's known geometry does.
TEST(EndToEndGeometry, RoadAlignmentEndsAtTheKnownPoints) {
    TempDir dir;
    const std::string output = (dir / "road.xml").string();
    ASSERT_EQ(
        Convert({"--job-file", SourcePath("samples/jobs/road.job").string(), "-o", output}).Code,
        0);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(output.c_str()));
    const pugi::xml_node geom = doc.select_node("//CoordGeom").node();
    const std::vector<double> start = Numbers(geom.first_child().child_value("Start"));
    const std::vector<double> end = Numbers(geom.last_child().child_value("End"));
    // From samples/listings/known.json: start (512345.678, 4501234.567), end
    // (514757.6130556, 4502101.9463274); the listing rounds to a millimetre.
    EXPECT_NEAR(start[0], 4501234.567, 1e-6);
    EXPECT_NEAR(start[1], 512345.678, 1e-6);
    EXPECT_NEAR(end[0], 4502101.9463274, 1e-3);
    EXPECT_NEAR(end[1], 514757.6130556, 1e-3);
    // Cross sections cover the alignment and every point list holds pairs.
    const auto sections = doc.select_nodes("//CrossSect");
    EXPECT_GT(sections.size(), 100u);
    for (const pugi::xpath_node &list : doc.select_nodes("//CrossSect//PntList2D"))
        EXPECT_EQ(Numbers(list.node().child_value()).size() % 2, 0u);
}

// Rails: the height difference and the horizontal spread of the two rails
// agree with a gauge of 1.435 on a base of 1.5: spread = G sqrt(B^2 - c^2) / B
// (plus at most the 5 mm widening of the sample's curves).
TEST(EndToEndGeometry, RailsStandAGaugeApartAcrossTheCant) {
    TempDir dir;
    const std::string output = (dir / "rail.xml").string();
    ASSERT_EQ(
        Convert({"--job-file", SourcePath("samples/jobs/rail.job").string(), "-o", output}).Code,
        0);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(output.c_str()));
    const double G = 1.435, B = 1.5;
    std::size_t checked = 0;
    for (const pugi::xpath_node &surf : doc.select_nodes("//CrossSectSurf[@name='Rails']")) {
        const std::vector<double> p = Numbers(surf.node().child_value("PntList2D"));
        ASSERT_EQ(p.size(), 4u);
        const double cant = std::abs(p[1] - p[3]);
        const double spread = p[2] - p[0];
        const double expected = G * std::sqrt(B * B - cant * cant) / B;
        EXPECT_GE(spread, expected - 3e-6); // both rails are rounded to 6 decimals
        EXPECT_LE(spread, expected + 0.005 + 3e-6);
        EXPECT_LE(cant, 0.2);
        ++checked;
    }
    EXPECT_GT(checked, 50u);
}
