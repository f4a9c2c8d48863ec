#include "AlignmentCheck.h"

#include "AppModel.h"
#include "Error.h"
#include "Superelevation.h"
#include "TestSupport.h"
#include "TrackFixtures.h"
#include "Tunnel.h"
#include "VtListing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr double kPi = 3.14159265358979323846;

// The point of a clothoid of parameter A at length l from its zero-curvature
// origin: along the origin tangent and to the side it bends to, by Simpson's
// rule on the tangent angle l^2 / (2 A^2).
void ClothoidPoint(double A, double l, double &along, double &across) {
    const int n = 4000;
    const double h = l / n;
    along = across = 0;
    for (int k = 0; k <= n; ++k) {
        const double s = k * h;
        const double w = (k == 0 || k == n) ? 1 : (k % 2 ? 4 : 2);
        const double t = s * s / (2 * A * A);
        along += w * std::cos(t);
        across += w * std::sin(t);
    }
    along *= h / 3;
    across *= h / 3;
}

class AlignmentCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        AppModel().TokenFile().ReadText("E_TOLE_HZ = Horizontal gap\nE_TOLE_VT = Height gap\n"
                                        "E_TOLE_TUNNEL = Profile off the profile\n"
                                        "E_TOLE_SUPERELV = Cant off the profile\n"
                                        "E_CREATE_ARC = Arc cannot be made\n"
                                        "E_EMPTYFILE = Everything in order\n"
                                        "E_CH = Chainage\nE_X =  X \nE_Y = Y\nE_Z = Z\n"
                                        "E_DESCRIPTION = Descripción\n");
        ResetCheckReport();
    }
    void TearDown() override {
        ResetCheckReport();
        AppModel().Reset();
    }
    static const CheckGroup &Group() {
        return CheckReport().Groups.at(static_cast<std::size_t>(CheckReport().Current));
    }
    // Checks the elements in a group of their own.
    static long CheckHz(std::vector<HzElement> elements, double tol, const char *name = "hz") {
        BeginCheckGroup(name, checkHz);
        return CheckHzAlignment(OneBased(std::move(elements)), tol);
    }
    static long CheckVt(std::vector<VtElement> elements, double tol, const char *name = "vt") {
        BeginCheckGroup(name, checkVt);
        return CheckVtAlignment(OneBased(std::move(elements)), tol);
    }
    RecordingUi ui_;
};

TEST_F(AlignmentCheckTest, GroupsAndEntries) {
    EXPECT_EQ(CheckReport().Current, -1);
    ASSERT_EQ(CheckReport().Groups.size(), 1u);
    BeginCheckGroup("first", checkHz);
    EXPECT_EQ(CheckReport().Groups.size(), 1u); // the empty group is reused
    AddCheckEntry(10, true, 1, 2, kNullValue, 3, "a");
    AddCheckEntry(20, false, kNullValue, kNullValue, 4, kNullValue, "b");
    AddCheckEntry(30, true, kNullValue, kNullValue, kNullValue, kNullValue, "c");
    EXPECT_EQ(Group().ErrorCount, 2);
    ASSERT_EQ(Group().Entries.size(), 3u); // a finding that is not an error is kept too
    EXPECT_EQ(Group().Entries[1].Message, "b");
    EXPECT_EQ(Group().Entries[1].Z, 4);
    BeginCheckGroup("second", checkVt);
    EXPECT_EQ(CheckReport().Current, 1);
    EXPECT_EQ(Group().Name, "second");
    EXPECT_TRUE(Group().Entries.empty());
    EXPECT_EQ(CheckReport().Groups[0].Entries.size(), 3u);

    // Without an open group an entry raises and a check cannot pass; the
    // failures of checks are logged, not shown.
    ResetCheckReport();
    EXPECT_EQ(ErrorOf([] { AddCheckEntry(1, true, 0, 0, 0, 0, "x"); }).Number, errSubscript);
    EXPECT_EQ(CheckHzAlignment(OneBased<HzElement>({HzAt(0, 0, 0, 0, 0, 0, 10)}), 0.01), -1);
    EXPECT_TRUE(CheckTunnelChainages(OneBased<VtElement>({VtAt(0, 0, 0, 0, 10)}), clsTunnel()));
    EXPECT_TRUE(ui_.Messages.empty());
}

// Lines run north from the origin, so their ends are exact binary numbers and
// a gap can be made exactly equal to the tolerance.
TEST_F(AlignmentCheckTest, HorizontalGapAtTheToleranceAndAbove) {
    const std::pair<double, long> cases[] = {
        {100, 0}, {100.5, 0}, {99.5, 0}, {100.5000001, 1}, {99.4999999, 1}};
    for (const auto &[nextY, errors] : cases) {
        EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, nextY, 0, 0, 0, 50)}, 0.5),
                  errors)
            << nextY;
        if (errors == 1) {
            const CheckEntry &e = Group().Entries.at(0);
            EXPECT_EQ(e.Chainage, 100);
            EXPECT_NEAR(e.X, 0, 1e-12);
            EXPECT_NEAR(e.Y, 100 - nextY, 1e-9);
            EXPECT_NEAR(e.Distance, std::fabs(100 - nextY), 1e-9);
            EXPECT_EQ(e.Z, kNullValue);
            EXPECT_EQ(e.Message, "Horizontal gap");
            EXPECT_TRUE(e.IsError);
        }
    }
    EXPECT_EQ(CheckHz({HzAt(0, 5, 5, 1, 0, 0, 100)}, 0), 0);
    EXPECT_EQ(CheckHz({}, 0), 0);
}

TEST_F(AlignmentCheckTest, ArcAndClothoidEndsAgainstIndependentGeometry) {
    // A right-hand quarter circle of radius 100 from the origin heading north
    // ends at (100, 100) heading east; the same to the left at (-100, 100).
    const double q = kPi * 50;
    EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, 100, 0, q), HzAt(q, 100, 100, kPi / 2, 0, 0, 10)}, 0.001),
              0);
    EXPECT_EQ(
        CheckHz({HzAt(0, 0, 0, 0, 100, 0, q), HzAt(q, 100, 100.002, kPi / 2, 0, 0, 10)}, 0.001), 1);
    EXPECT_NEAR(Group().Entries.at(0).Distance, 0.002, 1e-9);
    EXPECT_EQ(
        CheckHz({HzAt(0, 0, 0, 0, -100, 0, q), HzAt(q, -100, 100, 3 * kPi / 2, 0, 0, 10)}, 0.001),
        0);

    // Line, clothoid A = 100 over 100 (to radius 100), arc, in both turns.
    double along = 0, across = 0;
    ClothoidPoint(100, 100, along, across);
    for (const double side : {1.0, -1.0}) {
        const double turn = 0.5 * side; // l^2 / (2 A^2)
        for (const double shift : {0.0, 0.01})
            EXPECT_EQ(
                CheckHz({HzAt(0, 0, -50, 0, 0, 0, 50), HzAt(50, 0, 0, 0, 0.001 * side, 100, 100),
                         HzAt(150, side * across + shift, along, turn, 100 * side, 0, 80)},
                        0.001),
                shift == 0 ? 0 : 1)
                << "side " << side << " shift " << shift;
    }
}

TEST_F(AlignmentCheckTest, ElementsThatCannotBeChecked) {
    // A zero-length transition is reported even though the ends meet.
    EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, 100, 0, 200, 80, 0),
                       HzAt(100, 0, 100, 0, 200, 0, 50)},
                      0.001),
              1);
    ASSERT_EQ(Group().Entries.size(), 1u);
    EXPECT_EQ(Group().Entries[0].Message, "Invalid element lenght");
    EXPECT_EQ(Group().Entries[0].Chainage, 100);

    // A transition copied verbatim (kind 4) is not evaluated.
    HzElement verbatim = HzAt(100, 0, 100, 0, 0.001, 100, 100);
    verbatim.Kind = 4;
    EXPECT_EQ(
        CheckHz({HzAt(0, 0, 0, 0, 0, 0, 100), verbatim, HzAt(200, 999, 999, 1, 0, 0, 50)}, 0.001),
        0);

    // An arc whose centre would fall on its own start.
    EXPECT_GE(
        CheckHz({HzAt(0, 0, 0, 0, 0.0001, 0, 0.0001), HzAt(0.0001, 0.0001, 0.0001, 0, 0, 0, 10)},
                1),
        1);
    EXPECT_TRUE(std::any_of(Group().Entries.begin(), Group().Entries.end(),
                            [](const CheckEntry &e) { return e.Message == "Arc cannot be made"; }));
}

TEST_F(AlignmentCheckTest, TwoGapsGiveTwoReportLines) {
    ASSERT_EQ(CheckHz({HzAt(12340, 0, 0, 0, 0, 0, 100), HzAt(12440, 0, 100.25, 0, 0, 0, 100),
                       HzAt(12540, -0.125, 200.25, 0, 0, 0, 100)},
                      0.1, "Axis 1"),
              2);
    EXPECT_EQ(GetCheckReportText("Axis 1", "PAGE1Hz"),
              "Chainage      \tX             \tY             \tDescripción   \r\n"
              "12440.0000    \t0.0000        \t-0.2500       \tHorizontal gap\r\n"
              "12540.0000    \t0.1250        \t0.0000        \tHorizontal gap\r\n");
    EXPECT_EQ(GetCheckReportText("Axis 1", "Vt"), "");
    EXPECT_EQ(GetCheckReportText("Axis 2", "Hz"), "");
}

TEST_F(AlignmentCheckTest, VerticalCurvesReachTheNextHeight) {
    // Sag parabola Kv 5000 over 200 from 100 m at +2 %: 100 + 4 + 200^2 / 10000 = 108.
    const std::pair<double, long> cases[] = {
        {108, 0}, {108.5, 0}, {107.5, 0}, {108.5000001, 1}, {107.4999999, 1}};
    for (const auto &[height, errors] : cases)
        EXPECT_EQ(CheckVt({VtAt(0, 100, 0.02, 5000, 200), VtAt(200, height, 0.06, 0, 100),
                           VtAt(300, 114, 0.06, 0, 100)},
                          0.5),
                  errors)
            << height;
    EXPECT_NEAR(Group().Entries.at(0).Z, 0.5000001, 1e-9);
    EXPECT_EQ(Group().Entries.at(0).Chainage, 200);
    EXPECT_EQ(Group().Entries.at(0).X, kNullValue);

    // Straight grades are not tested, however far apart their heights are.
    EXPECT_EQ(CheckVt({VtAt(0, 100, 0.01, 0, 100), VtAt(100, 500, -0.02, 0, 100),
                       VtAt(200, -40, 0, 0, 100)},
                      0.001),
              0);
    EXPECT_EQ(CheckVt({VtAt(0, 100, 0.02, 5000, 200), VtAt(200, 109, 0.06, -4000, 100),
                       VtAt(300, 100, 0.035, 0, 100)},
                      0.01, "two"),
              2);
    EXPECT_EQ(GetCheckReportText("two", "Vt"), "Chainage      \tZ             \tDescripción   \r\n"
                                               "200.0000      \t1.0000        \tHeight gap\r\n"
                                               "300.0000      \t13.7500       \tHeight gap\r\n");
}

TEST_F(AlignmentCheckTest, TunnelChainagesLieOnTheProfile) {
    TempDir dir;
    const auto load = [&](clsTunnel &tunnel, const std::string &profiles) {
        WriteFileBytes(dir / "t.xml", "<?xml version=\"1.0\"?>\n<TunnelProfiles>" + profiles +
                                          "</TunnelProfiles>\n");
        ASSERT_TRUE(tunnel.Load((dir / "t.xml").string()));
    };
    clsTunnel tunnel;
    load(tunnel, "<TunnelProfile sta=\"12340\"/><TunnelProfile sta=\"15340\"/>"
                 "<TunnelProfile sta=\"12339.999\"/><TunnelProfile sta=\"15340.001\"/>");
    const VtAlignment vt =
        OneBased<VtElement>({VtAt(12340, 100, 0.01, 0, 1000), VtAt(13340, 110, -0.01, 0, 2000)});
    BeginCheckGroup("tunnel.xml", checkTunnel);
    EXPECT_TRUE(CheckTunnelChainages(vt, tunnel));
    ASSERT_EQ(Group().Entries.size(), 2u);
    EXPECT_EQ(Group().Entries[0].Chainage, 12339.999); // in sorted order
    EXPECT_EQ(Group().Entries[1].Chainage, 15340.001);
    EXPECT_EQ(GetCheckReportText("tunnel.xml", "Cr"),
              "Chainage      \tDescripción   \r\n"
              "12339.9990    \tProfile off the profile\r\n"
              "15340.0010    \tProfile off the profile\r\n");

    // Both ends themselves are on the profile; a closing circular curve
    // carries its length as a negative number.
    load(tunnel, "<TunnelProfile sta=\"12340\"/><TunnelProfile sta=\"15340\"/>");
    BeginCheckGroup("ends", checkTunnel);
    EXPECT_FALSE(CheckTunnelChainages(vt, tunnel));
    BeginCheckGroup("circle", checkTunnel);
    EXPECT_FALSE(CheckTunnelChainages(OneBased<VtElement>({VtAt(12340, 100, 0.01, 0, 1000),
                                                           VtAt(13340, 110, 0.01, 90000, -2000)}),
                                      tunnel));
    EXPECT_EQ(GetCheckReportText("circle", "Cr"), "Everything in order");
    // No vertical alignment: nothing to hold the chainages against.
    BeginCheckGroup("no profile", checkTunnel);
    EXPECT_FALSE(CheckTunnelChainages(VtAlignment{}, tunnel));
}

TEST_F(AlignmentCheckTest, CantStationsLieOnTheProfile) {
    std::vector<CantStation> stations;
    for (const double station : {12000.0, 12340.0, 13000.0, 15340.0, 16000.0})
        stations.push_back(Station(station, 0, rotInsideRail));
    const clsSuperelevation table(RailTable(stations));
    BeginCheckGroup("cant.xml", checkCant);
    EXPECT_TRUE(CheckSuperelevationChainages(OneBased<VtElement>({VtAt(12340, 100, 0.01, 0, 3000)}),
                                             table));
    ASSERT_EQ(Group().Entries.size(), 2u);
    EXPECT_EQ(Group().Entries[0].Chainage, 12000);
    EXPECT_EQ(Group().Entries[1].Chainage, 16000);
    EXPECT_EQ(Group().Entries[1].Message, "Cant off the profile");
    BeginCheckGroup("cant.xml", checkCant);
    EXPECT_FALSE(CheckSuperelevationChainages(VtAlignment{}, table));
    EXPECT_TRUE(Group().Entries.empty());
    // The first group of that name and kind is the one shown.
    EXPECT_NE(GetCheckReportText("cant.xml", "Cr").find("16000.0000"), std::string::npos);
    BeginCheckGroup("sections.trv", checkCrossSection);
    AddCheckEntry(100, true, kNullValue, kNullValue, kNullValue, kNullValue, "x");
    EXPECT_EQ(GetCheckReportText("sections.trv", "Cr"), "");
}

// The sample tunnel profiles and cant tables lie on the sample listings'
// profiles (the road for the tunnel, the railway for the cant tables).
TEST_F(AlignmentCheckTest, SamplesFitTheSampleListings) {
    VtAlignment road, rail;
    ASSERT_TRUE(ImportVtAligment(road, SourcePath("samples/listings/road.alz").string(), ""));
    ASSERT_TRUE(ImportVtAligment(rail, SourcePath("samples/listings/rail.alz").string(), ""));
    for (const char *name : {"profiles.xml", "profiles_cp1252.xml"}) {
        clsTunnel tunnel;
        ASSERT_TRUE(tunnel.Load(SourcePath(std::string("samples/tunnel/") + name).string()));
        BeginCheckGroup(name, checkTunnel);
        EXPECT_FALSE(CheckTunnelChainages(road, tunnel)) << name;
    }
    for (const char *name : {"single_cant.xml", "left_right.xml", "old_version.xml"}) {
        clsSuperelevation table;
        ASSERT_TRUE(table.Import(SourcePath(std::string("samples/cant/") + name).string(), 3));
        BeginCheckGroup(name, checkCant);
        EXPECT_FALSE(CheckSuperelevationChainages(rail, table)) << name;
    }
}

} // namespace
