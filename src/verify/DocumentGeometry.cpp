#include "verify/DocumentGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace vialto {

namespace {

constexpr double kTau = 2 * std::numbers::pi;

// 8-point Gauss-Legendre on [-1, 1]: nodes and weights, symmetric.
constexpr std::array<double, 4> kNodes = {0.1834346424956498, 0.5255324099163290,
                                          0.7966664774136267, 0.9602898564975363};
constexpr std::array<double, 4> kWeights = {0.3626837833783620, 0.3137066458778873,
                                            0.2223810344533745, 0.1012285362903763};

double Norm(double x, double y) { return std::hypot(x, y); }

// The angle brought into [0, 2 pi).
double Wrap(double a) {
    a = std::fmod(a, kTau);
    return a < 0 ? a + kTau : a;
}

// ---- Line -----------------------------------------------------------------

// A line's start and direction, found once for all its points.
struct LineFrame {
    DocPoint Start;
    double Dx = 0, Dy = 1;
    bool Directed = false; // false for a line of length 0
};

LineFrame LineOf(const DocElement &e) {
    const double dx = e.End.X - e.Start.X, dy = e.End.Y - e.Start.Y;
    const double length = Norm(dx, dy);
    LineFrame line{e.Start};
    if (length > 0) {
        line.Dx = dx / length;
        line.Dy = dy / length;
        line.Directed = true;
    }
    return line;
}

DocPose LinePose(const LineFrame &line, double s) {
    DocPose pose{line.Start.X, line.Start.Y, line.Dx, line.Dy};
    if (line.Directed) {
        pose.X += s * line.Dx;
        pose.Y += s * line.Dy;
    }
    return pose;
}

// ---- Arc ------------------------------------------------------------------

// Angles (anticlockwise from east) of Start and End seen from Center, and the
// angle swept from Start to End in the rot sense, in [0, 2 pi).
struct ArcFrame {
    double Radius = 0;
    double StartAngle = 0;
    double Sweep = 0;
    double Turn = 1; // +1 anticlockwise (ccw), -1 clockwise
};

ArcFrame ArcOf(const DocElement &e) {
    ArcFrame arc;
    arc.Radius = Norm(e.Start.X - e.Center.X, e.Start.Y - e.Center.Y);
    arc.StartAngle = std::atan2(e.Start.Y - e.Center.Y, e.Start.X - e.Center.X);
    const double endAngle = std::atan2(e.End.Y - e.Center.Y, e.End.X - e.Center.X);
    arc.Turn = e.Clockwise ? -1 : 1;
    arc.Sweep = Wrap(arc.Turn * (endAngle - arc.StartAngle));
    return arc;
}

DocPose ArcPose(const ArcFrame &arc, const DocElement &e, double s) {
    if (arc.Radius == 0)
        return DocPose{e.Start.X, e.Start.Y, 0, 1};
    const double a = arc.StartAngle + arc.Turn * s / arc.Radius;
    DocPose pose;
    pose.X = e.Center.X + arc.Radius * std::cos(a);
    pose.Y = e.Center.Y + arc.Radius * std::sin(a);
    pose.Dx = -arc.Turn * std::sin(a);
    pose.Dy = arc.Turn * std::cos(a);
    return pose;
}

// ---- Clothoid -------------------------------------------------------------

// Heading (anticlockwise from east) along a transition whose curvature runs
// linearly from k0 to k1 over its length; a clockwise turn lowers it.
struct ClothoidFrame {
    double Heading0 = 0;
    double K0 = 0;
    double Slope = 0; // dk/ds
    double Turn = 1;  // +1 ccw, -1 cw

    double Heading(double s) const { return Heading0 + Turn * (K0 * s + 0.5 * Slope * s * s); }
};

ClothoidFrame ClothoidOf(const DocElement &e) {
    ClothoidFrame frame;
    double tx = e.PI.X - e.Start.X, ty = e.PI.Y - e.Start.Y;
    if (Norm(tx, ty) == 0) { // no tangent given: the chord is the best guess
        tx = e.End.X - e.Start.X;
        ty = e.End.Y - e.Start.Y;
    }
    frame.Heading0 = std::atan2(ty, tx);
    frame.K0 = e.RadiusStart > 0 ? 1 / e.RadiusStart : 0;
    const double k1 = e.RadiusEnd > 0 ? 1 / e.RadiusEnd : 0;
    frame.Slope = e.Length > 0 ? (k1 - frame.K0) / e.Length : 0;
    frame.Turn = e.Clockwise ? -1 : 1;
    return frame;
}

// The plane step from distance a to distance b along the transition.
void IntegrateClothoid(const ClothoidFrame &frame, double a, double b, double &dx, double &dy) {
    dx = dy = 0;
    const double count = std::ceil(std::abs(b - a) / kClothoidPiece);
    const int pieces = count >= 1 && count <= kMaxClothoidPieces ? static_cast<int>(count)
                       : count >= 1                              ? kMaxClothoidPieces
                                                                 : 1;
    const double h = (b - a) / pieces;
    for (int p = 0; p < pieces; ++p) {
        const double mid = a + (p + 0.5) * h;
        const double half = 0.5 * h;
        const double base = frame.Heading(mid);
        const double cosBase = std::cos(base), sinBase = std::sin(base);
        for (std::size_t k = 0; k < kNodes.size(); ++k) {
            for (const double side : {-1.0, 1.0}) {
                const double delta = frame.Heading(mid + side * kNodes[k] * half) - base;
                double c = 0, s = 0;
                TurnedBy(cosBase, sinBase, base, delta, c, s);
                dx += kWeights[k] * half * c;
                dy += kWeights[k] * half * s;
            }
        }
    }
}

DocPose ClothoidPoseAfter(const ClothoidFrame &frame, const DocPose &from, double a, double b) {
    double dx = 0, dy = 0;
    IntegrateClothoid(frame, a, b, dx, dy);
    const double theta = frame.Heading(b);
    return DocPose{from.X + dx, from.Y + dy, std::cos(theta), std::sin(theta)};
}

// ---- Cubic parabola -------------------------------------------------------

struct CubicFrame {
    bool FromStart = true; // the straight end is Start
    double Ox = 0, Oy = 0; // the straight end
    double Ux = 1, Uy = 0; // its tangent, towards the PI
    double K = 0;          // y = K x^3, y to the left of the tangent
    double XFar = 0;       // abscissa of the other end
    double Length = 0;     // the element's length attribute
};

CubicFrame CubicOf(const DocElement &e) {
    CubicFrame frame;
    const double toStart = Norm(e.PI.X - e.Start.X, e.PI.Y - e.Start.Y);
    const double toEnd = Norm(e.PI.X - e.End.X, e.PI.Y - e.End.Y);
    // The PI lies two thirds of the abscissa from the straight end and a
    // third from the curved one.
    frame.FromStart = toStart >= toEnd;
    const DocPoint origin = frame.FromStart ? e.Start : e.End;
    const DocPoint far = frame.FromStart ? e.End : e.Start;
    frame.Ox = origin.X;
    frame.Oy = origin.Y;
    const double ux = e.PI.X - origin.X, uy = e.PI.Y - origin.Y;
    const double u = Norm(ux, uy);
    if (u > 0) {
        frame.Ux = ux / u;
        frame.Uy = uy / u;
    }
    const double fx = far.X - origin.X, fy = far.Y - origin.Y;
    frame.XFar = fx * frame.Ux + fy * frame.Uy;
    const double yFar = -fx * frame.Uy + fy * frame.Ux;
    frame.K = frame.XFar != 0 ? yFar / (frame.XFar * frame.XFar * frame.XFar) : 0;
    frame.Length = e.Length > 0 ? e.Length : std::abs(frame.XFar);
    return frame;
}

DocPose CubicPose(const CubicFrame &f, double s) {
    const double run = f.FromStart ? s : f.Length - s;
    const double x = f.Length > 0 ? run * f.XFar / f.Length : 0;
    const double y = f.K * x * x * x;
    DocPose pose;
    pose.X = f.Ox + x * f.Ux - y * f.Uy;
    pose.Y = f.Oy + x * f.Uy + y * f.Ux;
    // d/dx of the point, turned round when the element runs towards the origin.
    const double slope = 3 * f.K * x * x;
    double tx = f.Ux - slope * f.Uy, ty = f.Uy + slope * f.Ux;
    const double t = Norm(tx, ty);
    const double sense = f.FromStart ? 1 : -1;
    pose.Dx = sense * tx / t;
    pose.Dy = sense * ty / t;
    return pose;
}

} // namespace

double DocElementLength(const DocElement &element) {
    switch (element.Kind) {
    case DocElementKind::Line:
        return Norm(element.End.X - element.Start.X, element.End.Y - element.Start.Y);
    case DocElementKind::Curve: {
        const ArcFrame arc = ArcOf(element);
        return arc.Radius * arc.Sweep;
    }
    case DocElementKind::Spiral:
        return element.Length;
    }
    return 0;
}

std::vector<DocPose> DocElementPoses(const DocElement &element,
                                     const std::vector<double> &distances) {
    std::vector<DocPose> poses;
    poses.reserve(distances.size());
    if (element.Kind == DocElementKind::Spiral && element.SpiralType == DocSpiralType::Clothoid) {
        const ClothoidFrame frame = ClothoidOf(element);
        DocPose pose{element.Start.X, element.Start.Y, std::cos(frame.Heading0),
                     std::sin(frame.Heading0)};
        double at = 0;
        for (const double s : distances) {
            pose = ClothoidPoseAfter(frame, pose, at, s);
            at = s;
            poses.push_back(pose);
        }
        return poses;
    }
    // Each element's frame found once, as DocElementPose finds it.
    switch (element.Kind) {
    case DocElementKind::Line:
        for (const LineFrame line = LineOf(element); const double s : distances)
            poses.push_back(LinePose(line, s));
        break;
    case DocElementKind::Curve:
        for (const ArcFrame arc = ArcOf(element); const double s : distances)
            poses.push_back(ArcPose(arc, element, s));
        break;
    case DocElementKind::Spiral:
        for (const CubicFrame cubic = CubicOf(element); const double s : distances)
            poses.push_back(CubicPose(cubic, s));
        break;
    }
    return poses;
}

DocPose DocElementPose(const DocElement &element, double distance) {
    switch (element.Kind) {
    case DocElementKind::Line:
        return LinePose(LineOf(element), distance);
    case DocElementKind::Curve:
        return ArcPose(ArcOf(element), element, distance);
    case DocElementKind::Spiral:
        if (element.SpiralType == DocSpiralType::Cubic)
            return CubicPose(CubicOf(element), distance);
        return DocElementPoses(element, {distance}).front();
    }
    return DocPose{};
}

std::vector<double> DocElementStations(const DocAlignment &alignment) {
    std::vector<double> stations;
    double chainage = alignment.StaStart != kNullValue ? alignment.StaStart : 0;
    for (const DocElement &element : alignment.Elements) {
        if (element.StaStart != kNullValue)
            chainage = element.StaStart;
        stations.push_back(chainage);
        chainage += DocElementLength(element);
    }
    stations.push_back(chainage);
    return stations;
}

std::vector<DocPose> DocAlignmentPoses(const DocAlignment &alignment,
                                       const std::vector<double> &stations,
                                       const std::vector<double> &chainages) {
    const std::size_t n = alignment.Elements.size();
    if (n == 0 || stations.size() != n + 1)
        return {};
    std::vector<std::size_t> order(chainages.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return chainages[a] < chainages[b]; });
    std::vector<DocPose> poses(chainages.size());
    std::size_t k = 0;
    while (k < order.size()) {
        // The last element starting at or before the chainage, and every
        // further chainage it holds.
        const auto after = std::upper_bound(
            stations.begin(), stations.begin() + static_cast<long>(n), chainages[order[k]]);
        const std::size_t i =
            after == stations.begin() ? 0 : static_cast<std::size_t>(after - stations.begin()) - 1;
        std::size_t end = k;
        std::vector<double> distances;
        while (end < order.size() && (i + 1 == n || chainages[order[end]] < stations[i + 1])) {
            distances.push_back(chainages[order[end]] - stations[i]);
            ++end;
        }
        const std::vector<DocPose> found = DocElementPoses(alignment.Elements[i], distances);
        for (std::size_t j = 0; j < found.size(); ++j)
            poses[order[k + j]] = found[j];
        k = end;
    }
    return poses;
}

// ---- Profiles ---------------------------------------------------------------

DocProfile::DocProfile(const DocProfAlign &align) : align_(align) {
    const std::vector<DocPvi> &v = align_.Points;
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        if (v[i].Curve == DocVerticalCurve::None)
            continue;
        CurveShape shape;
        const double run1 = v[i].Station - v[i - 1].Station;
        const double run2 = v[i + 1].Station - v[i].Station;
        shape.Grade1 = run1 != 0 ? (v[i].Elevation - v[i - 1].Elevation) / run1 : 0;
        shape.Grade2 = run2 != 0 ? (v[i + 1].Elevation - v[i].Elevation) / run2 : 0;
        DocCurveSpan span;
        span.Vertex = i;
        span.Kind = v[i].Curve;
        if (v[i].Curve == DocVerticalCurve::Parabola) {
            span.Begin = v[i].Station - v[i].CurveLength / 2;
            span.End = v[i].Station + v[i].CurveLength / 2;
        } else {
            // The circle tangent to both grade lines, in the (station, height)
            // plane: the tangent points lie R tan(|delta| / 2) from the PVI
            // along each line.
            const double a1 = std::atan(shape.Grade1), a2 = std::atan(shape.Grade2);
            const double delta = a2 - a1;
            shape.Radius = std::abs(v[i].CurveRadius);
            shape.Sag = delta > 0;
            const double t = shape.Radius * std::tan(std::abs(delta) / 2);
            const double bx = v[i].Station - t * std::cos(a1);
            const double by = v[i].Elevation - t * std::sin(a1);
            const double side = shape.Sag ? 1 : -1; // the centre lies left of a sag's way
            shape.CentreStation = bx - side * shape.Radius * std::sin(a1);
            shape.CentreHeight = by + side * shape.Radius * std::cos(a1);
            span.Begin = bx;
            span.End = v[i].Station + t * std::cos(a2);
        }
        curves_.push_back(span);
        shapes_.push_back(shape);
    }
    auto ascending = [](const auto &items, auto value) {
        for (std::size_t k = 0; k < items.size(); ++k)
            if (!std::isfinite(value(items[k])) || (k > 0 && value(items[k]) < value(items[k - 1])))
                return false;
        return true;
    };
    walkable_ = ascending(curves_, [](const DocCurveSpan &span) { return span.Begin; }) &&
                ascending(v, [](const DocPvi &pvi) { return pvi.Station; });
}

double DocProfile::Begin() const {
    return align_.Points.empty() ? 0 : align_.Points.front().Station;
}

double DocProfile::End() const { return align_.Points.empty() ? -1 : align_.Points.back().Station; }

double DocProfile::GradeHeight(std::size_t segment, double station) const {
    const DocPvi &a = align_.Points[segment];
    const DocPvi &b = align_.Points[segment + 1];
    const double run = b.Station - a.Station;
    if (run == 0)
        return b.Elevation;
    return a.Elevation + (b.Elevation - a.Elevation) * (station - a.Station) / run;
}

namespace {

// The first of the ascending values after the station, as std::upper_bound
// finds it, going on from `from` where the station is not before the value
// there.
template <class T, class Value>
std::size_t FirstAfter(const std::vector<T> &items, double station, std::size_t from, Value value) {
    if (from > items.size() || (from > 0 && station < value(items[from - 1])))
        from = 0;
    while (from < items.size() && !(station < value(items[from])))
        ++from;
    return from;
}

} // namespace

bool DocProfile::HeightAt(double station, double &height) const {
    const std::vector<DocPvi> &v = align_.Points;
    const auto curve =
        std::upper_bound(curves_.begin(), curves_.end(), station,
                         [](double s, const DocCurveSpan &span) { return s < span.Begin; });
    const auto next = std::upper_bound(v.begin(), v.end(), station,
                                       [](double s, const DocPvi &p) { return s < p.Station; });
    return HeightBetween(station, static_cast<std::size_t>(curve - curves_.begin()),
                         static_cast<std::size_t>(next - v.begin()), height);
}

bool DocProfile::HeightAt(double station, double &height, Walk &walk) const {
    if (!walkable_)
        return HeightAt(station, height);
    walk.Curve = FirstAfter(curves_, station, walk.Curve,
                            [](const DocCurveSpan &span) { return span.Begin; });
    walk.Vertex = FirstAfter(align_.Points, station, walk.Vertex,
                             [](const DocPvi &pvi) { return pvi.Station; });
    return HeightBetween(station, walk.Curve, walk.Vertex, height);
}

// The height at the station, given the first curve beginning after it and
// the first vertex after it.
bool DocProfile::HeightBetween(double station, std::size_t curveAfter, std::size_t vertexAfter,
                               double &height) const {
    const std::vector<DocPvi> &v = align_.Points;
    if (v.empty() || !(station >= Begin() && station <= End()))
        return false;
    if (v.size() == 1) {
        height = v.front().Elevation;
        return true;
    }
    // A curve replaces its vertex between its limits.
    if (curveAfter > 0) {
        const std::size_t c = curveAfter - 1;
        const DocCurveSpan &span = curves_[c];
        if (station <= span.End) {
            const CurveShape &shape = shapes_[c];
            const DocPvi &pvi = v[span.Vertex];
            if (span.Kind == DocVerticalCurve::Parabola) {
                const double x = station - span.Begin;
                const double length = span.End - span.Begin;
                height = pvi.Elevation + shape.Grade1 * (station - pvi.Station) +
                         (length > 0 ? (shape.Grade2 - shape.Grade1) * x * x / (2 * length) : 0);
            } else {
                const double dx = station - shape.CentreStation;
                const double root = std::sqrt(std::max(0.0, shape.Radius * shape.Radius - dx * dx));
                height = shape.Sag ? shape.CentreHeight - root : shape.CentreHeight + root;
            }
            return true;
        }
    }
    // Otherwise on the grade between the two vertices around the station.
    const std::size_t segment = std::min(vertexAfter == 0 ? 0 : vertexAfter - 1, v.size() - 2);
    height = GradeHeight(segment, station);
    return true;
}

} // namespace vialto
