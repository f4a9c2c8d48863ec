// Whole alignments against independently integrated geometry: the point at a
// chainage, continuity between elements, projection back to the chainage, and
// chainages carried over to a parallel alignment.
#include "AlignmentFixtures.h"
#include "HzGeometry.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

using test::FixtureLayout;
using test::FixturePose;

constexpr double kPointTol = 1e-6;            // metres: evaluators against integration
constexpr double kContinuityTol = 1e-4;       // metres: 0.1 mm between elements
constexpr double kRoundedTol = 0.0005 + 1e-9; // projection outputs are rounded to mm

double AngleGap(double a, double b) {
    const double d = std::fabs(std::remainder(a - b, 2 * std::acos(-1.0)));
    return d;
}

class FixtureTest : public ::testing::TestWithParam<FixtureLayout> {};

std::string FixtureName(const ::testing::TestParamInfo<FixtureLayout> &info) {
    std::string name;
    for (char c : info.param.Name) {
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
}

// Chainages every 2.9 m plus every element start, middle and end (just before).
std::vector<double> SampleChainages(const FixtureLayout &layout) {
    std::vector<double> chainages;
    const double end = test::FixtureEndChainage(layout);
    for (double c = layout.StartChainage; c < end; c += 2.9) {
        chainages.push_back(c);
    }
    double c = layout.StartChainage;
    for (const auto &seg : layout.Segments) {
        chainages.push_back(c);
        chainages.push_back(c + seg.Length / 2);
        chainages.push_back(c + seg.Length - 1e-3);
        c += seg.Length;
    }
    return chainages;
}

TEST_P(FixtureTest, PointAtChainageMatchesIntegratedGeometry) {
    const FixtureLayout &layout = GetParam();
    const HzAlignment elements = test::BuildFixtureAlignment(layout);
    for (double c : SampleChainages(layout)) {
        HzPoint p;
        ASSERT_TRUE(GetCoordFromHzAligment(elements, c, p)) << c;
        const FixturePose expected = test::FixturePoseAt(layout, c);
        EXPECT_NEAR(p.X, expected.X, kPointTol) << layout.Name << " at " << c;
        EXPECT_NEAR(p.Y, expected.Y, kPointTol) << layout.Name << " at " << c;
        EXPECT_LT(AngleGap(p.Azimuth, expected.Azimuth), 1e-9) << layout.Name << " at " << c;
        EXPECT_EQ(p.Z, 0);
        EXPECT_EQ(p.Flag, 0);
    }
}

TEST_P(FixtureTest, EveryElementEndsWhereTheNextStarts) {
    const FixtureLayout &layout = GetParam();
    const HzAlignment elements = test::BuildFixtureAlignment(layout);
    const long n = ElementCount(elements);
    for (long i = 1; i < n; ++i) {
        const HzElement &e = elements[i];
        const HzElement &next = elements[i + 1];
        HzPoint end;
        switch (GetElementType(e)) {
        case HzElementType::Line:
            end = GetCoordInLine(e, e.Length);
            break;
        case HzElementType::Arc:
            end = GetCoordInArc(e, e.Length);
            break;
        case HzElementType::Clothoid:
            end = GetCoordInClothoid(e, e.Length, next.Radius, next.Azimuth);
            EXPECT_LT(AngleGap(SpiralAzimuth(e.Length, e,
                                             OtherRadius(e, next.Radius, next.Azimuth, true)),
                               next.Azimuth),
                      1e-9)
                << layout.Name << " element " << i;
            break;
        default:
            FAIL() << "unexpected kind";
        }
        EXPECT_NEAR(end.X, next.X, kContinuityTol) << layout.Name << " element " << i;
        EXPECT_NEAR(end.Y, next.Y, kContinuityTol) << layout.Name << " element " << i;
        EXPECT_LT(AngleGap(end.Azimuth, next.Azimuth), 1e-8) << layout.Name << " element " << i;
    }
}

TEST_P(FixtureTest, PointsProjectBackToTheirChainageAndOffset) {
    const FixtureLayout &layout = GetParam();
    const HzAlignment elements = test::BuildFixtureAlignment(layout);
    const long n = ElementCount(elements);
    const double end = test::FixtureEndChainage(layout);
    for (double c : SampleChainages(layout)) {
        if (c > end - 0.01) {
            continue; // the last element's end is its last inside chainage
        }
        const FixturePose on = test::FixturePoseAt(layout, c);
        for (double d : {0.0, 0.004, -0.004, 0.35, -0.35, 3.5, -3.5, 12.0, -12.0}) {
            const FixturePose off = test::FixtureOffset(on, d);
            HzPoint p;
            p.X = off.X;
            p.Y = off.Y;
            double chainage = 0;
            double offset = 0;
            double azimuth = 0;
            ASSERT_TRUE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, n))
                << layout.Name << " at " << c << " offset " << d;
            EXPECT_NEAR(chainage, c, kRoundedTol) << layout.Name << " at " << c << " offset " << d;
            EXPECT_NEAR(offset, d, kRoundedTol) << layout.Name << " at " << c << " offset " << d;
            EXPECT_LT(AngleGap(azimuth, on.Azimuth), 1e-6)
                << layout.Name << " at " << c << " offset " << d;
        }
    }
}

TEST_P(FixtureTest, ChainageCarriedOverToItselfStaysPut) {
    const FixtureLayout &layout = GetParam();
    const HzAlignment elements = test::BuildFixtureAlignment(layout);
    for (double c = layout.StartChainage + 0.5; c < test::FixtureEndChainage(layout); c += 13.7) {
        double offset = -1;
        double chainage = -1;
        ASSERT_TRUE(ProjectChainToAnotherAligment(c, elements, elements, offset, chainage)) << c;
        EXPECT_NEAR(chainage, c, kRoundedTol);
        EXPECT_NEAR(offset, 0, kRoundedTol);
    }
}

INSTANTIATE_TEST_SUITE_P(Alignments, FixtureTest, ::testing::ValuesIn(test::StandardFixtures()),
                         FixtureName);

// Lines and arcs have exact parallels: a chainage of the axis lands on the
// parallel at the matching chainage, d to the left of it.
TEST(ParallelAlignment, ChainageOnAnotherAlignmentGivesTheOffset) {
    const FixtureLayout axis{"axis",
                             500,
                             500000,
                             4500000,
                             5.9,
                             {{80, 0, 0},
                              {120, 300, 300},
                              {60, 0, 0},
                              {150, -450, -450},
                              {70, 0, 0},
                              {400, 250, 250},
                              {50, 0, 0}}};
    for (double d : {3.5, -4.25}) {
        const FixtureLayout parallel = test::FixtureParallel(axis, d);
        const HzAlignment from = test::BuildFixtureAlignment(axis);
        const HzAlignment to = test::BuildFixtureAlignment(parallel);
        // Along each segment the parallel's chainage grows by (R - d) / R.
        double axisStart = axis.StartChainage;
        double parallelStart = parallel.StartChainage;
        for (std::size_t k = 0; k < axis.Segments.size(); ++k) {
            const auto &seg = axis.Segments[k];
            const double scale = parallel.Segments[k].Length / seg.Length;
            for (double s = 0.25; s < seg.Length; s += 9.1) {
                double offset = 0;
                double chainage = 0;
                ASSERT_TRUE(
                    ProjectChainToAnotherAligment(axisStart + s, from, to, offset, chainage))
                    << d << " " << axisStart + s;
                EXPECT_NEAR(offset, -d, kRoundedTol) << d << " " << axisStart + s;
                EXPECT_NEAR(chainage, parallelStart + s * scale, kRoundedTol)
                    << d << " " << axisStart + s;
                // And back.
                ASSERT_TRUE(ProjectChainToAnotherAligment(parallelStart + s * scale, to, from,
                                                          offset, chainage));
                EXPECT_NEAR(offset, d, kRoundedTol);
                EXPECT_NEAR(chainage, axisStart + s, kRoundedTol);
            }
            axisStart += seg.Length;
            parallelStart += parallel.Segments[k].Length;
        }
    }
}

// A chainage past the end is extrapolated along the last element, here a
// transition continued through its point of zero curvature.
TEST(PointAtChainage, ExtrapolatesTheLastElement) {
    for (const FixtureLayout &layout : test::StandardFixtures()) {
        const HzAlignment elements = test::BuildFixtureAlignment(layout);
        const double end = test::FixtureEndChainage(layout);
        for (double beyond : {0.0, 5.0, 30.0}) {
            HzPoint p;
            ASSERT_TRUE(GetCoordFromHzAligment(elements, end + beyond, p));
            const FixturePose expected = test::FixturePoseAt(layout, end + beyond);
            EXPECT_NEAR(p.X, expected.X, kPointTol) << layout.Name << " +" << beyond;
            EXPECT_NEAR(p.Y, expected.Y, kPointTol) << layout.Name << " +" << beyond;
        }
    }
}

} // namespace
} // namespace vialto
