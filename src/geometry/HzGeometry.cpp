// Angle and point helpers, lines, arcs, cubic parabolas, figure points, and the
// point at a chainage of a horizontal alignment.
#include "geometry/HzGeometry.h"

#include "model/ElementSearch.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <cmath>

namespace vialto {

namespace {

// Beyond this many turns NormalizeAngle reduces with fmod first, so that a huge
// angle cannot keep the loop running (or never end once 2 pi no longer changes it).
constexpr double kMaxLoopTurns = 64;

} // namespace

HzElementType GetElementType(const HzElement &element) {
    if (element.Radius == 0) {
        return HzElementType::Line;
    }
    if (element.Parameter == 0) {
        return HzElementType::Arc;
    }
    if (element.Parameter > 0) {
        return HzElementType::Clothoid;
    }
    if (element.Parameter < 0) {
        return HzElementType::CubicParabola;
    }
    return HzElementType::Unknown;
}

HzPoint ElementStartPoint(const HzElement &element) {
    HzPoint point;
    point.X = element.X;
    point.Y = element.Y;
    point.Azimuth = element.Azimuth;
    return point;
}

void NormalizeAngleOnce(double &a) {
    if (a < 0) {
        a += kTwoPiOnce;
    } else if (a > kTwoPiOnce) {
        a -= kTwoPiOnce;
    }
}

double NormalizeAngle(double a) {
    if (!std::isfinite(a)) {
        return a;
    }
    if (std::fabs(a) > kMaxLoopTurns * kTwoPi) {
        a = std::fmod(a, kTwoPi);
    }
    while (a < 0) {
        a += kTwoPi;
    }
    while (a > kTwoPi) {
        a -= kTwoPi;
    }
    return a;
}

double AngleFromTo(double a0, double a1) {
    if (a0 >= a1) {
        a1 += kTwoPi;
    }
    const double d = a1 - a0;
    return d >= kTwoPi ? 0 : d;
}

double Deflection(double a0, double a1) {
    double d = std::sin(a1 - a0) >= 0 ? a1 - a0 : a0 - a1;
    NormalizeAngleOnce(d);
    return d;
}

double ArcSin(double x) {
    if (std::fabs(x) < 1) {
        return std::atan(x / std::sqrt(1 - x * x));
    }
    return std::fabs(x - 1) < kArcSinTolerance ? kHalfPi : kThreeHalfPi;
}

HzPoint PointAtDistance(const HzPoint &origin, double azimuth, double distance) {
    HzPoint point;
    point.X = origin.X + distance * std::sin(azimuth);
    point.Y = origin.Y + distance * std::cos(azimuth);
    point.Azimuth = azimuth;
    return point;
}

double Azimuth(const HzPoint &p0, const HzPoint &p1) {
    const double dx = p1.X - p0.X;
    const double dy = p1.Y - p0.Y;
    double a = 0;
    if (dx != 0 && dy != 0) {
        a = std::atan(dx / dy);
        if (dy < 0) {
            a += kPi;
        }
        if (dx < 0 && dy > 0) {
            a += kTwoPi;
        }
    } else if (dx == 0) {
        a = dy < 0 ? kPi : 0;
    } else {
        a = dx < 0 ? kThreeHalfPi : kHalfPi;
    }
    NormalizeAngleOnce(a);
    return a;
}

double Distance(const HzPoint &p0, const HzPoint &p1) {
    const double dx = p1.X - p0.X;
    const double dy = p1.Y - p0.Y;
    return std::sqrt(dx * dx + dy * dy);
}

double TangentLengths(double g1, double g2, double radius, double &tangent1, double &tangent2) {
    const double a1 = std::atan(g1);
    const double a2 = std::atan(g2);
    double delta = AngleFromTo(a1, a2);
    if (delta > kPi) {
        delta = kTwoPi - delta;
    }
    const double t = std::fabs(radius) * std::tan(delta / 2);
    tangent1 = std::fabs(t * std::cos(a1));
    tangent2 = std::fabs(t * std::cos(a2));
    return delta;
}

HzPoint MirrorPointAboutLine(const HzPoint &point, const HzPoint &linePoint, double lineAzimuth) {
    // Unit vector of the line in (X, Y): (sin a, cos a); keep the along part,
    // turn the across part round.
    const double ux = std::sin(lineAzimuth);
    const double uy = std::cos(lineAzimuth);
    const double dx = point.X - linePoint.X;
    const double dy = point.Y - linePoint.Y;
    const double along = dx * ux + dy * uy;
    HzPoint mirrored = point;
    mirrored.X = linePoint.X + 2 * along * ux - dx;
    mirrored.Y = linePoint.Y + 2 * along * uy - dy;
    mirrored.Azimuth = NormalizeAngle(2 * lineAzimuth - point.Azimuth);
    return mirrored;
}

HzPoint GetCoordInLine(const HzElement &element, double s) {
    return PointAtDistance(ElementStartPoint(element), element.Azimuth, s);
}

HzPoint GetCoordInArc(const HzElement &element, double s) {
    const double r = std::fabs(element.Radius);
    const double full = kTwoPi * r;
    if (s >= full) {
        s = full - kArcFullCircleBackoff;
    }
    // Half a circle exactly is pi, not s / r rounded.
    double theta = s == kPi * r ? kPi : s / r;
    theta = NormalizeAngle(theta);
    const double chord = std::fabs(2 * element.Radius * std::sin(theta / 2));
    const double turn = element.Radius > 0 ? 1.0 : -1.0;
    const double chordAzimuth = NormalizeAngle(element.Azimuth + turn * theta / 2);
    HzPoint point = PointAtDistance(ElementStartPoint(element), chordAzimuth, chord);
    point.Azimuth = NormalizeAngle(element.Azimuth + turn * theta);
    return point;
}

namespace {

// y = x^3 / (6 R L) * (1 + 3 L^2 / (64 R^2)), the cubic parabola's ordinate
// (positive to the right for R > 0), and its slope dy/dx.
double CubicOrdinate(double x, double R, double L) {
    const double k = 1 + Divide(3 * L * L, 64 * R * R);
    return Divide(x * x * x, 6 * R * L) * k;
}
double CubicSlope(double x, double R, double L) {
    const double k = 1 + Divide(3 * L * L, 64 * R * R);
    return Divide(x * x, 2 * R * L) * k;
}

// base + x along azimuth a + y to its right.
HzPoint LayOff(const HzPoint &base, double a, double x, double y) {
    HzPoint point;
    point.X = base.X + x * std::sin(a) + y * std::cos(a);
    point.Y = base.Y + x * std::cos(a) - y * std::sin(a);
    return point;
}

} // namespace

HzPoint GetCoordInCubicParabola(double L, bool flagFromLine, const HzElement &element,
                                const HzElement &nextElement) {
    const double x = flagFromLine ? element.Length : L - element.Length;
    const HzElement &base = flagFromLine ? element : nextElement;
    const double y = CubicOrdinate(x, element.Radius, L);
    HzPoint point = LayOff(ElementStartPoint(base), base.Azimuth, x, y);
    point.Azimuth = NormalizeAngle(base.Azimuth + std::atan(CubicSlope(x, element.Radius, L)));
    return point;
}

HzPoint GetCoordInCubicParabolaAt(double L, bool flagFromLine, const HzElement &element,
                                  const HzElement &nextElement, double s) {
    if (flagFromLine) {
        // The origin is the element's start; the curvature grows along it.
        const double y = CubicOrdinate(s, element.Radius, L);
        HzPoint point = LayOff(ElementStartPoint(element), element.Azimuth, s, y);
        point.Azimuth =
            NormalizeAngle(element.Azimuth + std::atan(CubicSlope(s, element.Radius, L)));
        return point;
    }
    // The parabola runs into the following element's start, where its curvature
    // is zero; u is the abscissa still to go. A curve turning right lies on the
    // right of its end tangent before it, as after it.
    const double u = element.Length - s;
    const double y = CubicOrdinate(u, element.Radius, L);
    HzPoint point = LayOff(ElementStartPoint(nextElement), nextElement.Azimuth, -u, y);
    point.Azimuth =
        NormalizeAngle(nextElement.Azimuth - std::atan(CubicSlope(u, element.Radius, L)));
    return point;
}

namespace {

// The point at a chainage of the element that holds it, which `find` gives
// (the body of both GetCoordFromHzAligment).
template <class Find>
bool CoordAtChainage(const HzAlignment &elements, double chainage, HzPoint &point, Find &&find) {
    return Guarded("GetCoordFromHzAligment", false, [&] {
        Trace(">> GetCoordFromHzAligment");
        const long n = ElementCount(elements);
        if (n == 0 || !std::isfinite(chainage) || chainage < elements[1].Chainage) {
            return false;
        }
        const long i = find(chainage);
        const HzElement &element = elements.at(static_cast<std::size_t>(i));
        const double s = chainage - element.Chainage;
        HzPoint result;
        switch (GetElementType(element)) {
        case HzElementType::Line:
            result = GetCoordInLine(element, s);
            break;
        case HzElementType::Arc:
            result = GetCoordInArc(element, s);
            break;
        case HzElementType::Clothoid: {
            const bool last = i == n;
            const double nextRadius = last ? kNullValue : elements.at(i + 1).Radius;
            const double nextAzimuth = last ? kNullValue : elements.at(i + 1).Azimuth;
            result = GetCoordInClothoid(element, s, nextRadius, nextAzimuth);
            break;
        }
        case HzElementType::CubicParabola: {
            if (i == 1 || i == n) {
                return false;
            }
            const bool fromLine = elements.at(i - 1).Radius == 0;
            const HzElement &next = elements.at(i + 1);
            const double L = std::fabs(element.Parameter);
            result = s < element.Length ? GetCoordInCubicParabolaAt(L, fromLine, element, next, s)
                                        : GetCoordInCubicParabola(L, fromLine, element, next);
            break;
        }
        case HzElementType::Unknown:
            return false;
        }
        // Records with non-numbers in them give no point rather than a NaN one.
        if (!std::isfinite(result.X) || !std::isfinite(result.Y)) {
            return false;
        }
        point = result;
        Trace("<< GetCoordFromHzAligment");
        return true;
    });
}

} // namespace

bool GetCoordFromHzAligment(const HzAlignment &elements, double chainage, HzPoint &point) {
    return CoordAtChainage(elements, chainage, point,
                           [&](double c) { return FindElementAt(c, elements); });
}

bool GetCoordFromHzAligment(const HzAlignmentIndex &alignment, double chainage, HzPoint &point) {
    return CoordAtChainage(alignment.Elements(), chainage, point,
                           [&](double c) { return alignment.ElementAt(c); });
}

HzPoint GetPI(const HzPoint &startPoint, const HzPoint &endPoint) {
    const double alpha = Azimuth(startPoint, endPoint);
    const double chord = Distance(startPoint, endPoint);
    // Which way the curve turns decides which side the angles are measured on;
    // the tangent length comes out the same either way but for degenerate turns.
    const bool right = std::sin(endPoint.Azimuth - startPoint.Azimuth) >= 0;
    double atStart = right ? alpha - startPoint.Azimuth : startPoint.Azimuth - alpha;
    double atEnd = right ? endPoint.Azimuth - alpha : alpha - endPoint.Azimuth;
    NormalizeAngleOnce(atStart);
    NormalizeAngleOnce(atEnd);
    const double atPI = kPi - (atStart + atEnd);
    const double sinPI = std::sin(atPI);
    const double tangent = sinPI == 0 ? 0 : chord * std::sin(atEnd) / sinPI;
    return PointAtDistance(startPoint, startPoint.Azimuth, tangent);
}

HzPoint GetArcCenter(const HzPoint &startPoint, const HzPoint &endPoint, double R, double L) {
    if (R == 0) {
        return startPoint;
    }
    const double r = std::fabs(R);
    const double chord = Distance(startPoint, endPoint);
    const double alpha = Azimuth(startPoint, endPoint);
    const double psi = NormalizeAngle(kHalfPi - ArcSin(chord / (2 * r)));
    const double direction = ((kPi * r >= L) == (R >= 0)) ? alpha + psi : alpha - psi;
    return PointAtDistance(startPoint, direction, r);
}

} // namespace vialto
