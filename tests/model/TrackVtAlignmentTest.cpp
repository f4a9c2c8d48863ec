// A track's profile derived from the centre line's: the samples, their
// merging, gaps in the projection, the ends of the profile, cancel and
// failures, and the co-planar correction. The tracks are laid out by hand
// (lines and concentric arcs) so that the chainage of the centre line facing a
// track chainage is known exactly.
#include "TrackVtAlignment.h"

#include "AlignmentStore.h"
#include "RailComputation.h"
#include "Superelevation.h"
#include "TestSupport.h"
#include "Text.h"
#include "VtGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

using namespace vialto;
using vialto::test::RecordingProgress;
using vialto::test::RecordingUi;

namespace {

constexpr double kHeightTol = 0.001; // a millimetre

HzElement Element(double chainage, double x, double y, double azimuth, double radius,
                  double length) {
    HzElement e;
    e.Chainage = chainage;
    e.X = x;
    e.Y = y;
    e.Azimuth = azimuth;
    e.Radius = radius;
    e.Length = length;
    return e;
}

HzAlignment OneBased(std::vector<HzElement> elements) {
    HzAlignment out(1);
    for (auto &e : elements) {
        e.Number = static_cast<long>(out.size());
        out.push_back(e);
    }
    return out;
}

// 100 at 0 rising 2 %, a crest parabola (Kv -10000) from 200 to 500, then the
// grade it leaves on (2 % - 3 % = -1 %) to 2000.
VtAlignment CentreProfile() {
    VtAlignment vt(4);
    vt[1] = {1, 0, 100, 0.02, 0, 0, 200};
    vt[2] = {2, 200, 104, 0.02, 0, -10000, 300};
    const double h3 = 104 + 0.02 * 300 - 300.0 * 300.0 / 20000;
    vt[3] = {3, 500, h3, -0.01, 0, 0, 1500};
    return vt;
}

// The centre line runs north from (0, 0) for 300, then turns right on an arc
// of radius 500 (centre (500, 300)) for 300. The right track keeps 2 m to its
// right: the same straight from (2, 0), then the concentric arc of radius 498;
// the left track keeps 2 m to the left with radius 502.
void StoreDoubleTrack() {
    ResetAlignments();
    for (int i = 0; i < 3; ++i)
        AddAlignment();
    SetAligmentHz(1, OneBased({Element(0, 0, 0, 0, 0, 300), Element(300, 0, 300, 0, 500, 300)}));
    SetAligmentVt(1, CentreProfile());
    SetAligmentHz(2, OneBased({Element(0, -2, 0, 0, 0, 300),
                               Element(300, -2, 300, 0, 502, 300 * 502.0 / 500)}));
    SetAligmentHz(3, OneBased({Element(0, 2, 0, 0, 0, 300),
                               Element(300, 2, 300, 0, 498, 300 * 498.0 / 500)}));
}

// The centre-line chainage facing chainage t of a track at `offset` (right +).
double CentreChainage(double t, double offset) {
    return t <= 300 ? t : 300 + (t - 300) * 500 / (500 - offset);
}

bool HasSampleAt(const VtAlignment &vt, double chainage, double tol = 1e-6) {
    for (long i = 1; i <= ElementCount(vt); ++i)
        if (std::abs(vt[static_cast<std::size_t>(i)].Chainage - chainage) <= tol)
            return true;
    return false;
}

// A co-planar table whose cant is 0 everywhere: the shared plane is level.
std::shared_ptr<clsSuperelevation> LevelCoplanarTable() {
    CantTableData data;
    data.Gauge = 1.435;
    data.SuperelevationBase = 1.5;
    data.IsCoplaneTrack = true;
    data.Stations = {CantStation{0, 0, 0, 0, 0, rotInsideRail, interpLinear},
                     CantStation{1000, 0, 0, 0, 0, rotInsideRail, interpLinear}};
    return std::make_shared<clsSuperelevation>(data);
}

TEST(TrackVt, ParallelTrackReproducesTheCentreHeightsInBothModes) {
    RecordingUi ui;
    for (const auto &[alongCentre, levelCant] :
         {std::pair{false, false}, {true, false}, {false, true}, {true, true}}) {
        StoreDoubleTrack();
        if (levelCant)
            SetAligmentSup(3, LevelCoplanarTable());
        RecordingProgress progress;
        ASSERT_TRUE(CreateVtFromVt(3, 1, levelCant ? 3 : 0, 0.5, progress, 3, alongCentre));
        EXPECT_TRUE(progress.Finished);
        EXPECT_GT(progress.Steps, 1000);
        const VtAlignment track = GetAligmentVt(3);
        const VtAlignment centre = CentreProfile();
        // The profile covers the whole track...
        EXPECT_NEAR(track[1].Chainage, 0, 0.001) << alongCentre << levelCant;
        EXPECT_NEAR(track.back().Chainage, 298.8 + 300, 0.001) << alongCentre << levelCant;
        // ... and gives the centre line's height of the facing point.
        for (double t = 0; t <= 598.8; t += 0.37) {
            const double expected = GetHeightFromVtAligment(centre, CentreChainage(t, 2));
            EXPECT_NEAR(GetHeightFromVtAligment(track, t), expected, kHeightTol)
                << "t " << t << " alongCentre " << alongCentre << " levelCant " << levelCant;
        }
        // A polyline: ascending chainages, grades between the samples.
        for (long i = 1; i < ElementCount(track); ++i) {
            const VtElement &a = track[static_cast<std::size_t>(i)];
            const VtElement &b = track[static_cast<std::size_t>(i) + 1];
            ASSERT_GT(b.Chainage - a.Chainage, kTrackSampleMerge);
            EXPECT_DOUBLE_EQ(a.Length, b.Chainage - a.Chainage);
            EXPECT_NEAR(a.Grade, (b.Height - a.Height) / a.Length, 1e-12);
            EXPECT_EQ(a.Parameter, 0);
        }
    }
}

TEST(TrackVt, EveryElementStartOfTheWalkedAlignmentIsASample) {
    RecordingUi ui;
    StoreDoubleTrack();
    RecordingProgress progress;
    // A step that never lands on 300 by itself.
    ASSERT_TRUE(CreateVtFromVt(2, 1, 0, 0.7, progress, 2, false));
    const VtAlignment along = GetAligmentVt(2);
    EXPECT_TRUE(HasSampleAt(along, 0));
    EXPECT_TRUE(HasSampleAt(along, 300));
    EXPECT_TRUE(HasSampleAt(along, 300 + 300 * 502.0 / 500));
    // Along the centre line its own element start (300) faces track chainage 300.
    ASSERT_TRUE(CreateVtFromVt(2, 1, 0, 0.7, progress, 2, true));
    EXPECT_TRUE(HasSampleAt(GetAligmentVt(2), 300, 0.001));
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
    EXPECT_EQ(points[2].Length, 0);
    EXPECT_EQ(points[2].Number, 2);
}

TEST(TrackVt, FailedProjectionsSkipSamplesWithoutEndingTheWalk) {
    RecordingUi ui;
    ResetAlignments();
    AddAlignment();
    AddAlignment();
    // A centre line with a gap between 100 and 150 in the plane: track points
    // facing the gap project onto neither neighbouring element.
    SetAligmentHz(1, OneBased({Element(0, 0, 0, 0, 0, 100), Element(150, 0, 150, 0, 0, 150)}));
    VtAlignment vt(2);
    vt[1] = {1, 0, 10, 0.01, 0, 0, 300};
    SetAligmentVt(1, vt);
    SetAligmentHz(2, OneBased({Element(0, 2, 0, 0, 0, 300)}));
    RecordingProgress progress;
    ASSERT_TRUE(CreateVtFromVt(2, 1, 0, 0.5, progress, 2, false));
    const VtAlignment track = GetAligmentVt(2);
    bool before = false, after = false;
    for (long i = 1; i <= ElementCount(track); ++i) {
        const double c = track[static_cast<std::size_t>(i)].Chainage;
        EXPECT_FALSE(c > 100.001 && c < 149.999) << c;
        before = before || c < 100;
        after = after || c > 150;
        EXPECT_NEAR(track[static_cast<std::size_t>(i)].Height, 10 + 0.01 * c, 1e-6);
    }
    EXPECT_TRUE(before);
    EXPECT_TRUE(after);
    EXPECT_NEAR(track.back().Chainage, 300, 1e-9);
    // The edges of the gap are found to the millimetre.
    EXPECT_TRUE(HasSampleAt(track, 100, 0.0011));
    EXPECT_TRUE(HasSampleAt(track, 150, 0.0011));
}

TEST(TrackVt, AlongTheCentreLineBeyondTheProfileOnlyNearItsEnd) {
    RecordingUi ui;
    ResetAlignments();
    AddAlignment();
    AddAlignment();
    SetAligmentHz(1, OneBased({Element(0, 0, 0, 0, 0, 1000)}));
    // The profile ends at 499.995 at height 10 + 4.99995.
    VtAlignment vt(3);
    vt[1] = {1, 0, 10, 0.01, 0, 0, 499.995};
    vt[2] = {2, 499.995, 14.99995, 0, 0, 0, 0};
    SetAligmentVt(1, vt);
    SetAligmentHz(2, OneBased({Element(0, 2, 0, 0, 0, 1000)}));
    RecordingProgress progress;
    ASSERT_TRUE(CreateVtFromVt(2, 1, 0, 0.5, progress, 2, true));
    const VtAlignment track = GetAligmentVt(2);
    // 500 is within 0.01 of the end and takes the last height; 500.5 has none.
    EXPECT_TRUE(HasSampleAt(track, 500));
    EXPECT_LE(track.back().Chainage, 500.005 + 1e-9);
    EXPECT_NEAR(track.back().Height, 14.99995, 1e-9);
}

TEST(TrackVt, CancelAndFailuresStoreNothing) {
    RecordingUi ui;
    StoreDoubleTrack();
    RecordingProgress cancelling(5);
    EXPECT_FALSE(CreateVtFromVt(2, 1, 0, 0.5, cancelling, 2, false));
    EXPECT_TRUE(cancelling.Finished);
    EXPECT_FALSE(ExistAlignment(flagVt, 2));
    RecordingProgress progress;
    EXPECT_FALSE(CreateVtFromVt(2, 1, 2, 0.5, progress, 2, false)); // no cant table in slot 2
    EXPECT_FALSE(CreateVtFromVt(2, 1, 0, 0, progress, 2, false));   // no step
    EXPECT_FALSE(CreateVtFromVt(2, 3, 0, 0.5, progress, 2, false)); // slot 3 has no profile
    EXPECT_FALSE(ExistAlignment(flagVt, 2));
    // A co-planar table needs the track to be a side of the double track.
    CantTableData data;
    data.Gauge = 1.435;
    data.SuperelevationBase = 1.5;
    data.IsCoplaneTrack = true;
    data.Stations = {CantStation{0, 0, 0, 0, 0, rotInsideRail, interpLinear}};
    SetAligmentSup(2, std::make_shared<clsSuperelevation>(data));
    EXPECT_FALSE(CreateVtFromVt(2, 1, 2, 0.5, progress, 1, false));
    EXPECT_FALSE(ExistAlignment(flagVt, 2));
}

TEST(TrackVt, CoplanarTableThatCannotBeATrackIsRefusedBeforeSampling) {
    StoreDoubleTrack();
    // A cant as large as the base is a slope of 90 degrees: its tangent would
    // put the track some 10^16 above the centre line. Either sign, either form.
    CantStation level{0, 0, 0, 0, 0, rotInsideRail, interpLinear};
    CantStation upright{500, 1.5, 0, 0, 0, rotInsideRail, interpLinear};
    CantStation reversed{500, -1.5, 0, 0, 0, rotInsideRail, interpLinear};
    CantStation sideways{500, 0, 1.5, 0, 0, rotLeftRightForm, interpLinear};
    for (const CantStation &bad : {upright, reversed, sideways}) {
        RecordingUi ui;
        CantTableData data;
        data.Gauge = 1.435;
        data.SuperelevationBase = 1.5;
        data.IsCoplaneTrack = true;
        data.Stations = {level, bad};
        SetAligmentSup(2, std::make_shared<clsSuperelevation>(data));
        RecordingProgress progress;
        EXPECT_FALSE(CreateVtFromVt(2, 1, 2, 0.5, progress, 2, false)) << bad.AppliedCant;
        EXPECT_FALSE(ExistAlignment(flagVt, 2));
        EXPECT_EQ(progress.Steps, 0); // refused before the walk
    }
}

class OptionPage final : public IRailsPage {
  public:
    explicit OptionPage(int option) : option_(option) {}
    int VerticalOption() const override { return option_; }
    std::string SelectedStringline(SlotNumber, int) const override { return {}; }

  private:
    int option_;
};

TEST(TrackVt, CoplanarTracksTakeTheirPlaceInTheSharedPlane) {
    RecordingUi ui;
    StoreDoubleTrack();
    // Cant 0.15 over 1.5 on the whole track, turned about the inner rail.
    CantTableData data;
    data.Gauge = 1.435;
    data.SuperelevationBase = 1.5;
    data.IsCoplaneTrack = true;
    data.Stations = {CantStation{0, 0.15, 0, 0, 0, rotInsideRail, interpLinear},
                     CantStation{1000, 0.15, 0, 0, 0, rotInsideRail, interpLinear}};
    const auto table = std::make_shared<clsSuperelevation>(data);
    SetAligmentSup(2, table);
    SetAligmentSup(3, table);
    const double tanTheta = std::tan(std::asin(0.1));
    const VtAlignment centre = CentreProfile();
    // Option 1: the centre line's profile is the low (inner, right) track's;
    // the left track sits 4 m across the plane above it.
    OptionPage page(1);
    SetRailsPage(&page);
    RecordingProgress progress;
    ASSERT_TRUE(CreateVtFromVt(2, 1, 2, 0.5, progress, 2, false));
    ASSERT_TRUE(CreateVtFromVt(3, 1, 3, 0.5, progress, 3, false));
    SetRailsPage(nullptr);
    for (double t : {350.0, 400.0, 550.0}) {
        const double left = GetHeightFromVtAligment(GetAligmentVt(2), t);
        const double right = GetHeightFromVtAligment(GetAligmentVt(3), t);
        EXPECT_NEAR(left, GetHeightFromVtAligment(centre, CentreChainage(t, -2)) + 4 * tanTheta,
                    kHeightTol)
            << t;
        EXPECT_NEAR(right, GetHeightFromVtAligment(centre, CentreChainage(t, 2)), kHeightTol) << t;
    }
    // On the straight the plane is level: the heights are the centre line's.
    EXPECT_NEAR(GetHeightFromVtAligment(GetAligmentVt(2), 100),
                GetHeightFromVtAligment(centre, 100), kHeightTol);
    // From the other track the profile is carried across the plane (mode off):
    // the left track from the right one gains 4 tan(theta).
    ASSERT_TRUE(CreateVtFromVt(2, 3, 2, 0.5, progress, 2, false));
    EXPECT_NEAR(GetHeightFromVtAligment(GetAligmentVt(2), 450),
                GetHeightFromVtAligment(GetAligmentVt(3), 450 * 498.0 / 502 + 300 * 4.0 / 502) +
                    4 * tanTheta,
                kHeightTol);
}

TEST(TrackVt, UnknownVerticalOptionFailsOnceAndStoresNothing) {
    StoreDoubleTrack();
    SetAligmentSup(2, LevelCoplanarTable());
    RecordingUi ui;
    OptionPage page(7);
    SetRailsPage(&page);
    RecordingProgress progress;
    const bool ok = CreateVtFromVt(2, 1, 2, 0.5, progress, 2, false);
    SetRailsPage(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_FALSE(ExistAlignment(flagVt, 2));
    EXPECT_EQ(progress.Steps, 0);
    EXPECT_LE(ui.Messages.size(), 1u); // not one message per sample
}

} // namespace
