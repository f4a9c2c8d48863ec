// The stringline naming rules. Each rule codes the points of one surface
// (This: surface j of station i) by looking at the first surface of the same
// layer at station i - 1 (Last), so that points that continue one another
// across stations carry the same code. They run in this order:
// NamesByDistance, NamesByEnds, NamesByProximity, ClearRepeatedCodes,
// NamesToRest. A rule works on a copy of This and writes it back when done;
// Last is never changed.
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
int NamesByDistance(CrossSectionSet &set, std::size_t i, std::size_t j, double tolerance = 0.0001);
int NamesByEnds(CrossSectionSet &set, std::size_t i, std::size_t j, bool sideCheck = true);
int NamesByProximity(CrossSectionSet &set, std::size_t i, std::size_t j);
void ClearRepeatedCodes(CrossSectionSet &set, std::size_t i, std::size_t j);
int NamesToRest(CrossSectionSet &set, std::size_t i, std::size_t j);

// Groups of This and Last points whose offsets differ by less than the
// tolerance; a vertical face (several points at one offset) forms one group.
// An empty first group means no point matched.
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
// then every other one as near within 0.0001, in candidate order.
PointIndexList NearestByOffset(const PointIndexList &candidates, const CrSecPoint &reference,
                               const std::vector<CrSecPoint> &points, bool allowCopies,
                               bool sameSideOnly);
// False only when the offsets have strictly opposite signs.
bool SameSide(double offsetA, double offsetB);
// For every A point, its nearest B points (copies allowed).
std::vector<NearestPair> NearestPairs(const std::vector<CrSecPoint> &pointsA,
                                      const PointIndexList &indexA,
                                      const std::vector<CrSecPoint> &pointsB,
                                      const PointIndexList &indexB, bool sameSideOnly);
// By absolute offset difference, smallest first; equal ones keep their order.
std::vector<NearestPair> SortNearestPoints(std::vector<NearestPair> pairs);

int OneToSeveral(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                 const PointGroup &segment);
int SeveralToOne(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                 const PointGroup &segment);
int SeveralToSeveral(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                     const PointGroup &segment, bool sideCheck);

// Hands a listing of the points to the trace hook.
void DebugPoints(const std::string &title, const std::vector<CrSecPoint> &points);

} // namespace vialto
