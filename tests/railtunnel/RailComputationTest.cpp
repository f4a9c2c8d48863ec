// The rails of a track on small hand-made alignments and cant tables; expected
// values are worked out by hand in the comments.
#include "railtunnel/RailComputation.h"

#include "landxml/LandXmlWriter.h"
#include "model/AlignmentStore.h"
#include "railtunnel/Superelevation.h"
#include "shell/AppModel.h"
#include "shell/Text.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <tuple>
#include <vector>

using namespace vialto;
using namespace vialto::test;
using testing::HasSubstr;

namespace {

constexpr double kGauge = 1.435;
constexpr double kBase = 1.5;

// A profile of one constant grade: 50 + 0.01 c.
VtAlignment Grade() { return OneBased<VtElement>({VtAt(0, 50, 0.01, 0, 10000)}); }

// Slots 1, 2, ... with the given elements, slot 1 with the grade profile
// unless `profile` is false. By default slot 1 alone: a straight 0..100 going
// north, a right-hand arc (R 500) 100..200.
void StoreTrack(std::vector<std::vector<HzElement>> slots = {}, bool profile = true) {
    if (slots.empty())
        slots = {{HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, 100, 0, 500, 0, 100)}};
    ResetAlignments();
    for (std::size_t i = 0; i < slots.size(); ++i) {
        AddAlignment();
        SetAligmentHz(static_cast<SlotNumber>(i + 1), OneBased(slots[i]));
    }
    if (profile)
        SetAligmentVt(1, Grade());
}

// A table of one cant from 0 to 1000.
clsSuperelevation Constant(double cant, CantRotation rotation) {
    return clsSuperelevation(
        RailTable({Station(0, cant, rotation), Station(1000, cant, rotation)}));
}

CantAtChainage Cant(CantRotation rotation, double cant) {
    return {.Found = true, .RotationPoint = rotation, .Cant = cant};
}

// On a right-hand curve (R > 0) the left rail is the outer one: it stands 0.1
// above the inner rail whichever rail is held, and the inner rail is the lower.
// On a straight only "leftRail" and "rightRail" tilt the track (the other rail
// is raised). A negative cant tilts the track the other way about the same
// point, and the other rail becomes the lower.
TEST(RailRule, OuterRailStandsHigherByTheCantAndTheNamedRailIsHeld) {
    // Rotation, radius; the rises of the left and right rail for a cant of 0.1.
    const std::tuple<CantRotation, double, double, double> cases[] = {
        {rotInsideRail, 500, 0.1, 0},   {rotInsideRail, -500, 0, 0.1},
        {rotOutsideRail, 500, 0, -0.1}, {rotOutsideRail, -500, -0.1, 0},
        {rotCenter, 500, 0.05, -0.05},  {rotCenter, -500, -0.05, 0.05},
        {rotLeftRail, 500, 0, -0.1},    {rotLeftRail, -500, 0, 0.1},
        {rotRightRail, 500, 0.1, 0},    {rotRightRail, -500, -0.1, 0},
        {rotInsideRail, 0, 0, 0},       {rotOutsideRail, 0, 0, 0},
        {rotCenter, 0, 0, 0},           {rotLeftRail, 0, 0, 0.1},
        {rotRightRail, 0, 0.1, 0}};
    for (const auto &[rotation, radius, left, right] : cases)
        for (const double sign : {1.0, -1.0}) {
            SCOPED_TRACE(testing::Message() << rotation << " R " << radius << " " << sign);
            const RailRise rise = RiseOfRails(Cant(rotation, sign * 0.1), radius);
            const double l = sign * left, r = sign * right;
            EXPECT_NEAR(rise.Left, l, 1e-12);
            EXPECT_NEAR(rise.Right, r, 1e-12);
            EXPECT_EQ(LowerRailOf(Cant(rotation, sign * 0.1), radius),
                      l == r ? lowerRailNone : (l < r ? lowerRailLeft : lowerRailRight));
        }
    // Level: the inner rail of a curve, the held rail of a straight, else none.
    EXPECT_EQ(LowerRailOf(Cant(rotLeftRail, 0), 0), lowerRailLeft);
    EXPECT_EQ(LowerRailOf(Cant(rotRightRail, 0), 0), lowerRailRight);
    // In the left/right form the cants decide, then the turn.
    CantAtChainage form{.Found = true, .CantLeft = 0.02, .CantRight = 0.05};
    EXPECT_EQ(LowerRailOf(form, 500), lowerRailLeft);
    form.CantRight = 0.02;
    EXPECT_EQ(LowerRailOf(form, 500), lowerRailRight);
    EXPECT_EQ(LowerRailOf(form, -500), lowerRailLeft);
    EXPECT_EQ(LowerRailOf(form, 0), lowerRailNone);
    // Half the spread, 0.5 G sqrt(B^2 - c^2) / B: the full gauge on a level
    // straight; a straight held on a rail is tilted (curves: the widening test).
    EXPECT_DOUBLE_EQ(HalfRailSpread(Cant(rotCenter, 0.3), 0, kGauge, kBase), 0.7175);
    EXPECT_NEAR(HalfRailSpread(Cant(rotLeftRail, 0.3), 0, kGauge, kBase),
                0.7175 * std::sqrt(2.16) / 1.5, 1e-12);
}

struct Rails {
    double lo = 7, ro = 7, lh = 7, rh = 7; // offsets and heights of the left and right rail
};

bool Compute(const clsSuperelevation &table, SlotNumber slot, double chainage, Rails &r) {
    return table.ComputeRails(slot, chainage, r.lo, r.ro, r.lh, r.rh, "");
}

TEST(ComputeRails, WidthExcessGoesToTheRailTheTypeNames) {
    RecordingUi ui;
    StoreTrack();
    CantTableData data =
        RailTable({Station(0, 0.1, rotInsideRail), Station(1000, 0.1, rotInsideRail)});
    data.Stations[0].WidthExcess = data.Stations[1].WidthExcess = 0.02;
    // On the right-hand arc the right rail is the lower; the heights differ by
    // 0.1, so cos(asin(0.1 / 1.52)) carries the widening across.
    const double across = 0.02 * std::cos(std::asin(0.1 / 1.52));
    const double half = 0.5 * kGauge * std::sqrt(kBase * kBase - 0.01) / kBase; // 0.5 G cos(theta)
    const std::tuple<CantWidthExcessType, double, double> cases[] = {
        {widthLowestRail, half, half + across},
        {widthHighestRail, half + across, half},
        {widthHalfToBothRails, half + across / 2, half + across / 2}};
    for (const auto &[type, left, right] : cases) {
        data.WidthExcessType = type;
        Rails r;
        ASSERT_TRUE(Compute(clsSuperelevation(data), 1, 150, r));
        EXPECT_NEAR(-r.lo, left, 1e-12) << type;
        EXPECT_NEAR(r.ro, right, 1e-12) << type;
    }
}

// A track without a profile stands on the stringline chosen for it, found by
// its exact name; without one (or with a name the set does not hold) on height
// 0. On the straight at 50 the inner-rail table keeps both rails level.
TEST(ComputeRails, TrackWithoutAProfileStandsOnItsChosenStringline) {
    RecordingUi ui;
    StoreTrack({{HzAt(0, 0, 0, 0, 0, 0, 100)}}, false);
    TStringLines set;
    set.Count = 1;
    set.Lines.resize(2);
    set.Lines[0].Name = "Edge";
    set.Lines[1].Name = "Axis";
    set.Lines[1].Vt = Grade(); // 50 + 0.01 c
    SetAligmentStrLn(1, set);
    const clsSuperelevation table = Constant(0.1, rotInsideRail);
    for (const auto &[stringline, height] :
         {std::pair{"Axis", 50.5}, {"axis", 0.0}, {"", 0.0}, {"Missing", 0.0}}) {
        Rails r;
        ASSERT_TRUE(table.ComputeRails(1, 50, r.lo, r.ro, r.lh, r.rh, stringline)) << stringline;
        EXPECT_EQ(std::pair(r.lh, r.rh), std::pair(height, height)) << stringline;
    }
}

TEST(ComputeRails, BadInputFailsWithAMessageInsteadOfWritingRails) {
    const double nan = std::nan("");
    // What is wrong; gauge, base, cant, first station, profile height; reason.
    const std::tuple<const char *, double, double, double, double, double, const char *> cases[] = {
        {"gauge 0", 0, kBase, 0.1, 0, 50, "must be positive"},
        {"negative base", kGauge, -kBase, 0.1, 0, 50, "must be positive"},
        {"cant equal to the base", kGauge, kBase, kBase, 0, 50, "not smaller"},
        {"profile not a number", kGauge, kBase, 0.1, 0, nan, "not numbers"},
        {"before the first station", kGauge, kBase, 0.1, 200, 50, "ComputeRails"},
    };
    for (const auto &[what, gauge, base, cant, firstStation, profileHeight, reason] : cases) {
        SCOPED_TRACE(what);
        RecordingUi ui;
        StoreTrack();
        VtAlignment vt = Grade();
        vt[1].Height = profileHeight;
        SetAligmentVt(1, vt);
        CantTableData data = RailTable(
            {Station(firstStation, cant, rotInsideRail), Station(1000, cant, rotInsideRail)});
        data.Gauge = gauge;
        data.SuperelevationBase = base;
        Rails r;
        EXPECT_FALSE(Compute(clsSuperelevation(data), 1, 150, r));
        EXPECT_EQ(r.lo, 7); // nothing handed out
        ASSERT_EQ(ui.Messages.size(), 1u);
        EXPECT_THAT(ui.Messages[0].Text, HasSubstr(reason));
    }
}

// Level at 70 and 80, the right-hand arc from 100. At 80 (10 back, 30 ahead)
// the "smart" lookup asks the station ahead; at the first station only the
// level one ahead; before the table nothing.
TEST(LowerRail, SmartLookupAsksTheNextStationWhenLevel) {
    RecordingUi ui;
    StoreTrack();
    const clsSuperelevation table(
        RailTable({Station(70, 0, rotInsideRail), Station(80, 0, rotInsideRail),
                   Station(110, 0.05, rotInsideRail)}));
    EXPECT_EQ(table.GetLowerRailFromCanTable(1, 80), lowerRailNone);
    EXPECT_EQ(table.GetLowerRailSmart(1, 80), lowerRailRight);
    EXPECT_EQ(table.GetLowerRailSmart(1, 70), lowerRailNone);
    EXPECT_EQ(table.GetLowerRailFromCanTable(1, 50), lowerRailNone);
}

// Whatever rail is held, the outer side of the curve is the high one: the left
// track on a right-hand curve, the right track on a left-hand one. Each mode
// is tried with another rotation point, on both turns.
TEST(CoplaneHeight, EveryModeAndOptionOnBothTurns) {
    RecordingUi ui;
    // Cant 0.15 over a base of 1.5: sin(theta) = 0.1.
    const double t = std::tan(std::asin(0.1));
    const double d1 = 2 * t;  // the offset handed in is 2
    const double d1x = 4 * t; // the tracks are 4 apart
    const double d2h = 0.075; // 0.5 B sin(theta): half the cant
    const double d2 = 0.15;   // B sin(theta): the cant
    // Rotation, mode, option; the change of the track on the high (outer) side
    // and of the other track.
    const std::tuple<CantRotation, bool, int, double, double> cases[] = {
        {rotInsideRail, false, 0, d1, -d1},
        {rotOutsideRail, true, 0, d1 - d2h, -d1 - d2h},
        {rotCenter, true, 1, d1x, 0},
        {rotLeftRail, true, 2, -d2, -d1x - d2}};
    for (bool leftHand : {false, true}) {
        // Slot 2 the left, slot 3 the right track on concentric arcs.
        const double turn = leftHand ? -1 : 1;
        ResetAlignments();
        for (int i = 0; i < 3; ++i)
            AddAlignment();
        SetAligmentHz(2, OneBased<HzElement>({HzAt(0, -2, 0, 0, turn * (500 + 2 * turn), 0, 400)}));
        SetAligmentHz(3, OneBased<HzElement>({HzAt(0, 2, 0, 0, turn * (500 - 2 * turn), 0, 400)}));
        for (const auto &[rotation, mode, option, high, low] : cases) {
            SCOPED_TRACE(testing::Message() << "rot " << rotation << " mode " << mode << " option "
                                            << option << " left " << leftHand);
            const clsSuperelevation table = Constant(0.15, rotation);
            double left = 100, right = 100;
            ASSERT_TRUE(table.CalcHeightVtAligmentCoplane(2, 100, 2, left, mode, option));
            ASSERT_TRUE(table.CalcHeightVtAligmentCoplane(3, 100, 2, right, mode, option));
            const double tol = 2e-4; // the projection rounds to 3 decimals
            EXPECT_NEAR(left - 100, leftHand ? low : high, tol);
            EXPECT_NEAR(right - 100, leftHand ? high : low, tol);
        }
    }
    // Before the table, not a track side, an unknown option: the height is left.
    const clsSuperelevation late(RailTable({Station(200, 0.15, rotInsideRail)}));
    double h = 100;
    EXPECT_FALSE(late.CalcHeightVtAligmentCoplane(2, 100, 2, h, false, 0));
    EXPECT_FALSE(Constant(0.15, rotInsideRail).CalcHeightVtAligmentCoplane(1, 100, 2, h, false, 0));
    EXPECT_FALSE(Constant(0.15, rotInsideRail).CalcHeightVtAligmentCoplane(2, 100, 2, h, true, 7));
    EXPECT_EQ(h, 100);
}

TEST(ProjectStations, OntoAParallelTrackDroppingWhatFallsOutside) {
    RecordingUi ui;
    // A straight centre line 100..600 and a track 2 m to its right starting 50
    // further on, with its own chainage from 0.
    StoreTrack({{HzAt(100, 0, 0, 0, 0, 0, 500)}, {HzAt(0, 2, 50, 0, 0, 0, 400)}}, false);
    clsSuperelevation table(
        RailTable({Station(50, 0, rotInsideRail), Station(200, 0.05, rotInsideRail),
                   Station(300, 0.05, rotInsideRail), Station(580, 0, rotInsideRail)}));
    ASSERT_TRUE(table.ProjectChainagesFromAlgimentToAligment(1, 2));
    // 50 lies before the centre line, 580 beyond the track's end (450).
    EXPECT_THAT(table.GetChainages(),
                testing::Pointwise(testing::DoubleNear(kPositionTol), {50.0, 150.0}));
    EXPECT_DOUBLE_EQ(table.Stations()[0].AppliedCant, 0.05);
    EXPECT_FALSE(table.ProjectChainagesFromAlgimentToAligment(1, 3)); // no such slot
}

TEST(RailChainages, StationsUnitStepsAndInflectionsEachOnce) {
    // Clothoids: + at 50 (state 1), arc, + at 120, - at 150 (inflection), arc,
    // - at 250, + at 280 (inflection), arc from 300.
    const HzAlignment hz =
        OneBased<HzElement>({HzAt(0, 0, 0, 0, 0, 0, 50), HzAt(50, 0, 0, 0, 0.001, 200, 30),
                             HzAt(80, 0, 0, 0, 800, 0, 40), HzAt(120, 0, 0, 0, 800, 200, 30),
                             HzAt(150, 0, 0, 0, -0.001, 200, 30), HzAt(180, 0, 0, 0, -900, 0, 70),
                             HzAt(250, 0, 0, 0, -900, 200, 30), HzAt(280, 0, 0, 0, 0.001, 200, 20),
                             HzAt(300, 0, 0, 0, 700, 0, 100)});
    const clsSuperelevation table(RailTable(
        {Station(0, 0, rotInsideRail), Station(100, 0, rotInsideRail, interpCubic),
         Station(104.5, 0.05, rotInsideRail),
         Station(280.0000004, 0.05, rotInsideRail, interpReverseCurve), // meets the inflection
         Station(283, 0, rotInsideRail),
         Station(300, 0, rotInsideRail, interpCubic)})); // the last: no steps after it
    // Both kinds of inflection: right into left at 150, left into right at 280.
    EXPECT_THAT(RailChainageList(table, hz, kNullValue, kNullValue),
                testing::Pointwise(testing::DoubleNear(1e-6),
                                   std::vector<double>{0, 100, 101, 102, 103, 104, 104.5, 150, 280,
                                                       281, 282, 283, 300}));
}

// Only one station inside a range: nothing written, both chainages 0. A
// failure half way leaves the group closed.
TEST(RailExport, RangeAndFailures) {
    RecordingUi ui;
    TempDir dir;
    AppModel().IsOstXML = false;
    StoreTrack({{HzAt(0, 0, 0, 0, 500, 0, 300)}}); // a right-hand arc from 0 to 300
    SetOutputFile((dir / "rails.xml").string());
    ASSERT_TRUE(OpenFile());
    const clsSuperelevation table(
        RailTable({Station(10, 0, rotInsideRail), Station(20, 0.01, rotInsideRail),
                   Station(30, 2.0, rotInsideRail)}));
    double first = -1, last = -1;
    EXPECT_TRUE(table.ExportToLandXml(first, last, "", 1, 15, 25, ""));
    EXPECT_EQ(std::pair(first, last), std::pair(0.0, 0.0));
    // The cant at 30 is larger than the base: 20 is written, not 10 nor 30.
    EXPECT_FALSE(table.ExportToLandXml(first, last, "", 1, 20, kNullValue, ""));
    CloseFile();
    const std::string text = ReadFileBytes(LandXmlWriter().WorkFile);
    DiscardOutput();
    EXPECT_THAT(text, HasSubstr("\t<CrossSect sta=\"20.000000\">\r\n")); // no name: no attribute
    EXPECT_EQ(text.find("<CrossSect "), text.rfind("<CrossSect ")) << "one station only";
    EXPECT_THAT(text, testing::EndsWith("</CrossSects>\r\n"));
}

} // namespace
