// The rails of a track on small hand-made alignments and cant tables: which
// rail stands higher and which is held, the spread of the rails, the lower
// rail, the co-planar height correction, the chainage list and the written
// cross sections. Expected values are worked out by hand in the comments.
#include "RailComputation.h"

#include "AlignmentStore.h"
#include "AppModel.h"
#include "Error.h"
#include "LandXmlWriter.h"
#include "Superelevation.h"
#include "TestSupport.h"
#include "Text.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace vialto;
using vialto::test::kPositionTol;
using vialto::test::ReadFileBytes;
using vialto::test::RecordingUi;
using vialto::test::TempDir;

namespace {

constexpr double kGauge = 1.435;
constexpr double kBase = 1.5;

HzElement Element(double chainage, double x, double y, double azimuth, double radius,
                  double parameter, double length) {
    HzElement e;
    e.Chainage = chainage;
    e.X = x;
    e.Y = y;
    e.Azimuth = azimuth;
    e.Radius = radius;
    e.Parameter = parameter;
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

// A profile of one constant grade: 50 + 0.01 c.
VtAlignment Grade() {
    VtAlignment vt(2);
    vt[1].Number = 1;
    vt[1].Height = 50;
    vt[1].Grade = 0.01;
    vt[1].Length = 10000;
    return vt;
}

CantStation Station(double chainage, double cant, CantRotation rotation,
                    CantInterpolationKind kind = interpLinear) {
    CantStation s;
    s.Station = chainage;
    s.AppliedCant = cant;
    s.RotationPoint = rotation;
    s.CantInterpolation = kind;
    return s;
}

CantTableData Table(std::vector<CantStation> stations) {
    CantTableData data;
    data.Gauge = kGauge;
    data.SuperelevationBase = kBase;
    data.RotationPoint = stations.empty() ? rotInsideRail : stations[0].RotationPoint;
    data.Version = "1.1.0";
    data.Stations = std::move(stations);
    return data;
}

// Slot 1: a straight 0..100 going north, a right-hand arc (R 500) 100..200, a
// left-hand arc (R -500) 200..300; the grade profile.
void StoreTrack() {
    ResetAlignments();
    AddAlignment();
    SetAligmentHz(1, OneBased({Element(0, 0, 0, 0, 0, 0, 100), Element(100, 0, 100, 0, 500, 0, 100),
                               Element(200, 9.97, 199.33, 0.2, -500, 0, 100)}));
    SetAligmentVt(1, Grade());
}

CantAtChainage Cant(CantRotation rotation, double cant) {
    CantAtChainage c;
    c.Found = true;
    c.RotationPoint = rotation;
    c.Cant = cant;
    return c;
}

// ---- The physical rule ------------------------------------------------------

struct RiseCase {
    CantRotation rotation;
    double radius;
    double left;  // rise of the left rail for a cant of 0.1
    double right; // rise of the right rail
};

// On a right-hand curve (R > 0) the left rail is the outer one: it stands 0.1
// above the inner rail whichever rail is held. On a straight only "leftRail"
// and "rightRail" tilt the track (the other rail is raised).
const RiseCase kRiseCases[] = {
    {rotInsideRail, 500, 0.1, 0},   {rotInsideRail, -500, 0, 0.1},
    {rotOutsideRail, 500, 0, -0.1}, {rotOutsideRail, -500, -0.1, 0},
    {rotCenter, 500, 0.05, -0.05},  {rotCenter, -500, -0.05, 0.05},
    {rotLeftRail, 500, 0, -0.1},    {rotLeftRail, -500, 0, 0.1},
    {rotRightRail, 500, 0.1, 0},    {rotRightRail, -500, -0.1, 0},
    {rotInsideRail, 0, 0, 0},       {rotOutsideRail, 0, 0, 0},
    {rotCenter, 0, 0, 0},           {rotLeftRail, 0, 0, 0.1},
    {rotRightRail, 0, 0.1, 0},
};

TEST(RailRule, OuterRailStandsHigherByTheCantAndTheNamedRailIsHeld) {
    for (const RiseCase &c : kRiseCases) {
        const RailRise rise = RiseOfRails(Cant(c.rotation, 0.1), c.radius);
        EXPECT_NEAR(rise.Left, c.left, 1e-12) << c.rotation << " R " << c.radius;
        EXPECT_NEAR(rise.Right, c.right, 1e-12) << c.rotation << " R " << c.radius;
        // A negative cant tilts the track the other way about the same point.
        const RailRise reversed = RiseOfRails(Cant(c.rotation, -0.1), c.radius);
        EXPECT_NEAR(reversed.Left, -c.left, 1e-12) << c.rotation << " R " << c.radius;
        EXPECT_NEAR(reversed.Right, -c.right, 1e-12) << c.rotation << " R " << c.radius;
    }
}

TEST(RailRule, LowerRailIsTheInnerRailOnACurve) {
    struct Case {
        CantRotation rotation;
        double cant;
        double radius;
        LowerRailCode expected;
    };
    const Case cases[] = {
        {rotInsideRail, 0.1, 500, lowerRailRight},  {rotInsideRail, 0.1, -500, lowerRailLeft},
        {rotOutsideRail, 0.1, 500, lowerRailRight}, {rotOutsideRail, 0.1, -500, lowerRailLeft},
        {rotCenter, 0.1, 500, lowerRailRight},      {rotCenter, 0.1, -500, lowerRailLeft},
        {rotLeftRail, 0.1, 500, lowerRailRight},    {rotLeftRail, 0.1, -500, lowerRailLeft},
        {rotRightRail, 0.1, 500, lowerRailRight},   {rotRightRail, 0.1, -500, lowerRailLeft},
        {rotInsideRail, 0, 500, lowerRailRight},    {rotOutsideRail, 0, -500, lowerRailLeft},
        {rotInsideRail, 0.1, 0, lowerRailNone},     {rotCenter, 0, 0, lowerRailNone},
        {rotLeftRail, 0, 0, lowerRailLeft},         {rotRightRail, 0, 0, lowerRailRight},
        {rotLeftRail, 0.1, 0, lowerRailLeft},       {rotRightRail, 0.1, 0, lowerRailRight},
        {rotInsideRail, -0.1, 500, lowerRailLeft}, // reversed tilt: the outer rail is lower
    };
    for (const Case &c : cases)
        EXPECT_EQ(LowerRailOf(Cant(c.rotation, c.cant), c.radius), c.expected)
            << c.rotation << " cant " << c.cant << " R " << c.radius;

    CantAtChainage form;
    form.Found = true;
    form.RotationPoint = rotLeftRightForm;
    form.CantLeft = 0.02;
    form.CantRight = 0.05;
    EXPECT_EQ(LowerRailOf(form, 500), lowerRailLeft); // the cants decide, not the turn
    form.CantRight = 0.02;
    EXPECT_EQ(LowerRailOf(form, 500), lowerRailRight);
    EXPECT_EQ(LowerRailOf(form, -500), lowerRailLeft);
    EXPECT_EQ(LowerRailOf(form, 0), lowerRailNone);
}

TEST(RailRule, SpreadFollowsTheCantAndFailsBeyondTheBase) {
    // 0.5 G sqrt(B^2 - c^2) / B with c = 0.3: 0.7175 * sqrt(2.16) / 1.5.
    EXPECT_NEAR(HalfRailSpread(Cant(rotInsideRail, 0.3), 500, kGauge, kBase),
                0.7175 * std::sqrt(2.16) / 1.5, 1e-12);
    EXPECT_DOUBLE_EQ(HalfRailSpread(Cant(rotCenter, 0.3), 0, kGauge, kBase), 0.7175);
    EXPECT_NEAR(HalfRailSpread(Cant(rotLeftRail, 0.3), 0, kGauge, kBase),
                0.7175 * std::sqrt(2.16) / 1.5, 1e-12);
    // A cant as large as the base (either way) or a base of 0 or below has no
    // track: refused rather than rails on top of each other or swapped.
    for (const auto &[cant, base] :
         {std::pair{1.6, kBase}, {1.5, kBase}, {-1.5, kBase}, {0.1, 0.0}, {0.1, -kBase}})
        EXPECT_THROW(HalfRailSpread(Cant(rotInsideRail, cant), 500, kGauge, base), VialtoError)
            << "cant " << cant << " base " << base;
}

// ---- ComputeRails -------------------------------------------------------------

TEST(ComputeRails, RightHandCurveInsideRailHoldsTheRightRail) {
    RecordingUi ui;
    StoreTrack();
    const clsSuperelevation table(
        Table({Station(0, 0.1, rotInsideRail), Station(1000, 0.1, rotInsideRail)}));
    double lo = 0, ro = 0, lh = 0, rh = 0;
    // c = 150 lies on the right-hand arc; profile 50 + 1.5 = 51.5.
    ASSERT_TRUE(table.ComputeRails(1, 150, lo, ro, lh, rh));
    EXPECT_NEAR(rh, 51.5, 1e-9);
    EXPECT_NEAR(lh, 51.6, 1e-9);
    const double half = 0.7175 * std::sqrt(2.25 - 0.01) / 1.5;
    EXPECT_NEAR(lo, -half, 1e-12);
    EXPECT_NEAR(ro, half, 1e-12);
    // c = 250 on the left-hand arc: the left rail is now the inner, held one.
    ASSERT_TRUE(table.ComputeRails(1, 250, lo, ro, lh, rh));
    EXPECT_NEAR(lh, 52.5, 1e-9);
    EXPECT_NEAR(rh, 52.6, 1e-9);
    // c = 50 on the straight: level, a gauge apart.
    ASSERT_TRUE(table.ComputeRails(1, 50, lo, ro, lh, rh));
    EXPECT_NEAR(lh, 50.5, 1e-9);
    EXPECT_NEAR(rh, 50.5, 1e-9);
    EXPECT_NEAR(ro - lo, kGauge, 1e-12);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(ComputeRails, LeftRightFormAndInterpolatedCant) {
    RecordingUi ui;
    StoreTrack();
    CantStation a = Station(100, 0, rotLeftRightForm);
    CantStation b = Station(200, 0, rotLeftRightForm);
    a.AppliedCantLeft = 0.02;
    a.AppliedCantRight = 0;
    b.AppliedCantLeft = 0.06;
    b.AppliedCantRight = -0.04;
    const clsSuperelevation table(Table({a, b}));
    double lo = 0, ro = 0, lh = 0, rh = 0;
    // Halfway: left 0.04, right -0.02; H = 51.5; c = L - R = 0.06.
    ASSERT_TRUE(table.ComputeRails(1, 150, lo, ro, lh, rh));
    EXPECT_NEAR(lh, 51.54, 1e-9);
    EXPECT_NEAR(rh, 51.48, 1e-9);
    const double half = 0.7175 * std::sqrt(2.25 - 0.0036) / 1.5;
    EXPECT_NEAR(lo, -half, 1e-12);
    EXPECT_NEAR(ro, half, 1e-12);
}

TEST(ComputeRails, WidthExcessGoesToTheRailTheTypeNames) {
    RecordingUi ui;
    StoreTrack();
    CantStation s0 = Station(0, 0.1, rotInsideRail);
    CantStation s1 = Station(1000, 0.1, rotInsideRail);
    s0.WidthExcess = s1.WidthExcess = 0.02;
    CantTableData data = Table({s0, s1});
    // On the right-hand arc the right rail is the lower; the heights differ by
    // 0.1, so cos(asin(0.1 / 1.52)) carries the widening across.
    const double across = 0.02 * std::cos(std::asin(0.1 / 1.52));
    const double half = 0.7175 * std::sqrt(2.25 - 0.01) / 1.5;
    struct Case {
        CantWidthExcessType type;
        double left;
        double right;
    };
    const Case cases[] = {{widthLowestRail, half, half + across},
                          {widthHighestRail, half + across, half},
                          {widthHalfToBothRails, half + across / 2, half + across / 2}};
    for (const Case &c : cases) {
        data.WidthExcessType = c.type;
        const clsSuperelevation table(data);
        double lo = 0, ro = 0, lh = 0, rh = 0;
        ASSERT_TRUE(table.ComputeRails(1, 150, lo, ro, lh, rh));
        EXPECT_NEAR(-lo, c.left, 1e-12) << c.type;
        EXPECT_NEAR(ro, c.right, 1e-12) << c.type;
    }
}

TEST(ComputeRails, BadTablesAndProfilesFailInsteadOfWritingRails) {
    struct Case {
        const char *what;
        double gauge;
        double base;
        double cant;
        double profileHeight; // of the grade profile's start
        const char *reason;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {"gauge 0", 0, kBase, 0.1, 50, "must be positive"},
        {"negative gauge", -kGauge, kBase, 0.1, 50, "must be positive"},
        {"negative base", kGauge, -kBase, 0.1, 50, "must be positive"},
        {"base 0", kGauge, 0, 0.1, 50, "must be positive"},
        {"cant equal to the base", kGauge, kBase, kBase, 50, "not smaller"},
        {"profile not a number", kGauge, kBase, 0.1, nan, "not numbers"},
    };
    for (const Case &c : cases) {
        RecordingUi ui;
        StoreTrack();
        VtAlignment vt = Grade();
        vt[1].Height = c.profileHeight;
        SetAligmentVt(1, vt);
        CantTableData data =
            Table({Station(0, c.cant, rotInsideRail), Station(1000, c.cant, rotInsideRail)});
        data.Gauge = c.gauge;
        data.SuperelevationBase = c.base;
        const clsSuperelevation table(data);
        double lo = 7, ro = 7, lh = 7, rh = 7;
        EXPECT_FALSE(table.ComputeRails(1, 150, lo, ro, lh, rh)) << c.what;
        EXPECT_EQ(lo, 7) << c.what; // nothing handed out
        ASSERT_EQ(ui.Messages.size(), 1u) << c.what;
        EXPECT_THAT(ui.Messages[0].Text, testing::HasSubstr(c.reason)) << c.what;
    }
}

TEST(ComputeRails, FailsClearlyOnBadInput) {
    RecordingUi ui;
    StoreTrack();
    double lo = 0, ro = 0, lh = 0, rh = 0;
    // Before the first station.
    const clsSuperelevation late(Table({Station(100, 0.1, rotInsideRail)}));
    EXPECT_FALSE(late.ComputeRails(1, 50, lo, ro, lh, rh));
    // A cant larger than the base.
    const clsSuperelevation steep(Table({Station(0, 1.6, rotInsideRail)}));
    EXPECT_FALSE(steep.ComputeRails(1, 150, lo, ro, lh, rh));
    // A slot without an alignment.
    const clsSuperelevation fine(Table({Station(0, 0.1, rotInsideRail)}));
    EXPECT_FALSE(fine.ComputeRails(2, 150, lo, ro, lh, rh));
    ASSERT_GE(ui.Messages.size(), 2u);
    EXPECT_THAT(ui.Messages[0].Text, testing::HasSubstr("ComputeRails"));
    EXPECT_THAT(ui.Messages[1].Text, testing::HasSubstr("superelevation base"));
}

class FixedRailsPage final : public IRailsPage {
  public:
    int Option = 0;
    std::string Stringline;
    int VerticalOption() const override { return Option; }
    std::string SelectedStringline(SlotNumber, int element) const override {
        return element == 1 ? Stringline : std::string();
    }
};

TEST(ComputeRails, WithoutAProfileTheChosenStringlineGivesTheHeight) {
    RecordingUi ui;
    ResetAlignments();
    AddAlignment();
    SetAligmentHz(1, OneBased({Element(0, 0, 0, 0, 0, 0, 1000)}));
    TStringLines lines;
    lines.Count = 0;
    lines.Lines.resize(1);
    lines.Lines[0].Name = "AXIS";
    lines.Lines[0].Vt = Grade();
    SetAligmentStrLn(1, lines);
    const clsSuperelevation table(Table({Station(0, 0, rotInsideRail)}));
    double lo = 0, ro = 0, lh = 0, rh = 0;
    ASSERT_TRUE(table.ComputeRails(1, 300, lo, ro, lh, rh));
    EXPECT_EQ(lh, 0); // no page: no stringline chosen
    FixedRailsPage page;
    page.Stringline = "AXIS";
    SetRailsPage(&page);
    ASSERT_TRUE(table.ComputeRails(1, 300, lo, ro, lh, rh));
    SetRailsPage(nullptr);
    EXPECT_NEAR(lh, 53, 1e-9);
    EXPECT_NEAR(rh, 53, 1e-9);
}

// ---- Lower rail -------------------------------------------------------------

TEST(LowerRail, FromTheTableFollowsTheTurn) {
    RecordingUi ui;
    StoreTrack();
    const clsSuperelevation left(Table({Station(0, 0.1, rotLeftRail)}));
    EXPECT_EQ(left.GetLowerRailFromCanTable(1, 50), lowerRailLeft);   // straight: right raised
    EXPECT_EQ(left.GetLowerRailFromCanTable(1, 150), lowerRailRight); // right-hand: inner
    EXPECT_EQ(left.GetLowerRailFromCanTable(1, 250), lowerRailLeft);  // left-hand: inner
    const clsSuperelevation outside(Table({Station(0, 0.1, rotOutsideRail)}));
    EXPECT_EQ(outside.GetLowerRailFromCanTable(1, 150), lowerRailRight);
    EXPECT_EQ(outside.GetLowerRailFromCanTable(1, 250), lowerRailLeft);
    EXPECT_EQ(outside.GetLowerRailFromCanTable(1, 50), lowerRailNone);
    const clsSuperelevation late(Table({Station(100, 0.1, rotInsideRail)}));
    EXPECT_EQ(late.GetLowerRailFromCanTable(1, 50), lowerRailNone); // before the table
}

TEST(LowerRail, SmartLooksAtTheStationAheadWhenItIsFarther) {
    RecordingUi ui;
    ResetAlignments();
    AddAlignment();
    // A straight to 120, then a right-hand arc.
    SetAligmentHz(1,
                  OneBased({Element(0, 0, 0, 0, 0, 0, 120), Element(120, 0, 120, 0, 500, 0, 200)}));
    const clsSuperelevation table(
        Table({Station(90, 0, rotInsideRail), Station(100, 0, rotInsideRail),
               Station(130, 0.05, rotInsideRail)}));
    EXPECT_EQ(table.GetLowerRailFromCanTable(1, 100), lowerRailNone);
    // 10 back, 30 ahead: the station ahead (on the arc) is asked.
    EXPECT_EQ(table.GetLowerRailSmart(1, 100), lowerRailRight);
    // At the first station there is only a station ahead... which is the
    // level one at 100, then nothing more is asked.
    EXPECT_EQ(table.GetLowerRailSmart(1, 90), lowerRailNone);
    const clsSuperelevation lone(Table({Station(0, 0, rotInsideRail)}));
    EXPECT_EQ(lone.GetLowerRailSmart(1, 50), lowerRailNone);
}

// ---- Co-planar heights --------------------------------------------------------

// Slot 2 the left, slot 3 the right track of a double track on concentric
// arcs (centre (500, 0)); turning right, or left when `leftHand`.
void StoreTwoTracks(bool leftHand) {
    ResetAlignments();
    for (int i = 0; i < 3; ++i)
        AddAlignment();
    if (!leftHand) {
        SetAligmentHz(2, OneBased({Element(0, -2, 0, 0, 502, 0, 400)}));
        SetAligmentHz(3, OneBased({Element(0, 2, 0, 0, 498, 0, 400)}));
    } else {
        SetAligmentHz(2, OneBased({Element(0, -2, 0, 0, -498, 0, 400)}));
        SetAligmentHz(3, OneBased({Element(0, 2, 0, 0, -502, 0, 400)}));
    }
}

TEST(CoplaneHeight, EveryModeAndOptionOnBothTurns) {
    RecordingUi ui;
    // Cant 0.15 over a base of 1.5: sin(theta) = 0.1.
    const double t = std::tan(std::asin(0.1));
    const double d1 = 2 * t;  // the offset handed in is 2
    const double d1x = 4 * t; // the tracks are 4 apart
    const double d2h = 0.075; // 0.5 B sin(theta): half the cant
    const double d2 = 0.15;   // B sin(theta): the cant
    struct Case {
        bool mode;
        int option;
        double high; // change of the track on the high (outer) side
        double low;  // change of the other track
    };
    const Case cases[] = {{false, 0, d1, -d1},
                          {true, 0, d1 - d2h, -d1 - d2h},
                          {true, 1, d1x, 0},
                          {true, 2, -d2, -d1x - d2}};
    for (bool leftHand : {false, true}) {
        StoreTwoTracks(leftHand);
        // Whatever rail is held, the outer side of the curve is the high one:
        // the left track on a right-hand curve, the right track on a left-hand one.
        for (CantRotation rotation :
             {rotInsideRail, rotOutsideRail, rotCenter, rotLeftRail, rotRightRail}) {
            const clsSuperelevation table(
                Table({Station(0, 0.15, rotation), Station(1000, 0.15, rotation)}));
            for (const Case &c : cases) {
                double left = 100;
                double right = 100;
                ASSERT_TRUE(table.CalcHeightVtAligmentCoplane(2, 100, 2, left, c.mode, c.option));
                ASSERT_TRUE(table.CalcHeightVtAligmentCoplane(3, 100, 2, right, c.mode, c.option));
                const double tol = 2e-4; // the projection rounds to 3 decimals
                EXPECT_NEAR(left - 100, leftHand ? c.low : c.high, tol)
                    << "rot " << rotation << " mode " << c.mode << " option " << c.option
                    << " leftHand " << leftHand;
                EXPECT_NEAR(right - 100, leftHand ? c.high : c.low, tol)
                    << "rot " << rotation << " mode " << c.mode << " option " << c.option
                    << " leftHand " << leftHand;
            }
        }
    }
}

TEST(CoplaneHeight, LevelOrUnknownCasesLeaveTheHeight) {
    RecordingUi ui;
    StoreTwoTracks(false);
    const clsSuperelevation late(Table({Station(100, 0.15, rotInsideRail)}));
    double h = 100;
    EXPECT_FALSE(late.CalcHeightVtAligmentCoplane(2, 50, 2, h, false, 0)); // before the table
    EXPECT_EQ(h, 100);
    EXPECT_FALSE(late.CalcHeightVtAligmentCoplane(1, 150, 2, h, false, 0)); // not a track side
    EXPECT_EQ(h, 100);
    EXPECT_FALSE(late.CalcHeightVtAligmentCoplane(2, 150, 2, h, true, 7)); // unknown option
    EXPECT_EQ(h, 100);
}

// ---- Moving the stations --------------------------------------------------------

TEST(ProjectStations, OntoAParallelTrackDroppingWhatFallsOutside) {
    RecordingUi ui;
    ResetAlignments();
    AddAlignment();
    AddAlignment();
    // A straight centre line 100..600 and a track 2 m to its right starting 50
    // further on, with its own chainage from 0.
    SetAligmentHz(1, OneBased({Element(100, 0, 0, 0, 0, 0, 500)}));
    SetAligmentHz(2, OneBased({Element(0, 2, 50, 0, 0, 0, 400)}));
    clsSuperelevation table(
        Table({Station(50, 0, rotInsideRail), Station(200, 0.05, rotInsideRail),
               Station(300, 0.05, rotInsideRail), Station(580, 0, rotInsideRail)}));
    ASSERT_TRUE(table.ProjectChainagesFromAlgimentToAligment(1, 2));
    const std::vector<double> moved = table.GetChainages();
    // 50 lies before the centre line, 580 beyond the track's end (450).
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_NEAR(moved[0], 50, kPositionTol);
    EXPECT_NEAR(moved[1], 150, kPositionTol);
    EXPECT_DOUBLE_EQ(table.Stations()[0].AppliedCant, 0.05);
    EXPECT_FALSE(table.ProjectChainagesFromAlgimentToAligment(1, 3)); // no such slot
}

// ---- The chainage list ------------------------------------------------------------

TEST(RailChainages, StationsUnitStepsAndInflectionsEachOnce) {
    // Clothoids: + at 50 (state 1), arc, + at 120, - at 150 (inflection), arc,
    // - at 250, + at 280 (inflection), arc from 300.
    const HzAlignment hz = OneBased({
        Element(0, 0, 0, 0, 0, 0, 50),
        Element(50, 0, 0, 0, 0.001, 200, 30),
        Element(80, 0, 0, 0, 800, 0, 40),
        Element(120, 0, 0, 0, 800, 200, 30),
        Element(150, 0, 0, 0, -0.001, 200, 30),
        Element(180, 0, 0, 0, -900, 0, 70),
        Element(250, 0, 0, 0, -900, 200, 30),
        Element(280, 0, 0, 0, 0.001, 200, 20),
        Element(300, 0, 0, 0, 700, 0, 100),
    });
    const clsSuperelevation table(Table({
        Station(0, 0, rotInsideRail), Station(100, 0, rotInsideRail, interpCubic),
        Station(104.5, 0.05, rotInsideRail),
        Station(150.0000004, 0.05, rotInsideRail, interpReverseCurve), // meets the inflection
        Station(153, 0, rotInsideRail),
        Station(300, 0, rotInsideRail, interpCubic), // last: no steps after it
    }));
    const std::vector<double> expected = {0,   100, 101, 102, 103, 104, 104.5,
                                          150, 151, 152, 153, 280, 300};
    EXPECT_THAT(RailChainageList(table, hz, kNullValue, kNullValue),
                testing::Pointwise(testing::DoubleNear(1e-6), expected));
    // Elements before `from` are not visited: the inflection at 150 is then
    // not found (the station there still is).
    const std::vector<double> late = {0, 100, 101, 102, 103, 104, 104.5, 150, 151, 152, 153, 300};
    EXPECT_THAT(RailChainageList(table, hz, 200, 270),
                testing::Pointwise(testing::DoubleNear(1e-6), late));
}

// ---- The written cross sections ---------------------------------------------------

class RailExport : public testing::Test {
  protected:
    void SetUp() override {
        AppModel().IsOstXML = false;
        ResetAlignments();
        for (int i = 0; i < 3; ++i)
            AddAlignment();
        // A right-hand arc from 0 to 300 in every slot, the grade profile.
        for (SlotNumber slot = 1; slot <= 3; ++slot) {
            SetAligmentHz(slot, OneBased({Element(0, 0, 0, 0, 500, 0, 300)}));
            SetAligmentVt(slot, Grade());
        }
        SetOutputFile((dir_ / "rails.xml").string());
        ASSERT_TRUE(OpenFile());
    }
    void TearDown() override { DiscardOutput(); }

    // What has been written so far (the work file, before any commit).
    std::string Written() {
        CloseFile();
        return ReadFileBytes(LandXmlWriter().WorkFile);
    }

    RecordingUi ui_;
    TempDir dir_;
};

TEST_F(RailExport, CubicRunIsWrittenAtEveryUnitByteExact) {
    const clsSuperelevation table(
        Table({Station(100, 0, rotInsideRail, interpCubic), Station(104, 0.04, rotInsideRail)}));
    double first = -1, last = -1;
    ASSERT_TRUE(table.ExportToLandXml(first, last, "T1", 1, kNullValue, kNullValue));
    EXPECT_EQ(first, 100);
    EXPECT_EQ(last, 104);
    // Heights 50 + 0.01 c, the right (inner) rail held; cubic cant at 101, 102,
    // 103: 0.04 (3 u^2 - 2 u^3) = 0.00625, 0.02, 0.03375; half spread
    // 0.7175 sqrt(2.25 - c^2) / 1.5.
    const auto section = [](const char *sta, const char *points) {
        return std::string("\t<CrossSect sta=\"") + sta + "\" name=\"T1\">\r\n" +
               "\t\t<CrossSectSurf name=\"Rails\">\r\n" + "\t\t\t<PntList2D>" + points +
               "</PntList2D>\r\n" +
               "\t\t\t<Feature code=\"SD Vertex Name\">Left,Right</Feature>\r\n" +
               "\t\t</CrossSectSurf>\r\n" + "\t</CrossSect>\r\n";
    };
    const std::string expected =
        "<CrossSects>\r\n" + section("100.000000", "-0.717500 51.000000 0.717500 51.000000") +
        section("101.000000", "-0.717494 51.016250 0.717494 51.010000") +
        section("102.000000", "-0.717436 51.040000 0.717436 51.020000") +
        section("103.000000", "-0.717318 51.063750 0.717318 51.030000") +
        section("104.000000", "-0.717245 51.080000 0.717245 51.040000") + "</CrossSects>\r\n";
    EXPECT_EQ(Written(), expected);
}

TEST_F(RailExport, SelectorNamesTheVertices) {
    const clsSuperelevation table(
        Table({Station(10, 0, rotInsideRail), Station(20, 0.01, rotInsideRail)}));
    double first = 0, last = 0;
    ASSERT_TRUE(table.ExportToLandXml(first, last, "", 3, kNullValue, kNullValue));
    ASSERT_TRUE(table.ExportToLandXml(first, last, "", 2, kNullValue, kNullValue));
    const std::string text = Written();
    EXPECT_THAT(text, testing::HasSubstr("<CrossSect sta=\"10.000000\">\r\n"));
    EXPECT_THAT(text, testing::HasSubstr(">Left_R,Right_R</Feature>"));
    EXPECT_THAT(text, testing::HasSubstr(">Left_L,Right_L</Feature>"));
    EXPECT_EQ(RailVertexNames(1), "Left,Right");
    EXPECT_EQ(RailVertexNames(4), "");
}

TEST_F(RailExport, RangeAndTooFewChainages) {
    const clsSuperelevation table(
        Table({Station(10, 0, rotInsideRail), Station(20, 0.01, rotInsideRail),
               Station(30, 0.01, rotInsideRail)}));
    double first = -1, last = -1;
    // Only one station inside: nothing written, both chainages 0.
    ASSERT_TRUE(table.ExportToLandXml(first, last, "", 1, 15, 25));
    EXPECT_EQ(first, 0);
    EXPECT_EQ(last, 0);
    ASSERT_TRUE(table.ExportToLandXml(first, last, "", 1, 20, kNullValue));
    EXPECT_EQ(first, 20);
    EXPECT_EQ(last, 30);
    const std::string text = Written();
    EXPECT_THAT(text, testing::Not(testing::HasSubstr("sta=\"10.000000\"")));
    EXPECT_THAT(text, testing::HasSubstr("sta=\"30.000000\""));
}

TEST_F(RailExport, FailuresAreReportedAndTheGroupStaysClosed) {
    // Unknown selector, and a slot that has no alignment.
    const clsSuperelevation table(
        Table({Station(10, 0, rotInsideRail), Station(20, 0.01, rotInsideRail)}));
    double first = 0, last = 0;
    EXPECT_FALSE(table.ExportToLandXml(first, last, "", 7, kNullValue, kNullValue));
    // A cant larger than the base at the second station: the first section
    // is written, the group is closed, the export fails.
    const clsSuperelevation steep(
        Table({Station(10, 0, rotInsideRail), Station(20, 2.0, rotInsideRail)}));
    EXPECT_FALSE(steep.ExportToLandXml(first, last, "", 1, kNullValue, kNullValue));
    const std::string text = Written();
    EXPECT_THAT(text, testing::HasSubstr("sta=\"10.000000\""));
    EXPECT_THAT(text, testing::Not(testing::HasSubstr("sta=\"20.000000\"")));
    EXPECT_THAT(text, testing::EndsWith("</CrossSects>\r\n"));
}

TEST_F(RailExport, AProfileThatIsNotANumberNeverReachesTheDocument) {
    VtAlignment vt = Grade();
    vt[1].Grade = std::nan("");
    SetAligmentVt(1, vt);
    const clsSuperelevation table(
        Table({Station(10, 0, rotInsideRail), Station(20, 0.01, rotInsideRail)}));
    double first = 0, last = 0;
    EXPECT_FALSE(table.ExportToLandXml(first, last, "", 1, kNullValue, kNullValue));
    const std::string text = Written();
    EXPECT_EQ(text, "<CrossSects>\r\n</CrossSects>\r\n");
}

} // namespace
