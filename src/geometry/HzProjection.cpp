// Projection of a plane point onto a horizontal alignment, and of a chainage of
// one alignment onto another.
#include "geometry/HzClothoidFrame.h"
#include "geometry/HzGeometry.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vialto {

namespace {

// One element's projection: distance along it from its start, offset
// (positive right) and the tangent azimuth at the foot point.
struct ElementProjection {
    double Along = std::numeric_limits<double>::quiet_NaN();
    double Offset = 0;
    double Azimuth = 0;
};

// Rounded to 3 decimals, ties to even as the classic Round did.
double Round3(double value) { return std::nearbyint(value * 1000) / 1000; }

ElementProjection ProjectOntoLine(const HzElement &element, const HzPoint &p) {
    const HzPoint start = ElementStartPoint(element);
    const double d = Distance(start, p);
    const double delta = Azimuth(start, p) - element.Azimuth;
    ElementProjection result;
    result.Along = d * std::cos(delta);
    result.Offset = d * std::sin(delta);
    result.Azimuth = element.Azimuth;
    return result;
}

ElementProjection ProjectOntoArc(const HzElement &element, const HzPoint &p) {
    const double r = std::fabs(element.Radius);
    const double turn = element.Radius > 0 ? 1.0 : -1.0;
    const double towardsCentre = element.Azimuth + turn * kHalfPi;
    const HzPoint centre = PointAtDistance(ElementStartPoint(element), towardsCentre, r);
    const double d = Distance(centre, p);
    const double beta = Azimuth(centre, p);
    const double gamma = NormalizeAngle(towardsCentre - kPi); // centre -> start
    ElementProjection result;
    double swept = 0;
    if (element.Radius > 0) {
        result.Offset = r - d;
        swept = beta - gamma;
    } else {
        result.Offset = d - r;
        swept = gamma - beta;
    }
    swept = NormalizeAngle(swept);
    result.Along = r * swept;
    result.Azimuth = NormalizeAngle(element.Azimuth + turn * swept);
    return result;
}

ElementProjection ProjectOntoClothoid(const HzElement &element, double nextRadius,
                                      double nextAzimuth, const HzPoint &p) {
    const double farRadius = OtherRadius(element, nextRadius, nextAzimuth, true);
    const ClothoidFrame frame = MakeClothoidFrame(element, farRadius);
    // Work on the unit clothoid that bends to the left of its origin tangent: a
    // clothoid that turns right is handled through the point's mirror image.
    const bool mirrored = frame.Turn > 0;
    const HzPoint q = mirrored ? MirrorPointAboutLine(p, frame.Origin, frame.Base) : p;
    const double dx = q.X - frame.Origin.X;
    const double dy = q.Y - frame.Origin.Y;
    const double sinB = std::sin(frame.Base);
    const double cosB = std::cos(frame.Base);
    double u = (dx * sinB + dy * cosB) / frame.A;
    // Listed coordinates are rounded to the millimetre, so the transitions
    // meeting at a reverse curve's inflection need not share their origin: a
    // point within that rounding behind the origin has its foot there.
    if (u < 0 && u * frame.A >= -kFootOriginSlack)
        u = 0;
    const double v = (dy * sinB - dx * cosB) / frame.A;
    double length = 0;
    double distance = 0;
    SolveUnitClothoidFoot(u, v, length, distance);
    ElementProjection result;
    if (length == kFootBehindOrigin) {
        // Behind the origin: far outside the element whichever way it runs.
        result.Along = frame.Direction * kFootBehindOrigin * frame.A;
        result.Offset = kFootBehindOrigin * frame.A;
        result.Azimuth = element.Azimuth;
        return result;
    }
    double offset = distance * frame.A;
    if (mirrored) {
        offset = -offset;
    }
    result.Offset = frame.Direction * offset;
    result.Along = frame.Direction * (length * frame.A - frame.L0);
    result.Azimuth = ClothoidFramePoint(frame, length * frame.A).Azimuth;
    return result;
}

// A cubic parabola: the foot is found by moving along the evaluated curve by
// the point's distance along the tangent until that distance vanishes.
ElementProjection ProjectOntoCubicParabola(const HzAlignment &elements, long i, const HzPoint &p) {
    ElementProjection result;
    const long n = ElementCount(elements);
    if (i <= 1 || i >= n) {
        return result; // cannot be evaluated: inside nothing
    }
    const HzElement &element = elements.at(static_cast<std::size_t>(i));
    const HzElement &next = elements.at(static_cast<std::size_t>(i + 1));
    const bool fromLine = elements.at(static_cast<std::size_t>(i - 1)).Radius == 0;
    const double L = std::fabs(element.Parameter);
    double s = ProjectOntoLine(element, p).Along;
    HzPoint c;
    for (int step = 0; step < 30; ++step) {
        c = GetCoordInCubicParabolaAt(L, fromLine, element, next, s);
        const double along = (p.X - c.X) * std::sin(c.Azimuth) + (p.Y - c.Y) * std::cos(c.Azimuth);
        s += along;
        if (std::fabs(along) < 1e-9) {
            break;
        }
    }
    c = GetCoordInCubicParabolaAt(L, fromLine, element, next, s);
    result.Along = s;
    result.Offset = (p.X - c.X) * std::cos(c.Azimuth) - (p.Y - c.Y) * std::sin(c.Azimuth);
    result.Azimuth = c.Azimuth;
    return result;
}

ElementProjection ProjectOntoElement(const HzAlignment &elements, long i, const HzPoint &p) {
    const long n = ElementCount(elements);
    const HzElement &element = elements.at(static_cast<std::size_t>(i));
    switch (GetElementType(element)) {
    case HzElementType::Line:
        return ProjectOntoLine(element, p);
    case HzElementType::Arc:
        return ProjectOntoArc(element, p);
    case HzElementType::Clothoid: {
        const bool last = i == n;
        const double nextRadius =
            last ? kNullValue : elements.at(static_cast<std::size_t>(i + 1)).Radius;
        const double nextAzimuth =
            last ? kNullValue : elements.at(static_cast<std::size_t>(i + 1)).Azimuth;
        return ProjectOntoClothoid(element, nextRadius, nextAzimuth, p);
    }
    case HzElementType::CubicParabola:
        return ProjectOntoCubicParabola(elements, i, p);
    case HzElementType::Unknown:
        break;
    }
    return ElementProjection{};
}

bool IsInside(const HzElement &element, double chainage) {
    const double rounded = Round3(chainage);
    return Round3(element.Chainage) <= rounded &&
           rounded <= Round3(element.Chainage + element.Length);
}

} // namespace

namespace {

// The element of first..last whose start is nearest to the point, the later
// one on equal distances; 0 when no start is at a usable distance.
long NearestStartByScan(const HzAlignment &elements, const HzPoint &point, long first, long last) {
    long nearest = 0;
    double best = std::numeric_limits<double>::infinity();
    for (long k = first; k <= last; ++k) {
        const HzElement &e = elements[static_cast<std::size_t>(k)];
        const double dx = point.X - e.X;
        const double dy = point.Y - e.Y;
        const double d2 = dx * dx + dy * dy;
        if (d2 <= best) {
            best = d2;
            nearest = k;
        }
    }
    return nearest;
}

// The projection onto the candidates around the nearest start, which
// `nearestStart` gives (the body of both ProjectPointToAligment).
template <class NearestStart>
bool ProjectOntoNearest(double &chainage, double &offset, double &azimuth, const HzPoint &point,
                        const HzAlignment &elements, long first, long last,
                        NearestStart &&nearestStart) {
    return Guarded("ProjectPointToAligment", false, [&] {
        Trace(">> ProjectPointToAligment");
        const long n = ElementCount(elements);
        if (n == 0 || !std::isfinite(point.X) || !std::isfinite(point.Y)) {
            return false;
        }
        if (first < 1 || last > n || first > last) {
            RaiseRuntime(errSubscript, "elements " + std::to_string(first) + " to " +
                                           std::to_string(last) + " of " + std::to_string(n));
        }
        const long nearest = nearestStart();
        if (nearest == 0) {
            return false; // no element with a usable start point
        }
        const HzElement &current = elements[static_cast<std::size_t>(nearest)];
        const ElementProjection here = ProjectOntoElement(elements, nearest, point);
        const double hereChainage = current.Chainage + here.Along;
        const bool hereInside = IsInside(current, hereChainage);

        bool beforeInside = false;
        ElementProjection before;
        double beforeChainage = 0;
        if (nearest > first) {
            const HzElement &previous = elements[static_cast<std::size_t>(nearest - 1)];
            before = ProjectOntoElement(elements, nearest - 1, point);
            beforeChainage = previous.Chainage + before.Along;
            beforeInside = IsInside(previous, beforeChainage);
        }

        if (!hereInside && !beforeInside) {
            chainage = Round3(current.Chainage);
            offset = Round3(Distance(point, ElementStartPoint(current)));
            azimuth = current.Azimuth;
            return false;
        }
        const bool takeBefore =
            beforeInside && (!hereInside || std::fabs(before.Offset) < std::fabs(here.Offset));
        const ElementProjection &chosen = takeBefore ? before : here;
        chainage = Round3(takeBefore ? beforeChainage : hereChainage);
        offset = Round3(chosen.Offset);
        azimuth = chosen.Azimuth;
        Trace("<< ProjectPointToAligment");
        return true;
    });
}

} // namespace

HzAlignmentIndex::HzAlignmentIndex(const HzAlignment &elements) : search_(elements) {
    const long n = ElementCount(elements);
    for (long k = 1; k <= n; ++k) {
        const HzElement &e = elements[static_cast<std::size_t>(k)];
        // Starts that are not finite numbers are left to the scan, which
        // compares them as it always has.
        if (!std::isfinite(e.X) || !std::isfinite(e.Y)) {
            byEasting_.clear();
            return;
        }
        byEasting_.push_back(k);
    }
    std::sort(byEasting_.begin(), byEasting_.end(), [&](long a, long b) {
        const double xa = elements[static_cast<std::size_t>(a)].X;
        const double xb = elements[static_cast<std::size_t>(b)].X;
        return xa < xb || (xa == xb && a < b);
    });
}

long HzAlignmentIndex::NearestStart(const HzPoint &point) const {
    const HzAlignment &elements = Elements();
    if (byEasting_.empty()) {
        return NearestStartByScan(elements, point, 1, ElementCount(elements));
    }
    // Outwards from the point's easting in both directions; a start whose
    // easting alone lies farther than the best distance so far ends that
    // direction, since every start beyond it lies farther still.
    long nearest = 0;
    double best = std::numeric_limits<double>::infinity();
    const auto consider = [&](long k, double dx) {
        const double dy = point.Y - elements[static_cast<std::size_t>(k)].Y;
        const double d2 = dx * dx + dy * dy;
        if (d2 < best || (d2 == best && k > nearest)) {
            best = d2;
            nearest = k;
        }
    };
    const auto middle =
        std::lower_bound(byEasting_.begin(), byEasting_.end(), point.X, [&](long k, double x) {
            return elements[static_cast<std::size_t>(k)].X < x;
        });
    for (auto it = middle; it != byEasting_.end(); ++it) {
        const double dx = point.X - elements[static_cast<std::size_t>(*it)].X;
        if (dx * dx > best) {
            break;
        }
        consider(*it, dx);
    }
    for (auto it = middle; it != byEasting_.begin();) {
        --it;
        const double dx = point.X - elements[static_cast<std::size_t>(*it)].X;
        if (dx * dx > best) {
            break;
        }
        consider(*it, dx);
    }
    return nearest;
}

bool ProjectPointToAligment(double &chainage, double &offset, double &azimuth, const HzPoint &point,
                            const HzAlignment &elements, long first, long last) {
    return ProjectOntoNearest(chainage, offset, azimuth, point, elements, first, last,
                              [&] { return NearestStartByScan(elements, point, first, last); });
}

bool ProjectPointToAligment(double &chainage, double &offset, double &azimuth, const HzPoint &point,
                            const HzAlignmentIndex &alignment) {
    const HzAlignment &elements = alignment.Elements();
    return ProjectOntoNearest(chainage, offset, azimuth, point, elements, 1, ElementCount(elements),
                              [&] { return alignment.NearestStart(point); });
}

namespace {

// The body of both ProjectChainToAnotherAligment: `pointAt` evaluates the
// first alignment, `project` projects onto the second.
template <class PointAt, class Project>
bool CarryChainage(double chainage, const HzAlignment &elementsTo, double &offsetTo,
                   double &chainageTo, PointAt &&pointAt, Project &&project) {
    offsetTo = 0;
    chainageTo = 0;
    return Guarded("ProjectChainToAnotherAligment", false, [&] {
        HzPoint point;
        if (!pointAt(chainage, point)) {
            return false;
        }
        if (ElementCount(elementsTo) == 0) {
            return false;
        }
        double azimuth = 0;
        return project(point, azimuth);
    });
}

} // namespace

bool ProjectChainToAnotherAligment(double chainage, const HzAlignment &elementsFrom,
                                   const HzAlignment &elementsTo, double &offsetTo,
                                   double &chainageTo) {
    return CarryChainage(
        chainage, elementsTo, offsetTo, chainageTo,
        [&](double c, HzPoint &point) { return GetCoordFromHzAligment(elementsFrom, c, point); },
        [&](const HzPoint &point, double &azimuth) {
            return ProjectPointToAligment(chainageTo, offsetTo, azimuth, point, elementsTo, 1,
                                          ElementCount(elementsTo));
        });
}

bool ProjectChainToAnotherAligment(double chainage, const HzAlignmentIndex &from,
                                   const HzAlignmentIndex &to, double &offsetTo,
                                   double &chainageTo) {
    return CarryChainage(
        chainage, to.Elements(), offsetTo, chainageTo,
        [&](double c, HzPoint &point) { return GetCoordFromHzAligment(from, c, point); },
        [&](const HzPoint &point, double &azimuth) {
            return ProjectPointToAligment(chainageTo, offsetTo, azimuth, point, to);
        });
}

} // namespace vialto
