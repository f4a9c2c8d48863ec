// Whole alignments against independently integrated geometry: the point at a
// chainage (and beyond the end), projection back to the chainage and offset,
// and chainages carried over to an alignment or to a parallel of it.
#include "geometry/HzGeometry.h"
#include "support/AlignmentFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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
// through its point of zero curvature); element ends meet the next starts. The
// prepared alignment (bisection) gives the array's very answers.
TEST_P(FixtureTest, PointAtChainageMatchesIntegratedGeometry) {
    const HzAlignmentIndex index(elements);
    std::vector<double> chainages = SampleChainages();
    chainages.insert(chainages.end(), {end, end + 5, end + 30});
    for (double c : chainages) {
        SCOPED_TRACE(c);
        HzPoint p, q;
        ASSERT_TRUE(GetCoordFromHzAligment(elements, c, p));
        ASSERT_TRUE(GetCoordFromHzAligment(index, c, q));
        EXPECT_TRUE(p.X == q.X && p.Y == q.Y && p.Azimuth == q.Azimuth);
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

// Points beside the alignment project back to their chainage and offset. The
// prepared alignment (starts sorted by easting) answers as the array for
// those, for points far off, at element starts and halfway between two starts
// (equal distances).
TEST_P(FixtureTest, PointsProjectBackToTheirChainageAndOffset) {
    const HzAlignmentIndex index(elements);
    const auto project = [&](const HzPoint &p, double &chainage, double &offset, double &azimuth) {
        double c = 0, o = 0, a = 0;
        const bool ok = ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1,
                                               ElementCount(elements));
        EXPECT_TRUE(ok == ProjectPointToAligment(c, o, a, p, index) && c == chainage &&
                    o == offset && a == azimuth)
            << "prepared at " << p.X << " " << p.Y;
        return ok;
    };
    double chainage = 0, offset = 0, azimuth = 0;
    std::vector<HzPoint> elsewhere = {{-1e6, 3e6, 0, 0, 0}};
    for (double c : SampleChainages()) {
        if (c > end - 0.01) {
            continue; // the last element's end is its last inside chainage
        }
        const FixturePose on = test::FixturePoseAt(layout, c);
        for (double d : {0.0, 0.004, -0.004, 0.35, -3.5, 12.0, -12.0}) {
            SCOPED_TRACE(testing::Message() << c << " offset " << d);
            const FixturePose off = test::FixtureOffset(on, d);
            ASSERT_TRUE(project({off.X, off.Y, 0, 0, 0}, chainage, offset, azimuth));
            EXPECT_NEAR(chainage, c, kRoundedTol);
            EXPECT_NEAR(offset, d, kRoundedTol);
            EXPECT_LT(AngleGap(azimuth, on.Azimuth), 1e-6);
        }
        for (double d : {-40.0, 900.0}) {
            const FixturePose off = test::FixtureOffset(on, d);
            elsewhere.push_back({off.X, off.Y, 0, 0, 0});
        }
    }
    for (std::size_t i = 1; i + 1 < elements.size(); ++i) {
        elsewhere.push_back({elements[i].X, elements[i].Y, 0, 0, 0});
        elsewhere.push_back({(elements[i].X + elements[i + 1].X) / 2,
                             (elements[i].Y + elements[i + 1].Y) / 2, 0, 0, 0});
    }
    for (const HzPoint &p : elsewhere)
        project(p, chainage, offset, azimuth);
}

INSTANTIATE_TEST_SUITE_P(Alignments, FixtureTest, ::testing::ValuesIn(test::StandardFixtures()));

// Starts at equal distances from the point: the later element, as the scan
// takes it; a start that is not a number leaves the search to the scan.
TEST(HzAlignmentIndex, NearestStartTiesAndStartsThatAreNotNumbers) {
    HzAlignment elements(1);
    for (const auto &[x, y] :
         {std::pair{0.0, 0.0}, {10.0, 0.0}, {0.0, 10.0}, {-10.0, 0.0}, {10.0, 0.0}, {0.0, -10.0}})
        elements.push_back(
            HzElement{static_cast<long>(elements.size()), 0, x, y, 0, 0, 0, 0, 0, {}});
    EXPECT_EQ(HzAlignmentIndex(elements).NearestStart({20, 0, 0, 0, 0}), 5); // 2 and 5 share it
    EXPECT_EQ(HzAlignmentIndex(elements).NearestStart({5, 5, 0, 0, 0}), 5);  // 1, 2, 3 and 5
    elements[3].Y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(HzAlignmentIndex(elements).NearestStart({0, 9, 0, 0, 0}), 1);
    EXPECT_EQ(HzAlignmentIndex(elements).NearestStart({20, 0, 0, 0, 0}), 5);
}

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
