// The bundled sample jobs through the batch command, compared byte for byte
// with reviewed golden files, validated against the LandXML 1.2 schema (minus
// the forms the field software needs), and the written geometry checked
// against the samples' known geometry, so a rewritten golden cannot hide a
// fault.
#include "batch/BatchRun.h"
#include "support/LandXmlKnownForms.h"

#include <cmath>
#include <cstdlib>
#include <map>

namespace vialto::test {
namespace {

std::filesystem::path GoldenPath(const std::string &job) {
    return SourcePath("tests/batch/golden/" + job + ".xml");
}

// Every element of every CoordGeom starts where the one before it ended.
void ExpectContinuousGeometry(const pugi::xml_document &doc) {
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

// The height difference c and the horizontal spread of the two rails agree
// with the samples' gauge G = 1.435 on a base B = 1.5: spread = G sqrt(B^2 -
// c^2) / B; the samples have no widening.
void ExpectRailsAGaugeApart(const pugi::xml_document &doc) {
    const double G = 1.435, B = 1.5;
    const auto rails = doc.select_nodes("//CrossSectSurf[@name='Rails']");
    EXPECT_GT(rails.size(), 500u);
    for (const pugi::xpath_node &surf : rails) {
        const std::vector<double> p = Numbers(surf.node().child_value("PntList2D"));
        ASSERT_EQ(p.size(), 4u);
        const double cant = std::abs(p[1] - p[3]), spread = p[2] - p[0];
        EXPECT_NEAR(spread, G * std::sqrt(B * B - cant * cant) / B, 3e-6); // 6 decimals each
        EXPECT_LE(cant, 0.2);
    }
}

class EndToEnd : public BatchTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(EndToEnd, SampleJobMatchesGoldenSchemaAndGeometry) {
    const std::string job = GetParam();
    const BatchResult run = Convert(Job(job), job + ".xml");
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    const std::string written = WithoutAuthor(run.Bytes);
    if (std::getenv("VIALTO_UPDATE_GOLDEN"))
        WriteFileBytes(GoldenPath(job), written);
    EXPECT_TRUE(written == ReadFileBytes(GoldenPath(job)))
        << "the " << job << " document differs from " << GoldenPath(job)
        << " (review it; VIALTO_UPDATE_GOLDEN=1 rewrites it)";
    EXPECT_EQ(ValidateLandXmlKnownForms(dir_ / (job + ".xml")), "");
    ExpectContinuousGeometry(*run.Doc);
    if (job == "road") {
        // From samples/listings/known.json: start (512345.678, 4501234.567), end
        // (514757.6130556, 4502101.9463274); the listing rounds to a millimetre.
        const std::vector<double> start = Numbers(run.At("//CoordGeom/*[1]/Start"));
        const std::vector<double> end = Numbers(run.At("//CoordGeom/*[last()]/End"));
        EXPECT_NEAR(start.at(0), 4501234.567, 1e-6);
        EXPECT_NEAR(start.at(1), 512345.678, 1e-6);
        EXPECT_NEAR(end.at(0), 4502101.9463274, 1e-3);
        EXPECT_NEAR(end.at(1), 514757.6130556, 1e-3);
    }
    if (job == "rail" || job == "double-rail")
        ExpectRailsAGaugeApart(*run.Doc);
    // No half-written or side files stay behind (the log is the one other file).
    for (const auto &entry : std::filesystem::directory_iterator(dir_.Path()))
        EXPECT_TRUE(entry.path().filename() == job + ".xml" || entry.path().extension() == ".log")
            << entry.path();
}

INSTANTIATE_TEST_SUITE_P(SampleJobs, EndToEnd,
                         ::testing::Values("tunnel", "road", "rail", "double-rail"));

// ---- Which rail the centre line's profile gives (--rail-vt) ----------------

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
using RailVtOption = BatchTest;

TEST_F(RailVtOption, LowAndHighMoveTheCoplanarTrackByHalfThePlanesDrop) {
    std::map<std::string, BatchResult> docs;
    for (const std::string option : {"axis", "low", "high"}) {
        std::vector<std::string> args = Job("double-rail");
        if (option != "axis") // the default
            args.insert(args.end(), {"--rail-vt", option});
        docs[option] = Convert(args, option + ".xml");
        ASSERT_EQ(docs[option].Code, kConvertWritten) << docs[option].Err;
    }
    EXPECT_NE(docs["low"].Bytes, docs["high"].Bytes);
    for (const char *option : {"low", "high"})
        EXPECT_EQ(ProfilePoints(*docs[option].Doc, "double_right"),
                  ProfilePoints(*docs["axis"].Doc, "double_right"));

    const double A = 4, B = 1.5;
    struct Stretch {
        double From, To, Cant; // left track chainages; cant in metres
    };
    const Stretch stretches[] = {{0, 500, 0},
                                 {650, 1250.75, 0.060},
                                 {1400.75, 2100.75, 0},
                                 {2220.75, 2719.923, 0.070},
                                 {2839.923, 3339.923, 0}};
    const auto axis = ProfilePoints(*docs["axis"].Doc, "double_left");
    const auto low = ProfilePoints(*docs["low"].Doc, "double_left");
    const auto high = ProfilePoints(*docs["high"].Doc, "double_left");
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

} // namespace
} // namespace vialto::test
