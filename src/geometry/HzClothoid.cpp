// Clothoid transitions: the unit clothoid series, the frame of the whole
// clothoid an element is a piece of, the point and tangent in a transition,
// the radius at its far end, and the foot point on the unit clothoid.
#include "geometry/HzClothoidFrame.h"

#include "geometry/HzGeometry.h"
#include "shell/Error.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>

namespace vialto {

void ClothoidUnitCoords(double t, double &x, double &y) {
    // Each term t^k / k! follows from the one before by one product, so no power
    // is ever evaluated. The series alternates and, once k exceeds t, its terms
    // shrink: a term below kClothoidSeriesStop of its sum changes nothing a
    // listing can show, and the series ends there (at most
    // kClothoidSeriesTerms terms, where a very long transition ends anyway).
    double sumX = 0;
    double sumY = 0;
    double power = 1; // t^k / k!, for k = 2n - 2, then 2n - 1
    for (int n = 1; n <= kClothoidSeriesTerms; ++n) {
        const double sign = n % 2 == 1 ? 1.0 : -1.0;
        const int even = 2 * n - 2;
        const int odd = 2 * n - 1;
        if (even > 0) {
            power *= t / even;
        }
        const double termX = power / (4.0 * n - 3);
        power *= t / odd;
        const double termY = power / (4.0 * n - 1);
        sumX += sign * termX;
        sumY += sign * termY;
        if (odd > t && termX <= kClothoidSeriesStop * std::fabs(sumX) &&
            termY <= kClothoidSeriesStop * std::fabs(sumY)) {
            break;
        }
    }
    const double root = std::sqrt(2 * t);
    x = root * sumX;
    y = root * sumY;
}

int SpiralCase(double R1, double R2) {
    if (R1 == 0 || std::fabs(R1) == kRadiusMarker) {
        return 1;
    }
    if (R2 == 0 || std::fabs(R2) == kRadiusMarker) {
        return 2;
    }
    return std::fabs(R2) <= std::fabs(R1) ? 4 : 3;
}

int SpiralCaseOfElement(const HzElement &element, double farRadius) {
    if (element.Parameter == 0) {
        return 5;
    }
    return SpiralCase(element.Radius, farRadius);
}

namespace {

// Tangent angle of a clothoid of parameter A where its radius is r (0: none).
double TangentAngleAtRadius(double r, double A) {
    r = std::fabs(r);
    if (r == 0) {
        return 0;
    }
    const double length = A * A / r;
    return length / (2 * r);
}

struct DeflectionChoice {
    int Candidate = 1; // 1: leaves R1, 2: starts at zero curvature, 3: runs from R1 to R2
    double Sign = 1;   // +1 when the tangent turns right
};

// Which of the three transitions (from R1 to straight, from straight to R2,
// from R1 to R2) turns the tangent by the deflection from azIn to azOut. The
// first candidate wins a tie.
DeflectionChoice ChooseByDeflection(double azIn, double azOut, double R1, double R2, double A) {
    DeflectionChoice choice;
    double deflection = azOut - azIn;
    if (std::sin(azOut - azIn) < 0) {
        deflection = azIn - azOut;
        choice.Sign = -1;
    }
    NormalizeAngleOnce(deflection);
    const double t1 = TangentAngleAtRadius(R1, A);
    const double t2 = TangentAngleAtRadius(R2, A);
    const double t3 = std::fabs(t1 - t2);
    double best = std::fabs(t1 - deflection);
    if (std::fabs(t2 - deflection) < best) {
        best = std::fabs(t2 - deflection);
        choice.Candidate = 2;
    }
    if (std::fabs(t3 - deflection) < best) {
        choice.Candidate = 3;
    }
    return choice;
}

// value with the sign, never -0.
double WithSign(double value, double sign) { return value == 0 ? 0 : value * sign; }

double ClothoidLengthAtRadius(double r, double A) { return Divide(A * A, std::fabs(r)); }

// Chord from the origin of a clothoid of parameter A to clothoid length l: its
// length and its angle from the origin tangent (towards the bend).
void ClothoidChord(double l, double A, double &chord, double &angle) {
    const double t = l * l / (2 * A * A);
    double x = 0;
    double y = 0;
    ClothoidUnitCoords(t, x, y);
    chord = A * std::sqrt(x * x + y * y);
    // At the origin itself the chord has no direction; any angle does.
    angle = x == 0 ? 0 : std::atan(y / x);
}

} // namespace

double OtherRadius(const HzElement &element, double nextRadius, double nextAzimuth, bool fromEnd) {
    const double A = element.Parameter;
    if (nextRadius != kNullValue && nextAzimuth != kNullValue) {
        const double R1 = element.Radius;
        const DeflectionChoice choice =
            ChooseByDeflection(element.Azimuth, nextAzimuth, R1, nextRadius, A);
        double result = 0;
        if (R1 == 0 || std::fabs(R1) == kRadiusMarker) {
            result = Divide(A * A, std::fabs(element.Length));
        } else {
            result = choice.Candidate == 1 ? 0 : std::fabs(nextRadius);
        }
        return WithSign(result, choice.Sign);
    }
    const double R = element.Radius;
    const double length = element.Length;
    double result = 0;
    if (length == 0) {
        result = std::fabs(R) == kRadiusMarker ? 0 : std::fabs(R);
    } else if (std::fabs(R) == kRadiusMarker) {
        result = Divide(A * A, std::fabs(length));
    } else {
        const double atR = R == 0 ? 0 : ClothoidLengthAtRadius(R, A);
        const double atOther = fromEnd ? atR - length : atR + length;
        result = std::fabs(atOther) < kInfiniteRadiusLength ? 0 : A * A / std::fabs(atOther);
    }
    return WithSign(result, R >= 0 ? 1 : -1);
}

double SpiralRadius(double azIn, double azOut, double R1, double R2, double A) {
    DeflectionChoice choice = ChooseByDeflection(azIn, azOut, R1, R2, A);
    // Neighbouring radii of opposite signs mean the transition leaves the
    // inflection point: it starts at zero curvature. In a symmetric reverse
    // curve the turn matches both radii equally and would otherwise be taken
    // as leaving R1.
    if ((R1 > 0 && R2 < 0) || (R1 < 0 && R2 > 0)) {
        choice.Candidate = 2;
    }
    const double result = choice.Candidate == 2 ? kRadiusMarker : std::fabs(R1);
    return WithSign(result, choice.Sign);
}

ClothoidFrame MakeClothoidFrame(const HzElement &element, double farRadius) {
    const int spiralCase = SpiralCaseOfElement(element, farRadius);
    if (spiralCase == 5) {
        RaiseRuntime(errInvalidCall, "a transition with parameter 0");
    }
    ClothoidFrame frame;
    frame.A = std::fabs(element.Parameter);
    const double A = frame.A;
    const double turn = element.Radius >= 0 ? 1.0 : -1.0;
    const double a = element.Azimuth;
    const HzPoint start = ElementStartPoint(element);

    if (spiralCase == 1) {
        frame.Origin = start;
        frame.Base = a;
        frame.Turn = static_cast<int>(turn);
        frame.Direction = 1;
        frame.L0 = 0;
        return frame;
    }
    if (spiralCase == 2 && element.Length == 0) {
        RaiseRuntime(errInvalidCall, "a transition of length 0 ending at zero curvature");
    }
    frame.L0 = spiralCase == 2 ? element.Length : ClothoidLengthAtRadius(element.Radius, A);
    const double t0 = frame.L0 * frame.L0 / (2 * A * A);
    double chord = 0;
    double chordAngle = 0;
    ClothoidChord(frame.L0, A, chord, chordAngle);

    if (spiralCase == 4) {
        // Curvature grows: the origin lies behind the start, reached backwards.
        double base = a - turn * t0;
        NormalizeAngleOnce(base);
        double back = base + turn * chordAngle + kPi;
        NormalizeAngleOnce(back);
        frame.Origin = PointAtDistance(start, back, chord);
        frame.Base = base;
        frame.Turn = static_cast<int>(turn);
        frame.Direction = 1;
        return frame;
    }
    // Cases 2 and 3, curvature falls: the origin lies ahead of the start and the
    // element runs towards it, so seen from the origin the clothoid grows
    // backwards along the element and turns the other way.
    double base = a + turn * t0 + kPi;
    NormalizeAngleOnce(base);
    double ahead = a + turn * (t0 - chordAngle);
    NormalizeAngleOnce(ahead);
    frame.Origin = PointAtDistance(start, ahead, chord);
    frame.Base = base;
    frame.Turn = -static_cast<int>(turn);
    frame.Direction = -1;
    return frame;
}

HzPoint ClothoidFramePoint(const ClothoidFrame &frame, double l) {
    double chord = 0;
    double chordAngle = 0;
    ClothoidChord(l, frame.A, chord, chordAngle);
    // The clothoid is symmetric about its origin: a negative length lies
    // opposite, with the same tangent.
    double chordAzimuth = frame.Base + frame.Turn * chordAngle + (l < 0 ? kPi : 0);
    NormalizeAngleOnce(chordAzimuth);
    HzPoint point = PointAtDistance(frame.Origin, chordAzimuth, chord);
    const double t = l * l / (2 * frame.A * frame.A);
    const double tangent = frame.Base + frame.Turn * t + (frame.Direction > 0 ? 0 : kPi);
    point.Azimuth = NormalizeAngle(tangent);
    return point;
}

HzPoint GetCoordInClothoid(const HzElement &element, double s, double nextRadius,
                           double nextAzimuth) {
    // Without a following element the far radius follows from the stored one
    // as if the curvature fell along the element, which is what a last
    // transition (ending the alignment on a straight) does.
    const double farRadius = OtherRadius(element, nextRadius, nextAzimuth, true);
    const ClothoidFrame frame = MakeClothoidFrame(element, farRadius);
    return ClothoidFramePoint(frame, frame.L0 + frame.Direction * s);
}

double SpiralAzimuth(double s, const HzElement &element, double nextRadius) {
    if (s < kSpiralAzimuthMinS) {
        return NormalizeAngle(element.Azimuth);
    }
    const int spiralCase = SpiralCaseOfElement(element, nextRadius);
    if (spiralCase == 5) {
        RaiseRuntime(errInvalidCall, "a transition with parameter 0");
    }
    const double A = element.Parameter;
    const double turn = element.Radius >= 0 ? 1.0 : -1.0;
    double atStart = 0;
    double atPoint = 0;
    bool growing = true;
    switch (spiralCase) {
    case 1:
        atStart = 0;
        atPoint = s;
        break;
    case 2:
        atStart = element.Length;
        atPoint = element.Length - s;
        growing = false;
        break;
    case 4:
        atStart = ClothoidLengthAtRadius(element.Radius, A);
        atPoint = atStart + s;
        break;
    default: // 3
        atStart = ClothoidLengthAtRadius(element.Radius, A);
        atPoint = atStart - s;
        growing = false;
        break;
    }
    const double tStart = atStart * atStart / (2 * A * A);
    const double tPoint = atPoint * atPoint / (2 * A * A);
    const double turned = growing ? tPoint - tStart : tStart - tPoint;
    return NormalizeAngle(element.Azimuth + turn * turned);
}

namespace {

struct UnitFoot {
    double T = 0;    // tangent angle at the foot estimate
    HzPoint C;       // the unit clothoid's point there (X along, Y towards the bend)
    double Beta = 0; // azimuth from C to the point
    double D = 0;    // distance from C to the point
};

UnitFoot EvaluateUnitFoot(double l, const HzPoint &p) {
    UnitFoot foot;
    foot.T = l * l / 2;
    ClothoidUnitCoords(foot.T, foot.C.X, foot.C.Y);
    foot.Beta = Azimuth(foot.C, p);
    foot.D = Distance(foot.C, p);
    return foot;
}

// -1 on the side the clothoid bends to (left of its tangent), else +1.
int SideOf(const UnitFoot &foot) {
    return (foot.Beta <= kHalfPi - foot.T || foot.Beta >= kThreeHalfPiSolver - foot.T) ? -1 : 1;
}

} // namespace

void SolveUnitClothoidFoot(double u, double v, double &length, double &distance) {
    if (u < 0) {
        length = kFootBehindOrigin;
        distance = kFootBehindOrigin;
        return;
    }
    HzPoint p;
    p.X = u;
    p.Y = v;
    double l = std::min(u, kSqrtPi);
    UnitFoot foot = EvaluateUnitFoot(l, p);
    if (u < kFootMinU) {
        length = 0;
        distance = SideOf(foot) * std::fabs(v);
        return;
    }
    if (SideOf(foot) == -1) {
        // On the inside the tangent's crossing of the u axis is a better start.
        const double crossing = foot.C.X - foot.C.Y / std::tan(foot.T);
        l = std::max(std::min(crossing, kSqrtPi), 0.0);
        foot = EvaluateUnitFoot(l, p);
    }
    for (int step = 0; step < kFootMaxSteps; ++step) {
        // phi is the point's direction seen from C, clockwise from the normal
        // pointing away from the centre of curvature; the angle it subtends at
        // that centre, run along the osculating circle (radius 1/l), moves the
        // foot. A positive phi lies behind C, so the length shrinks.
        const double phi = foot.Beta - (kPi - foot.T);
        const double lineOfSight = l * foot.D;
        double dl = 0;
        if (l > 0) {
            dl = std::atan(lineOfSight * std::sin(phi) / (1 + lineOfSight * std::cos(phi))) / l;
        } else {
            dl = foot.D * std::sin(phi); // the limit at the origin, where the clothoid is straight
        }
        if (std::fabs(dl) < kFootStepTolerance) {
            break;
        }
        // Floored at the origin itself: a transition that starts or ends at zero
        // curvature has real foot points within a few millimetres of it.
        l = std::max(l - dl, 0.0);
        foot = EvaluateUnitFoot(l, p);
    }
    length = l;
    // The side is taken at the foot found: near the curve the side of the first
    // estimate's tangent need not be the side of the curve.
    distance = SideOf(foot) * foot.D;
}

} // namespace vialto
