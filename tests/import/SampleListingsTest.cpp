// The sample listings of samples/listings/, written by the generator from a
// known geometry: every form of an alignment imports to the same elements,
// and the imported alignment, evaluated by the geometry module, passes
// through the known points within a millimetre.
#include "HzListing.h"
#include "VtListing.h"

#include "AppModel.h"
#include "HzGeometry.h"
#include "TestSupport.h"
#include "VtGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace vialto {
namespace {

constexpr double kMillimetre = 0.001;
constexpr double kListedAzimuthTol = 1e-6; // radians; the listings round to 1e-6 gon or finer

struct KnownPoint {
    double Chainage, X, Y, Azimuth, Height;
};

// The generator's sampled points: "chainage x y azimuth_rad height" a line.
std::vector<KnownPoint> KnownPoints(const std::string &name) {
    std::ifstream file(test::SourcePath("samples/listings/" + name + "_points.txt"));
    std::vector<KnownPoint> points;
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream in(line);
        KnownPoint p{};
        in >> p.Chainage >> p.X >> p.Y >> p.Azimuth >> p.Height;
        points.push_back(p);
    }
    return points;
}

std::string Sample(const std::string &file) {
    return test::SourcePath("samples/listings/" + file).string();
}

class SampleListingsTest : public ::testing::Test {
  protected:
    void SetUp() override { AppModel().SetAddOnMode(true); }
    void TearDown() override { AppModel().SetAddOnMode(false); }

    static HzAlignment ImportHz(const std::string &file) {
        HzAlignment elements;
        StationEquations equations;
        std::string name;
        ListingFailure failure;
        EXPECT_TRUE(ImportHzAligment(elements, equations, name, Sample(file), &failure))
            << failure.Text();
        return elements;
    }

    static VtAlignment ImportVt(const std::string &file) {
        VtAlignment elements;
        ListingFailure failure;
        EXPECT_TRUE(ImportVtAligment(elements, Sample(file), "", &failure)) << failure.Text();
        return elements;
    }
};

double AngleDifference(double a, double b) {
    return std::fabs(std::remainder(a - b, 2 * 3.14159265358979323846));
}

void ExpectPassesThrough(const HzAlignment &elements, const std::vector<KnownPoint> &known,
                         const std::string &label) {
    ASSERT_FALSE(known.empty());
    for (const KnownPoint &k : known) {
        HzPoint p;
        ASSERT_TRUE(GetCoordFromHzAligment(elements, k.Chainage, p)) << label << " " << k.Chainage;
        EXPECT_NEAR(p.X, k.X, kMillimetre) << label << " at " << k.Chainage;
        EXPECT_NEAR(p.Y, k.Y, kMillimetre) << label << " at " << k.Chainage;
        EXPECT_LT(AngleDifference(p.Azimuth, k.Azimuth), 1e-5) << label << " at " << k.Chainage;
    }
}

void ExpectHeights(const VtAlignment &elements, const std::vector<KnownPoint> &known,
                   const std::string &label) {
    for (const KnownPoint &k : known)
        EXPECT_NEAR(GetHeightFromVtAligment(elements, k.Chainage), k.Height, kMillimetre)
            << label << " at " << k.Chainage;
}

TEST_F(SampleListingsTest, RoadPlanFormsGiveTheSameElements) {
    const HzAlignment plain = ImportHz("road.plt");
    const HzAlignment report = ImportHz("road_hz.rtf");
    ASSERT_EQ(ElementCount(plain), 12); // 11 elements and the end marker
    ASSERT_EQ(ElementCount(report), ElementCount(plain));
    for (long i = 1; i <= ElementCount(plain); ++i) {
        const HzElement &a = plain[static_cast<std::size_t>(i)];
        const HzElement &b = report[static_cast<std::size_t>(i)];
        EXPECT_EQ(a.Number, b.Number);
        EXPECT_NEAR(a.Chainage, b.Chainage, 1e-9) << i;
        EXPECT_NEAR(a.X, b.X, 1e-9) << i;
        EXPECT_NEAR(a.Y, b.Y, 1e-9) << i;
        EXPECT_NEAR(a.Azimuth, b.Azimuth, kListedAzimuthTol) << i;
        EXPECT_NEAR(a.Radius, b.Radius, 1e-9) << i;
        EXPECT_NEAR(a.Parameter, b.Parameter, 1e-9) << i;
        EXPECT_NEAR(a.Length, b.Length, 1e-9) << i;
    }
    // The transitions: entering ones start at zero curvature (the marker),
    // leaving ones store the curve they leave.
    EXPECT_DOUBLE_EQ(plain[2].Radius, kRadiusMarker);
    EXPECT_DOUBLE_EQ(plain[4].Radius, 625);
    EXPECT_DOUBLE_EQ(plain[6].Radius, -kRadiusMarker);
    EXPECT_DOUBLE_EQ(plain[8].Radius, -480);
    EXPECT_DOUBLE_EQ(plain[12].Length, 0);
    EXPECT_DOUBLE_EQ(plain[12].Chainage, 15040);
}

TEST_F(SampleListingsTest, RoadPlanPassesThroughTheKnownPoints) {
    const std::vector<KnownPoint> known = KnownPoints("road");
    ExpectPassesThrough(ImportHz("road.plt"), known, "road.plt");
    ExpectPassesThrough(ImportHz("road_hz.rtf"), known, "road_hz.rtf");
}

TEST_F(SampleListingsTest, RailPlanWithAnSCurveAndAFinalTransition) {
    const HzAlignment rail = ImportHz("rail.plt");
    ASSERT_EQ(ElementCount(rail), 8);
    EXPECT_DOUBLE_EQ(rail[5].Radius, -kRadiusMarker); // the S-curve's second half
    EXPECT_DOUBLE_EQ(rail[7].Radius, -1620);          // the final transition
    EXPECT_DOUBLE_EQ(rail[7].Length, 180);
    ExpectPassesThrough(rail, KnownPoints("rail"), "rail.plt");
}

TEST_F(SampleListingsTest, RoadProfileFormsGiveTheSameElements) {
    const VtAlignment plain = ImportVt("road.alz");
    const VtAlignment printed = ImportVt("road_vt.txt");
    const VtAlignment report = ImportVt("road_vt.rtf");
    // Straight, curve, straight, curve, straight, curve, straight, end.
    ASSERT_EQ(ElementCount(plain), 8);
    for (const VtAlignment *other : {&printed, &report}) {
        ASSERT_EQ(ElementCount(*other), ElementCount(plain));
        for (long i = 1; i <= ElementCount(plain); ++i) {
            const VtElement &a = plain[static_cast<std::size_t>(i)];
            const VtElement &b = (*other)[static_cast<std::size_t>(i)];
            EXPECT_NEAR(a.Chainage, b.Chainage, kMillimetre) << i;
            EXPECT_NEAR(a.Height, b.Height, kMillimetre) << i;
            EXPECT_NEAR(a.Parameter, b.Parameter, 1e-6) << i;
            EXPECT_NEAR(a.Length, b.Length, kMillimetre) << i;
            if (i < ElementCount(plain)) {
                EXPECT_NEAR(a.Grade, b.Grade, 1e-6) << i;
            }
        }
    }
    EXPECT_DOUBLE_EQ(plain[2].Parameter, -12000);
    EXPECT_NEAR(plain[4].Parameter, 9000, 1e-6);
    EXPECT_NEAR(plain[6].Parameter, -20000, 1e-6);
}

TEST_F(SampleListingsTest, RoadAndRailProfilesPassThroughTheKnownHeights) {
    const std::vector<KnownPoint> road = KnownPoints("road");
    ExpectHeights(ImportVt("road.alz"), road, "road.alz");
    ExpectHeights(ImportVt("road_vt.txt"), road, "road_vt.txt");
    ExpectHeights(ImportVt("road_vt.rtf"), road, "road_vt.rtf");
    ExpectHeights(ImportVt("rail.alz"), KnownPoints("rail"), "rail.alz");
}

} // namespace
} // namespace vialto
