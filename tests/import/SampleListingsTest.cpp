// The sample listings of samples/listings/, written by the generator from a
// known geometry: every form of an alignment, imported and evaluated by the
// geometry module, passes through the known points within a millimetre.
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

TEST(SampleListings, EveryFormPassesThroughTheKnownPoints) {
    ListingFailure failure;
    for (const char *file : {"road.plt", "road_hz.rtf", "rail.plt"}) {
        HzAlignment elements;
        StationEquations equations;
        std::string name;
        ASSERT_TRUE(ImportHzAligment(elements, equations, name, Sample(file), &failure))
            << failure.Text();
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
        VtAlignment elements;
        ASSERT_TRUE(ImportVtAligment(elements, Sample(file), "", &failure)) << failure.Text();
        for (const KnownPoint &k : KnownPoints(file))
            EXPECT_NEAR(GetHeightFromVtAligment(elements, k.Chainage), k.Height, kMillimetre)
                << file << " at " << k.Chainage;
    }
}

} // namespace
} // namespace vialto
