// Test alignments built from known geometry, independently of the geometry
// module: each segment is a line, an arc or a clothoid given by its length and
// its signed radius at both ends, the curvature varies linearly along it, and
// positions come from integrating the tangent direction numerically
// (composite 6-point Gauss-Legendre). Usable from any test folder:
//     #include "../geometry/AlignmentFixtures.h"
//
// Conventions as in the records: azimuths in radians clockwise from north,
// radius > 0 turns right (0 = straight), offsets positive to the right. The
// element records carry what the importers store: a transition's Radius is its
// start radius, or the marker +-0.001 (signed by the turn) when it starts at
// zero curvature; Parameter is A with A^2 = length / |change of curvature|.
#pragma once

#include "Records.h"

#include <array>
#include <cmath>
#include <ostream>
#include <stdexcept>
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

// Test output names the layout.
inline void PrintTo(const FixtureLayout &layout, std::ostream *os) { *os << layout.Name; }

// Position and tangent on the fixture at a chainage.
struct FixturePose {
    double X = 0;
    double Y = 0;
    double Azimuth = 0; // in [0, 2 pi)
};

inline double FixtureCurvature(double radius) { return radius == 0 ? 0 : 1 / radius; }

inline double FixtureNormalize(double a) {
    const double twoPi = 2 * std::acos(-1.0);
    a = std::fmod(a, twoPi);
    return a < 0 ? a + twoPi : a;
}

// Tangent angle after running s into a segment that starts at azimuth a0.
inline double FixtureSegmentAzimuth(const FixtureSegment &seg, double a0, double s) {
    const double k0 = FixtureCurvature(seg.StartRadius);
    const double k1 = FixtureCurvature(seg.EndRadius);
    const double dk = seg.Length > 0 ? (k1 - k0) / seg.Length : 0;
    return a0 + k0 * s + dk * s * s / 2;
}

// Integrates (sin a, cos a) over [0, s] of the segment.
inline void FixtureIntegrate(const FixtureSegment &seg, double a0, double s, double &dx,
                             double &dy) {
    static constexpr std::array<double, 6> nodes = {-0.9324695142031521, -0.6612093864662645,
                                                    -0.2386191860831969, 0.2386191860831969,
                                                    0.6612093864662645,  0.9324695142031521};
    static constexpr std::array<double, 6> weights = {0.1713244923791704, 0.3607615730481386,
                                                      0.4679139345726910, 0.4679139345726910,
                                                      0.3607615730481386, 0.1713244923791704};
    dx = 0;
    dy = 0;
    if (s == 0) {
        return;
    }
    const int panels = static_cast<int>(std::ceil(std::fabs(s) / 2.0));
    const double h = s / panels;
    for (int p = 0; p < panels; ++p) {
        const double mid = (p + 0.5) * h;
        for (std::size_t k = 0; k < nodes.size(); ++k) {
            const double a = FixtureSegmentAzimuth(seg, a0, mid + nodes[k] * h / 2);
            dx += weights[k] * std::sin(a) * h / 2;
            dy += weights[k] * std::cos(a) * h / 2;
        }
    }
}

// Start poses of every segment, plus the end pose (one more entry).
inline std::vector<FixturePose> FixtureSegmentStarts(const FixtureLayout &layout) {
    std::vector<FixturePose> poses;
    FixturePose pose{layout.X0, layout.Y0, layout.Azimuth0};
    double a = layout.Azimuth0; // unnormalised, so curvature adds up smoothly
    for (const FixtureSegment &seg : layout.Segments) {
        poses.push_back({pose.X, pose.Y, FixtureNormalize(a)});
        double dx = 0;
        double dy = 0;
        FixtureIntegrate(seg, a, seg.Length, dx, dy);
        pose.X += dx;
        pose.Y += dy;
        a = FixtureSegmentAzimuth(seg, a, seg.Length);
    }
    poses.push_back({pose.X, pose.Y, FixtureNormalize(a)});
    return poses;
}

inline double FixtureEndChainage(const FixtureLayout &layout) {
    double c = layout.StartChainage;
    for (const FixtureSegment &seg : layout.Segments) {
        c += seg.Length;
    }
    return c;
}

// The pose at a chainage within the fixture (the last segment extended beyond
// its end).
inline FixturePose FixturePoseAt(const FixtureLayout &layout, double chainage) {
    FixturePose pose{layout.X0, layout.Y0, layout.Azimuth0};
    double a = layout.Azimuth0;
    double c = layout.StartChainage;
    for (std::size_t i = 0; i < layout.Segments.size(); ++i) {
        const FixtureSegment &seg = layout.Segments[i];
        const bool last = i + 1 == layout.Segments.size();
        if (chainage <= c + seg.Length || last) {
            const double s = chainage - c;
            double dx = 0;
            double dy = 0;
            FixtureIntegrate(seg, a, s, dx, dy);
            return {pose.X + dx, pose.Y + dy, FixtureNormalize(FixtureSegmentAzimuth(seg, a, s))};
        }
        double dx = 0;
        double dy = 0;
        FixtureIntegrate(seg, a, seg.Length, dx, dy);
        pose.X += dx;
        pose.Y += dy;
        a = FixtureSegmentAzimuth(seg, a, seg.Length);
        c += seg.Length;
    }
    return pose;
}

// The point at distance d to the right of a pose.
inline FixturePose FixtureOffset(const FixturePose &pose, double d) {
    return {pose.X + d * std::cos(pose.Azimuth), pose.Y - d * std::sin(pose.Azimuth), pose.Azimuth};
}

// The element records of the fixture, as the importers store them.
inline HzAlignment BuildFixtureAlignment(const FixtureLayout &layout) {
    const std::vector<FixturePose> starts = FixtureSegmentStarts(layout);
    HzAlignment elements(1);
    double c = layout.StartChainage;
    for (std::size_t i = 0; i < layout.Segments.size(); ++i) {
        const FixtureSegment &seg = layout.Segments[i];
        HzElement e;
        e.Number = static_cast<long>(i + 1);
        e.Chainage = c;
        e.X = starts[i].X;
        e.Y = starts[i].Y;
        e.Azimuth = starts[i].Azimuth;
        e.Length = seg.Length;
        if (seg.StartRadius == seg.EndRadius) {
            e.Radius = seg.StartRadius; // line (0) or arc
        } else {
            const double k0 = FixtureCurvature(seg.StartRadius);
            const double k1 = FixtureCurvature(seg.EndRadius);
            e.Parameter = std::sqrt(seg.Length / std::fabs(k1 - k0));
            if (seg.StartRadius == 0) {
                e.Radius = seg.EndRadius > 0 ? 0.001 : -0.001;
            } else {
                e.Radius = seg.StartRadius;
            }
        }
        elements.push_back(e);
        c += seg.Length;
    }
    return elements;
}

// The same alignment moved by d to the right. Only lines and arcs have a
// parallel of their own kind; a clothoid segment throws.
inline FixtureLayout FixtureParallel(const FixtureLayout &layout, double d) {
    FixtureLayout parallel = layout;
    parallel.Name = layout.Name + " parallel";
    const FixturePose start = FixtureOffset({layout.X0, layout.Y0, layout.Azimuth0}, d);
    parallel.X0 = start.X;
    parallel.Y0 = start.Y;
    for (FixtureSegment &seg : parallel.Segments) {
        if (seg.StartRadius != seg.EndRadius) {
            throw std::invalid_argument("no parallel of a clothoid");
        }
        if (seg.StartRadius != 0) {
            const double r = seg.StartRadius - d; // a right turn's centre is on the right
            seg.Length *= r / seg.StartRadius;
            seg.StartRadius = r;
            seg.EndRadius = r;
        }
    }
    return parallel;
}

// The alignments the geometry tests run on.
inline std::vector<FixtureLayout> StandardFixtures() {
    std::vector<FixtureLayout> layouts;
    // line - clothoid - arc - clothoid - line, turning right.
    layouts.push_back({"right curve",
                       1000,
                       500000,
                       4500000,
                       0.3,
                       {{120, 0, 0}, {80, 0, 400}, {150, 400, 400}, {80, 400, 0}, {100, 0, 0}}});
    // The same shape turning left, its tangent crossing north.
    layouts.push_back({"left curve across north",
                       0,
                       501234.5,
                       4498765.4,
                       0.25,
                       {{60, 0, 0}, {70, 0, -350}, {180, -350, -350}, {70, -350, 0}, {90, 0, 0}}});
    // Turning right across north.
    layouts.push_back({"right curve across north",
                       2500.25,
                       499800,
                       4502000,
                       6.0,
                       {{40, 0, 0}, {90, 0, 600}, {120, 600, 600}, {90, 600, 0}, {40, 0, 0}}});
    // Symmetric reverse curve: R500, clothoid, clothoid, -R500.
    layouts.push_back({"symmetric S-curve",
                       0,
                       500000,
                       4500000,
                       1.2,
                       {{50, 0, 0},
                        {60, 0, 500},
                        {100, 500, 500},
                        {60, 500, 0},
                        {60, 0, -500},
                        {100, -500, -500},
                        {60, -500, 0},
                        {50, 0, 0}}});
    // Asymmetric reverse curve.
    layouts.push_back({"asymmetric S-curve",
                       100,
                       500500,
                       4499500,
                       2.9,
                       {{50, 0, 0},
                        {60, 0, -450},
                        {90, -450, -450},
                        {60, -450, 0},
                        {75, 0, 300},
                        {110, 300, 300},
                        {75, 300, 0},
                        {50, 0, 0}}});
    // Egg clothoids between two arcs, curvature growing then falling.
    layouts.push_back({"egg clothoids",
                       0,
                       500000,
                       4500000,
                       4.0,
                       {{50, 0, 0},
                        {60, 0, 600},
                        {80, 600, 600},
                        {70, 600, 250},
                        {90, 250, 250},
                        {70, 250, 600},
                        {50, 600, 600},
                        {60, 600, 0},
                        {50, 0, 0}}});
    // The same turning left.
    layouts.push_back({"egg clothoids left",
                       0,
                       500000,
                       4500000,
                       0.1,
                       {{50, 0, 0},
                        {60, 0, -600},
                        {80, -600, -600},
                        {70, -600, -250},
                        {90, -250, -250},
                        {70, -250, -600},
                        {50, -600, -600},
                        {60, -600, 0},
                        {50, 0, 0}}});
    // Ends in a transition (its far radius comes from its own record).
    layouts.push_back({"ends in a transition",
                       0,
                       500000,
                       4500000,
                       5.5,
                       {{40, 0, 0}, {60, 0, -300}, {80, -300, -300}, {60, -300, 0}}});
    // Long transitions into a tight arc: the tangent turns a whole radian in each.
    layouts.push_back({"long transitions",
                       0,
                       500000,
                       4500000,
                       0.7,
                       {{30, 0, 0}, {160, 0, 80}, {40, 80, 80}, {160, 80, 0}, {30, 0, 0}}});
    return layouts;
}

} // namespace vialto::test
