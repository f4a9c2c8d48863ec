// Arcs, cubic parabolas, the failures of the point at a chainage, and
// garbage records.
#include "geometry/HzGeometry.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace vialto {
namespace {

const double kTruePi = std::acos(-1.0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// An element at chainage 1000 starting at (500000, 4500000).
HzElement Element(double radius, double azimuth, double length = 100) {
    return test::HzAt(1000, 500000, 4500000, azimuth, radius, 0, length);
}

// Arc points against the circle: centre at |R| square to the start tangent,
// the point at the swept angle round it (beyond half a circle too), and
// GetArcCenter finds that centre from the ends. At or beyond a full circle
// the arc is cut 1 mm short of it. Tolerances: the rounding of coordinates
// near 4.5e6 m (the centre, found from two points, 1e-6).
TEST(GetCoordInArc, PointsOnTheCircle) {
    for (double R : {250.0, -250.0, 1200.0}) {
        for (double a : {0.0, 1.0, 5.9}) {
            SCOPED_TRACE(testing::Message() << R << " " << a);
            const HzElement e = Element(R, a);
            const double r = std::fabs(R), turn = R > 0 ? 1 : -1;
            const double toCentre = a + turn * kTruePi / 2;
            const HzPoint centre{e.X + r * std::sin(toCentre), e.Y + r * std::cos(toCentre), 0, 0,
                                 0};
            for (double s : {10.0, kTruePi * r / 2, 1.5 * kTruePi * r}) {
                const double back = toCentre + kTruePi + turn * s / r; // centre -> point
                const HzPoint p = GetCoordInArc(e, s);
                EXPECT_NEAR(p.X, centre.X + r * std::sin(back), 1e-8) << s;
                EXPECT_NEAR(p.Y, centre.Y + r * std::cos(back), 1e-8) << s;
                EXPECT_NEAR(std::remainder(p.Azimuth - (a + turn * s / r), 2 * kTruePi), 0, 1e-12);
                EXPECT_LT(Distance(GetArcCenter(ElementStartPoint(e), p, R, s), centre), 1e-6) << s;
            }
            const HzPoint full = GetCoordInArc(e, 2 * kTwoPi * r);
            const HzPoint cut = GetCoordInArc(e, kTwoPi * r - 0.001);
            EXPECT_TRUE(full.X == cut.X && full.Y == cut.Y);
            EXPECT_NEAR(Distance(full, ElementStartPoint(e)), 0.001, 1e-6);
        }
    }
}

// Cubic parabola y = x^3 / (6 R L) (1 + 3 L^2 / (64 R^2)), worked on axes along
// the grid: after a line its origin is the element's start heading north (x is
// +Y, y is +X); otherwise it runs into the next start heading east (x is +X, y
// is -Y), x counted back from there.
TEST(CubicParabola, TangentOffsetFromItsOrigin) {
    const double L = 90;
    const double R = 400;
    const double k = 1 + 3 * L * L / (64 * R * R);
    const auto y = [&](double x) { return x * x * x / (6 * R * L) * k; };
    const auto slope = [&](double x) { return std::atan(x * x / (2 * R * L) * k); };
    HzElement e = test::HzAt(1000, 500000, 4500000, 0, R, -L, L);
    const HzElement next = test::HzAt(1000, 500010, 4500100, kHalfPi, R, 0, 50);
    struct Case {
        bool fromLine;
        double length, s, x, y, azimuth;
    };
    for (const Case &c : {Case{true, L, 30, 500000 + y(30), 4500030, slope(30)},
                          Case{true, L, L, 500000 + y(L), 4500000 + L, slope(L)},
                          Case{false, 70, 40, 500010 - 30, 4500100 - y(30), kHalfPi - slope(30)},
                          Case{false, 70, 70, 500010, 4500100, kHalfPi}}) {
        e.Length = c.length;
        const HzPoint p = GetCoordInCubicParabolaAt(L, c.fromLine, e, next, c.s);
        EXPECT_NEAR(p.X, c.x, 1e-9) << c.fromLine << " " << c.s;
        EXPECT_NEAR(p.Y, c.y, 1e-9) << c.fromLine << " " << c.s;
        EXPECT_NEAR(p.Azimuth, c.azimuth, 1e-12) << c.fromLine << " " << c.s;
    }
}

TEST(GetCoordFromHzAligment, FailuresLeaveThePointAlone) {
    test::RecordingUi ui;
    const HzAlignment elements = test::OneBased<HzElement>( // three straights east
        {test::HzAt(100, 500000, 4500000, kHalfPi, 0, 0, 10),
         test::HzAt(110, 500010, 4500000, kHalfPi, 0, 0, 10),
         test::HzAt(120, 500020, 4500000, kHalfPi, 0, 0, 10)});
    const auto transition = [&](std::size_t i, double A, double length) { // element i, R 300
        HzAlignment changed = elements;
        changed[i].Radius = 300;
        changed[i].Parameter = A;
        changed[i].Length = length;
        return changed;
    };
    HzPoint p{1, 2, 0, 0, 3};
    // Nothing there, before the start, not a number, a cubic parabola first (it
    // cannot be evaluated there), a parameter that is not a number (no kind).
    for (const auto &[alignment, chainage] : {std::pair{HzAlignment(), 100.0},
                                              {elements, 99.999},
                                              {elements, kNaN},
                                              {transition(1, -60, 10), 105.0},
                                              {transition(2, kNaN, 10), 115.0}})
        EXPECT_FALSE(GetCoordFromHzAligment(alignment, chainage, p)) << chainage;
    EXPECT_EQ(std::pair(p.X, p.Azimuth), std::pair(1.0, 3.0));
    EXPECT_TRUE(ui.Messages.empty());
    // A transition that cannot be laid out (ending on a straight with no
    // length) is reported.
    EXPECT_FALSE(GetCoordFromHzAligment(transition(2, 150, 0), 110, p));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_NE(ui.Messages[0].Text.find("GetCoordFromHzAligment"), std::string::npos);
}

// Records full of extreme values and non-numbers (starts among them): every
// routine comes back, with a finite point or a failure, never hangs, and the
// prepared alignment answers as the array.
TEST(GarbageRecords, NothingHangsOrCrashes) {
    test::RecordingUi ui; // errors are reported, not thrown
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> values{0, 0.001, -1e-300, 1e300, -1e300, kNaN, inf, -inf, 150, 400};
    std::mt19937 random(11); // its numbers are the same everywhere, unlike a distribution's
    const auto any = [&] { return values[random() % values.size()]; };
    for (int round = 0; round < 300; ++round) {
        HzAlignment elements(1);
        for (int k = 0; k < 4; ++k) {
            HzElement e = Element(any(), any(), any());
            e.Chainage = k * 50.0 + (round % 7 == 0 ? any() : 0);
            e.X += any();
            e.Y += k == 2 ? any() : 0;
            e.Parameter = any();
            elements.push_back(e);
        }
        const HzAlignmentIndex index(elements);
        for (double c : {0.0, 75.0, 1e9}) {
            HzPoint p, q;
            const bool found = GetCoordFromHzAligment(elements, c, p);
            EXPECT_EQ(GetCoordFromHzAligment(index, c, q), found);
            EXPECT_TRUE(!found || (std::isfinite(p.X) && std::isfinite(p.Y)));
            double chainage = 0, offset = 0, azimuth = 0, c2 = 0, o2 = 0, a2 = 0;
            const HzPoint near{500010 + c, 4500020, 0, 0, 0};
            EXPECT_EQ(ProjectPointToAligment(chainage, offset, azimuth, near, elements, 1, 4),
                      ProjectPointToAligment(c2, o2, a2, near, index));
            ProjectChainToAnotherAligment(c, elements, elements, offset, chainage);
        }
    }
}

} // namespace
} // namespace vialto
