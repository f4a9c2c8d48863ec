// The bundled sample jobs through the batch command, compared byte for byte
// with reviewed golden files and validated against the LandXML 1.2 schema
// (minus the forms the field software needs). The golden files are checked
// against the samples' known geometry, so a rewritten one cannot hide a fault.
#include "batch/RunConvert.h"

#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "support/LandXmlKnownForms.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <pugixml.hpp>
#include <regex>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::SourcePath;

namespace {

std::vector<double> Numbers(const char *text) {
    std::vector<double> numbers;
    std::istringstream in(text);
    for (double v; in >> v;)
        numbers.push_back(v);
    return numbers;
}

std::filesystem::path GoldenPath(const std::string &job) {
    return SourcePath("tests/batch/golden/" + job + ".xml");
}

class EndToEnd : public ::testing::TestWithParam<const char *> {};

} // namespace

TEST_P(EndToEnd, SampleJobMatchesGoldenAndSchema) {
    const std::string job = GetParam();
    vialto::test::TempDir dir;
    const std::string output = (dir / (job + ".xml")).string();
    SetProgramFolder(VIALTO_BIN_DIR);
    std::ostringstream out, err;
    const std::string jobFile = SourcePath("samples/jobs/" + job + ".job").string();
    ASSERT_EQ(RunConvert({"--job-file", jobFile, "-o", output}, out, err), kConvertWritten)
        << out.str() << err.str();
    // The author is the logged-on user: the one part that depends on the machine.
    const std::string written = std::regex_replace(
        ReadFileBytes(output), std::regex("createdBy=\"[^\"]*\""), "createdBy=\"\"");
    if (std::getenv("VIALTO_UPDATE_GOLDEN"))
        vialto::test::WriteFileBytes(GoldenPath(job), written);
    EXPECT_TRUE(written == ReadFileBytes(GoldenPath(job)))
        << "the " << job << " document differs from " << GoldenPath(job)
        << " (review it; VIALTO_UPDATE_GOLDEN=1 rewrites it)";
    EXPECT_EQ(vialto::test::ValidateLandXmlKnownForms(output), "");
    // No half-written or side files stay behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// The tunnel job with its inputs and output named beyond the ANSI code page,
// in a folder named so: the sample's document, but for the names that the
// files give, and the output's name printed as it is.
TEST(EndToEndNames, FileNamesBeyondTheAnsiCodePage) {
    vialto::test::TempDir dir;
    const std::filesystem::path folder = dir.Path() / Utf8Path("Año 2026");
    std::filesystem::create_directories(folder);
    const auto place = [&](const char *sample, const char *name) {
        const std::filesystem::path path = folder / Utf8Path(name);
        std::filesystem::copy_file(SourcePath(sample), path);
        return PathText(path);
    };
    const std::string hz = place("samples/listings/road.plt", "Túnel ñ.plt");
    const std::string vt = place("samples/listings/road.alz", "Łódź Ω.alz");
    const std::string tunnel = place("samples/tunnel/profiles.xml", "Perfiles ñ.xml");
    const std::string output = PathText(folder / Utf8Path("Salida ñ.xml"));
    SetProgramFolder(VIALTO_BIN_DIR);
    std::ostringstream out, err;
    ASSERT_EQ(
        RunConvert({"--job", "tunnel", "--hz", hz, "--vt", vt, "--tunnel", tunnel, "-o", output},
                   out, err),
        kConvertWritten)
        << out.str() << err.str();
    EXPECT_NE(out.str().find("Wrote " + output), std::string::npos) << out.str();
    const std::string written = std::regex_replace(
        ReadFileBytes(Utf8Path(output)), std::regex("createdBy=\"[^\"]*\""), "createdBy=\"\"");
    std::string expected =
        std::regex_replace(ReadFileBytes(GoldenPath("tunnel")),
                           std::regex("road\\.plt \\+ road\\.alz \\+ profiles\\.xml"),
                           "Túnel ñ.plt + Łódź Ω.alz + Perfiles ñ.xml");
    // The alignment takes the horizontal listing's name.
    expected = std::regex_replace(expected, std::regex("name=\"road\""), "name=\"Túnel ñ\"");
    EXPECT_TRUE(written == expected);
}

// Every element of every CoordGeom starts where the one before it ended.
TEST_P(EndToEnd, GoldenGeometryIsContinuous) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(GoldenPath(GetParam()).c_str()));
    for (const pugi::xpath_node &geom : doc.select_nodes("//CoordGeom")) {
        std::vector<double> lastEnd;
        for (const pugi::xml_node element : geom.node().children()) {
            const std::vector<double> start = Numbers(element.child_value("Start"));
            if (!lastEnd.empty()) { // at(): a point short of a number fails the test
                EXPECT_LT(std::hypot(start.at(0) - lastEnd.at(0), start.at(1) - lastEnd.at(1)),
                          1e-4)
                    << element.attribute("staStart").value();
            }
            lastEnd = Numbers(element.child_value("End"));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SampleJobs, EndToEnd,
                         ::testing::Values("tunnel", "road", "rail", "double-rail"));

// The road starts and ends where the sample's known geometry does.
TEST(GoldenGeometry, RoadAlignmentEndsAtTheKnownPoints) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(GoldenPath("road").c_str()));
    const pugi::xml_node geom = doc.select_node("//CoordGeom").node();
    const std::vector<double> start = Numbers(geom.first_child().child_value("Start"));
    const std::vector<double> end = Numbers(geom.last_child().child_value("End"));
    // From samples/listings/known.json: start (512345.678, 4501234.567), end
    // (514757.6130556, 4502101.9463274); the listing rounds to a millimetre.
    EXPECT_NEAR(start[0], 4501234.567, 1e-6);
    EXPECT_NEAR(start[1], 512345.678, 1e-6);
    EXPECT_NEAR(end[0], 4502101.9463274, 1e-3);
    EXPECT_NEAR(end[1], 514757.6130556, 1e-3);
}

// The height difference c and the horizontal spread of the two rails agree
// with the samples' gauge G = 1.435 on a base B = 1.5: spread = G sqrt(B^2 -
// c^2) / B, plus at most the 5 mm widening of the sample's curves.
TEST(GoldenGeometry, RailsStandAGaugeApartAcrossTheCant) {
    const double G = 1.435, B = 1.5;
    for (const char *job : {"rail", "double-rail"}) {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_file(GoldenPath(job).c_str()));
        const auto rails = doc.select_nodes("//CrossSectSurf[@name='Rails']");
        EXPECT_GT(rails.size(), 500u) << job;
        for (const pugi::xpath_node &surf : rails) {
            const std::vector<double> p = Numbers(surf.node().child_value("PntList2D"));
            ASSERT_EQ(p.size(), 4u);
            const double cant = std::abs(p[1] - p[3]), spread = p[2] - p[0];
            const double expected = G * std::sqrt(B * B - cant * cant) / B;
            EXPECT_GE(spread, expected - 3e-6) << job; // both rails are rounded to 6 decimals
            EXPECT_LE(spread, expected + 0.005 + 3e-6) << job;
            EXPECT_LE(cant, 0.2) << job;
        }
    }
}

// ---- Which rail the centre line's profile gives (--rail-vt) ----------------

namespace {

// (chainage, height) of every PVI of the named alignment's profile.
std::vector<std::pair<double, double>> ProfilePoints(const pugi::xml_document &doc,
                                                     const std::string &alignment) {
    std::vector<std::pair<double, double>> points;
    const std::string path = "//Alignment[@name='" + alignment + "']//PVI";
    for (const pugi::xpath_node &pvi : doc.select_nodes(path.c_str())) {
        const std::vector<double> p = Numbers(pvi.node().child_value());
        points.emplace_back(p.at(0), p.at(1));
    }
    return points;
}

} // namespace

// The left track of the double-track sample takes its heights from the centre
// line across a co-planar cant table; the right track's table is not
// co-planar. The tracks share one plane from the outer rail of one to the
// outer rail of the other, which drops D = A tan(t) + B sin(t) across, with
// A = 4 the distance between the tracks of the sample's design, B = 1.5 the
// base and t the cross slope, sin(t) = cant / B. Read as the axis between the
// tracks, the centre line's profile lies D/2 below the higher and D/2 above the
// lower rail of the plane; given as the lower rail ("low") every height of the
// left track therefore rises by D/2 against "axis", given as the higher
// ("high") it falls by D/2, and where the track is level nothing moves. Checked
// where the table's cant is constant: 60 mm and 70 mm on the curves, 0 on the
// straights.
TEST(RailVtOption, LowAndHighMoveTheCoplanarTrackByHalfThePlanesDrop) {
    vialto::test::TempDir dir;
    SetProgramFolder(VIALTO_BIN_DIR);
    const std::string jobFile = SourcePath("samples/jobs/double-rail.job").string();
    std::map<std::string, pugi::xml_document> docs;
    for (const char *option : {"axis", "low", "high"}) {
        const std::string output = (dir / (std::string(option) + ".xml")).string();
        std::ostringstream out, err;
        ASSERT_EQ(RunConvert({"--job-file", jobFile, "--rail-vt", option, "-o", output}, out, err),
                  kConvertWritten)
            << err.str();
        ASSERT_TRUE(docs[option].load_file(output.c_str()));
    }
    // "axis" is the default, which the reviewed golden document holds.
    pugi::xml_document golden;
    ASSERT_TRUE(golden.load_file(GoldenPath("double-rail").c_str()));
    EXPECT_EQ(ProfilePoints(docs["axis"], "double_left"), ProfilePoints(golden, "double_left"));
    EXPECT_NE(ReadFileBytes(dir / "low.xml"), ReadFileBytes(dir / "high.xml"));
    EXPECT_EQ(ProfilePoints(docs["low"], "double_right"),
              ProfilePoints(docs["axis"], "double_right"));
    EXPECT_EQ(ProfilePoints(docs["high"], "double_right"),
              ProfilePoints(docs["axis"], "double_right"));

    const double A = 4, B = 1.5;
    struct Stretch {
        double From, To, Cant; // left track chainages; cant in metres
    };
    const Stretch stretches[] = {{0, 500, 0},
                                 {650, 1250.75, 0.060},
                                 {1400.75, 2100.75, 0},
                                 {2220.75, 2719.923, 0.070},
                                 {2839.923, 3339.923, 0}};
    const auto axis = ProfilePoints(docs["axis"], "double_left");
    const auto low = ProfilePoints(docs["low"], "double_left");
    const auto high = ProfilePoints(docs["high"], "double_left");
    ASSERT_EQ(low.size(), axis.size());
    ASSERT_EQ(high.size(), axis.size());
    std::size_t checked = 0;
    for (std::size_t i = 0; i < axis.size(); ++i) {
        const double t = axis[i].first;
        ASSERT_EQ(low[i].first, t);
        ASSERT_EQ(high[i].first, t);
        for (const Stretch &s : stretches) {
            if (t < s.From || t > s.To)
                continue;
            const double slope = std::asin(s.Cant / B);
            const double half = (A * std::tan(slope) + B * std::sin(slope)) / 2;
            // The tracks' listings give coordinates to the millimetre, so A
            // holds within a few millimetres; times tan(t) <= 0.047 that is
            // below 1e-4.
            EXPECT_NEAR(low[i].second - axis[i].second, half, 1e-4) << t;
            EXPECT_NEAR(axis[i].second - high[i].second, half, 1e-4) << t;
            ++checked;
        }
    }
    EXPECT_GT(checked, axis.size() / 2);
}
