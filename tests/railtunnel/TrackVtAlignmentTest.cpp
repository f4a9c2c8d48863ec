// A track's profile from the centre line's, on tracks laid out by hand so that
// the centre line's chainage facing a track chainage (its foot) is known
// exactly.
#include "railtunnel/TrackVtAlignment.h"

#include "geometry/VtGeometry.h"
#include "model/AlignmentStore.h"
#include "railtunnel/Superelevation.h"
#include "shell/Text.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <numbers>
#include <tuple>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr double kHeightTol = 0.001; // a millimetre: the edge search's step
// The horizontal tolerance of a job by default: a foot this far beyond an end
// of the centre line still takes that end's height.
constexpr double kFootTol = 0.010;

// 100 at 0 rising 2 %, a crest parabola (Kv -10000) from 200 to 500, then the
// grade it leaves on (2 % - 3 % = -1 %) to 2000.
VtAlignment CentreProfile() {
    return OneBased<VtElement>({VtAt(0, 100, 0.02, 0, 200), VtAt(200, 104, 0.02, -10000, 300),
                                VtAt(500, 104 + 6 - 4.5, -0.01, 0, 1500)});
}

// The centre line in slot 1 with its profile, the track in slot 2.
void StoreTrack(const std::vector<HzElement> &centre, const std::vector<HzElement> &track) {
    ResetAlignments();
    AddAlignment();
    AddAlignment();
    SetAligmentHz(1, OneBased(centre));
    SetAligmentVt(1, CentreProfile());
    SetAligmentHz(2, OneBased(track));
}

template <class... E> std::vector<HzElement> Hz(E... elements) { return {elements...}; }

bool HasSampleAt(const VtAlignment &vt, double chainage, double tol) {
    return std::any_of(vt.begin() + 1, vt.end(),
                       [&](const VtElement &e) { return std::abs(e.Chainage - chainage) <= tol; });
}

// In both modes the profile covers the track wherever its feet fall on the
// centre line, with each foot's height: a foot within the tolerance beyond an
// end takes that end's height; farther out the profile stops where the feet
// leave the centre line, found to the millimetre, and a gap in the centre line
// has both edges. The step (0.7) lands on no element start nor edge. The
// centre line runs north from (0, 0). (Feet on arcs inside and outside a curve:
// the batch runs of track profiles from the other track.)
TEST(TrackVt, ProfileCoversTheTrackToItsEnds) {
    const double R = 500, hair = 0.004;
    const HzElement straight = HzAt(0, 0, 0, 0, 0, 0, 300);
    const auto clamp = [](double c) { return std::clamp(c, 0.0, 300.0); };
    // The left track of a line then a right-hand arc (centre (500, 300)).
    const auto lineArc = Hz(straight, HzAt(300, 0, 300, 0, R, 0, 300));
    const auto lineArcLeft =
        Hz(HzAt(0, -2, 0, 0, 0, 0, 300), HzAt(300, -2, 300, 0, R + 2, 0, 301.2));
    using Chainages = std::vector<double>;
    struct Case {
        const char *Name;
        std::vector<HzElement> Centre, Track;
        double First, Last;                 // where the profile must start and end on the track ...
        double Slack;                       // ... give or take this much inwards
        std::function<double(double)> Foot; // centre chainage facing track chainage t
        std::vector<double> Samples = {};   // track chainages that must be samples
        bool LevelCoplanar = false;         // the track has a level co-planar cant table
        std::vector<double> EdgesAlongTrack = {}; // samples a walk along the track must find
    };
    const Case cases[] = {
        {"straight, a hair beyond both ends", Hz(straight),
         Hz(HzAt(0, -2, -hair, 0, 0, 0, 300 + 2 * hair)), 0, 300 + 2 * hair, 0,
         [&](double t) { return clamp(t - hair); }},
        {"running against the centre line", Hz(straight),
         Hz(HzAt(0, 2, 300, std::numbers::pi, 0, 0, 300)), 0, 300, 0,
         [](double t) { return 300 - t; }},
        // The profile reaches the tolerance beyond the normals at most.
        {"1.23 m beyond both ends", Hz(straight), Hz(HzAt(0, -2, -1.23, 0, 0, 0, 302.46)),
         1.23 - kFootTol, 301.23 + kFootTol, kFootTol + 0.001,
         [&](double t) { return clamp(t - 1.23); }},
        {"line and arc, level co-planar table", lineArc, lineArcLeft, 0, 601.2, 0,
         [&](double t) { return t <= 300 ? t : 300 + (t - 300) * R / (R + 2); },
         Chainages{0, 300, 601.2}, true},
        {"a gap of 50 in the centre line",
         Hz(HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(150, 0, 150, 0, 0, 0, 150)),
         Hz(HzAt(0, 2, 0, 0, 0, 0, 300)), 0, 300, 0, [](double t) { return t; }, Chainages(), false,
         Chainages{100, 150}},
    };
    for (const Case &c : cases) {
        for (const bool alongCentre : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << c.Name
                         << (alongCentre ? ", along the centre line" : ", along the track"));
            RecordingUi ui;
            StoreTrack(c.Centre, c.Track);
            if (c.LevelCoplanar)
                SetAligmentSup(2, std::make_shared<clsSuperelevation>(
                                      RailTable({Station(0, 0, rotInsideRail)}, true)));
            RecordingProgress progress;
            ASSERT_TRUE(CreateVtFromVt(2, 1, c.LevelCoplanar ? 2 : 0, 0.7, progress, 2, alongCentre,
                                       railVtAxis, kFootTol));
            EXPECT_TRUE(progress.Finished);
            EXPECT_GT(progress.Steps, 300); // step by step, not once
            const VtAlignment track = GetAligmentVt(2);
            const double first = track[1].Chainage, last = track.back().Chainage;
            EXPECT_TRUE(first >= c.First - 1e-9 && first <= c.First + c.Slack + 1e-9) << first;
            EXPECT_TRUE(last <= c.Last + 1e-9 && last >= c.Last - c.Slack - 1e-9) << last;
            for (const double t : c.Samples)
                EXPECT_TRUE(HasSampleAt(track, t, 0.0011)) << t;
            for (const double t : alongCentre ? std::vector<double>{} : c.EdgesAlongTrack)
                EXPECT_TRUE(HasSampleAt(track, t, 0.0011)) << "gap edge " << t;
            for (double t = first; t <= last; t += 0.37)
                EXPECT_NEAR(GetHeightFromVtAligment(track, t),
                            GetHeightFromVtAligment(CentreProfile(), c.Foot(t)), kHeightTol)
                    << t;
        }
    }
}

TEST(TrackVt, CloseSamplesMergeAndNullHeightsAreIgnored) {
    VtAlignment points;
    AddTrackVtPoint(points, nullptr, 10, 2, 100, 2, 2);
    AddTrackVtPoint(points, nullptr, 10.00005, 2, 107, 2, 2);  // within 0.0001: merged
    AddTrackVtPoint(points, nullptr, 12, 2, kNullValue, 2, 2); // no height
    AddTrackVtPoint(points, nullptr, 9, 2, 90, 2, 2);          // behind: ignored
    AddTrackVtPoint(points, nullptr, 20, 2, 101, 2, 2);
    ASSERT_EQ(ElementCount(points), 2);
    // Chainage, height, length and grade of the first; the second's number.
    EXPECT_EQ(std::tuple(points[1].Chainage, points[1].Height, points[1].Length, points[1].Grade,
                         points[2].Number),
              std::tuple(10.0, 100.0, 10.0, 0.1, 2L));
}

// Each run is refused (or cancelled) and stores nothing; those refused up
// front never start the walk, and none reports once per sample.
TEST(TrackVt, RefusedAndCancelledRunsStoreNothing) {
    const CantStation level = Station(0, 0, rotInsideRail),
                      upright = Station(200, 1.5, rotInsideRail);
    // What is wrong; slot 2's co-planar table (none when empty); the arguments
    // from, cantSlot, step, selector and option; the step that cancels. A cant
    // as large as the base is a slope of 90 degrees: its tangent would put the
    // track some 10^16 above the centre line.
    const std::tuple<const char *, std::vector<CantStation>, SlotNumber, SlotNumber, double, long,
                     int, long>
        cases[] = {
            {"cancelled", {}, 1, 0, 0.5, 2, 0, 5},
            {"no cant table in slot 2", {}, 1, 2, 0.5, 2, 0, -1},
            {"no step", {}, 1, 0, 0, 2, 0, -1},
            {"slot 3 has no profile", {}, 3, 0, 0.5, 2, 0, -1},
            {"co-planar track not a side", {level}, 1, 2, 0.5, 1, 0, -1},
            {"cant equal to the base", {level, upright}, 1, 2, 0.5, 2, 0, -1},
            {"unknown vertical option", {level}, 1, 2, 0.5, 2, 7, -1},
        };
    for (const auto &[what, coplanar, from, cantSlot, step, selector, option, cancelAfter] :
         cases) {
        RecordingUi ui;
        StoreTrack({HzAt(0, 0, 0, 0, 0, 0, 300)}, {HzAt(0, -2, 0, 0, 0, 0, 300)});
        AddAlignment(); // slot 3: no profile
        SetAligmentHz(3, GetAligmentHz(2));
        SCOPED_TRACE(what);
        if (!coplanar.empty())
            SetAligmentSup(2, std::make_shared<clsSuperelevation>(RailTable(coplanar, true)));
        RecordingProgress progress(cancelAfter);
        EXPECT_FALSE(
            CreateVtFromVt(2, from, cantSlot, step, progress, selector, false, option, kFootTol));
        EXPECT_FALSE(ExistAlignment(flagVt, 2));
        EXPECT_LE(ui.Messages.size(), 1u);
        EXPECT_TRUE(cancelAfter < 0 ? progress.Steps == 0 : progress.Finished) << progress.Steps;
    }
}

} // namespace
