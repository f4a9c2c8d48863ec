// Angle and point helpers, arcs, figure points, cubic parabolas, the element
// lookup and the failures of the point at a chainage and of the projection.
#include "Error.h"
#include "HzGeometry.h"
#include "TestSupport.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace vialto {
namespace {

const double kTruePi = std::acos(-1.0);

TEST(Angles, Normalisers) {
    struct Case {
        double in, once, full;
    };
    for (const Case &c : {
             Case{-0.5, -0.5 + 6.28318530717958, -0.5 + 6.28318530717959},
             Case{7.0, 7.0 - 6.28318530717958, 7.0 - 6.28318530717959},
             Case{-7.0, -7.0 + 6.28318530717958, -7.0 + 2 * 6.28318530717959},
             Case{6.28318530717959, 6.28318530717959 - 6.28318530717958, 6.28318530717959},
             Case{3.0, 3.0, 3.0},
             Case{20.0, 20.0 - 6.28318530717958, 20.0 - 3 * 6.28318530717959},
         }) {
        double once = c.in;
        NormalizeAngleOnce(once);
        EXPECT_DOUBLE_EQ(once, c.once) << c.in;
        EXPECT_NEAR(NormalizeAngle(c.in), c.full, 1e-12) << c.in;
    }
    // Huge and non-finite angles end at once.
    EXPECT_NEAR(NormalizeAngle(1e12), std::fmod(1e12, 6.28318530717959), 1e-3);
    EXPECT_TRUE(std::isnan(NormalizeAngle(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_TRUE(std::isinf(NormalizeAngle(std::numeric_limits<double>::infinity())));
}

TEST(Angles, AngleFromToDeflectionArcSin) {
    EXPECT_NEAR(AngleFromTo(0.5, 1.0), 0.5, 1e-15);
    EXPECT_NEAR(AngleFromTo(6.0, 0.2), 0.2 + 6.28318530717959 - 6.0, 1e-15);
    EXPECT_EQ(AngleFromTo(1.0, 1.0), 0); // a full turn is none
    EXPECT_NEAR(Deflection(0.5, 0.8), 0.3, 1e-15);
    EXPECT_NEAR(Deflection(0.8, 0.5), 0.3, 1e-15);
    EXPECT_NEAR(Deflection(6.2, 0.1), 0.1 - 6.2 + 6.28318530717958, 1e-12);
    for (double x : {-0.99, -0.5, 0.0, 0.3, 0.999}) {
        EXPECT_NEAR(ArcSin(x), std::asin(x), 1e-12) << x;
    }
    EXPECT_EQ(ArcSin(1.0), kHalfPi);
    EXPECT_EQ(ArcSin(1.00000005), kHalfPi);
    EXPECT_EQ(ArcSin(-1.0), kThreeHalfPi);
    EXPECT_EQ(ArcSin(1.5), kThreeHalfPi);
}

TEST(Points, AzimuthInEveryQuadrant) {
    const HzPoint o{500000, 4500000, 0, 0, 0};
    struct Case {
        double dx, dy, expected;
    };
    for (const Case &c :
         {Case{0, 10, 0}, Case{10, 10, kTruePi / 4}, Case{10, 0, kHalfPi},
          Case{10, -10, 3 * kTruePi / 4}, Case{0, -10, kPi}, Case{-10, -10, 5 * kTruePi / 4},
          Case{-10, 0, kThreeHalfPi}, Case{-10, 10, 7 * kTruePi / 4}, Case{0, 0, 0}}) {
        const HzPoint p{o.X + c.dx, o.Y + c.dy, 0, 0, 0};
        EXPECT_NEAR(Azimuth(o, p), c.expected, 1e-12) << c.dx << " " << c.dy;
        const HzPoint back = PointAtDistance(o, Azimuth(o, p), Distance(o, p));
        EXPECT_NEAR(back.X, p.X, 1e-8);
        EXPECT_NEAR(back.Y, p.Y, 1e-8);
    }
}

TEST(Points, MirrorAboutALine) {
    const HzPoint line{100, 200, 0, 0, 0};
    const HzPoint p{103, 204, 0, 0, 0.3};
    // The line runs north-east: (3, 4) relative becomes (4, 3).
    const HzPoint m = MirrorPointAboutLine(p, line, kTruePi / 4);
    EXPECT_NEAR(m.X, 104, 1e-12);
    EXPECT_NEAR(m.Y, 203, 1e-12);
    EXPECT_NEAR(m.Azimuth, kTruePi / 2 - 0.3, 1e-12);
}

TEST(TangentLengths, CircularVerticalCurve) {
    struct Case {
        double g1, g2, R;
    };
    for (const Case &c : {Case{0.02, -0.015, -8000}, Case{-0.03, 0.01, 5000},
                          Case{0.0, 0.04, 12000}, Case{0.05, 0.05, 3000}}) {
        double t1 = -1;
        double t2 = -1;
        const double delta = TangentLengths(c.g1, c.g2, c.R, t1, t2);
        const double a1 = std::atan(c.g1);
        const double a2 = std::atan(c.g2);
        const double expectedDelta = std::fabs(a2 - a1);
        const double T = std::fabs(c.R) * std::tan(expectedDelta / 2);
        EXPECT_NEAR(delta, expectedDelta, 1e-12);
        EXPECT_NEAR(t1, T * std::cos(a1), 1e-9);
        EXPECT_NEAR(t2, T * std::cos(a2), 1e-9);
    }
}

HzElement Element(double radius, double azimuth, double length = 100) {
    HzElement e;
    e.Chainage = 1000;
    e.X = 500000;
    e.Y = 4500000;
    e.Azimuth = azimuth;
    e.Radius = radius;
    e.Length = length;
    return e;
}

// Arc points against the circle: centre at |R| square to the start tangent,
// the point at the swept angle round it.
TEST(GetCoordInArc, PointsOnTheCircle) {
    for (double R : {250.0, -250.0, 1200.0}) {
        for (double a : {0.0, 1.0, 5.9}) {
            const HzElement e = Element(R, a);
            const double r = std::fabs(R);
            const double turn = R > 0 ? 1 : -1;
            const double cx = e.X + r * std::sin(a + turn * kTruePi / 2);
            const double cy = e.Y + r * std::cos(a + turn * kTruePi / 2);
            for (double s : {0.0, 10.0, kTruePi * r / 2, kPi * r, 1.5 * kTruePi * r}) {
                const double theta = s / r;
                const double back = a + turn * kTruePi / 2 + kTruePi; // centre -> start
                const double ex = cx + r * std::sin(back + turn * theta);
                const double ey = cy + r * std::cos(back + turn * theta);
                const HzPoint p = GetCoordInArc(e, s);
                EXPECT_NEAR(p.X, ex, 1e-8) << R << " " << a << " " << s;
                EXPECT_NEAR(p.Y, ey, 1e-8) << R << " " << a << " " << s;
                EXPECT_NEAR(std::remainder(p.Azimuth - (a + turn * theta), 2 * kTruePi), 0, 1e-12);
            }
            // At or beyond a full circle: cut 1 mm short of it.
            const HzPoint full = GetCoordInArc(e, 2 * kTwoPi * r);
            const HzPoint cut = GetCoordInArc(e, kTwoPi * r - 0.001);
            EXPECT_EQ(full.X, cut.X);
            EXPECT_EQ(full.Y, cut.Y);
            EXPECT_NEAR(Distance(full, ElementStartPoint(e)), 0.001, 1e-6);
        }
    }
}

TEST(GetArcCenter, ShortAndLongArcsBothWays) {
    for (double R : {300.0, -300.0}) {
        for (double L : {50.0, 500.0, 1500.0}) { // less and more than half a circle
            const HzElement e = Element(R, 2.0, L);
            const HzPoint end = GetCoordInArc(e, L);
            const HzPoint c = GetArcCenter(ElementStartPoint(e), end, R, L);
            const double turn = R > 0 ? 1 : -1;
            EXPECT_NEAR(c.X, e.X + 300 * std::sin(2.0 + turn * kTruePi / 2), 1e-6) << R << L;
            EXPECT_NEAR(c.Y, e.Y + 300 * std::cos(2.0 + turn * kTruePi / 2), 1e-6) << R << L;
        }
    }
    const HzPoint start{1, 2, 0, 0, 0};
    const HzPoint c = GetArcCenter(start, HzPoint{5, 5, 0, 0, 0}, 0, 10);
    EXPECT_EQ(c.X, 1);
    EXPECT_EQ(c.Y, 2);
}

// The PI against the intersection of the two tangent lines.
TEST(GetPI, IntersectionOfTheTangents) {
    struct Case {
        double a0, turn, chord, share;
    };
    for (const Case &c :
         {Case{0.3, 0.4, 120, 0.5}, Case{0.3, -0.4, 120, 0.5}, Case{6.1, 0.5, 80, 0.5},
          Case{0.3, 0.4, 120, 0.3}, Case{5.0, -0.9, 200, 0.7}, Case{0.1, -0.6, 80, 0.5},
          Case{2.0, 1.2, 300, 0.5}}) {
        const HzPoint start{500000, 4500000, 0, 0, c.a0};
        // The chord takes a share of the turn (a half for a symmetric curve).
        HzPoint end = PointAtDistance(start, c.a0 + c.turn * c.share, c.chord);
        end.Azimuth = NormalizeAngle(c.a0 + c.turn);
        const HzPoint pi = GetPI(start, end);
        // Solve start + s*u0 = end - t*u1.
        const double u0x = std::sin(c.a0), u0y = std::cos(c.a0);
        const double u1x = std::sin(end.Azimuth), u1y = std::cos(end.Azimuth);
        const double bx = end.X - start.X, by = end.Y - start.Y;
        const double det = u0x * u1y - u0y * u1x;
        const double s = (bx * u1y - by * u1x) / det;
        EXPECT_NEAR(pi.X, start.X + s * u0x, 1e-6) << c.a0 << " " << c.turn;
        EXPECT_NEAR(pi.Y, start.Y + s * u0y, 1e-6) << c.a0 << " " << c.turn;
        if (c.share == 0.5) {
            EXPECT_NEAR(s, c.chord / 2 / std::cos(c.turn / 2), 1e-6);
        }
    }
}

// Cubic parabola y = x^3 / (6 R L) (1 + 3 L^2 / (64 R^2)), checked by hand.
TEST(CubicParabola, EndPointAndInnerPoints) {
    const double L = 90;
    const double R = 400;
    const double k = 1 + 3 * L * L / (64 * R * R);
    HzElement e = Element(R, 0.0, L); // heading north: x is +Y, y is +X
    e.Parameter = -L;
    HzElement next = Element(R, 0.0, 50);
    next.X = 500010;
    next.Y = 4500100;
    next.Azimuth = kHalfPi; // heading east: x is +X, y is -Y
    const HzPoint fromLine = GetCoordInCubicParabola(L, true, e, next);
    EXPECT_NEAR(fromLine.X, 500000 + L * L * L / (6 * R * L) * k, 1e-9);
    EXPECT_NEAR(fromLine.Y, 4500000 + L, 1e-9);
    const HzPoint inner = GetCoordInCubicParabolaAt(L, true, e, next, 30);
    EXPECT_NEAR(inner.X, 500000 + 30.0 * 30 * 30 / (6 * R * L) * k, 1e-9);
    EXPECT_NEAR(inner.Y, 4500030, 1e-9);
    const HzPoint atEnd = GetCoordInCubicParabolaAt(L, true, e, next, L);
    EXPECT_NEAR(atEnd.X, fromLine.X, 1e-9);
    EXPECT_NEAR(atEnd.Y, fromLine.Y, 1e-9);
    EXPECT_NEAR(atEnd.Azimuth, fromLine.Azimuth, 1e-12);
    // Not after a line: laid off from the following element at L - Length.
    e.Length = 70;
    const HzPoint other = GetCoordInCubicParabola(L, false, e, next);
    EXPECT_NEAR(other.X, 500010 + 20, 1e-9);
    EXPECT_NEAR(other.Y, 4500100 - 20.0 * 20 * 20 / (6 * R * L) * k, 1e-9);
    // Inside, it runs into the following start, on the inside of its tangent.
    const HzPoint before = GetCoordInCubicParabolaAt(L, false, e, next, 40);
    EXPECT_NEAR(before.X, 500010 - 30, 1e-9);
    EXPECT_NEAR(before.Y, 4500100 - 30.0 * 30 * 30 / (6 * R * L) * k, 1e-9);
    const HzPoint into = GetCoordInCubicParabolaAt(L, false, e, next, 70);
    EXPECT_NEAR(into.X, 500010, 1e-9);
    EXPECT_NEAR(into.Y, 4500100, 1e-9);
    EXPECT_NEAR(into.Azimuth, kHalfPi, 1e-12);
}

HzAlignment Straights(std::initializer_list<double> chainages) {
    HzAlignment elements(1);
    for (double c : chainages) {
        HzElement e = Element(0, kHalfPi, 10);
        e.Chainage = c;
        e.X = 500000 + (c - *chainages.begin());
        elements.push_back(e);
    }
    return elements;
}

TEST(GetHzElementIndex, ScanRule) {
    const HzAlignment elements = Straights({100, 110, 120, 130});
    struct Case {
        double chainage;
        long expected;
    };
    for (const Case &c : {Case{100, 1}, Case{105, 1}, Case{110, 2}, Case{119.999, 2}, Case{130, 4},
                          Case{500, 4}, Case{50, 1}}) {
        EXPECT_EQ(GetHzElementIndex(c.chainage, elements), c.expected) << c.chainage;
    }
    EXPECT_EQ(GetHzElementIndex(5, HzAlignment(1)), 0);
    EXPECT_EQ(GetHzElementIndex(5, HzAlignment()), 0);
}

TEST(GetCoordFromHzAligment, FailuresLeaveThePointAlone) {
    test::RecordingUi ui;
    const HzAlignment elements = Straights({100, 110, 120});
    HzPoint p{1, 2, 0, 0, 3};
    EXPECT_FALSE(GetCoordFromHzAligment(HzAlignment(), 100, p));
    EXPECT_FALSE(GetCoordFromHzAligment(HzAlignment(1), 100, p));
    EXPECT_FALSE(GetCoordFromHzAligment(elements, 99.999, p));
    EXPECT_FALSE(GetCoordFromHzAligment(elements, std::numeric_limits<double>::quiet_NaN(), p));
    // A cubic parabola cannot be evaluated first or last.
    HzAlignment cubic = elements;
    cubic[1].Radius = 300;
    cubic[1].Parameter = -60;
    EXPECT_FALSE(GetCoordFromHzAligment(cubic, 105, p));
    cubic[3] = cubic[1];
    cubic[3].Chainage = 120;
    EXPECT_FALSE(GetCoordFromHzAligment(cubic, 125, p));
    // Not a number in the parameter: no kind.
    HzAlignment unknown = elements;
    unknown[2].Radius = 300;
    unknown[2].Parameter = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(GetCoordFromHzAligment(unknown, 115, p));
    EXPECT_EQ(p.X, 1);
    EXPECT_EQ(p.Azimuth, 3);
    EXPECT_TRUE(ui.Messages.empty());
    // A transition that cannot be laid out is reported.
    HzAlignment broken = elements;
    broken[2].Radius = 300; // ends on the straight after it, with no length
    broken[2].Parameter = 150;
    broken[2].Length = 0;
    EXPECT_FALSE(GetCoordFromHzAligment(broken, 110, p));
    ASSERT_EQ(ui.Messages.size(), 1u);
    EXPECT_NE(ui.Messages[0].Text.find("GetCoordFromHzAligment"), std::string::npos);
    // A start chainage is evaluated on its element with s = 0.
    ASSERT_TRUE(GetCoordFromHzAligment(elements, 110, p));
    EXPECT_EQ(p.X, elements[2].X);
    EXPECT_EQ(p.Y, elements[2].Y);
}

TEST(ProjectPointToAligment, OutsideEveryCandidate) {
    HzAlignment elements = Straights({0, 10});
    elements[1].Length = 1;
    elements[2].Length = 1;
    // Equally far from both starts: the later element is the nearest.
    const HzPoint p{500005, 4500050, 0, 0, 0};
    double chainage = -1;
    double offset = -1;
    double azimuth = -1;
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, 2));
    EXPECT_EQ(chainage, 10);
    EXPECT_NEAR(offset, std::hypot(5.0, 50.0), 0.0005);
    EXPECT_EQ(azimuth, kHalfPi);
    // Restricted to the first element, that one is used.
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, 1));
    EXPECT_EQ(chainage, 0);
}

TEST(ProjectPointToAligment, NearerOffsetWinsBetweenCandidates) {
    // Two straights meeting at an angle: a point inside both takes the one it
    // is closer to.
    HzAlignment elements(1);
    HzElement a = Element(0, 0.0, 100);
    a.Chainage = 0;
    HzElement b = Element(0, kHalfPi, 100);
    b.Chainage = 100;
    b.Y = a.Y + 100;
    elements.push_back(a);
    elements.push_back(b);
    const HzPoint p{500003, 4500098, 0, 0, 0}; // 3 right of a, 2 right of b
    double chainage = 0;
    double offset = 0;
    double azimuth = 0;
    ASSERT_TRUE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, 2));
    EXPECT_EQ(chainage, 103);
    EXPECT_EQ(offset, 2);
    EXPECT_EQ(azimuth, kHalfPi);
}

TEST(ProjectPointToAligment, BadArgumentsFail) {
    test::RecordingUi ui;
    const HzAlignment elements = Straights({0, 10});
    const HzPoint p{500001, 4500001, 0, 0, 0};
    double chainage = 7;
    double offset = 7;
    double azimuth = 7;
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, p, HzAlignment(1), 1, 0));
    EXPECT_TRUE(ui.Messages.empty());
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, 3));
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 0, 2));
    EXPECT_EQ(ui.Messages.size(), 2u);
    const HzPoint nan{std::numeric_limits<double>::quiet_NaN(), 0, 0, 0, 0};
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, nan, elements, 1, 2));
    EXPECT_EQ(chainage, 7);
    EXPECT_EQ(offset, 7);
    // Carrying a chainage over: both outputs start at 0.
    EXPECT_FALSE(ProjectChainToAnotherAligment(-5, elements, elements, offset, chainage));
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(chainage, 0);
    offset = chainage = 7;
    EXPECT_FALSE(ProjectChainToAnotherAligment(5, elements, HzAlignment(1), offset, chainage));
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(chainage, 0);
}

} // namespace
} // namespace vialto

namespace vialto {
namespace {

// Records full of extreme values and non-numbers: every routine comes back, with
// a finite point or a failure, and never hangs.
TEST(GarbageRecords, NothingHangsOrCrashes) {
    test::RecordingUi ui; // errors are reported, not thrown
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values{0,   0.001, -0.001, 1e-300, -1e-300, 1e300, -1e300,
                                     nan, inf,   -inf,   150,    -150,    3.5,   400};
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, values.size() - 1);
    for (int round = 0; round < 300; ++round) {
        HzAlignment elements(1);
        for (int k = 0; k < 4; ++k) {
            HzElement e;
            e.Chainage = k * 50.0 + (round % 7 == 0 ? values[pick(random)] : 0);
            e.X = 500000 + values[pick(random)];
            e.Y = 4500000;
            e.Azimuth = values[pick(random)];
            e.Radius = values[pick(random)];
            e.Parameter = values[pick(random)];
            e.Length = values[pick(random)];
            elements.push_back(e);
        }
        for (double c : {0.0, 25.0, 75.0, 160.0, 1e9}) {
            HzPoint p;
            if (GetCoordFromHzAligment(elements, c, p)) {
                EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
            }
            double chainage = 0;
            double offset = 0;
            double azimuth = 0;
            const HzPoint q{500010, 4500020, 0, 0, 0};
            ProjectPointToAligment(chainage, offset, azimuth, q, elements, 1, 4);
            ProjectChainToAnotherAligment(c, elements, elements, offset, chainage);
        }
    }
}

} // namespace
} // namespace vialto
