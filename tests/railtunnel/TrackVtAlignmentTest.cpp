// A track's profile from the centre line's, on tracks laid out by hand so that
// the centre line's chainage facing a track chainage is known exactly.
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
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr double kHeightTol = 0.001; // a millimetre
// The horizontal tolerance of a job by default: a foot this far beyond an end
// of the centre line still takes that end's height.
constexpr double kFootTol = 0.010;

// 100 at 0 rising 2 %, a crest parabola (Kv -10000) from 200 to 500, then the
// grade it leaves on (2 % - 3 % = -1 %) to 2000.
VtAlignment CentreProfile() {
    return OneBased<VtElement>({VtAt(0, 100, 0.02, 0, 200), VtAt(200, 104, 0.02, -10000, 300),
                                VtAt(500, 104 + 6 - 4.5, -0.01, 0, 1500)});
}

// The centre line runs north from (0, 0) for 300, then turns right on an arc
// of radius 500 (centre (500, 300)) for 300; the left track (slot 2) and the
// right track (slot 3) keep 2 m to either side.
void StoreDoubleTrack() {
    ResetAlignments();
    const double offsets[] = {0, 0, -2, 2};
    for (SlotNumber slot = 1; slot <= 3; ++slot) {
        AddAlignment();
        const double x = offsets[slot], r = 500 - x;
        SetAligmentHz(slot, OneBased<HzElement>({HzAt(0, x, 0, 0, 0, 0, 300),
                                                 HzAt(300, x, 300, 0, r, 0, 300 * r / 500)}));
    }
    SetAligmentVt(1, CentreProfile());
}

// The centre line's height facing chainage t of a track at `offset` (right +).
double CentreHeight(double t, double offset) {
    return GetHeightFromVtAligment(CentreProfile(),
                                   t <= 300 ? t : 300 + (t - 300) * 500 / (500 - offset));
}

bool HasSampleAt(const VtAlignment &vt, double chainage, double tol = 1e-6) {
    return std::any_of(vt.begin() + 1, vt.end(),
                       [&](const VtElement &e) { return std::abs(e.Chainage - chainage) <= tol; });
}

TEST(TrackVt, ParallelTrackReproducesTheCentreHeightsInBothModes) {
    RecordingUi ui;
    for (const auto &[alongCentre, levelCant] :
         {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        SCOPED_TRACE(testing::Message()
                     << "alongCentre " << alongCentre << " levelCant " << levelCant);
        StoreDoubleTrack();
        if (levelCant) // a level co-planar table
            SetAligmentSup(3, std::make_shared<clsSuperelevation>(
                                  RailTable({Station(0, 0, rotInsideRail)}, true)));
        RecordingProgress progress;
        // A step that never lands on 300 by itself.
        ASSERT_TRUE(CreateVtFromVt(3, 1, levelCant ? 3 : 0, 0.7, progress, 3, alongCentre,
                                   railVtAxis, kFootTol));
        EXPECT_TRUE(progress.Finished);
        EXPECT_GT(progress.Steps, 598.8 / 0.7);
        const VtAlignment track = GetAligmentVt(3);
        // The profile covers the whole track, samples the element starts of
        // the walked alignment (300 faces 300) and gives the centre line's
        // height of the facing point.
        EXPECT_NEAR(track[1].Chainage, 0, 0.001);
        EXPECT_NEAR(track.back().Chainage, 598.8, 0.001);
        for (const double c : {0.0, 300.0, 598.8})
            EXPECT_TRUE(HasSampleAt(track, c, alongCentre ? 0.001 : 1e-6)) << c;
        for (double t = 0; t <= 598.8; t += 0.37)
            EXPECT_NEAR(GetHeightFromVtAligment(track, t), CentreHeight(t, 2), kHeightTol) << t;
        // A polyline: ascending chainages, grades between the samples.
        for (std::size_t i = 1; i < track.size() - 1; ++i) {
            const VtElement &a = track[i];
            const VtElement &b = track[i + 1];
            ASSERT_GT(b.Chainage - a.Chainage, kTrackSampleMerge);
            EXPECT_DOUBLE_EQ(a.Length, b.Chainage - a.Chainage);
            EXPECT_NEAR(a.Grade, (b.Height - a.Height) / a.Length, 1e-12);
            EXPECT_EQ(a.Parameter, 0);
        }
    }
}

// The profile covers the track wherever the centre line's profile covers the
// track's projection, in both modes: a track end whose foot lies a hair
// beyond the centre line's end (within the tolerance) takes that end's
// height; beyond the tolerance the profile stops where the feet leave the
// centre line. The centre line is a straight or a right-hand arc of radius
// 500 running north from (0, 0) for 300, with the profile 100 + 2 % c.
TEST(TrackVt, ProfileCoversTheTrackToItsEnds) {
    const double R = 500, hair = 0.004;
    const auto arcTrack = [&](double radius) { // concentric, ends a hair beyond
        const double delta = hair / radius;    // the angle that puts the foot `hair` beyond
        return HzAt(0, R - radius * std::cos(delta), -radius * std::sin(delta),
                    2 * std::numbers::pi - delta, radius, 0, radius * (300 / R + 2 * delta));
    };
    struct Case {
        const char *Name;
        bool CentreOnArc;
        HzElement Track;
        double First, Last;                 // where the profile must start and end on the track ...
        double Slack;                       // ... give or take this much inwards
        std::function<double(double)> Foot; // centre chainage facing track chainage t
    };
    const auto clamp = [](double c) { return std::clamp(c, 0.0, 300.0); };
    const Case cases[] = {
        {"straight, ends on the normals", false, HzAt(0, -2, 0, 0, 0, 0, 300), 0, 300, 0,
         [](double t) { return t; }},
        {"straight, a hair beyond both ends", false, HzAt(0, -2, -hair, 0, 0, 0, 300 + 2 * hair), 0,
         300 + 2 * hair, 0, [&](double t) { return clamp(t - hair); }},
        {"outside a curve at both ends", true, arcTrack(R + 2), 0, arcTrack(R + 2).Length, 0,
         [&](double t) { return clamp(R * (t / (R + 2) - hair / (R + 2))); }},
        {"inside a curve at both ends", true, arcTrack(R - 2), 0, arcTrack(R - 2).Length, 0,
         [&](double t) { return clamp(R * (t / (R - 2) - hair / (R - 2))); }},
        {"running against the centre line", false, HzAt(0, 2, 300, std::numbers::pi, 0, 0, 300), 0,
         300, 0, [](double t) { return 300 - t; }},
        // 1.23 m beyond both ends, so that no step of 0.5 lands on an edge:
        // the profile reaches the tolerance beyond the normals at most, and
        // the edges are searched out to the millimetre.
        {"1.23 m beyond both ends", false, HzAt(0, -2, -1.23, 0, 0, 0, 302.46), 1.23 - kFootTol,
         301.23 + kFootTol, kFootTol + 0.001, [&](double t) { return clamp(t - 1.23); }},
    };
    for (const Case &c : cases) {
        for (const bool alongCentre : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << c.Name
                         << (alongCentre ? ", along the centre line" : ", along the track"));
            RecordingUi ui;
            ResetAlignments();
            AddAlignment();
            AddAlignment();
            SetAligmentHz(1, OneBased<HzElement>({c.CentreOnArc ? HzAt(0, 0, 0, 0, R, 0, 300)
                                                                : HzAt(0, 0, 0, 0, 0, 0, 300)}));
            SetAligmentVt(1, OneBased<VtElement>({VtAt(0, 100, 0.02, 0, 300)}));
            SetAligmentHz(2, OneBased<HzElement>({c.Track}));
            RecordingProgress progress;
            ASSERT_TRUE(
                CreateVtFromVt(2, 1, 0, 0.5, progress, 2, alongCentre, railVtAxis, kFootTol));
            const VtAlignment track = GetAligmentVt(2);
            const double first = track[1].Chainage, last = track.back().Chainage;
            EXPECT_GE(first, c.First - 1e-9);
            EXPECT_LE(first, c.First + c.Slack + 1e-9);
            EXPECT_LE(last, c.Last + 1e-9);
            EXPECT_GE(last, c.Last - c.Slack - 1e-9);
            for (double t = first; t <= last; t += 0.37)
                EXPECT_NEAR(GetHeightFromVtAligment(track, t), 100 + 0.02 * c.Foot(t), kHeightTol)
                    << t;
            EXPECT_NEAR(track.back().Height, 100 + 0.02 * c.Foot(last), kHeightTol);
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
    EXPECT_EQ(points[1].Chainage, 10);
    EXPECT_EQ(points[1].Height, 100);
    EXPECT_DOUBLE_EQ(points[1].Length, 10);
    EXPECT_DOUBLE_EQ(points[1].Grade, 0.1);
    EXPECT_EQ(points[2].Number, 2);
}

TEST(TrackVt, FailedProjectionsSkipSamplesWithoutEndingTheWalk) {
    RecordingUi ui;
    // A straight centre line with a gap between 100 and 150 in the plane and
    // a track 2 m to its right: track points facing the gap project onto
    // neither neighbouring element.
    ResetAlignments();
    AddAlignment();
    AddAlignment();
    SetAligmentHz(
        1, OneBased<HzElement>({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(150, 0, 150, 0, 0, 0, 150)}));
    SetAligmentVt(1, OneBased<VtElement>({VtAt(0, 10, 0.01, 0, 300)}));
    SetAligmentHz(2, OneBased<HzElement>({HzAt(0, 2, 0, 0, 0, 0, 300)}));
    RecordingProgress progress;
    ASSERT_TRUE(CreateVtFromVt(2, 1, 0, 0.5, progress, 2, false, railVtAxis, kFootTol));
    const VtAlignment track = GetAligmentVt(2);
    bool before = false, after = false;
    for (std::size_t i = 1; i < track.size(); ++i) {
        const double c = track[i].Chainage;
        EXPECT_FALSE(c > 100.001 && c < 149.999) << c;
        before = before || c < 100;
        after = after || c > 150;
        EXPECT_NEAR(track[i].Height, 10 + 0.01 * c, 1e-6);
    }
    EXPECT_TRUE(before && after);
    EXPECT_NEAR(track.back().Chainage, 300, 1e-9);
    // The edges of the gap are found to the millimetre.
    EXPECT_TRUE(HasSampleAt(track, 100, 0.0011));
    EXPECT_TRUE(HasSampleAt(track, 150, 0.0011));
}

// Each run is refused (or cancelled) and stores nothing; those refused up
// front never start the walk, and none reports once per sample.
TEST(TrackVt, RefusedAndCancelledRunsStoreNothing) {
    const CantStation level = Station(0, 0, rotInsideRail);
    struct Case {
        const char *what;
        std::vector<CantStation> coplanar; // slot 2's co-planar table; none when empty
        SlotNumber from, cantSlot;
        double step;
        long selector;
        int option;
        long cancelAfter;
    };
    // A cant as large as the base is a slope of 90 degrees: its tangent would
    // put the track some 10^16 above the centre line.
    const Case cases[] = {
        {"cancelled", {}, 1, 0, 0.5, 2, 0, 5},
        {"no cant table in slot 2", {}, 1, 2, 0.5, 2, 0, -1},
        {"no step", {}, 1, 0, 0, 2, 0, -1},
        {"slot 3 has no profile", {}, 3, 0, 0.5, 2, 0, -1},
        {"co-planar track not a side", {level}, 1, 2, 0.5, 1, 0, -1},
        {"cant equal to the base", {level, Station(500, 1.5, rotInsideRail)}, 1, 2, 0.5, 2, 0, -1},
        {"unknown vertical option", {level}, 1, 2, 0.5, 2, 7, -1},
    };
    for (const Case &c : cases) {
        RecordingUi ui;
        StoreDoubleTrack();
        if (!c.coplanar.empty())
            SetAligmentSup(2, std::make_shared<clsSuperelevation>(RailTable(c.coplanar, true)));
        RecordingProgress progress(c.cancelAfter);
        EXPECT_FALSE(CreateVtFromVt(2, c.from, c.cantSlot, c.step, progress, c.selector, false,
                                    c.option, kFootTol))
            << c.what;
        EXPECT_FALSE(ExistAlignment(flagVt, 2)) << c.what;
        EXPECT_LE(ui.Messages.size(), 1u) << c.what;
        if (c.cancelAfter < 0)
            EXPECT_EQ(progress.Steps, 0) << c.what;
        else
            EXPECT_TRUE(progress.Finished) << c.what;
    }
}

} // namespace
