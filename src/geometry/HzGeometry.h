// Plane geometry of horizontal alignments: angle and point helpers, the
// evaluators of lines, arcs, clothoids and cubic parabolas, the point at a
// chainage, and the projection of a point or of a chainage onto an alignment.
//
// Conventions (in and out of every routine here):
// - Angles are radians. An azimuth runs clockwise from +Y (north) towards +X
//   (east): the point at distance d along azimuth a is (X + d sin a, Y + d cos a).
// - A signed radius is positive for a curve turning right (azimuth increasing),
//   negative turning left; 0 is a straight line. For a transition the stored
//   radius is its curved start, or the marker +-0.001 (kRadiusMarker) when the
//   transition starts at zero curvature and its far radius follows from A and
//   the length.
// - Offsets are positive to the right of the direction of travel.
// - kNullValue (-9999999.9999) means "no value", e.g. no following element.
// - Element arrays are 1-based (index 0 present and unused).
//
// Routines that can meet bad data raise (RaiseError/RaiseRuntime) and are meant
// to be called inside a Guarded boundary; those that return bool are their own
// boundary.
#pragma once

#include "model/ElementSearch.h"
#include "model/Records.h"

#include <cstdint>
#include <vector>

namespace vialto {

// The program's own literal constants. They are kept as written because the
// results depend on them (two slightly different values of 2 pi are used).
inline constexpr double kPi = 3.14159265358979;
inline constexpr double kTwoPi = 6.28318530717959;
inline constexpr double kTwoPiOnce = 6.28318530717958; // NormalizeAngleOnce only
inline constexpr double kHalfPi = 1.5707963267949;
inline constexpr double kThreeHalfPi = 4.71238898038469;
inline constexpr double kThreeHalfPiSolver = 4.712388980384685; // clothoid foot solver
inline constexpr double kSqrtPi = 1.77245385090552;             // cap of the foot solver's estimate

inline constexpr double kRadiusMarker = 0.001;         // "radius derived from A and length"
inline constexpr int kClothoidSeriesTerms = 50;        // at most, for very long transitions
inline constexpr double kClothoidSeriesStop = 1e-15;   // a term this small of its sum ends it
inline constexpr double kArcSinTolerance = 1e-7;       // |x - 1| that counts as x = 1
inline constexpr double kArcFullCircleBackoff = 0.001; // an arc is cut this short of a circle
inline constexpr double kInfiniteRadiusLength = 0.02;  // clothoid length below which R is infinite
inline constexpr double kSpiralAzimuthMinS = 0.001;    // below this SpiralAzimuth gives the start
inline constexpr double kFootBehindOrigin = 999999999; // length and distance behind the origin
inline constexpr double kFootMinU = 1e-6;              // foot at the origin below this abscissa
inline constexpr double kFootOriginSlack =
    0.0005; // metres behind a clothoid's origin taken as at it
inline constexpr double kFootStepTolerance = 1e-8; // the foot solver stops below this step
inline constexpr int kFootMaxSteps = 6;

// A point of the plane as the geometry returns it: Z and Flag are always 0 here;
// Azimuth is the tangent direction at the point (radians clockwise from north).
struct HzPoint {
    double X = 0;
    double Y = 0;
    double Z = 0;
    std::int16_t Flag = 0;
    double Azimuth = 0;
};

// Element kinds, decided in this order: Radius 0 -> Line; Parameter 0 -> Arc;
// Parameter > 0 -> Clothoid (A = Parameter); Parameter < 0 -> CubicParabola
// (|Parameter| = its total length L); anything else (NaN) -> Unknown.
enum class HzElementType : std::uint8_t {
    Line = 0,
    Arc = 1,
    Clothoid = 2,
    CubicParabola = 3,
    Unknown = 255,
};
HzElementType GetElementType(const HzElement &element);

// The element's start as a point (X, Y, start azimuth).
HzPoint ElementStartPoint(const HzElement &element);

// ---- Angle and point helpers ----

// One step only: a < 0 gets + 6.28318530717958, a > 6.28318530717958 gets - it.
void NormalizeAngleOnce(double &a);
// Brought into [0, 2 pi] by whole turns (NaN and infinities are returned as they are).
double NormalizeAngle(double a);
// The clockwise angle from a0 to a1 in [0, 2 pi); a full turn gives 0.
double AngleFromTo(double a0, double a1);
// |a1 - a0| taken the short way by the sign of sin(a1 - a0), normalised once.
double Deflection(double a0, double a1);
// The arc sine by atan; |x| >= 1 gives pi/2 when x is within 1e-7 of 1, else 3 pi/2.
double ArcSin(double x);
// The point at distance d from origin along azimuth a; its Azimuth is a.
HzPoint PointAtDistance(const HzPoint &origin, double azimuth, double distance);
// Azimuth of the direction p0 -> p1 in [0, 2 pi]; 0 for equal points.
double Azimuth(const HzPoint &p0, const HzPoint &p1);
double Distance(const HzPoint &p0, const HzPoint &p1);
// Circular vertical curve of signed radius R between grades g1 and g2 (fractions):
// returns the turn angle (radians, at most pi) and gives back the horizontal
// lengths of its two tangents.
double TangentLengths(double g1, double g2, double radius, double &tangent1, double &tangent2);
// Reflection of point about the line through linePoint with azimuth lineAzimuth
// (the point's Azimuth is reflected too).
HzPoint MirrorPointAboutLine(const HzPoint &point, const HzPoint &linePoint, double lineAzimuth);

// ---- Element evaluators (s = distance from the element's start) ----

HzPoint GetCoordInLine(const HzElement &element, double s);
// s at or beyond a full circle is cut to 2 pi |R| - 0.001.
HzPoint GetCoordInArc(const HzElement &element, double s);
// The point of a clothoid transition. nextRadius and nextAzimuth are those of the
// following element, kNullValue for the last element. Raises when the parameter
// is 0 or a transition ending at zero curvature has length 0.
HzPoint GetCoordInClothoid(const HzElement &element, double s, double nextRadius,
                           double nextAzimuth);
// The END point of a cubic parabola of total length L (= |Parameter|): after a
// straight line (flagFromLine) x = Length from the element's own start, otherwise
// x = L - Length from nextElement's start along its azimuth. Azimuth is the
// parabola's tangent there.
HzPoint GetCoordInCubicParabola(double L, bool flagFromLine, const HzElement &element,
                                const HzElement &nextElement);
// A cubic parabola at distance s into the element: the parabola's origin is the
// element's start after a straight line, else the following element's start (the
// parabola runs into it); the abscissa from the origin is taken equal to the
// distance run. At s = Length after a line it equals GetCoordInCubicParabola.
HzPoint GetCoordInCubicParabolaAt(double L, bool flagFromLine, const HzElement &element,
                                  const HzElement &nextElement, double s);

// The point at a chainage (beyond the end: extrapolated on the last element).
// False for an empty array, a chainage before the first element or not finite,
// a cubic parabola on the first or last element, an unknown element kind, or an
// evaluation error (reported to ErrHandler).
bool GetCoordFromHzAligment(const HzAlignment &elements, double chainage, HzPoint &point);

// Projects a plane point onto elements first..last. Gives back the chainage and
// the offset (positive right), both rounded to 3 decimals, and the tangent
// azimuth at the foot point. False when the point falls inside neither candidate
// element: then chainage is the nearest element's start, offset the distance to
// that start (unsigned) and azimuth that start's azimuth.
bool ProjectPointToAligment(double &chainage, double &offset, double &azimuth, const HzPoint &point,
                            const HzAlignment &elements, long first, long last);

// The offset and chainage on elementsTo of the point at a chainage of
// elementsFrom (note: offset first). Both outputs start at 0.
bool ProjectChainToAnotherAligment(double chainage, const HzAlignment &elementsFrom,
                                   const HzAlignment &elementsTo, double &offsetTo,
                                   double &chainageTo);

// An alignment prepared for many evaluations and projections while it stays as
// it is (the samples of a track walk): the element at a chainage by bisection
// (ElementSearch) and the nearest element start among the starts sorted by
// easting. The routines below that take one give the very answers of those
// that take the array. It refers to the array, which must outlive it
// unchanged.
class HzAlignmentIndex {
  public:
    explicit HzAlignmentIndex(const HzAlignment &elements);

    const HzAlignment &Elements() const { return search_.Elements(); }
    // FindElementAt's element.
    long ElementAt(double chainage) const { return search_.At(chainage); }
    // The element of 1..n whose start is nearest to the (finite) point, the
    // later one on equal distances; 0 when no start is at a usable distance.
    long NearestStart(const HzPoint &point) const;

  private:
    ElementSearch<HzElement> search_;
    std::vector<long> byEasting_; // element numbers by X of their starts; empty: scan them all
};

bool GetCoordFromHzAligment(const HzAlignmentIndex &alignment, double chainage, HzPoint &point);
// Onto the whole alignment (elements 1..n).
bool ProjectPointToAligment(double &chainage, double &offset, double &azimuth, const HzPoint &point,
                            const HzAlignmentIndex &alignment);
bool ProjectChainToAnotherAligment(double chainage, const HzAlignmentIndex &from,
                                   const HzAlignmentIndex &to, double &offsetTo,
                                   double &chainageTo);

// ---- Transition helpers ----

// 1: zero curvature at the first end (R1 0 or the marker); 2: the same for R2;
// 4: |R2| <= |R1| (curvature grows); 3: |R2| > |R1| (curvature falls).
int SpiralCase(double R1, double R2);
// As SpiralCase (element.Radius, farRadius), but 5 when element.Parameter is 0.
int SpiralCaseOfElement(const HzElement &element, double farRadius);

// Signed radius at the far end of a transition (0 = infinite). nextRadius and
// nextAzimuth are the following element's (kNullValue when unknown). Without
// them the far radius follows from the stored radius and the length: fromEnd
// means the curvature falls along the element.
double OtherRadius(const HzElement &element, double nextRadius, double nextAzimuth, bool fromEnd);

// The radius to store for a transition of parameter A whose tangent turns from
// azIn to azOut between neighbours of radius R1 (before) and R2 (after):
// |R1| when it leaves R1 or runs from R1 to R2, the marker 0.001 when it starts
// at zero curvature; signed by the turn.
double SpiralRadius(double azIn, double azOut, double R1, double R2, double A);

// Tangent azimuth at distance s into a transition whose far radius is nextRadius.
double SpiralAzimuth(double s, const HzElement &element, double nextRadius);

// Intersection of the start and end tangents (points with their azimuths).
HzPoint GetPI(const HzPoint &startPoint, const HzPoint &endPoint);

// Centre of an arc of signed radius R and length L between two points; R = 0
// gives the start point.
HzPoint GetArcCenter(const HzPoint &startPoint, const HzPoint &endPoint, double R, double L);

// The unit clothoid (A = 1) at tangent angle t = l^2 / 2: x along its origin
// tangent, y towards the side it bends to. The series ends at the first term
// below 1e-15 of its sum (at most 50 terms); over t in [0, pi/2] the point is
// within 1e-9 of the integrated clothoid for a parameter up to 3000.
void ClothoidUnitCoords(double t, double &x, double &y);

// Foot point on the unit clothoid of a point (u along the origin tangent, v to
// the side the clothoid bends to). Gives back the clothoid length of the foot
// and the signed distance to it (negative on the side the clothoid bends to);
// both kFootBehindOrigin when u < 0.
void SolveUnitClothoidFoot(double u, double v, double &length, double &distance);

} // namespace vialto
