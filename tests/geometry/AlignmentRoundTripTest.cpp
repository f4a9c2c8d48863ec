// Whole alignments against independently integrated geometry: the point at a
// chainage (and beyond the end), projection back to the chainage and offset,
// and chainages carried over to an alignment or to a parallel of it.
#include "geometry/HzGeometry.h"
#include "support/AlignmentFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

using test::FixtureLayout;
using test::FixturePose;

constexpr double kPointTol = 1e-6;            // metres: evaluators against integration
constexpr double kRoundedTol = 0.0005 + 1e-9; // projection outputs are rounded to mm

double AngleGap(double a, double b) {
    return std::fabs(std::remainder(a - b, 2 * std::acos(-1.0)));
}

class FixtureTest : public ::testing::TestWithParam<FixtureLayout> {
  protected:
    const FixtureLayout &layout = GetParam();
    const HzAlignment elements = test::BuildFixtureAlignment(layout);
    const double end = test::FixtureEndChainage(layout);

    // Every 2.9 m plus every element's start, middle and end (just before).
    std::vector<double> SampleChainages() const {
        std::vector<double> chainages;
        for (double c = layout.StartChainage; c < end; c += 2.9) {
            chainages.push_back(c);
        }
        double c = layout.StartChainage;
        for (const auto &seg : layout.Segments) {
            chainages.insert(chainages.end(), {c, c + seg.Length / 2, c + seg.Length - 1e-3});
            c += seg.Length;
        }
        return chainages;
    }
};

// Beyond the end the last element is extrapolated (a transition continued
// through its point of zero curvature); element ends meet the next starts.
TEST_P(FixtureTest, PointAtChainageMatchesIntegratedGeometry) {
    std::vector<double> chainages = SampleChainages();
    chainages.insert(chainages.end(), {end, end + 5, end + 30});
    for (double c : chainages) {
        SCOPED_TRACE(c);
        HzPoint p;
        ASSERT_TRUE(GetCoordFromHzAligment(elements, c, p));
        const FixturePose expected = test::FixturePoseAt(layout, c);
        EXPECT_NEAR(p.X, expected.X, kPointTol);
        EXPECT_NEAR(p.Y, expected.Y, kPointTol);
        EXPECT_LT(AngleGap(p.Azimuth, expected.Azimuth), 1e-9);
    }
    // Each element, run to its end, meets the next one's start within 0.1 mm.
    for (std::size_t i = 1; i + 1 < elements.size(); ++i) {
        HzPoint p;
        ASSERT_TRUE(
            GetCoordFromHzAligment(elements, std::nextafter(elements[i + 1].Chainage, 0.0), p));
        EXPECT_LT(std::hypot(p.X - elements[i + 1].X, p.Y - elements[i + 1].Y), 1e-4) << i;
    }
}

TEST_P(FixtureTest, PointsProjectBackToTheirChainageAndOffset) {
    const long n = ElementCount(elements);
    for (double c : SampleChainages()) {
        if (c > end - 0.01) {
            continue; // the last element's end is its last inside chainage
        }
        const FixturePose on = test::FixturePoseAt(layout, c);
        for (double d : {0.0, 0.004, -0.004, 0.35, -3.5, 12.0, -12.0}) {
            SCOPED_TRACE(testing::Message() << c << " offset " << d);
            const FixturePose off = test::FixtureOffset(on, d);
            const HzPoint p{off.X, off.Y, 0, 0, 0};
            double chainage = 0, offset = 0, azimuth = 0;
            ASSERT_TRUE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, n));
            EXPECT_NEAR(chainage, c, kRoundedTol);
            EXPECT_NEAR(offset, d, kRoundedTol);
            EXPECT_LT(AngleGap(azimuth, on.Azimuth), 1e-6);
        }
        // Carried over to the alignment itself, a chainage stays put.
        double offset = -1, chainage = -1;
        ASSERT_TRUE(ProjectChainToAnotherAligment(c, elements, elements, offset, chainage));
        EXPECT_NEAR(chainage, c, kRoundedTol);
        EXPECT_NEAR(offset, 0, kRoundedTol);
    }
}

INSTANTIATE_TEST_SUITE_P(Alignments, FixtureTest, ::testing::ValuesIn(test::StandardFixtures()));

// Lines and arcs have exact parallels: a chainage of the axis lands on the
// parallel at the matching chainage, d to the left of it, and back.
TEST(ParallelAlignment, ChainageOnAnotherAlignmentGivesTheOffset) {
    const double lengths[] = {80, 120, 60, 150, 70, 400, 50};
    const double radii[] = {0, 300, 0, -450, 0, 250, 0};
    for (double d : {3.5, -4.25}) {
        // Along an arc the parallel's chainage grows by (R - d) / R (a right
        // turn's centre is on the right).
        std::vector<double> scales;
        FixtureLayout axis{"axis", 500, 500000, 4500000, 5.9, {}};
        const FixturePose start = test::FixtureOffset({axis.X0, axis.Y0, axis.Azimuth0}, d);
        FixtureLayout parallel{"parallel", 500, start.X, start.Y, 5.9, {}};
        for (int k = 0; k < 7; ++k) {
            scales.push_back(radii[k] == 0 ? 1 : (radii[k] - d) / radii[k]);
            axis.Segments.push_back({lengths[k], radii[k], radii[k]});
            parallel.Segments.push_back(
                {lengths[k] * scales[k], radii[k] * scales[k], radii[k] * scales[k]});
        }
        const HzAlignment from = test::BuildFixtureAlignment(axis);
        const HzAlignment to = test::BuildFixtureAlignment(parallel);
        double axisStart = 500;
        double parallelStart = 500;
        for (int k = 0; k < 7; ++k) {
            for (double s = 0.25; s < lengths[k]; s += 9.1) {
                SCOPED_TRACE(testing::Message() << d << " " << axisStart + s);
                double offset = 0, chainage = 0;
                ASSERT_TRUE(
                    ProjectChainToAnotherAligment(axisStart + s, from, to, offset, chainage));
                EXPECT_NEAR(offset, -d, kRoundedTol);
                EXPECT_NEAR(chainage, parallelStart + s * scales[k], kRoundedTol);
                ASSERT_TRUE(ProjectChainToAnotherAligment(parallelStart + s * scales[k], to, from,
                                                          offset, chainage));
                EXPECT_NEAR(offset, d, kRoundedTol);
                EXPECT_NEAR(chainage, axisStart + s, kRoundedTol);
            }
            axisStart += lengths[k];
            parallelStart += lengths[k] * scales[k];
        }
    }
}

} // namespace
} // namespace vialto
