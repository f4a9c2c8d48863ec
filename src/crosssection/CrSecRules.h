// The stringline naming rules. Each rule codes the points of one surface
// (This: surface j of station i) by looking at the first surface of the same
// layer at station i - 1 (Last), so that points that continue one another
// across stations carry the same code. They run in this order:
// NamesByDistance, NamesByEnds, NamesByProximity, ClearRepeatedCodes,
// NamesToRest. A rule works on a copy of This and writes it back when done;
// Last is never changed. How each Last line moved from the same layer's
// surface at station i - 2 tells the rules where it was heading.
//
// Offsets are signed distances from the axis, positive to the right; "side"
// is the sign of the offset. Point indices are 0-based; an empty index list
// stands for "none".
#pragma once

#include "model/Records.h"

#include <cstddef>
#include <string>
#include <vector>

namespace vialto {

using PointIndexList = std::vector<std::size_t>;

// This points and Last points that belong together.
struct PointGroup {
    PointIndexList This;
    PointIndexList Last;
};

// A point of one side and its nearest points on the other side.
struct NearestPair {
    std::size_t Index = 0;
    PointIndexList Nearest;            // empty when no candidate qualified
    double Difference = -9999999.9999; // offset difference to the first nearest
};

// The five rules on surface j of station i. Return the number of points coded.
//
// By distance, a Last point passes its code to the This points at its offset
// (within the tolerance) only when its line may be taken to be there still:
// a line that stood still from station i - 2 may; one that started at the
// Last station may not (nothing tells whether it moves); one that was moving
// may only when every This point beyond that offset, in the direction it was
// moving, lies at the offset of a line that may: it can only have stopped
// there. Otherwise a neighbour moving the same way may have taken the offset
// it left, and the later rules decide.
int NamesByDistance(CrossSectionSet &set, std::size_t i, std::size_t j, double tolerance = 0.0001);
int NamesByEnds(CrossSectionSet &set, std::size_t i, std::size_t j, bool sideCheck = true);
int NamesByProximity(CrossSectionSet &set, std::size_t i, std::size_t j);
void ClearRepeatedCodes(CrossSectionSet &set, std::size_t i, std::size_t j);
int NamesToRest(CrossSectionSet &set, std::size_t i, std::size_t j);

// Where the line of each Last point (surface lastSurface of station i - 1)
// was heading at station i: its offset plus the change the line made from
// station i - 2, scaled by the ratio of the chainage steps; its own offset
// when that change is unknown (no station i - 2 with the layer, or a line
// that started at station i - 1). One offset per Last point.
std::vector<double> HeadingOffsets(const CrossSectionSet &set, std::size_t i,
                                   std::size_t lastSurface);

// Groups of This and Last points whose offsets differ by less than the
// tolerance; a vertical face (several points at one offset) forms one group.
// An empty first group means no point matched. (NamesByDistance groups only
// the Last points whose lines may pass their codes by offset.)
std::vector<PointGroup> GroupByDistance(const std::vector<CrSecPoint> &thisPoints,
                                        const std::vector<CrSecPoint> &lastPoints,
                                        double tolerance);
// Passes the Last codes to the This points of groups of equal size, in order.
int ApplyGroups(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                const std::vector<PointGroup> &groups);

enum class SectionEnd { First, Last };
// Codes the This point at one end of the section from Last's point at that
// end (copies skipped); 0 or 1.
int NameEnd(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
            SectionEnd end, bool sideCheck);

// The runs of uncoded This points between consecutive coded ones, each with
// the Last points that lie between the two codes' Last points across the
// section.
std::vector<PointGroup> GetSegments(const std::vector<CrSecPoint> &thisPoints,
                                    const std::vector<CrSecPoint> &lastPoints);

// The candidates nearest by offset to the reference point: the nearest first,
// then every other one as near within 0.0001, in candidate order. A Last
// point is as near as the nearer of its offset and its heading: give the
// heading of the reference (referenceHeading) or those of the candidates'
// points (pointsHeading, one per point) when they are Last points.
PointIndexList NearestByOffset(const PointIndexList &candidates, const CrSecPoint &reference,
                               const std::vector<CrSecPoint> &points, bool allowCopies,
                               bool sameSideOnly);
PointIndexList NearestByOffset(const PointIndexList &candidates, const CrSecPoint &reference,
                               double referenceHeading, const std::vector<CrSecPoint> &points,
                               const std::vector<double> &pointsHeading, bool allowCopies,
                               bool sameSideOnly);
// False only when the offsets have strictly opposite signs.
bool SameSide(double offsetA, double offsetB);
// For every A point, its nearest B points (copies allowed); the headings of
// whichever side is Last (empty for the other), as in NearestByOffset. The
// difference is the distance so measured, signed as the offsets' difference.
std::vector<NearestPair>
NearestPairs(const std::vector<CrSecPoint> &pointsA, const PointIndexList &indexA,
             const std::vector<double> &headingA, const std::vector<CrSecPoint> &pointsB,
             const PointIndexList &indexB, const std::vector<double> &headingB, bool sameSideOnly);
// By absolute offset difference, smallest first; equal ones keep their order.
std::vector<NearestPair> SortNearestPoints(std::vector<NearestPair> pairs);

// The segment rules of the proximity step; lastHeading holds the Last
// points' headings (HeadingOffsets).
int OneToSeveral(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                 const std::vector<double> &lastHeading, const PointGroup &segment);
int SeveralToOne(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                 const std::vector<double> &lastHeading, const PointGroup &segment);
int SeveralToSeveral(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                     const std::vector<double> &lastHeading, const PointGroup &segment,
                     bool sideCheck);

// Hands a listing of the points to the trace hook.
void DebugPoints(const std::string &title, const std::vector<CrSecPoint> &points);

} // namespace vialto
