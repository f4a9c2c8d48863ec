// The sample listings of samples/listings/, written by the generator from a
// known geometry: every form of an alignment imports to the same elements,
// and the imported alignment, evaluated by the geometry module, passes
// through the known points within a millimetre.
#include "import/HzListing.h"
#include "import/VtListing.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>

namespace vialto {
namespace {

constexpr double kMillimetre = 0.001;

struct KnownPoint {
    double Chainage, X, Y, Azimuth, Height;
};

// The generator's sampled points: "chainage x y azimuth_rad height" a line.
std::vector<KnownPoint> KnownPoints(const std::string &file) {
    std::ifstream in(test::SourcePath("samples/listings/" + file.substr(0, 4) + "_points.txt"));
    std::vector<KnownPoint> points;
    KnownPoint p;
    for (std::string line; std::getline(in, line);)
        if (std::istringstream(line) >> p.Chainage >> p.X >> p.Y >> p.Azimuth >> p.Height)
            points.push_back(p);
    EXPECT_FALSE(points.empty());
    return points;
}

std::string Sample(const std::string &file) {
    return test::SourcePath("samples/listings/" + file).string();
}

HzAlignment ImportHz(const std::string &file) {
    HzAlignment elements;
    StationEquations equations;
    std::string name;
    ListingFailure failure;
    EXPECT_TRUE(ImportHzAligment(elements, equations, name, Sample(file), &failure))
        << failure.Text();
    return elements;
}

VtAlignment ImportVt(const std::string &file) {
    VtAlignment elements;
    ListingFailure failure;
    EXPECT_TRUE(ImportVtAligment(elements, Sample(file), "", &failure)) << failure.Text();
    return elements;
}

TEST(SampleListings, RoadPlanFormsGiveTheSameElements) {
    const HzAlignment plain = ImportHz("road.plt");
    const HzAlignment report = ImportHz("road_hz.rtf");
    ASSERT_EQ(ElementCount(plain), 12); // 11 elements and the end marker
    ASSERT_EQ(ElementCount(report), 12);
    for (std::size_t i = 1; i <= 12; ++i) {
        EXPECT_EQ(plain[i].Number, report[i].Number);
        EXPECT_NEAR(plain[i].Azimuth, report[i].Azimuth, 1e-6) << i; // listed to 1e-6 gon
        for (double HzElement::*field :
             {&HzElement::Chainage, &HzElement::X, &HzElement::Y, &HzElement::Radius,
              &HzElement::Parameter, &HzElement::Length})
            EXPECT_NEAR(plain[i].*field, report[i].*field, 1e-9) << i;
    }
}

TEST(SampleListings, RoadProfileFormsGiveTheSameElements) {
    const VtAlignment plain = ImportVt("road.alz");
    // Straight, curve, straight, curve, straight, curve, straight, end.
    ASSERT_EQ(ElementCount(plain), 8);
    for (const char *file : {"road_vt.txt", "road_vt.rtf"}) {
        const VtAlignment other = ImportVt(file);
        ASSERT_EQ(ElementCount(other), 8) << file;
        for (std::size_t i = 1; i <= 8; ++i) {
            for (double VtElement::*field :
                 {&VtElement::Chainage, &VtElement::Height, &VtElement::Length})
                EXPECT_NEAR(plain[i].*field, other[i].*field, kMillimetre) << file << " " << i;
            EXPECT_NEAR(plain[i].Parameter, other[i].Parameter, 1e-6) << file << " " << i;
            if (i < 8) {
                EXPECT_NEAR(plain[i].Grade, other[i].Grade, 1e-6) << file << " " << i;
            }
        }
    }
}

TEST(SampleListings, EveryFormPassesThroughTheKnownPoints) {
    for (const char *file : {"road.plt", "road_hz.rtf", "rail.plt"}) {
        const HzAlignment elements = ImportHz(file);
        for (const KnownPoint &k : KnownPoints(file)) {
            HzPoint p;
            ASSERT_TRUE(GetCoordFromHzAligment(elements, k.Chainage, p)) << file << k.Chainage;
            EXPECT_NEAR(p.X, k.X, kMillimetre) << file << " at " << k.Chainage;
            EXPECT_NEAR(p.Y, k.Y, kMillimetre) << file << " at " << k.Chainage;
            EXPECT_LT(std::fabs(std::remainder(p.Azimuth - k.Azimuth, 2 * std::numbers::pi)), 1e-5)
                << file << " at " << k.Chainage;
        }
    }
    for (const char *file : {"road.alz", "road_vt.txt", "road_vt.rtf", "rail.alz"}) {
        const VtAlignment elements = ImportVt(file);
        for (const KnownPoint &k : KnownPoints(file))
            EXPECT_NEAR(GetHeightFromVtAligment(elements, k.Chainage), k.Height, kMillimetre)
                << file << " at " << k.Chainage;
    }
}

} // namespace
} // namespace vialto
