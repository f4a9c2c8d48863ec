// What a document's geometry says, evaluated from the LandXML definitions
// alone and from nothing of the code that wrote it:
// - a Line runs straight from Start to End;
// - a Curve turns about Center from Start to End, clockwise or not as rot
//   says, at the distance of Start from Center;
// - a clothoid Spiral starts at Start towards its PI, and its curvature runs
//   linearly over `length` from 1/radiusStart to 1/radiusEnd (INF: 0); the
//   point at a distance is the integral of the heading's cosine and sine
//   (Gauss-Legendre);
// - a cubic Spiral is the cubic parabola y = k x^3 in the frame of its
//   straight end (the end farther from the PI, whose tangent runs towards
//   the PI), through the other end; its `length` is measured on that tangent;
// - a profile is the polyline of its PVIs, in which a ParaCurve replaces its
//   vertex by the symmetric parabola of its length between the two grades,
//   and a CircCurve by the circle of its radius tangent to both grades.
//
// Units: the document's linear unit; plane points X easting, Y northing.
#pragma once

#include "verify/DocumentRecords.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace vialto {

// A point of an element and its unit tangent in the direction of travel.
struct DocPose {
    double X = 0;
    double Y = 0;
    double Dx = 0; // east component of the tangent
    double Dy = 1; // north component of the tangent
};

// The element's length along it: a line's |End - Start|, an arc's radius
// times the angle it sweeps, a transition's length attribute.
double DocElementLength(const DocElement &element);

// The poses at distances from the element's start, which must ascend (the
// transitions integrate from one to the next). Distances beyond 0..length
// continue the element's own definition.
std::vector<DocPose> DocElementPoses(const DocElement &element,
                                     const std::vector<double> &distances);
DocPose DocElementPose(const DocElement &element, double distance);

// The chainage at which each element starts (its staStart, or where the one
// before it ended), followed by the chainage where the last one ends.
std::vector<double> DocElementStations(const DocAlignment &alignment);

// The poses at chainages of the alignment (in any order), each on the element
// that holds it (before the first one or beyond the last: that element,
// continued); stations as DocElementStations gives them. Each element is
// followed once, however many chainages it holds. Empty for an alignment
// without elements.
std::vector<DocPose> DocAlignmentPoses(const DocAlignment &alignment,
                                       const std::vector<double> &stations,
                                       const std::vector<double> &chainages);

// Transitions are integrated in pieces of at most this length, each by
// 8-point Gauss-Legendre (far below a micrometre for any radius above 1).
inline constexpr double kClothoidPiece = 10.0;
// No step is integrated in more pieces than this: a distance that long is no
// transition of a road or railway, and its point is only approximate.
inline constexpr int kMaxClothoidPieces = 100000;

// The cosine and sine of (base + delta) from those of base. Where delta is
// small (a transition's heading within one metre) by the series of cos and
// sin of delta, whose first term left out stays below 1e-20; else afresh.
// The integrations of transitions take one sin/cos per piece this way
// instead of one per Gauss node.
inline void TurnedBy(double cosBase, double sinBase, double base, double delta, double &c,
                     double &s) {
    if (std::abs(delta) > 0.01) {
        c = std::cos(base + delta);
        s = std::sin(base + delta);
        return;
    }
    const double d2 = delta * delta;
    const double cosDelta = 1 - d2 / 2 * (1 - d2 / 12 * (1 - d2 / 30));
    const double sinDelta = delta * (1 - d2 / 6 * (1 - d2 / 20 * (1 - d2 / 42)));
    c = cosBase * cosDelta - sinBase * sinDelta;
    s = sinBase * cosDelta + cosBase * sinDelta;
}

// The longest alignment and profile the proof and the preview follow metre by
// metre (a thousand kilometres); a document that states longer ones is
// refused as not what this program writes.
inline constexpr double kMaxFollowedSpan = 1e6;

// A vertical curve of a profile, as its PVI and neighbours define it.
struct DocCurveSpan {
    std::size_t Vertex = 0; // index of its PVI in the ProfAlign's points
    DocVerticalCurve Kind = DocVerticalCurve::Parabola;
    double Begin = 0; // station where it leaves the incoming grade
    double End = 0;   // station where it joins the outgoing grade
};

// The heights of one ProfAlign.
class DocProfile {
  public:
    explicit DocProfile(const DocProfAlign &align);

    // First and last vertex station; Begin() > End() when there are none.
    double Begin() const;
    double End() const;
    // The height at a station; false outside Begin()..End().
    bool HeightAt(double station, double &height) const;
    // Where a walk along ascending stations has got to: the same heights,
    // with the curve and vertex searches going on from the last station.
    struct Walk {
        std::size_t Curve = 0;  // the first curve beginning after the station
        std::size_t Vertex = 0; // the first vertex after the station
    };
    bool HeightAt(double station, double &height, Walk &walk) const;
    const std::vector<DocCurveSpan> &Curves() const { return curves_; }
    const DocProfAlign &Align() const { return align_; }

  private:
    struct CurveShape {
        double Grade1 = 0; // grade of the incoming tangent
        double Grade2 = 0;
        double CentreStation = 0; // circles: the centre in the (station, height) plane
        double CentreHeight = 0;
        double Radius = 0; // circles: |radius|
        bool Sag = true;   // circles: the centre lies above
    };
    double GradeHeight(std::size_t segment, double station) const;
    bool HeightBetween(double station, std::size_t curve, std::size_t vertex, double &height) const;

    DocProfAlign align_;
    std::vector<DocCurveSpan> curves_;
    std::vector<CurveShape> shapes_; // one per curve
    // Curve beginnings and vertex stations finite and ascending: a walk's
    // searches may go on from where they were.
    bool walkable_ = false;
};

} // namespace vialto
