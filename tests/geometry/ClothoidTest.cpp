// The unit clothoid series, the transition helpers and the foot-point solver.
#include "AlignmentFixtures.h"
#include "Error.h"
#include "HzGeometry.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

// Composite Simpson over the unit clothoid's tangent: x = int cos(s^2/2),
// y = int sin(s^2/2) from 0 to l.
void SimpsonUnitClothoid(double l, double &x, double &y) {
    const int n = 2000; // even
    const double h = l / n;
    x = 0;
    y = 0;
    for (int k = 0; k <= n; ++k) {
        const double s = k * h;
        const double w = (k == 0 || k == n) ? 1 : (k % 2 == 1 ? 4 : 2);
        x += w * std::cos(s * s / 2);
        y += w * std::sin(s * s / 2);
    }
    x *= h / 3;
    y *= h / 3;
}

TEST(ClothoidUnitCoords, MatchesNumericalIntegration) {
    for (double l : {0.0, 1e-4, 0.01, 0.3, 1.0, 1.5, kSqrtPi, 2.5, 3.2}) {
        double x = 0;
        double y = 0;
        ClothoidUnitCoords(l * l / 2, x, y);
        double ex = 0;
        double ey = 0;
        SimpsonUnitClothoid(l, ex, ey);
        EXPECT_NEAR(x, ex, 1e-10) << l;
        EXPECT_NEAR(y, ey, 1e-10) << l;
    }
}

TEST(SpiralCase, ZeroCurvatureEndsAndGrowth) {
    struct Case {
        double r1, r2;
        int expected;
    };
    for (const Case &c : {Case{0, 300, 1}, Case{0.001, 300, 1}, Case{-0.001, -300, 1},
                          Case{300, 0, 2}, Case{-300, -0.001, 2}, Case{600, 250, 4},
                          Case{250, 250, 4}, Case{-250, -600, 3}, Case{0, 0, 1}}) {
        EXPECT_EQ(SpiralCase(c.r1, c.r2), c.expected) << c.r1 << " " << c.r2;
    }
    HzElement arcLike;
    arcLike.Radius = 300;
    EXPECT_EQ(SpiralCaseOfElement(arcLike, 0), 5);
    arcLike.Parameter = 150;
    EXPECT_EQ(SpiralCaseOfElement(arcLike, 0), 2);
}

HzElement Transition(double radius, double A, double length, double azimuth = 1.0) {
    HzElement e;
    e.Chainage = 100;
    e.X = 500000;
    e.Y = 4500000;
    e.Azimuth = azimuth;
    e.Radius = radius;
    e.Parameter = A;
    e.Length = length;
    return e;
}

TEST(OtherRadius, FromTheNeighbours) {
    // A = sqrt(80 * 400): from R400 to a straight turns by 0.1 rad.
    const double A = std::sqrt(80.0 * 400);
    const HzElement leaving = Transition(400, A, 80, 1.0);
    EXPECT_EQ(OtherRadius(leaving, 0, 1.1, true), 0);
    // Starting at zero curvature: A^2 / length, signed by the turn.
    const HzElement entering = Transition(-0.001, A, 80, 1.0);
    EXPECT_NEAR(OtherRadius(entering, -400, 0.9, true), -400, 1e-9);
    // Egg from 600 to 250 (A^2 = 70 / (1/250 - 1/600)): the third candidate.
    const double eggA = std::sqrt(70 / (1 / 250.0 - 1 / 600.0));
    const double eggTurn = 70 * (1 / 600.0 + 1 / 250.0) / 2;
    EXPECT_NEAR(OtherRadius(Transition(600, eggA, 70, 2.0), 250, 2.0 + eggTurn, false), 250, 1e-12);
    EXPECT_NEAR(OtherRadius(Transition(-600, eggA, 70, 2.0), -250, 2.0 - eggTurn, false), -250,
                1e-12);
}

TEST(OtherRadius, FromTheElementAlone) {
    const double A = 200;
    struct Case {
        double radius, length;
        bool fromEnd;
        double expected;
    };
    for (const Case &c : {
             Case{400, 0, true, 400},               // no length: the radius itself
             Case{0.001, 0, true, 0},               // ... the marker means infinite
             Case{-0.001, 80, true, -500},          // A^2 / length, signed as R
             Case{400, 100, true, 0},               // L = 100, nothing left: infinite
             Case{400, 99.99, true, 0},             // below 0.02 left: infinite
             Case{400, 99.97, true, 40000 / 0.03},  // 0.03 left
             Case{400, 50, true, 800},              // L - length = 50
             Case{-400, 50, false, -40000 / 150.0}, // L + length = 150
         }) {
        EXPECT_NEAR(
            OtherRadius(Transition(c.radius, A, c.length), kNullValue, kNullValue, c.fromEnd),
            c.expected, 1e-6)
            << c.radius << " " << c.length;
    }
    // One neighbour value alone is not enough for the deflection rule.
    EXPECT_EQ(OtherRadius(Transition(400, A, 100), 0, kNullValue, true), 0);
}

// The radius an importer stores for each transition of a fixture, from the
// neighbouring radii and the turn, must be the one the fixture was built with.
TEST(SpiralRadius, ImporterRadiiMatchTheFixtures) {
    for (const test::FixtureLayout &layout : test::StandardFixtures()) {
        const HzAlignment elements = test::BuildFixtureAlignment(layout);
        const auto poses = test::FixtureSegmentStarts(layout);
        HzAlignment imported = elements;
        for (std::size_t i = 1; i < imported.size(); ++i) {
            HzElement &e = imported[i];
            if (e.Parameter == 0) {
                continue;
            }
            const double azOut = poses[i].Azimuth; // the next start, or the end pose
            const double R1 = i > 1 ? imported[i - 1].Radius : 0;
            const double R2 = layout.Segments[i - 1].EndRadius; // listed at the element's end
            e.Radius = SpiralRadius(e.Azimuth, azOut, R1, R2, e.Parameter);
            EXPECT_EQ(e.Radius, elements[i].Radius) << layout.Name << " element " << i;
        }
    }
}

TEST(SpiralRadius, ReverseCurveLeavesTheInflectionAtZeroCurvature) {
    // Second transition of a symmetric S-curve: R500 before, -R500 after, the
    // turn equal to the tangent angle of either radius.
    const double A = std::sqrt(60.0 * 500);
    const double turn = 60.0 / (2 * 500);
    EXPECT_EQ(SpiralRadius(2.0, 2.0 - turn, 500, -500, A), -0.001);
    // The same radii with equal signs tie and the first candidate wins.
    EXPECT_EQ(SpiralRadius(2.0, 2.0 - turn, -500, -500, A), -500);
    // Asymmetric: the signs change nothing, the turn alone already decides.
    const double A2 = std::sqrt(75.0 * 300);
    const double turn2 = 75.0 / (2 * 300);
    EXPECT_EQ(SpiralRadius(3.0, 3.0 + turn2, -450, 300, A2), 0.001);
    EXPECT_EQ(SpiralRadius(3.0, 3.0 + turn2, 450, 300, A2), 0.001);
    // Leaving an arc to a straight, and an egg: the start radius, signed.
    const double A3 = std::sqrt(80.0 * 400);
    EXPECT_EQ(SpiralRadius(1.0, 1.0 - 0.1, -400, 0, A3), -400);
    const double eggA = std::sqrt(70 / (1 / 250.0 - 1 / 600.0));
    const double eggTurn = 70 * (1 / 600.0 + 1 / 250.0) / 2;
    EXPECT_EQ(SpiralRadius(6.2, 6.2 + eggTurn - kTwoPi, 600, 250, eggA), 600);
}

// The symmetric S-curve read the way an importer reads it comes out right.
TEST(SpiralRadius, SymmetricReverseCurveEvaluatesCorrectly) {
    const test::FixtureLayout layout = test::StandardFixtures()[3];
    ASSERT_EQ(layout.Name, "symmetric S-curve");
    HzAlignment imported = test::BuildFixtureAlignment(layout);
    const auto poses = test::FixtureSegmentStarts(layout);
    for (std::size_t i = 1; i < imported.size(); ++i) {
        HzElement &e = imported[i];
        if (e.Parameter != 0) {
            e.Radius = SpiralRadius(e.Azimuth, poses[i].Azimuth, imported[i - 1].Radius,
                                    layout.Segments[i - 1].EndRadius, e.Parameter);
        }
    }
    for (double c = 0; c <= test::FixtureEndChainage(layout); c += 5) {
        HzPoint p;
        ASSERT_TRUE(GetCoordFromHzAligment(imported, c, p));
        const test::FixturePose expected = test::FixturePoseAt(layout, c);
        EXPECT_NEAR(p.X, expected.X, 1e-6) << c;
        EXPECT_NEAR(p.Y, expected.Y, 1e-6) << c;
    }
}

TEST(SpiralAzimuth, FollowsTheTangentInsideEveryTransition) {
    for (const test::FixtureLayout &layout : test::StandardFixtures()) {
        const HzAlignment elements = test::BuildFixtureAlignment(layout);
        const long n = ElementCount(elements);
        for (long i = 1; i <= n; ++i) {
            const HzElement &e = elements[i];
            if (GetElementType(e) != HzElementType::Clothoid) {
                continue;
            }
            const double far =
                i < n ? OtherRadius(e, elements[i + 1].Radius, elements[i + 1].Azimuth, true)
                      : OtherRadius(e, kNullValue, kNullValue, true);
            for (double s : {0.0, 0.0005, 0.25, e.Length / 3, e.Length}) {
                const double expected =
                    s < 0.001 ? e.Azimuth : test::FixturePoseAt(layout, e.Chainage + s).Azimuth;
                EXPECT_NEAR(std::remainder(SpiralAzimuth(s, e, far) - expected, 2 * kPi), 0, 1e-9)
                    << layout.Name << " element " << i << " s " << s;
            }
        }
    }
}

TEST(GetCoordInClothoid, RaisesForImpossibleTransitions) {
    // No parameter: not a clothoid.
    EXPECT_THROW(GetCoordInClothoid(Transition(300, 0, 50), 10, kNullValue, kNullValue),
                 VialtoError);
    // Ending at zero curvature with no length.
    EXPECT_THROW(GetCoordInClothoid(Transition(300, 150, 0), 0, 0, 1.0), VialtoError);
    // Its end itself is the clothoid's origin: a point, not an error.
    const HzElement leaving = Transition(400, std::sqrt(80.0 * 400), 80);
    const HzPoint end = GetCoordInClothoid(leaving, 80, 0, 1.1);
    EXPECT_TRUE(std::isfinite(end.X) && std::isfinite(end.Y));
    EXPECT_NEAR(end.Azimuth, 1.1, 1e-12);
}

TEST(SolveUnitClothoidFoot, FeetOnTheNormals) {
    for (double l : {0.2, 0.8, 1.3}) {
        double x = 0;
        double y = 0;
        SimpsonUnitClothoid(l, x, y);
        // The left normal (towards the bend) at l is (-sin t, cos t).
        const double t = l * l / 2;
        for (double d : {-0.05, -0.001, 0.001, 0.05}) {
            double length = 0;
            double distance = 0;
            SolveUnitClothoidFoot(x - d * std::sin(t), y + d * std::cos(t), length, distance);
            EXPECT_NEAR(length, l, 1e-9) << l << " " << d;
            EXPECT_NEAR(distance, -d, 1e-9) << l << " " << d;
        }
    }
}

TEST(SolveUnitClothoidFoot, BehindAndAtTheOrigin) {
    double length = 0;
    double distance = 0;
    SolveUnitClothoidFoot(-0.01, 0.2, length, distance);
    EXPECT_EQ(length, 999999999);
    EXPECT_EQ(distance, 999999999);
    SolveUnitClothoidFoot(5e-7, 0.03, length, distance);
    EXPECT_EQ(length, 0);
    EXPECT_NEAR(distance, -0.03, 1e-12); // on the bend's side: negative
    SolveUnitClothoidFoot(5e-7, -0.03, length, distance);
    EXPECT_EQ(length, 0);
    EXPECT_NEAR(distance, 0.03, 1e-12);
}

// A point behind the origin of a transition that opens an alignment falls in
// no element: the nearest start and the distance to it come back.
TEST(ProjectPointToAligment, BehindAClothoidOrigin) {
    const test::FixtureLayout layout{"starts with a transition",    50, 500000, 4500000, 0.5,
                                     {{60, 0, 300}, {80, 300, 300}}};
    const HzAlignment elements = test::BuildFixtureAlignment(layout);
    HzPoint p;
    p.X = 500000 - 10 * std::sin(0.5) + 1;
    p.Y = 4500000 - 10 * std::cos(0.5);
    double chainage = -1;
    double offset = -1;
    double azimuth = -1;
    EXPECT_FALSE(ProjectPointToAligment(chainage, offset, azimuth, p, elements, 1, 2));
    EXPECT_EQ(chainage, 50);
    EXPECT_NEAR(offset, std::hypot(p.X - 500000, p.Y - 4500000), 0.0005);
    EXPECT_EQ(azimuth, 0.5);
}

} // namespace
} // namespace vialto
