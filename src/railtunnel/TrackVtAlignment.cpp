#include "railtunnel/TrackVtAlignment.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "model/ElementSearch.h"
#include "railtunnel/Superelevation.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"
#include "shell/WorkSplit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vialto {

namespace {

// One sample of the track: its chainage on the track, the offset between the
// track and the centre line there, and the centre line's height.
struct TrackSample {
    double Chainage = 0;
    double Offset = 0;
    double Height = 0;
};

using Sampler = std::function<std::optional<TrackSample>(double)>;
using Emitter = std::function<void(const TrackSample &)>;

// Finishes the progress however the walk ends.
class ProgressFinisher {
  public:
    explicit ProgressFinisher(IProgress &progress) : progress_(progress) {}
    ~ProgressFinisher() { progress_.Finish(); }
    ProgressFinisher(const ProgressFinisher &) = delete;
    ProgressFinisher &operator=(const ProgressFinisher &) = delete;

  private:
    IProgress &progress_;
};

// The sample nearest to `towards` that still succeeds, searched from `from`
// (a chainage that succeeded) in kEdgeSearchStep steps; none when the first
// step already fails.
std::optional<TrackSample> SearchEdge(const Sampler &sample, double from, double towards) {
    const double direction = towards > from ? 1.0 : -1.0;
    std::optional<TrackSample> best;
    for (long k = 1;; ++k) {
        const double at = from + direction * kEdgeSearchStep * static_cast<double>(k);
        if ((at - towards) * direction >= 0)
            break;
        std::optional<TrackSample> found = sample(at);
        if (!found)
            break;
        best = found;
    }
    return best;
}

// The chainages a walk from `from` to `to` takes, in order: steps of `step`,
// every element start on the way exactly, and `to` itself. `endAdded` tells
// whether `to` was added after the steps rather than reached by one.
std::vector<double> WalkChainages(const HzAlignment &elements, double from, double to, double step,
                                  bool &endAdded) {
    const long count = ElementCount(elements);
    std::vector<double> chainages;
    long k = FindElementAt(from, elements);
    double at = from;
    for (;;) {
        chainages.push_back(at);
        const HzElement &element = elements[static_cast<std::size_t>(k)];
        double next = at + step;
        if (next == at)
            RaiseRuntime(errInvalidCall, "the step " + FormatDecimals(step, 6) +
                                             " is too small at chainage " + FormatDecimals(at, 3));
        if (next >= element.Chainage + element.Length) {
            if (++k > count)
                break;
            next = elements[static_cast<std::size_t>(k)].Chainage;
        }
        if (next > to)
            break;
        at = next;
    }
    endAdded = at != to;
    if (endAdded)
        chainages.push_back(to);
    return chainages;
}

// How many samples a walk takes between two looks at the user's cancel, and
// how many one thread takes at a time: each sample is independent of the
// others, so the crew takes them all at once and the walk reads them in order.
constexpr std::size_t kWalkBatch = 4096;
constexpr std::size_t kWalkPiece = 256;

// Runs work(begin, end) over [0, count) in pieces of kWalkPiece on the crew's
// threads. The errors the work raises are handed on here, in the order of
// the pieces, as one thread working in order would have raised them.
template <class Work> void RunPieces(WorkCrew &crew, std::size_t count, Work &&work) {
    const std::size_t pieces = (count + kWalkPiece - 1) / kWalkPiece;
    std::vector<std::vector<ErrorInfo>> errors(pieces);
    try {
        crew.RunClaimed(pieces, [&](std::size_t piece) {
            const HeldErrors held(errors[piece]);
            work(piece * kWalkPiece, std::min((piece + 1) * kWalkPiece, count));
        });
    } catch (...) {
        HandOnErrors(errors);
        throw;
    }
    HandOnErrors(errors);
}

// Walks the alignment from `from` to `to` in steps, taking every element start
// on the way exactly, and hands each successful sample to emit in order. Where
// the samples start (or stop) succeeding between two steps the edge is found
// by SearchEdge, so the generated profile reaches as far as the projection
// does, at its ends and at both sides of a gap. False when the user cancelled.
bool WalkAlignment(const HzAlignment &elements, double from, double to, double step,
                   const Sampler &sample, const Emitter &emit, IProgress &progress,
                   WorkCrew &crew) {
    const long count = ElementCount(elements);
    if (count < 1 || !(to >= from))
        return true;
    if ((to - from) / step > kMaxTrackSamples)
        RaiseRuntime(errOutOfMemory, "a step of " + FormatDecimals(step, 6) + " over " +
                                         FormatDecimals(to - from, 3) + " gives too many samples");
    progress.Start("", from, to);
    bool endAdded = false;
    const std::vector<double> chainages = WalkChainages(elements, from, to, step, endAdded);
    bool anySuccess = false;
    bool failedBefore = false; // a failure came before any success ...
    double failedBeforeAt = 0; // ... the last of them here
    double lastSuccess = 0;
    bool failedAfter = false; // a failure came after the last success ...
    double failedAfterAt = 0; // ... the first of them here
    double lastFailedAt = 0;  // the latest failure
    const auto take = [&](double chainage, const std::optional<TrackSample> &found) {
        if (!found) {
            if (!anySuccess) {
                failedBefore = true;
                failedBeforeAt = chainage;
            } else if (!failedAfter) {
                failedAfter = true;
                failedAfterAt = chainage;
            }
            lastFailedAt = chainage;
            return;
        }
        if (!anySuccess && failedBefore) {
            if (std::optional<TrackSample> edge = SearchEdge(sample, chainage, failedBeforeAt))
                emit(*edge);
        }
        // A gap inside the walk has two edges, where the samples stop and
        // where they start again: both belong to the profile, in order.
        if (anySuccess && failedAfter) {
            if (std::optional<TrackSample> edge = SearchEdge(sample, lastSuccess, failedAfterAt))
                emit(*edge);
            if (std::optional<TrackSample> edge = SearchEdge(sample, chainage, lastFailedAt))
                emit(*edge);
        }
        anySuccess = true;
        lastSuccess = chainage;
        failedAfter = false;
        emit(*found);
    };
    std::vector<std::optional<TrackSample>> found(std::min(kWalkBatch, chainages.size()));
    for (std::size_t first = 0; first < chainages.size(); first += kWalkBatch) {
        const std::size_t last = std::min(first + kWalkBatch, chainages.size());
        RunPieces(crew, last - first, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                found[i] = sample(chainages[first + i]);
        });
        for (std::size_t i = first; i < last; ++i) {
            if (progress.CancelRequested())
                return false;
            const bool stepped = !(endAdded && i + 1 == chainages.size());
            if (stepped)
                progress.Step(chainages[i]);
            take(chainages[i], found[i - first]);
        }
    }
    if (anySuccess && failedAfter) {
        if (std::optional<TrackSample> edge = SearchEdge(sample, lastSuccess, failedAfterAt))
            emit(*edge);
    }
    return true;
}

// A co-planar table must give cants the track can carry: a positive base and
// every cant smaller than it (interpolation stays between the stations'
// values). A cant equal to the base is a slope of 90 degrees, whose tangent
// would throw the track's heights out by some 10^16.
void CheckCoplaneTable(const clsSuperelevation &table) {
    const double base = table.SuperelevationBase();
    if (!(base > 0))
        RaiseError(errAssert, "The superelevation base of the cant table must be positive");
    for (const CantStation &station : table.Stations()) {
        const double cant = station.RotationPoint == rotLeftRightForm
                                ? station.AppliedCantLeft - station.AppliedCantRight
                                : station.AppliedCant;
        if (!(std::abs(cant) < base))
            RaiseError(errAssert, "The cant at chainage " + FormatDecimals(station.Station, 3) +
                                      " is not smaller than the superelevation base");
    }
}

double AlignmentEnd(const HzAlignment &elements) {
    const HzElement &last = elements.back();
    return last.Chainage + last.Length;
}

// Where a point of the track meets the centre line, and how far to its right.
struct Foot {
    double Chainage = 0;
    double Offset = 0;
};

// The foot of a point that lies beyond an end of the centre line by no more
// than `tolerance` along the tangent there: that end. The listings round
// coordinates to the millimetre and tracks are laid out on their own, so a
// track's end may stand a hair beyond the normal at the centre line's end,
// where the projection no longer finds an element.
std::optional<Foot> FootBeyondAnEnd(const HzAlignment &centre, const HzPoint &point,
                                    double tolerance) {
    std::optional<Foot> best;
    double bestBeyond = 0;
    for (const double chainage : {centre[1].Chainage, AlignmentEnd(centre)}) {
        HzPoint end;
        if (!GetCoordFromHzAligment(centre, chainage, end))
            continue;
        const double dx = point.X - end.X;
        const double dy = point.Y - end.Y;
        const double sign = chainage == centre[1].Chainage ? -1.0 : 1.0;
        const double beyond = sign * (dx * std::sin(end.Azimuth) + dy * std::cos(end.Azimuth));
        if (beyond < 0 || beyond > tolerance || (best && beyond >= bestBeyond))
            continue;
        best = Foot{chainage, dx * std::cos(end.Azimuth) - dy * std::sin(end.Azimuth)};
        bestBeyond = beyond;
    }
    return best;
}

// The foot on the centre line of the track's point at chainage t: its
// projection, or an end of the centre line that it lies just beyond.
std::optional<Foot> FootOnCentre(const HzAlignmentIndex &track, const HzAlignmentIndex &centre,
                                 double t, double tolerance) {
    Foot foot;
    if (ProjectChainToAnotherAligment(t, track, centre, foot.Offset, foot.Chainage))
        return foot;
    HzPoint point;
    if (!GetCoordFromHzAligment(track, t, point))
        return std::nullopt;
    return FootBeyondAnEnd(centre.Elements(), point, tolerance);
}

// Walking the centre line reaches the track only as far as the centre line's
// normals do. The track's own ends are added wherever their feet have a
// height, so that the profile covers the track as far as the centre line's
// profile covers its projection. A track that runs against the centre line
// gives its samples backwards: they are turned round first.
void CoverTrackEnds(std::vector<TrackSample> &samples, const std::optional<TrackSample> &first,
                    const std::optional<TrackSample> &last) {
    if (samples.empty())
        return; // nothing faces the track: the ends alone would be a guess
    if (samples.front().Chainage > samples.back().Chainage)
        std::reverse(samples.begin(), samples.end());
    if (first && first->Chainage < samples.front().Chainage)
        samples.insert(samples.begin(), *first);
    if (last && last->Chainage > samples.back().Chainage)
        samples.push_back(*last);
}

} // namespace

void AddTrackVtPoint(VtAlignment &points, const clsSuperelevation *table, double chainage,
                     double offset, double height, SlotNumber /*trackSlot*/, long trackSelector,
                     bool modeFlag, int verticalOption, const HzAlignmentIndex *trackAlignment,
                     const HzAlignmentIndex *otherAlignment) {
    if (height == kNullValue)
        return;
    if (points.empty())
        points.resize(1); // position 0, unused
    const long count = ElementCount(points);
    // A sample behind the last one would make the profile run backwards.
    if (count >= 1 && chainage - points.back().Chainage < kTrackSampleMerge)
        return;
    if (table != nullptr && table->IsCoplaneTrack())
        table->CalcHeightVtAligmentCoplane(static_cast<std::uint8_t>(trackSelector), chainage,
                                           offset, height, modeFlag, verticalOption, trackAlignment,
                                           otherAlignment);
    VtElement element;
    element.Number = count + 1;
    element.Chainage = chainage;
    element.Height = height;
    if (count >= 1) {
        VtElement &before = points.back();
        before.Length = chainage - before.Chainage;
        if (before.Length != 0)
            before.Grade = (height - before.Height) / std::abs(before.Length);
    }
    points.push_back(element);
}

bool CreateVtFromVt(SlotNumber trackSlot, SlotNumber centreSlot, SlotNumber cantSlot, double step,
                    IProgress &progress, long trackSelector, bool alongCentreLine,
                    int verticalOption, double footTolerance) {
    return Guarded("CreateVtFromVt", false, [&] {
        Trace(">> CreateVtFromVt");
        if (!(step > 0) || !std::isfinite(step))
            RaiseRuntime(errInvalidCall, "the sampling step must be a positive number");
        if (!(footTolerance >= 0) || !std::isfinite(footTolerance))
            RaiseRuntime(errInvalidCall, "the tolerance must be a number of 0 or more");
        std::shared_ptr<clsSuperelevation> table;
        if (cantSlot != 0)
            table = GetAligmentSup(cantSlot);
        const HzAlignment centreHz = GetAligmentHz(centreSlot);
        const VtAlignment &centreVt = ViewAligmentVt(centreSlot);
        const HzAlignment trackHz = GetAligmentHz(trackSlot);
        if (ElementCount(centreHz) < 1 || ElementCount(trackHz) < 1 || ElementCount(centreVt) < 1)
            RaiseError(errAssert, "There are not Hz or Vt aligment to derive the track's profile");
        // Every sample searches and projects on these: prepared once.
        const HzAlignmentIndex centre(centreHz);
        const HzAlignmentIndex track(trackHz);
        const ElementSearch<VtElement> profile(centreVt);

        const bool modeFlag = centreSlot == kCentreLineSlot;
        const int option = modeFlag ? verticalOption : railVtAxis;
        if (table != nullptr && table->IsCoplaneTrack()) {
            if (trackSelector != 2 && trackSelector != 3)
                RaiseError(errAssert, "A co-planar track must be the left (2) or right (3) track");
            const SlotNumber other = trackSelector == 2 ? 3 : 2;
            const bool needsOther = modeFlag && (option == railVtLow || option == railVtHigh);
            if (!ExistAlignment(flagHz, static_cast<SlotNumber>(trackSelector)) ||
                (needsOther && !ExistAlignment(flagHz, other)))
                RaiseError(errAssert, "There are not Hz aligment of both tracks");
            // Refused here once rather than by every sample's correction.
            if (modeFlag && (option < railVtAxis || option > railVtHigh))
                RaiseError(errAssert, "Unknown vertical option " + std::to_string(option));
            CheckCoplaneTable(*table);
        }

        // The lower and higher rail options carry every sample from the track
        // onto the other one.
        std::optional<HzAlignmentIndex> coplaneTrack;
        std::optional<HzAlignmentIndex> coplaneOther;
        if (table != nullptr && table->IsCoplaneTrack() && modeFlag &&
            (option == railVtLow || option == railVtHigh)) {
            coplaneTrack.emplace(ViewAligmentHz(static_cast<SlotNumber>(trackSelector)));
            coplaneOther.emplace(ViewAligmentHz(trackSelector == 2 ? 3 : 2));
        }
        double vtStart = 0;
        double vtEnd = 0;
        GetStartEndAligmentVt(centreSlot, vtStart, vtEnd);
        // The centre line's height at its chainage c: within its profile, or,
        // within kProfileEndTolerance before or after it, that end's height.
        const auto heightAt = [&](double c) {
            if (c >= vtStart && c <= vtEnd)
                return GetHeightFromVtAligment(profile, c);
            if (c < vtStart && vtStart - c <= kProfileEndTolerance)
                return GetHeightFromVtAligment(profile, vtStart);
            if (c > vtEnd && c - vtEnd <= kProfileEndTolerance)
                return GetHeightFromVtAligment(profile, vtEnd);
            return kNullValue;
        };
        // The sample at track chainage t, from its foot on the centre line.
        const Sampler fromTrack = [&](double t) -> std::optional<TrackSample> {
            const std::optional<Foot> foot = FootOnCentre(track, centre, t, footTolerance);
            if (!foot)
                return std::nullopt;
            const double height = heightAt(foot->Chainage);
            if (height == kNullValue)
                return std::nullopt;
            return TrackSample{t, foot->Offset, height};
        };
        std::vector<TrackSample> samples;
        const Emitter collect = [&](const TrackSample &sample) { samples.push_back(sample); };
        ProgressFinisher finisher(progress);
        WorkCrew crew(WorkParts());
        const double trackStart = trackHz[1].Chainage;
        const double trackEnd = AlignmentEnd(trackHz);
        bool completed = false;
        if (alongCentreLine) {
            const Sampler fromCentre = [&](double c) -> std::optional<TrackSample> {
                double offset = 0;
                double t = 0;
                if (!ProjectChainToAnotherAligment(c, centre, track, offset, t))
                    return std::nullopt;
                const double height = heightAt(c);
                if (height == kNullValue)
                    return std::nullopt;
                return TrackSample{t, offset, height};
            };
            // The stretch of the centre line that faces the track.
            const double centreStart = centreHz[1].Chainage;
            const double centreEnd = AlignmentEnd(centreHz);
            double offset = 0;
            double first = centreStart;
            double last = centreEnd;
            if (!ProjectChainToAnotherAligment(trackStart, track, centre, offset, first))
                first = centreStart;
            if (!ProjectChainToAnotherAligment(trackEnd, track, centre, offset, last))
                last = centreEnd;
            if (last < first)
                std::swap(first, last);
            first = std::max(first - kTrackStretchMargin, centreStart);
            last = std::min(last + kTrackStretchMargin, centreEnd);
            completed =
                WalkAlignment(centreHz, first, last, step, fromCentre, collect, progress, crew);
            if (completed)
                CoverTrackEnds(samples, fromTrack(trackStart), fromTrack(trackEnd));
        } else {
            completed = WalkAlignment(trackHz, trackStart, trackEnd, step, fromTrack, collect,
                                      progress, crew);
        }
        if (!completed)
            return false;
        // A co-planar track's correction of each height depends on that
        // sample alone: the crew makes them all before the profile is built.
        if (table != nullptr && table->IsCoplaneTrack())
            RunPieces(crew, samples.size(), [&](std::size_t begin, std::size_t end) {
                for (std::size_t i = begin; i < end; ++i) {
                    TrackSample &sample = samples[i];
                    if (sample.Height != kNullValue)
                        table->CalcHeightVtAligmentCoplane(static_cast<std::uint8_t>(trackSelector),
                                                           sample.Chainage, sample.Offset,
                                                           sample.Height, modeFlag, option,
                                                           coplaneTrack ? &*coplaneTrack : nullptr,
                                                           coplaneOther ? &*coplaneOther : nullptr);
                }
            });
        VtAlignment points(1);
        points.reserve(samples.size() + 1);
        for (const TrackSample &sample : samples)
            AddTrackVtPoint(points, nullptr, sample.Chainage, sample.Offset, sample.Height,
                            trackSlot, trackSelector, modeFlag, option);
        if (ElementCount(points) < 2)
            RaiseError(errAssert, "No part of the track faces the profile it is derived from");
        SetAligmentVt(trackSlot, std::move(points));
        return true;
    });
}

} // namespace vialto
