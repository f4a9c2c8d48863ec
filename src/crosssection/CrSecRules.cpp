#include "crosssection/CrSecRules.h"

#include "crosssection/CrSec.h"
#include "import/CrSecSet.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vialto {

namespace {

// Distances that differ by less than this are equally near.
constexpr double kNearTie = 0.0001;

int Sign(double value) { return (value > 0) - (value < 0); }

// Codes are short: compared here byte by byte rather than by a library call
// for every pair of a section's points.
bool SameCode(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t k = 0; k < a.size(); ++k)
        if (a[k] != b[k])
            return false;
    return true;
}

bool Contains(const PointIndexList &list, std::size_t index) {
    return std::find(list.begin(), list.end(), index) != list.end();
}

CrSecSurface &SurfaceAt(CrossSectionSet &set, std::size_t i, std::size_t j) {
    return set.Stations.at(i).Surfaces.at(j);
}

const std::vector<CrSecPoint> &LastPoints(const CrossSectionSet &set, std::size_t i,
                                          std::size_t lastSurface) {
    return set.Stations.at(i - 1).Surfaces.at(lastSurface).Points;
}

// How far a point lies from another, each known by its offset and the
// offset its line was heading for (a This point heads for its own offset):
// the nearer of the offsets and of each offset to the other's heading.
double Apart(double offsetA, double headingA, double offsetB, double headingB) {
    return std::min(
        {std::abs(offsetA - offsetB), std::abs(headingA - offsetB), std::abs(offsetA - headingB)});
}

double HeadingAt(const std::vector<double> &heading, const std::vector<CrSecPoint> &points,
                 std::size_t k) {
    return heading.empty() ? points[k].Offset : heading[k];
}

} // namespace

bool SameSide(double offsetA, double offsetB) { return Sign(offsetA) * Sign(offsetB) >= 0; }

// ---- By distance -----------------------------------------------------------

namespace {

// The motion of the Last lines, found one line at a time: most surfaces need
// it for a few points or none.
class LastMotion {
  public:
    LastMotion(const CrossSectionSet &set, std::size_t i, std::size_t lastSurface)
        : last_(LastPoints(set, i, lastSurface)) {
        const std::optional<std::size_t> before =
            i >= 2 ? FindLastSurface(set, i - 1, lastSurface) : std::nullopt;
        if (!before)
            return;
        earlier_ = &set.Stations[i - 2].Surfaces[*before].Points;
        const double step = set.Stations[i].Chainage - set.Stations[i - 1].Chainage;
        const double stepBefore = set.Stations[i - 1].Chainage - set.Stations[i - 2].Chainage;
        // Chainages that do not ascend tell no rate of change.
        scale_ = stepBefore > 0 && step >= 0 ? step / stepBefore : 0;
    }

    // Where the line of Last point l was heading; none when the line started
    // at the Last station.
    std::optional<double> Heading(std::size_t l) const {
        const CrSecPoint &point = last_[l];
        if (!earlier_)
            return point.Offset;
        const std::vector<CrSecPoint> &earlier = *earlier_;
        // Most lines keep their place across the section: look there first.
        std::size_t e = l;
        if (e >= earlier.size() || earlier[e].Code != point.Code) {
            e = 0;
            while (e < earlier.size() && earlier[e].Code != point.Code)
                ++e;
        }
        if (point.Code.empty() || e == earlier.size())
            return std::nullopt;
        return point.Offset + (point.Offset - earlier[e].Offset) * scale_;
    }

  private:
    const std::vector<CrSecPoint> &last_;
    const std::vector<CrSecPoint> *earlier_ = nullptr;
    double scale_ = 0;
};

// The (This, Last) pairs of points whose offsets differ by less than the
// tolerance, in the order of This, then of Last.
using OffsetMatches = std::vector<std::pair<std::size_t, std::size_t>>;

OffsetMatches MatchByOffset(const std::vector<CrSecPoint> &thisPoints,
                            const std::vector<CrSecPoint> &lastPoints, double tolerance) {
    OffsetMatches matches;
    matches.reserve(thisPoints.size());
    for (std::size_t t = 0; t < thisPoints.size(); ++t)
        for (std::size_t l = 0; l < lastPoints.size(); ++l)
            if (std::abs(thisPoints[t].Offset - lastPoints[l].Offset) < tolerance)
                matches.emplace_back(t, l);
    return matches;
}

// Which Last points may pass their codes by offset (see NamesByDistance):
// 1 for those that may, 0 for the others; only those of the matches are
// looked at.
std::vector<signed char> PassingByOffset(const std::vector<CrSecPoint> &thisPoints,
                                         const std::vector<CrSecPoint> &lastPoints,
                                         const OffsetMatches &matches, double tolerance,
                                         const LastMotion &motion) {
    constexpr signed char unseen = -1;
    std::vector<signed char> passes(lastPoints.size(), unseen);
    std::vector<std::pair<std::size_t, double>> moving; // Last point, direction (+1 right)
    for (const auto &[t, l] : matches) {
        if (passes[l] != unseen)
            continue;
        passes[l] = 0;
        const std::optional<double> heading = motion.Heading(l);
        if (!heading)
            continue;
        const double moved = *heading - lastPoints[l].Offset;
        if (std::abs(moved) < tolerance)
            passes[l] = 1;
        else
            moving.emplace_back(l, moved > 0 ? 1.0 : -1.0);
    }
    // Each stop decided may let the lines inside it stop too.
    std::vector<bool> claimed(moving.empty() ? 0 : thisPoints.size(), false);
    for (bool decided = true; decided && !moving.empty();) {
        for (const auto &[t, l] : matches)
            if (passes[l] == 1)
                claimed[t] = true;
        decided = false;
        for (auto it = moving.begin(); it != moving.end();) {
            const double offset = lastPoints[it->first].Offset;
            bool stopped = true;
            for (std::size_t t = 0; t < thisPoints.size() && stopped; ++t)
                stopped = claimed[t] || (thisPoints[t].Offset - offset) * it->second < tolerance;
            if (stopped) {
                passes[it->first] = 1;
                it = moving.erase(it);
                decided = true;
            } else {
                ++it;
            }
        }
    }
    return passes;
}

// Hands each group of GroupByDistance, made from the matches of the Last
// points that pass (all without `passes`), to `take` as soon as it is
// complete; the group is reused for the next one. No group is handed over
// when no point matched.
template <class Take>
void ForEachGroup(const std::vector<CrSecPoint> &thisPoints, const OffsetMatches &matches,
                  double tolerance, const std::vector<signed char> *passes, PointGroup &group,
                  Take &&take) {
    group.This.clear();
    group.Last.clear();
    for (const auto &[t, l] : matches) {
        if (passes && (*passes)[l] != 1)
            continue;
        if (!group.This.empty() &&
            std::abs(thisPoints[t].Offset - thisPoints[group.This.back()].Offset) >= tolerance) {
            take(std::as_const(group));
            group.This.clear();
            group.Last.clear();
        }
        if (group.This.empty()) {
            group.This.push_back(t);
            group.Last.push_back(l);
        } else {
            // Same offset as the group: a vertical face grows on both sides.
            if (!Contains(group.Last, l))
                group.Last.push_back(l);
            if (group.This.back() != t)
                group.This.push_back(t);
        }
    }
    if (!group.This.empty())
        take(std::as_const(group));
}

// Passes the Last codes to the This points of one group of equal sizes, in
// order; the number of points coded.
int ApplyGroup(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
               const PointGroup &group) {
    // A face that gained or lost points is left to the later rules.
    if (group.This.empty() || group.This.size() != group.Last.size())
        return 0;
    for (std::size_t k = 0; k < group.This.size(); ++k)
        thisPoints.at(group.This[k]).Code = lastPoints.at(group.Last[k]).Code;
    return static_cast<int>(group.This.size());
}

} // namespace

std::vector<double> HeadingOffsets(const CrossSectionSet &set, std::size_t i,
                                   std::size_t lastSurface) {
    const LastMotion motion(set, i, lastSurface);
    const std::vector<CrSecPoint> &lastPoints = LastPoints(set, i, lastSurface);
    std::vector<double> heading(lastPoints.size());
    for (std::size_t l = 0; l < lastPoints.size(); ++l)
        heading[l] = motion.Heading(l).value_or(lastPoints[l].Offset);
    return heading;
}

std::vector<PointGroup> GroupByDistance(const std::vector<CrSecPoint> &thisPoints,
                                        const std::vector<CrSecPoint> &lastPoints,
                                        double tolerance) {
    std::vector<PointGroup> groups;
    PointGroup group;
    ForEachGroup(thisPoints, MatchByOffset(thisPoints, lastPoints, tolerance), tolerance, nullptr,
                 group, [&](const PointGroup &complete) { groups.push_back(complete); });
    if (groups.empty())
        groups.emplace_back();
    return groups;
}

int ApplyGroups(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                const std::vector<PointGroup> &groups) {
    int coded = 0;
    for (const PointGroup &group : groups)
        coded += ApplyGroup(thisPoints, lastPoints, group);
    return coded;
}

int NamesByDistance(CrossSectionSet &set, std::size_t i, std::size_t j, double tolerance) {
    Trace(">> NamesByDistance");
    CrSecSurface &surface = SurfaceAt(set, i, j);
    // The rules read only earlier stations: this one's points change in place.
    std::vector<CrSecPoint> &thisPoints = surface.Points;
    int coded = 0;
    const std::optional<std::size_t> last = FindLastSurface(set, i, j);
    if (!last) {
        Trace("  Last chainage has not current layer");
        CrSecLayer &layer = set.Layers.at(surface.Layer);
        for (CrSecPoint &point : thisPoints) {
            point.Code = CodeFromOffset(layer, point);
            ++coded;
        }
    } else {
        const std::vector<CrSecPoint> &lastPoints = LastPoints(set, i, *last);
        const OffsetMatches matches = MatchByOffset(thisPoints, lastPoints, tolerance);
        const std::vector<signed char> passes =
            PassingByOffset(thisPoints, lastPoints, matches, tolerance, LastMotion(set, i, *last));
        // Each group is applied when complete: the grouping reads only
        // offsets, the applying only codes.
        PointGroup group;
        ForEachGroup(thisPoints, matches, tolerance, &passes, group,
                     [&](const PointGroup &g) { coded += ApplyGroup(thisPoints, lastPoints, g); });
    }
    if (coded == static_cast<int>(surface.Points.size()))
        surface.Done = true;
    Trace("<< NamesByDistance");
    return coded;
}

// ---- By ends ---------------------------------------------------------------

int NameEnd(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
            SectionEnd end, bool sideCheck) {
    if (thisPoints.empty() || lastPoints.empty())
        return 0;
    const bool first = end == SectionEnd::First;
    const std::size_t e = first ? 0 : thisPoints.size() - 1;
    // The copies that an earlier station appended at the end of Last stand
    // for no vertex of their own; the end is the first real point.
    std::size_t l = first ? 0 : lastPoints.size() - 1;
    while (lastPoints[l].IsCopy && lastPoints[l].IsCopyMark) {
        if (first ? l + 1 >= lastPoints.size() : l == 0)
            return 0;
        l = first ? l + 1 : l - 1;
    }
    CrSecPoint &point = thisPoints[e];
    const CrSecPoint &lastPoint = lastPoints[l];
    if (!point.Code.empty())
        return 0;
    const bool sideOk = !sideCheck || Sign(point.Offset) == Sign(lastPoint.Offset);
    if (thisPoints.size() > 1) {
        const std::size_t next = first ? 1 : thisPoints.size() - 2;
        // A code is not repeated on two neighbours.
        if (thisPoints[next].Code == lastPoint.Code)
            return 0;
    }
    if (!sideOk)
        return 0;
    point.Code = lastPoint.Code;
    return 1;
}

int NamesByEnds(CrossSectionSet &set, std::size_t i, std::size_t j, bool sideCheck) {
    Trace(">> NamesByEnds");
    const std::optional<std::size_t> last = FindLastSurface(set, i, j);
    if (!last)
        return 0;
    CrSecSurface &surface = SurfaceAt(set, i, j);
    std::vector<CrSecPoint> &thisPoints = surface.Points;
    const std::vector<CrSecPoint> &lastPoints = LastPoints(set, i, *last);
    int coded = NameEnd(thisPoints, lastPoints, SectionEnd::First, sideCheck);
    coded += NameEnd(thisPoints, lastPoints, SectionEnd::Last, sideCheck);
    if (CountUncoded(surface.Points) == 0)
        surface.Done = true;
    Trace("<< NamesByEnds");
    return coded;
}

// ---- By proximity ----------------------------------------------------------

std::vector<PointGroup> GetSegments(const std::vector<CrSecPoint> &thisPoints,
                                    const std::vector<CrSecPoint> &lastPoints) {
    std::vector<PointGroup> segments;
    PointIndexList anchors;
    for (std::size_t t = 0; t < thisPoints.size(); ++t)
        if (!thisPoints[t].Code.empty())
            anchors.push_back(t);
    if (anchors.size() < 2)
        return segments;

    // Last in order across the section; equal offsets keep their listed order
    // (a vertical face stays as listed, copies follow their original).
    PointIndexList across(lastPoints.size());
    for (std::size_t l = 0; l < across.size(); ++l)
        across[l] = l;
    std::stable_sort(across.begin(), across.end(), [&](std::size_t a, std::size_t b) {
        return lastPoints[a].Offset < lastPoints[b].Offset;
    });
    auto positionOf = [&](std::string_view code) -> std::optional<std::size_t> {
        for (std::size_t p = 0; p < across.size(); ++p)
            if (lastPoints[across[p]].Code == code)
                return p;
        return std::nullopt;
    };

    for (std::size_t k = 0; k + 1 < anchors.size(); ++k) {
        const std::size_t a = anchors[k];
        const std::size_t b = anchors[k + 1];
        PointGroup segment;
        for (std::size_t t = a + 1; t < b; ++t)
            segment.This.push_back(t);
        const std::optional<std::size_t> pa = positionOf(thisPoints[a].Code);
        const std::optional<std::size_t> pb = positionOf(thisPoints[b].Code);
        if (pa && pb) {
            const std::size_t low = std::min(*pa, *pb);
            const std::size_t high = std::max(*pa, *pb);
            for (std::size_t p = low + 1; p < high; ++p)
                segment.Last.push_back(across[p]);
        }
        segments.push_back(std::move(segment));
    }
    return segments;
}

PointIndexList NearestByOffset(const PointIndexList &candidates, const CrSecPoint &reference,
                               const std::vector<CrSecPoint> &points, bool allowCopies,
                               bool sameSideOnly) {
    return NearestByOffset(candidates, reference, reference.Offset, points, {}, allowCopies,
                           sameSideOnly);
}

PointIndexList NearestByOffset(const PointIndexList &candidates, const CrSecPoint &reference,
                               double referenceHeading, const std::vector<CrSecPoint> &points,
                               const std::vector<double> &pointsHeading, bool allowCopies,
                               bool sameSideOnly) {
    auto qualifies = [&](std::size_t c) {
        const CrSecPoint &p = points.at(c);
        return (!sameSideOnly || SameSide(p.Offset, reference.Offset)) &&
               (allowCopies || !p.IsCopy);
    };
    auto distance = [&](std::size_t c) {
        return Apart(reference.Offset, referenceHeading, points[c].Offset,
                     HeadingAt(pointsHeading, points, c));
    };
    std::optional<std::size_t> best;
    double bestDistance = 0;
    for (std::size_t c : candidates) {
        if (!qualifies(c))
            continue;
        const double d = distance(c);
        if (!best || d < bestDistance) {
            best = c;
            bestDistance = d;
        }
    }
    PointIndexList nearest;
    if (!best)
        return nearest;
    nearest.push_back(*best);
    for (std::size_t c : candidates)
        if (c != *best && qualifies(c) && std::abs(distance(c) - bestDistance) <= kNearTie)
            nearest.push_back(c);
    return nearest;
}

std::vector<NearestPair>
NearestPairs(const std::vector<CrSecPoint> &pointsA, const PointIndexList &indexA,
             const std::vector<double> &headingA, const std::vector<CrSecPoint> &pointsB,
             const PointIndexList &indexB, const std::vector<double> &headingB, bool sameSideOnly) {
    std::vector<NearestPair> pairs;
    pairs.reserve(indexA.size());
    for (std::size_t a : indexA) {
        NearestPair pair;
        pair.Index = a;
        const double aHeading = HeadingAt(headingA, pointsA, a);
        pair.Nearest =
            NearestByOffset(indexB, pointsA.at(a), aHeading, pointsB, headingB, true, sameSideOnly);
        if (!pair.Nearest.empty()) {
            const std::size_t b = pair.Nearest.front();
            const double apart = Apart(pointsA[a].Offset, aHeading, pointsB[b].Offset,
                                       HeadingAt(headingB, pointsB, b));
            pair.Difference = pointsA[a].Offset < pointsB[b].Offset ? -apart : apart;
        }
        pairs.push_back(std::move(pair));
    }
    return pairs;
}

std::vector<NearestPair> SortNearestPoints(std::vector<NearestPair> pairs) {
    // Stable: equal differences keep their order, as the classic bubble sort.
    std::stable_sort(pairs.begin(), pairs.end(), [](const NearestPair &a, const NearestPair &b) {
        return std::abs(a.Difference) < std::abs(b.Difference);
    });
    return pairs;
}

int OneToSeveral(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                 const std::vector<double> &lastHeading, const PointGroup &segment) {
    Trace(" >>OneToSeveral");
    const std::size_t t = segment.This.at(0);
    const PointIndexList nearest = NearestByOffset(
        segment.Last, thisPoints.at(t), thisPoints[t].Offset, lastPoints, lastHeading, true, true);
    int coded = 0;
    if (!nearest.empty()) {
        thisPoints[t].Code = lastPoints[nearest.front()].Code;
        ++coded;
        // Several stringlines meet in this point: one copy carries each of the
        // others.
        for (std::size_t k = 1; k < nearest.size(); ++k) {
            CrSecPoint copy;
            copy.Offset = thisPoints[t].Offset;
            copy.Height = thisPoints[t].Height;
            copy.IsCopy = true;
            copy.IsCopyMark = true;
            copy.Code = lastPoints[nearest[k]].Code;
            thisPoints.push_back(std::move(copy));
            ++coded;
        }
    }
    Trace(" <<OneToSeveral");
    return coded;
}

int SeveralToOne(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                 const std::vector<double> &lastHeading, const PointGroup &segment) {
    Trace(">> SeveralToOne");
    const std::size_t l = segment.Last.at(0);
    const CrSecPoint &lastPoint = lastPoints.at(l);
    const PointIndexList nearest = NearestByOffset(
        segment.This, lastPoint, HeadingAt(lastHeading, lastPoints, l), thisPoints, {}, true, true);
    int coded = 0;
    if (!nearest.empty()) {
        thisPoints[nearest.front()].Code = lastPoint.Code;
        ++coded;
        for (std::size_t k = 1; k < nearest.size(); ++k)
            thisPoints[nearest[k]].Name = lastPoint.Code;
    }
    Trace("<< SeveralToOne");
    return coded;
}

int SeveralToSeveral(std::vector<CrSecPoint> &thisPoints, const std::vector<CrSecPoint> &lastPoints,
                     const std::vector<double> &lastHeading, const PointGroup &segment,
                     bool sideCheck) {
    Trace(">> SeveralToSeveral");
    const std::size_t n = segment.This.size();
    const std::size_t m = segment.Last.size();
    int coded = 0;
    PointIndexList used;
    if (n < m) {
        const std::vector<NearestPair> pairs = SortNearestPoints(NearestPairs(
            thisPoints, segment.This, {}, lastPoints, segment.Last, lastHeading, true));
        for (const NearestPair &pair : pairs) {
            if (pair.Nearest.empty() || Contains(used, pair.Nearest.front()))
                continue;
            thisPoints[pair.Index].Code = lastPoints[pair.Nearest.front()].Code;
            used.push_back(pair.Nearest.front());
            ++coded;
        }
    } else if (n > m) {
        const std::vector<NearestPair> pairs = SortNearestPoints(NearestPairs(
            lastPoints, segment.Last, lastHeading, thisPoints, segment.This, {}, true));
        for (const NearestPair &pair : pairs) {
            for (std::size_t t : pair.Nearest) {
                if (Contains(used, t))
                    continue;
                thisPoints[t].Code = lastPoints[pair.Index].Code;
                used.push_back(t);
                ++coded;
                break;
            }
        }
    } else {
        for (std::size_t k = 0; k < n; ++k) {
            CrSecPoint &point = thisPoints.at(segment.This[k]);
            const CrSecPoint &lastPoint = lastPoints.at(segment.Last[k]);
            if (sideCheck && !SameSide(point.Offset, lastPoint.Offset))
                continue;
            point.Code = lastPoint.Code;
            ++coded;
        }
    }
    Trace("<< SeveralToSeveral");
    return coded;
}

int NamesByProximity(CrossSectionSet &set, std::size_t i, std::size_t j) {
    Trace(">> NamesByProximity");
    CrSecSurface &surface = SurfaceAt(set, i, j);
    const std::optional<std::size_t> last = FindLastSurface(set, i, j);
    if (surface.Done || !last)
        return 0;
    std::vector<CrSecPoint> &thisPoints = surface.Points;
    const std::vector<CrSecPoint> &lastPoints = LastPoints(set, i, *last);
    if (AppModel().DebugMode) {
        DebugPoints("    Points This", thisPoints);
        DebugPoints("    Points Last", lastPoints);
    }
    // The headings serve the nearest searches only: found when a segment
    // first needs one.
    std::vector<double> heading;
    int coded = 0;
    for (const PointGroup &segment : GetSegments(thisPoints, lastPoints)) {
        const std::size_t n = segment.This.size();
        const std::size_t m = segment.Last.size();
        if (n == 0 || m == 0)
            continue;
        if (n != m && heading.empty())
            heading = HeadingOffsets(set, i, *last);
        if (n == 1 && m == 1) {
            Trace("  OneToOne");
            thisPoints.at(segment.This[0]).Code = lastPoints.at(segment.Last[0]).Code;
            ++coded;
        } else if (n == 1) {
            coded += OneToSeveral(thisPoints, lastPoints, heading, segment);
        } else if (m == 1) {
            coded += SeveralToOne(thisPoints, lastPoints, heading, segment);
        } else {
            coded += SeveralToSeveral(thisPoints, lastPoints, heading, segment, true);
        }
    }
    Trace("<< NamesByProximity ");
    return coded;
}

// ---- Repeated codes and the rest -------------------------------------------

void ClearRepeatedCodes(CrossSectionSet &set, std::size_t i, std::size_t j) {
    std::vector<CrSecPoint> &points = SurfaceAt(set, i, j).Points;
    for (std::size_t k = 0; k < points.size(); ++k) {
        for (std::size_t m = k + 1; m < points.size(); ++m) {
            if (points[k].Code.empty() || !SameCode(points[m].Code, points[k].Code))
                continue;
            // The first point of a section keeps its line; elsewhere the later
            // point does. The cleared point gets a line of its own next.
            if (k == 0)
                points[m].Code.clear();
            else
                points[k].Code.clear();
        }
    }
}

int NamesToRest(CrossSectionSet &set, std::size_t i, std::size_t j) {
    Trace(">> NamesToRest");
    CrSecSurface &surface = SurfaceAt(set, i, j);
    CrSecLayer &layer = set.Layers.at(surface.Layer);
    int coded = 0;
    for (CrSecPoint &point : surface.Points) {
        if (point.Code.empty()) {
            point.Code = MakeStringlineName(layer, point);
            ++coded;
        }
    }
    surface.Done = true;
    Trace("<< NamesToRest");
    return coded;
}

void DebugPoints(const std::string &title, const std::vector<CrSecPoint> &points) {
    std::string text = ">>DebugPoints \n" + title + " " +
                       std::to_string(static_cast<long>(points.size()) - 1) + "\n";
    for (const CrSecPoint &point : points)
        text += FormatDecimals(point.Offset, 3) + "\t" + FormatDecimals(point.Height, 3) + "\t" +
                std::string(point.Code) + "\n";
    Trace(text);
}

} // namespace vialto
