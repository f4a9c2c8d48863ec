#include "check/AlignmentCheck.h"

#include "railtunnel/Superelevation.h"
#include "railtunnel/Tunnel.h"
#include "shell/AppModel.h"
#include "shell/Error.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

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

// Without an open group an entry raises and a check cannot pass; the
// failures of checks are logged, not shown.
TEST_F(AlignmentCheckTest, NoOpenGroup) {
    EXPECT_EQ(ErrorOf([] { AddCheckEntry(1, true, 0, 0, 0, 0, "x"); }).Number, errSubscript);
    EXPECT_EQ(CheckHzAlignment(OneBased<HzElement>({HzAt(0, 0, 0, 0, 0, 0, 10)}), 0.01), -1);
    EXPECT_TRUE(ui_.Messages.empty());
}

// A gap exactly at the tolerance passes, just above it fails, whichever way.
// Lines run north from the origin, so their ends are exact binary numbers; the
// sag parabola Kv 5000 over 200 from 100 m at +2 % ends at 100 + 4 + 200^2 /
// 10000 = 108.
TEST_F(AlignmentCheckTest, GapsAtTheToleranceAndAbove) {
    const std::pair<double, long> hz[] = {{100.5, 0}, {99.5, 0}, {99.4999999, 1}};
    for (const auto &[nextY, errors] : hz) {
        EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, nextY, 0, 0, 0, 50)}, 0.5),
                  errors)
            << nextY;
    }
    EXPECT_NEAR(Group().Entries.at(0).Distance, 0.5000001, 1e-9);
    const std::pair<double, long> vt[] = {{107.5, 0}, {108.5, 0}, {108.5000001, 1}};
    for (const auto &[height, errors] : vt)
        EXPECT_EQ(CheckVt({VtAt(0, 100, 0.02, 5000, 200), VtAt(200, height, 0.06, 0, 100),
                           VtAt(300, 114, 0.06, 0, 100)},
                          0.5),
                  errors)
            << height;
    EXPECT_NEAR(Group().Entries.at(0).Z, 0.5000001, 1e-9);
}

TEST_F(AlignmentCheckTest, ArcAndClothoidEndsAgainstIndependentGeometry) {
    // A right-hand quarter circle of radius 100 from the origin heading north
    // ends at (100, 100) heading east; the same to the left at (-100, 100).
    const double q = std::numbers::pi * 50;
    EXPECT_EQ(
        CheckHz({HzAt(0, 0, 0, 0, 100, 0, q), HzAt(q, 100, 100, std::numbers::pi / 2, 0, 0, 10)},
                0.001),
        0);
    EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, -100, 0, q),
                       HzAt(q, -100, 100, 3 * std::numbers::pi / 2, 0, 0, 10)},
                      0.001),
              0);

    // Line, clothoid A = 100 over 100 (to radius 100), arc, in both turns. The
    // clothoid's end by the Fresnel series in tau = l^2 / (2 A^2) = 0.5.
    const double along = 100 * (1 - 0.25 / 10 + 0.0625 / 216 - 0.015625 / 9360);
    const double across = 100 * (0.5 / 3 - 0.125 / 42 + 0.03125 / 1320 - 0.0078125 / 75600);
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

// A cubic parabola of L 60 into R 300 after a line running north from the
// origin: the arc after it starts at the tangent offset y = x^3 / (6 R L)
// (1 + 3 L^2 / (64 R^2)) east of the line, turned by atan(y').
TEST_F(AlignmentCheckTest, CubicTransitionEndAgainstItsFormula) {
    const double L = 60, R = 300, k = 1 + 3 * L * L / (64 * R * R);
    const double y = L * L / (6 * R) * k, turn = std::atan(L / (2 * R) * k);
    for (const double shift : {0.0, 0.01})
        EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, 100, 0, R, -L, L),
                           HzAt(160, y + shift, 160, turn, R, 0, 50)},
                          0.001),
                  shift == 0 ? 0 : 1)
            << shift;
}

TEST_F(AlignmentCheckTest, ElementsThatCannotBeChecked) {
    // A zero-length transition is reported even though the ends meet.
    EXPECT_EQ(CheckHz({HzAt(0, 0, 0, 0, 0, 0, 100), HzAt(100, 0, 100, 0, 200, 80, 0),
                       HzAt(100, 0, 100, 0, 200, 0, 50)},
                      0.001),
              1);
    EXPECT_EQ(Group().Entries.at(0).Message, "Invalid element lenght");

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
}

TEST_F(AlignmentCheckTest, StraightGradesAreNotCheckedCurvesAre) {
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
    EXPECT_EQ(GetCheckReportText("tunnel.xml", "Cr"), // in sorted order
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
    BeginCheckGroup("no profile", checkTunnel);
    EXPECT_FALSE(CheckTunnelChainages(VtAlignment{}, tunnel));
}

TEST_F(AlignmentCheckTest, CantStationsLieOnTheProfile) {
    const clsSuperelevation table(
        RailTable({Station(12000, 0, rotInsideRail), Station(12340, 0, rotInsideRail),
                   Station(15340, 0, rotInsideRail), Station(16000, 0, rotInsideRail)}));
    BeginCheckGroup("cant.xml", checkCant);
    EXPECT_TRUE(CheckSuperelevationChainages(OneBased<VtElement>({VtAt(12340, 100, 0.01, 0, 3000)}),
                                             table));
    ASSERT_EQ(Group().Entries.size(), 2u);
    EXPECT_EQ(Group().Entries[1].Message, "Cant off the profile");
    BeginCheckGroup("cant.xml", checkCant);
    EXPECT_FALSE(CheckSuperelevationChainages(VtAlignment{}, table));
    EXPECT_TRUE(Group().Entries.empty());
    // The first group of that name and kind is the one shown.
    EXPECT_NE(GetCheckReportText("cant.xml", "Cr").find("16000.0000"), std::string::npos);
}

} // namespace
