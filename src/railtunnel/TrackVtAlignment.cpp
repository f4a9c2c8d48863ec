#include "railtunnel/TrackVtAlignment.h"

#include "geometry/HzGeometry.h"
#include "geometry/VtGeometry.h"
#include "model/ElementSearch.h"
#include "railtunnel/Superelevation.h"
#include "shell/ErrHandler.h"
#include "shell/Text.h"

#include <cmath>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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

// Walks the alignment from `from` to `to` in steps, taking every element start
// on the way exactly, and hands each successful sample to emit in order. Where
// the samples start (or stop) succeeding between two steps the edge is found
// by SearchEdge, so the generated profile reaches as far as the projection
// does. False when the user cancelled.
bool WalkAlignment(const HzAlignment &elements, double from, double to, double step,
                   const Sampler &sample, const Emitter &emit, IProgress &progress) {
    const long count = ElementCount(elements);
    if (count < 1 || !(to >= from))
        return true;
    if ((to - from) / step > kMaxTrackSamples)
        RaiseRuntime(errOutOfMemory, "a step of " + FormatDecimals(step, 6) + " over " +
                                         FormatDecimals(to - from, 3) + " gives too many samples");
    progress.Start("", from, to);
    long k = FindElementAt(from, elements);
    double at = from;
    bool anySuccess = false;
    bool failedBefore = false; // a failure came before any success ...
    double failedBeforeAt = 0; // ... the last of them here
    double lastSuccess = 0;
    bool failedAfter = false; // a failure came after the last success ...
    double failedAfterAt = 0; // ... the first of them here
    const auto take = [&](double chainage) {
        std::optional<TrackSample> found = sample(chainage);
        if (!found) {
            if (!anySuccess) {
                failedBefore = true;
                failedBeforeAt = chainage;
            } else if (!failedAfter) {
                failedAfter = true;
                failedAfterAt = chainage;
            }
            return;
        }
        if (!anySuccess && failedBefore) {
            if (std::optional<TrackSample> edge = SearchEdge(sample, chainage, failedBeforeAt))
                emit(*edge);
        }
        anySuccess = true;
        lastSuccess = chainage;
        failedAfter = false;
        emit(*found);
    };
    for (;;) {
        if (progress.CancelRequested())
            return false;
        progress.Step(at);
        take(at);
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
    if (at != to) {
        if (progress.CancelRequested())
            return false;
        take(to);
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

} // namespace

void AddTrackVtPoint(VtAlignment &points, const clsSuperelevation *table, double chainage,
                     double offset, double height, SlotNumber /*trackSlot*/, long trackSelector,
                     bool modeFlag, int verticalOption) {
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
                                           offset, height, modeFlag, verticalOption);
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
                    int verticalOption) {
    return Guarded("CreateVtFromVt", false, [&] {
        Trace(">> CreateVtFromVt");
        if (!(step > 0) || !std::isfinite(step))
            RaiseRuntime(errInvalidCall, "the sampling step must be a positive number");
        std::shared_ptr<clsSuperelevation> table;
        if (cantSlot != 0)
            table = GetAligmentSup(cantSlot);
        const HzAlignment centreHz = GetAligmentHz(centreSlot);
        const VtAlignment centreVt = GetAligmentVt(centreSlot);
        const HzAlignment trackHz = GetAligmentHz(trackSlot);
        if (ElementCount(centreHz) < 1 || ElementCount(trackHz) < 1 || ElementCount(centreVt) < 1)
            RaiseError(errAssert, "There are not Hz or Vt aligment to derive the track's profile");

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

        VtAlignment points(1);
        const Emitter emit = [&](const TrackSample &sample) {
            AddTrackVtPoint(points, table.get(), sample.Chainage, sample.Offset, sample.Height,
                            trackSlot, trackSelector, modeFlag, option);
        };
        ProgressFinisher finisher(progress);
        bool completed = false;
        if (alongCentreLine) {
            double vtStart = 0;
            double vtEnd = 0;
            GetStartEndAligmentVt(centreSlot, vtStart, vtEnd);
            const Sampler sample = [&](double c) -> std::optional<TrackSample> {
                double offset = 0;
                double t = 0;
                if (!ProjectChainToAnotherAligment(c, centreHz, trackHz, offset, t))
                    return std::nullopt;
                double height = kNullValue;
                if (c >= vtStart && c <= vtEnd)
                    height = GetHeightFromVtAligment(centreVt, c);
                else if (c < vtStart && vtStart - c <= kProfileEndTolerance)
                    height = GetHeightFromVtAligment(centreVt, vtStart);
                else if (c > vtEnd && c - vtEnd <= kProfileEndTolerance)
                    height = GetHeightFromVtAligment(centreVt, vtEnd);
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
            if (!ProjectChainToAnotherAligment(trackHz[1].Chainage, trackHz, centreHz, offset,
                                               first))
                first = centreStart;
            if (!ProjectChainToAnotherAligment(AlignmentEnd(trackHz), trackHz, centreHz, offset,
                                               last))
                last = centreEnd;
            if (last < first)
                std::swap(first, last);
            first = std::max(first - kTrackStretchMargin, centreStart);
            last = std::min(last + kTrackStretchMargin, centreEnd);
            completed = WalkAlignment(centreHz, first, last, step, sample, emit, progress);
        } else {
            const Sampler sample = [&](double t) -> std::optional<TrackSample> {
                double offset = 0;
                double c = 0;
                if (!ProjectChainToAnotherAligment(t, trackHz, centreHz, offset, c))
                    return std::nullopt;
                const double height = GetHeightFromVtAligment(centreVt, c);
                if (height == kNullValue)
                    return std::nullopt;
                return TrackSample{t, offset, height};
            };
            completed = WalkAlignment(trackHz, trackHz[1].Chainage, AlignmentEnd(trackHz), step,
                                      sample, emit, progress);
        }
        if (!completed)
            return false;
        if (ElementCount(points) < 2)
            RaiseError(errAssert, "No part of the track faces the profile it is derived from");
        SetAligmentVt(trackSlot, points);
        return true;
    });
}

} // namespace vialto
