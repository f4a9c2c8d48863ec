// The continuity and chainage checks on small alignments laid out by hand; the
// ends they must meet are worked out independently in the comments.
#include "check/AlignmentCheck.h"

#include "railtunnel/Tunnel.h"
#include "shell/AppModel.h"
#include "shell/Error.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

template <class... E> std::vector<HzElement> Hz(E... elements) { return {elements...}; }

class AlignmentCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AppModel().Reset();
        AppModel().TokenFile().ReadText(
            "E_TOLE_HZ = Horizontal gap\nE_TOLE_VT = Height gap\nE_TOLE_TUNNEL = Profile off\n"
            "E_CREATE_ARC = No arc\nE_EMPTYFILE = In order\n"
            "E_CH = Chainage\nE_X =  X \nE_Y = Y\nE_Z = Z\nE_DESCRIPTION = Descripción\n");
        ResetCheckReport();
    }
    // Checks the elements in a group of their own.
    static long CheckHz(std::vector<HzElement> elements, double tol, const char *name = "hz") {
        BeginCheckGroup(name, checkHz);
        return CheckHzAlignment(OneBased(std::move(elements)), tol);
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

// Lines run north from the origin, so their ends are exact binary numbers; a
// gap equal to the tolerance passes.
TEST_F(AlignmentCheckTest, HorizontalEndsAgainstIndependentGeometry) {
    const double pi = std::numbers::pi, q = pi * 50; // a quarter circle of radius 100
    const HzElement line = HzAt(0, 0, 0, 0, 0, 0, 100);
    // Clothoid A 100 over 100 after a line, into R 100: its end by the Fresnel
    // series in tau = l^2 / (2 A^2) = 0.5.
    const double along = 100 * (1 - 0.25 / 10 + 0.0625 / 216 - 0.015625 / 9360);
    const double across = 100 * (0.5 / 3 - 0.125 / 42 + 0.03125 / 1320 - 0.0078125 / 75600);
    const auto clothoid = [&](double side, double shift) {
        return std::vector{HzAt(0, 0, -50, 0, 0, 0, 50), HzAt(50, 0, 0, 0, 0.001 * side, 100, 100),
                           HzAt(150, side * across + shift, along, 0.5 * side, 100 * side, 0, 80)};
    };
    // Cubic parabola L 60 into R 300: the arc starts at y = x^3 / (6 R L) (1 +
    // 3 L^2 / (64 R^2)) east of the line, turned by atan(y').
    const double L = 60, R = 300, k = 1 + 3 * L * L / (64 * R * R);
    const auto cubic = [&](double shift) {
        return std::vector{
            line, HzAt(100, 0, 100, 0, R, -L, L),
            HzAt(160, L * L / (6 * R) * k + shift, 160, std::atan(L / (2 * R) * k), R, 0, 50)};
    };
    HzElement verbatim = HzAt(100, 0, 100, 0, 0.001, 100, 100); // copied, never evaluated
    verbatim.Kind = 4;
    const struct {
        const char *Name;
        std::vector<HzElement> Elements;
        double Tol;
        long Errors;
        const char *Message = "Horizontal gap"; // of the first entry
    } cases[] = {
        {"gap at the tolerance", Hz(line, HzAt(100, 0, 100.5, 0, 0, 0, 50)), 0.5, 0},
        {"gap above it", Hz(line, HzAt(100, 0, 99.4999999, 0, 0, 0, 50)), 0.5, 1},
        {"left quarter circle",
         Hz(HzAt(0, 0, 0, 0, -100, 0, q), HzAt(q, -100, 100, 1.5 * pi, 0, 0, 10)), 0.001, 0},
        {"clothoid, right", clothoid(1, 0), 0.001, 0},
        {"clothoid, left", clothoid(-1, 0), 0.001, 0},
        {"clothoid, 1 cm off", clothoid(1, 0.01), 0.001, 1},
        {"cubic parabola", cubic(0), 0.001, 0},
        {"cubic parabola, 1 cm off", cubic(0.01), 0.001, 1},
        {"zero-length transition, ends meeting",
         Hz(line, HzAt(100, 0, 100, 0, 200, 80, 0), HzAt(100, 0, 100, 0, 200, 0, 50)), 0.001, 1,
         "Invalid element lenght"},
        {"verbatim transition", Hz(line, verbatim, HzAt(200, 999, 999, 1, 0, 0, 50)), 0.001, 0},
        {"arc centre on its own start",
         Hz(HzAt(0, 0, 0, 0, 0.0001, 0, 0.0001), HzAt(0.0001, 0.0001, 0.0001, 0, 0, 0, 10)), 1, 1,
         "No arc"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CheckHz(c.Elements, c.Tol), c.Errors) << c.Name;
        if (c.Errors > 0) {
            EXPECT_EQ(CheckReport().Groups.back().Entries.at(0).Message, c.Message) << c.Name;
        }
    }
}

// One report line per gap: the horizontal ones with the end's miss in X and
// Y, the vertical ones with the height's. Only curves are checked: the sag Kv
// 5000 over 200 from 100 at +2 % ends at 100 + 4 + 200^2 / 10000 = 108 (a gap
// of the tolerance passes), the crest Kv -4000 over 100 at +6 % 4.75 above
// its start; the grade after it need not meet the next height.
TEST_F(AlignmentCheckTest, EveryGapIsAReportLine) {
    ASSERT_EQ(CheckHz({HzAt(12340, 0, 0, 0, 0, 0, 100), HzAt(12440, 0, 100.25, 0, 0, 0, 100),
                       HzAt(12540, -0.125, 200.25, 0, 0, 0, 100)},
                      0.1, "Axis 1"),
              2);
    EXPECT_EQ(GetCheckReportText("Axis 1", "PAGE1Hz"),
              "Chainage      \tX             \tY             \tDescripción   \r\n"
              "12440.0000    \t0.0000        \t-0.2500       \tHorizontal gap\r\n"
              "12540.0000    \t0.1250        \t0.0000        \tHorizontal gap\r\n");
    const auto vt = [](double next, double crestEnd, double tol, const char *name = "vt") {
        BeginCheckGroup(name, checkVt);
        return CheckVtAlignment(
            OneBased<VtElement>({VtAt(0, 100, 0.02, 5000, 200), VtAt(200, next, 0.06, -4000, 100),
                                 VtAt(300, crestEnd, 0.035, 0, 100), VtAt(400, -40, 0, 0, 100)}),
            tol);
    };
    EXPECT_EQ(vt(108.5, 113.25, 0.5), 0);
    EXPECT_EQ(vt(108.5000001, 113.2500001, 0.5), 1);
    EXPECT_EQ(vt(109, 100, 0.01, "two"), 2);
    EXPECT_EQ(GetCheckReportText("two", "Vt"), "Chainage      \tZ             \tDescripción   \r\n"
                                               "200.0000      \t1.0000        \tHeight gap\r\n"
                                               "300.0000      \t13.7500       \tHeight gap\r\n");
}

// Profile chainages lie within the profile's range, both ends included; a
// closing circular curve carries its length as a negative number. (Cant
// stations go through the same check: the batch run of a late profile.)
TEST_F(AlignmentCheckTest, TunnelChainagesLieOnTheProfile) {
    TempDir dir;
    WriteFileBytes(dir / "t.xml", "<?xml version=\"1.0\"?>\n<TunnelProfiles>"
                                  "<TunnelProfile sta=\"15340.001\"/><TunnelProfile sta=\"12340\"/>"
                                  "<TunnelProfile sta=\"15340\"/><TunnelProfile sta=\"12339.999\"/>"
                                  "</TunnelProfiles>\n");
    clsTunnel tunnel;
    ASSERT_TRUE(tunnel.Load((dir / "t.xml").string()));
    const VtAlignment vt = OneBased<VtElement>(
        {VtAt(12340, 100, 0.01, 0, 1000), VtAt(13340, 110, 0.01, 90000, -2000)});
    BeginCheckGroup("tunnel.xml", checkTunnel);
    EXPECT_TRUE(CheckTunnelChainages(vt, tunnel));
    EXPECT_EQ(GetCheckReportText("tunnel.xml", "Cr"), // in ascending order
              "Chainage      \tDescripción   \r\n"
              "12339.9990    \tProfile off\r\n15340.0010    \tProfile off\r\n");
    // Without a profile nothing is checked.
    BeginCheckGroup("no profile", checkTunnel);
    EXPECT_FALSE(CheckTunnelChainages(VtAlignment{}, tunnel));
    EXPECT_EQ(GetCheckReportText("no profile", "Cr"), "In order");
}

} // namespace
