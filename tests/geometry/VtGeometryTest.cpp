// Heights of vertical alignments against independent formulas, the lookup
// and the failures.
#include "geometry/VtGeometry.h"

#include "shell/Error.h"
#include "shell/Text.h"
#include "support/ElementBuilders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vialto {
namespace {

constexpr double kHeightTol = 1e-9; // metres: closed forms at heights near 100

using test::VtAt;

// A circular curve: the centre square to the start grade at |R|, the height
// on that circle; the single-element form measures |x|.
TEST(VerticalCircle, PointsOnTheCircle) {
    const std::pair<double, double> circles[] = {
        {0.03, 5000}, {0.03, -5000}, {-0.02, 8000}, {-0.02, -8000}, {0.0, 3000}}; // g0, R
    for (const auto &[g0, R] : circles) {
        const VtElement e = VtAt(500, 100, g0, R, -1);
        ASSERT_EQ(GetVtElementType(e), VtElementType::Circle);
        const double n = std::sqrt(1 + g0 * g0);
        const double up = R > 0 ? 1 : -1; // towards the centre
        const double cx = 500 - up * std::fabs(R) * g0 / n;
        const double cz = 100 + up * std::fabs(R) / n;
        for (double x : {0.0, 20.0, 75.0, 160.0}) {
            const double dx = 500 + x - cx;
            const double expected = cz - up * std::sqrt(R * R - dx * dx);
            EXPECT_NEAR(GetHeightInVtElement(e, x), expected, kHeightTol) << g0 << " " << x;
            EXPECT_EQ(GetHeightInVtElement(e, -x), GetHeightInVtElement(e, x));
        }
    }
    // Beyond the half circle there is no height.
    const VtElement small = VtAt(0, 100, 0.0, 50, -1);
    EXPECT_THROW(GetHeightInVtElement(small, 60), VialtoError);
    EXPECT_EQ(GetHeightFromVtAligment({VtElement{}, small}, 60), kNullValue);
}

// Grade, parabola, grade, circle, grade: the lookup takes each chainage's
// element, and beyond the end the last grade goes on. On the parabola from
// grade g0 to g1 over L the height is the start tangent plus the tangent
// offset (g1 - g0) x^2 / (2 L), in either half.
TEST(GetHeightFromVtAligment, LooksUpTheElementAndExtrapolates) {
    const VtAlignment v = test::OneBased<VtElement>(
        {VtAt(0, 100, 0.02, 0, 200), VtAt(200, 104, 0.02, 240 / (-0.035), 240),
         VtAt(440, 104.6, -0.015, 0, 160), VtAt(600, 102.2, -0.015, 6000, -1),
         VtAt(750, 200, 0.01, 0, 100)});
    const std::pair<double, double> cases[] = {
        // chainage, height
        {100, 102},
        {320, 104 + 0.02 * 120 - 0.035 * 120 * 120 / 480},
        {400, 104 + 0.02 * 200 - 0.035 * 200 * 200 / 480},
        {500, 104.6 - 0.015 * 60},
        {750, 200},
        {1000, 202.5},
    };
    for (const auto &[chainage, height] : cases)
        EXPECT_NEAR(GetHeightFromVtAligment(v, chainage), height, kHeightTol) << chainage;
    // No height: the null marker.
    EXPECT_EQ(GetHeightFromVtAligment(VtAlignment(1), 10), kNullValue);
    EXPECT_EQ(GetHeightFromVtAligment(v, -0.001), kNullValue);
    EXPECT_EQ(GetHeightFromVtAligment(v, std::numeric_limits<double>::quiet_NaN()), kNullValue);
    // A curve parameter with length 0 is a circle in the array form.
    const VtAlignment zero{VtElement{}, VtAt(0, 10, 0.0, 1000, 0)};
    EXPECT_NEAR(GetHeightFromVtAligment(zero, 10), 10 + 1000 - std::sqrt(1000.0 * 1000 - 100),
                kHeightTol);
}

} // namespace
} // namespace vialto
