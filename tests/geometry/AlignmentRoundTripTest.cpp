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
        for (double c = layout.StartChainage; c < end; c += 2.9)
            chainages.push_back(c);
        double c = layout.StartChainage;
        for (const auto &seg : layout.Segments) {
            chainages.insert(chainages.end(), {c, c + seg.Length / 2, c + seg.Length - 1e-3});
            c += seg.Length;
        }
        return chainages;
    }
};

// Beyond the end the last element is extrapolated (a transition continued
// through its point of zero curvature). The prepared alignment (bisection)
// gives the array's very answers.
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
        EXPECT_LT(std::hypot(p.X - expected.X, p.Y - expected.Y), kPointTol);
        EXPECT_LT(AngleGap(p.Azimuth, expected.Azimuth), 1e-9);
    }
}

// Points beside the alignment project back to their chainage and offset. The
// prepared alignment (starts sorted by easting) answers as the array for
// those and for points far off.
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
        if (c > end - 0.01)
            continue; // the last element's end is its last inside chainage
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
    for (const HzPoint &p : elsewhere)
        project(p, chainage, offset, azimuth);
}

INSTANTIATE_TEST_SUITE_P(Alignments, FixtureTest, ::testing::ValuesIn(test::StandardFixtures()));

// Lines and arcs have exact parallels: d to the left of an arc, radius and
// length scale by (R - d) / R (a right turn's centre is on the right). A
// chainage of either lands on the other at the matching chainage, d across.
TEST(ParallelAlignment, ChainageOnAnotherAlignmentGivesTheOffset) {
    const std::pair<double, double> pieces[] = {{80, 0}, {120, 300}, {60, 0}, {150, -450},
                                                {70, 0}, {400, 250}, {50, 0}}; // length, radius
    for (double d : {3.5, -4.25}) {
        FixtureLayout axis{"axis", 500, 500000, 4500000, 5.9, {}};
        const FixturePose start = test::FixtureOffset({axis.X0, axis.Y0, axis.Azimuth0}, d);
        FixtureLayout parallel{"parallel", 500, start.X, start.Y, 5.9, {}};
        std::vector<std::pair<double, double>> matching; // on the axis, on the parallel
        double a = 500, p = 500;
        for (const auto &[length, radius] : pieces) {
            const double scale = radius == 0 ? 1 : (radius - d) / radius;
            axis.Segments.push_back({length, radius, radius});
            parallel.Segments.push_back({length * scale, radius * scale, radius * scale});
            for (double s = 0.25; s < length; s += 9.1)
                matching.push_back({a + s, p + s * scale});
            a += length;
            p += length * scale;
        }
        const HzAlignment from = test::BuildFixtureAlignment(axis);
        const HzAlignment to = test::BuildFixtureAlignment(parallel);
        for (const auto &[onAxis, onParallel] : matching) {
            SCOPED_TRACE(testing::Message() << d << " " << onAxis);
            double offset = 0, chainage = 0;
            ASSERT_TRUE(ProjectChainToAnotherAligment(onAxis, from, to, offset, chainage));
            EXPECT_NEAR(offset, -d, kRoundedTol);
            EXPECT_NEAR(chainage, onParallel, kRoundedTol);
            ASSERT_TRUE(ProjectChainToAnotherAligment(onParallel, to, from, offset, chainage));
            EXPECT_NEAR(offset, d, kRoundedTol);
            EXPECT_NEAR(chainage, onAxis, kRoundedTol);
        }
    }
}

} // namespace
} // namespace vialto
