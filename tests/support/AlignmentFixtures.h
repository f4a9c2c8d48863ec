// Test alignments of lines, arcs and clothoids (curvature linear along each
// segment, signed radius 0 = straight, > 0 turning right), positions from the
// tangent direction integrated numerically (composite 6-point Gauss-Legendre),
// independently of the geometry module. Azimuths in radians clockwise from
// north, offsets positive to the right. The element records carry what the
// importers store: a transition's Radius is its start radius, or +-0.001 when it
// starts straight; Parameter is A, A^2 = length / |change of curvature|.
#pragma once

#include "model/Records.h"
#include "support/ElementBuilders.h"

#include <array>
#include <cmath>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace vialto::test {

struct FixtureSegment {
    double Length = 0;
    double StartRadius = 0; // signed; 0 = straight
    double EndRadius = 0;   // signed; 0 = straight
};

struct FixtureLayout {
    std::string Name;
    double StartChainage = 0;
    double X0 = 500000;
    double Y0 = 4500000;
    double Azimuth0 = 0;
    std::vector<FixtureSegment> Segments;
};

inline void PrintTo(const FixtureLayout &layout, std::ostream *os) { *os << layout.Name; }

struct FixturePose {
    double X = 0;
    double Y = 0;
    double Azimuth = 0; // in [0, 2 pi)
};

inline double FixtureNormalize(double a) {
    a = std::fmod(a, 2 * std::numbers::pi);
    return a < 0 ? a + 2 * std::numbers::pi : a;
}

// The pose after running s along a segment from a pose. The azimuth is left
// unnormalised, so that curvature adds up smoothly from segment to segment.
inline FixturePose FixtureRun(const FixtureSegment &seg, const FixturePose &from, double s) {
    // The nodes at +-x and their weights.
    static constexpr std::array<std::array<double, 2>, 3> gauss = {
        {{0.9324695142031521, 0.1713244923791704},
         {0.6612093864662645, 0.3607615730481386},
         {0.2386191860831969, 0.4679139345726910}}};
    const double k0 = seg.StartRadius == 0 ? 0 : 1 / seg.StartRadius;
    const double k1 = seg.EndRadius == 0 ? 0 : 1 / seg.EndRadius;
    const double dk = seg.Length > 0 ? (k1 - k0) / seg.Length : 0;
    const auto azimuth = [&](double t) { return from.Azimuth + k0 * t + dk * t * t / 2; };
    double dx = 0;
    double dy = 0;
    const int panels = static_cast<int>(std::ceil(std::fabs(s) / 2.0));
    const double h = panels > 0 ? s / panels : 0;
    for (int p = 0; p < panels; ++p)
        for (const auto &[x, w] : gauss)
            for (const double node : {-x, x}) {
                const double a = azimuth((p + 0.5) * h + node * h / 2);
                dx += w * std::sin(a) * h / 2;
                dy += w * std::cos(a) * h / 2;
            }
    return {from.X + dx, from.Y + dy, azimuth(s)};
}

inline double FixtureEndChainage(const FixtureLayout &layout) {
    double c = layout.StartChainage;
    for (const FixtureSegment &seg : layout.Segments)
        c += seg.Length;
    return c;
}

// The pose at a chainage within the fixture (the last segment extended beyond
// its end).
inline FixturePose FixturePoseAt(const FixtureLayout &layout, double chainage) {
    FixturePose pose{layout.X0, layout.Y0, layout.Azimuth0};
    double c = layout.StartChainage;
    std::size_t i = 0;
    for (; i + 1 < layout.Segments.size() && chainage > c + layout.Segments[i].Length; ++i) {
        pose = FixtureRun(layout.Segments[i], pose, layout.Segments[i].Length);
        c += layout.Segments[i].Length;
    }
    pose = FixtureRun(layout.Segments.at(i), pose, chainage - c);
    pose.Azimuth = FixtureNormalize(pose.Azimuth);
    return pose;
}

// The point at distance d to the right of a pose.
inline FixturePose FixtureOffset(const FixturePose &pose, double d) {
    return {pose.X + d * std::cos(pose.Azimuth), pose.Y - d * std::sin(pose.Azimuth), pose.Azimuth};
}

// The element records of the fixture, as the importers store them.
inline HzAlignment BuildFixtureAlignment(const FixtureLayout &layout) {
    std::vector<HzElement> elements;
    FixturePose pose{layout.X0, layout.Y0, layout.Azimuth0};
    double c = layout.StartChainage;
    for (const FixtureSegment &seg : layout.Segments) {
        HzElement e =
            HzAt(c, pose.X, pose.Y, FixtureNormalize(pose.Azimuth), seg.StartRadius, 0, seg.Length);
        if (seg.StartRadius != seg.EndRadius) {
            const double k0 = seg.StartRadius == 0 ? 0 : 1 / seg.StartRadius;
            const double k1 = seg.EndRadius == 0 ? 0 : 1 / seg.EndRadius;
            e.Parameter = std::sqrt(seg.Length / std::fabs(k1 - k0));
            if (seg.StartRadius == 0)
                e.Radius = seg.EndRadius > 0 ? 0.001 : -0.001;
        }
        elements.push_back(e);
        pose = FixtureRun(seg, pose, seg.Length);
        c += seg.Length;
    }
    return OneBased(elements);
}

// A layout given as steps {length, radius at the step's end}: each step starts
// at the radius the one before ended with (0 at the start), so equal radii make
// a line or an arc and different ones a clothoid. turn -1 mirrors the radii.
inline FixtureLayout FixtureSteps(std::string name, double chainage, double x0, double y0,
                                  double azimuth0, std::vector<std::array<double, 2>> steps,
                                  double turn = 1) {
    FixtureLayout layout{std::move(name), chainage, x0, y0, azimuth0, {}};
    double radius = 0;
    for (const auto &[length, end] : steps) {
        layout.Segments.push_back({length, radius, turn * end});
        radius = turn * end;
    }
    return layout;
}

// The alignments the geometry tests run on.
inline std::vector<FixtureLayout> StandardFixtures() {
    const std::vector<std::array<double, 2>> egg = {{50, 0},   {60, 600}, {80, 600},
                                                    {70, 250}, {90, 250}, {70, 600},
                                                    {50, 600}, {60, 0},   {50, 0}};
    return {
        // line - clothoid - arc - clothoid - line, turning right.
        FixtureSteps("right curve", 1000, 500000, 4500000, 0.3,
                     {{120, 0}, {80, 400}, {150, 400}, {80, 0}, {100, 0}}),
        // The same shape turning left, its tangent crossing north.
        FixtureSteps("left curve across north", 0, 501234.5, 4498765.4, 0.25,
                     {{60, 0}, {70, -350}, {180, -350}, {70, 0}, {90, 0}}),
        FixtureSteps("right curve across north", 2500.25, 499800, 4502000, 6.0,
                     {{40, 0}, {90, 600}, {120, 600}, {90, 0}, {40, 0}}),
        // Reverse curves: R500 then -R500 through a point of zero curvature, and
        // -R450 then R300.
        FixtureSteps(
            "symmetric S-curve", 0, 500000, 4500000, 1.2,
            {{50, 0}, {60, 500}, {100, 500}, {60, 0}, {60, -500}, {100, -500}, {60, 0}, {50, 0}}),
        FixtureSteps(
            "asymmetric S-curve", 100, 500500, 4499500, 2.9,
            {{50, 0}, {60, -450}, {90, -450}, {60, 0}, {75, 300}, {110, 300}, {75, 0}, {50, 0}}),
        // Egg clothoids between two arcs, curvature growing then falling.
        FixtureSteps("egg clothoids", 0, 500000, 4500000, 4.0, egg),
        FixtureSteps("egg clothoids left", 0, 500000, 4500000, 0.1, egg, -1),
        // Ends in a transition (its far radius comes from its own record).
        FixtureSteps("ends in a transition", 0, 500000, 4500000, 5.5,
                     {{40, 0}, {60, -300}, {80, -300}, {60, 0}}),
        // Long transitions into a tight arc: the tangent turns a whole radian in each.
        FixtureSteps("long transitions", 0, 500000, 4500000, 0.7,
                     {{30, 0}, {160, 80}, {40, 80}, {160, 0}, {30, 0}}),
    };
}

} // namespace vialto::test
