// The evaluation of what a document says, against closed forms derived here:
// the clothoid against the series of its Fresnel integrals, arcs against the
// circle, the cubic parabola against its ordinate, profiles against the
// tangent-offset formula and the circle.
#include "verify/DocumentGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace vialto;

namespace {

constexpr double kPi = std::numbers::pi;
// Gauss-Legendre of 8 points over 10 m pieces of a heading at most quadratic:
// the error is far below a nanometre; 1e-8 m leaves room for rounding over
// a few hundred metres.
constexpr double kExact = 1e-8;

// The Fresnel-type integrals of the clothoid of parameter A from its origin:
// C(u) = int_0^u cos(v^2 / 2A^2) dv and S(u) = int_0^u sin(v^2 / 2A^2) dv, by
// their power series (odd in u, so valid on both sides of the origin).
void FresnelSeries(double u, double a, double &c, double &s) {
    const double t = u * u / (2 * a * a);
    c = s = 0;
    double term = u; // u t^(2n) / (2n)!
    for (int n = 0; n < 40; ++n) {
        c += term / (4 * n + 1);
        const double next = term * t / (2 * n + 1); // u t^(2n+1) / (2n+1)!
        s += next / (4 * n + 3);
        term = -next * t / (2 * n + 2);
    }
}

struct ClothoidCase {
    const char *Name;
    double Length;
    double RadiusStart; // 0 = straight
    double RadiusEnd;
    bool Clockwise;
};

// The transition laid out from its closed form: curvature k0 + c s, heading
// beta + tau (c/2) u^2 with u = s + k0/c the length from the origin.
DocPose ClosedForm(const ClothoidCase &cs, double x0, double y0, double heading0, double s) {
    const double k0 = cs.RadiusStart > 0 ? 1 / cs.RadiusStart : 0;
    const double k1 = cs.RadiusEnd > 0 ? 1 / cs.RadiusEnd : 0;
    const double c = (k1 - k0) / cs.Length;
    const double tau = cs.Clockwise ? -1 : 1;
    const double u0 = k0 / c;
    const double beta = heading0 - tau * k0 * k0 / (2 * c);
    const double a = 1 / std::sqrt(std::abs(c));
    const double sigma = tau * c > 0 ? 1 : -1;
    double c0 = 0, s0 = 0, c1 = 0, s1 = 0;
    FresnelSeries(u0, a, c0, s0);
    FresnelSeries(u0 + s, a, c1, s1);
    const double dc = c1 - c0, ds = s1 - s0;
    const double heading = beta + tau * c / 2 * (u0 + s) * (u0 + s);
    return {x0 + std::cos(beta) * dc - sigma * std::sin(beta) * ds,
            y0 + std::sin(beta) * dc + sigma * std::cos(beta) * ds, std::cos(heading),
            std::sin(heading)};
}

class Clothoid : public ::testing::TestWithParam<ClothoidCase> {};

} // namespace

TEST_P(Clothoid, FollowsTheFresnelSeries) {
    const ClothoidCase cs = GetParam();
    const double x0 = 512345.678, y0 = 4501234.567, heading = 0.7;
    DocElement e;
    e.Kind = DocElementKind::Spiral;
    e.SpiralType = DocSpiralType::Clothoid;
    e.Start = {x0, y0};
    e.PI = {x0 + 30 * std::cos(heading), y0 + 30 * std::sin(heading)};
    e.Length = cs.Length;
    e.RadiusStart = cs.RadiusStart;
    e.RadiusEnd = cs.RadiusEnd;
    e.Clockwise = cs.Clockwise;
    std::vector<double> distances;
    for (double s = 0; s < cs.Length; s += cs.Length / 7)
        distances.push_back(s);
    distances.push_back(cs.Length);
    const std::vector<DocPose> poses = DocElementPoses(e, distances);
    for (std::size_t k = 0; k < distances.size(); ++k) {
        const DocPose expected = ClosedForm(cs, x0, y0, heading, distances[k]);
        // Stepping from point to point, and one point alone from the start.
        // The start tangent comes from PI - Start, coordinates of 5e5 m held
        // to about 1e-10 m.
        for (const DocPose &p : {poses[k], DocElementPose(e, distances[k])}) {
            EXPECT_NEAR(p.X, expected.X, kExact) << distances[k];
            EXPECT_NEAR(p.Y, expected.Y, kExact) << distances[k];
            EXPECT_NEAR(p.Dx, expected.Dx, 1e-10) << distances[k];
            EXPECT_NEAR(p.Dy, expected.Dy, 1e-10) << distances[k];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LengthsHandsAndCurvature, Clothoid,
                         ::testing::Values(ClothoidCase{"short_growing_right", 20, 0, 150, true},
                                           ClothoidCase{"growing_left", 60, 0, 150, false},
                                           ClothoidCase{"falling_left", 250, 300, 0, false},
                                           ClothoidCase{"egg_growing_left", 90, 800, 300, false},
                                           ClothoidCase{"quarter_turn_right", 160, 0, 80, true}),
                         [](const auto &info) { return std::string(info.param.Name); });

// An arc swept from Start to End about Center in the rot sense: the long way
// round when rot says so.
TEST(DocumentGeometry, ArcTurnsTheWayRotSays) {
    const double r = 250;
    DocElement e;
    e.Kind = DocElementKind::Curve;
    e.Center = {1000, 2000};
    e.Start = {1000 + r, 2000};
    e.End = {1000, 2000 + r}; // a quarter anticlockwise from Start
    for (const bool clockwise : {false, true}) {
        e.Clockwise = clockwise;
        const double sweep = clockwise ? 1.5 * kPi : 0.5 * kPi;
        EXPECT_NEAR(DocElementLength(e), r * sweep, 1e-9);
        for (const double s : {0.0, 10.0, 100.0, r * sweep}) {
            const double a = (clockwise ? -1 : 1) * s / r;
            const DocPose p = DocElementPose(e, s);
            EXPECT_NEAR(p.X, 1000 + r * std::cos(a), 1e-9);
            EXPECT_NEAR(p.Y, 2000 + r * std::sin(a), 1e-9);
            // The tangent is square to the radius, in the direction of travel.
            EXPECT_NEAR(p.Dx * (p.X - 1000) + p.Dy * (p.Y - 2000), 0, 1e-9);
            EXPECT_NEAR(p.Dx * -(p.Y - 2000) + p.Dy * (p.X - 1000), clockwise ? -r : r, 1e-9);
        }
    }
}

// The cubic parabola y = k x^3 in the frame of its straight end, whichever end
// of the element that is.
TEST(DocumentGeometry, CubicParabolaFromItsStraightEnd) {
    const double length = 60, k = 1 / (6.0 * 300 * 60); // y = x^3 / (6 R L)
    const double h = 0.4;                               // the straight end's heading
    const double ux = std::cos(h), uy = std::sin(h);
    auto at = [&](double x) {
        const double right = k * x * x * x; // a clockwise turn bends to the right
        return DocPoint{100 + x * ux + right * uy, 200 + x * uy - right * ux};
    };
    const DocPoint straight = at(0), curved = at(length);
    // The tangent at the curved end meets the axis two thirds along it.
    const DocPoint piOnAxis{100 + 2 * length / 3 * ux, 200 + 2 * length / 3 * uy};
    DocElement e;
    e.Kind = DocElementKind::Spiral;
    e.SpiralType = DocSpiralType::Cubic;
    e.Length = length;
    e.PI = piOnAxis;
    for (const bool fromStraight : {true, false}) {
        e.Start = fromStraight ? straight : curved;
        e.End = fromStraight ? curved : straight;
        for (const double s : {0.0, 15.0, 40.0, length}) {
            const double x = fromStraight ? s : length - s;
            const DocPose p = DocElementPose(e, s);
            EXPECT_NEAR(p.X, at(x).X, 1e-9) << fromStraight << " " << s;
            EXPECT_NEAR(p.Y, at(x).Y, 1e-9) << fromStraight << " " << s;
            // The tangent points the way the element runs.
            const DocPoint ahead = at(fromStraight ? x + 1e-3 : x - 1e-3);
            EXPECT_GT(p.Dx * (ahead.X - at(x).X) + p.Dy * (ahead.Y - at(x).Y), 0) << s;
        }
    }
}

// A profile of three grades with a parabola and a circle at its inner
// vertices, against the tangent-offset formula and the circle's equation.
TEST(DocumentGeometry, ProfileCurvesBetweenTheirGrades) {
    DocProfAlign align;
    align.Points = {{0, 100, DocVerticalCurve::None, 0, 0},
                    {200, 104, DocVerticalCurve::Parabola, 80, 0}, // 2 % to -1 %
                    {500, 101, DocVerticalCurve::Circle, 0, 3000}, // -1 % to 3 %
                    {800, 110, DocVerticalCurve::None, 0, 0}};
    const DocProfile profile(align);
    ASSERT_EQ(profile.Curves().size(), 2u);
    double h = 0;
    // The parabola: the grade line plus (g2 - g1) x^2 / 2L from its start.
    for (const double x : {0.0, 20.0, 40.0, 80.0}) {
        ASSERT_TRUE(profile.HeightAt(160 + x, h));
        EXPECT_NEAR(h, 100 + 0.02 * (160 + x) + (-0.03) * x * x / 160, 1e-9) << x;
    }
    // The circle touches both grades and keeps its radius from its centre.
    const DocCurveSpan &circle = profile.Curves()[1];
    const double a1 = std::atan(-0.01), a2 = std::atan(0.03);
    const double t = 3000 * std::tan((a2 - a1) / 2);
    EXPECT_NEAR(circle.Begin, 500 - t * std::cos(a1), 1e-9);
    EXPECT_NEAR(circle.End, 500 + t * std::cos(a2), 1e-9);
    const double cx = circle.Begin + 3000 * std::sin(a1) * -1;
    const double cz = (101 - t * std::sin(a1)) + 3000 * std::cos(a1);
    for (double s = circle.Begin; s <= circle.End; s += 7.5) {
        ASSERT_TRUE(profile.HeightAt(s, h));
        EXPECT_NEAR(std::hypot(s - cx, h - cz), 3000, 1e-6) << s;
        EXPECT_LT(h, cz);
    }
    ASSERT_TRUE(profile.HeightAt(circle.Begin, h));
    EXPECT_NEAR(h, 101 - 0.01 * (circle.Begin - 500), 1e-9);
    // On the grades between the curves, and nothing beyond the ends.
    ASSERT_TRUE(profile.HeightAt(350, h));
    EXPECT_NEAR(h, 104 - 0.01 * 150, 1e-12);
    ASSERT_TRUE(profile.HeightAt(800, h));
    EXPECT_NEAR(h, 110, 1e-12);
    EXPECT_FALSE(profile.HeightAt(-0.01, h));
    EXPECT_FALSE(profile.HeightAt(800.01, h));
}
