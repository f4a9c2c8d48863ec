// Heights of vertical alignments against independent formulas, the lookup
// rule, the failures, and the sort.
#include "VtGeometry.h"
#include "Error.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace vialto {
namespace {

constexpr double kHeightTol = 1e-9;

VtElement Vt(double chainage, double height, double grade, double parameter, double length) {
    VtElement e;
    e.Chainage = chainage;
    e.Height = height;
    e.Grade = grade;
    e.Parameter = parameter;
    e.Length = length;
    return e;
}

// A parabola between grades g0 and g1 over L is the start tangent plus the
// tangent offset (g1 - g0) x^2 / (2 L); Kv = L / (g1 - g0).
TEST(VerticalParabola, TangentOffsetFormula) {
    struct Case {
        double g0, g1, L;
    };
    for (const Case &c : {Case{0.02, -0.015, 240}, Case{-0.03, 0.01, 180}, Case{0.0, 0.045, 90},
                          Case{-0.005, -0.04, 300}}) {
        const double kv = c.L / (c.g1 - c.g0);
        const VtElement e = Vt(1200, 350.25, c.g0, kv, c.L);
        ASSERT_EQ(GetVtElementType(e), VtElementType::Parabola);
        for (double x = 0; x <= c.L; x += c.L / 16) {
            const double expected = 350.25 + c.g0 * x + (c.g1 - c.g0) * x * x / (2 * c.L);
            EXPECT_NEAR(GetHeightInVtElement(e, x), expected, kHeightTol) << x;
        }
        // Both halves meet at the middle; the end lies on the end tangent.
        const double h = c.L / 2;
        const double nudge = 1e-7;
        EXPECT_NEAR(GetHeightInVtElement(e, h + nudge), GetHeightInVtElement(e, h),
                    1e-6 * std::fabs(c.g0) + 1e-6);
        const double zPI = 350.25 + c.g0 * h;
        EXPECT_NEAR(GetHeightInVtElement(e, c.L), zPI + c.g1 * h, kHeightTol);
    }
}

// A circular curve: the centre square to the start grade at |R|, the height on
// that circle.
TEST(VerticalCircle, PointsOnTheCircle) {
    struct Case {
        double g0, R;
    };
    for (const Case &c : {Case{0.03, 5000}, Case{0.03, -5000}, Case{-0.02, 8000},
                          Case{-0.02, -8000}, Case{0.0, 3000}}) {
        const VtElement e = Vt(500, 100, c.g0, c.R, -1);
        ASSERT_EQ(GetVtElementType(e), VtElementType::Circle);
        // Unit normal to the grade, towards the centre (up for a sag).
        const double n = std::sqrt(1 + c.g0 * c.g0);
        const double up = c.R > 0 ? 1 : -1;
        const double cx = 500 - up * std::fabs(c.R) * c.g0 / n;
        const double cz = 100 + up * std::fabs(c.R) / n;
        for (double x : {0.0, 20.0, 75.0, 160.0}) {
            const double dx = 500 + x - cx;
            const double expected = cz - up * std::sqrt(c.R * c.R - dx * dx);
            EXPECT_NEAR(GetHeightInVtElement(e, x), expected, kHeightTol) << c.g0 << " " << x;
            EXPECT_NEAR(GetHeightInVtCircle(e, x), expected, kHeightTol);
        }
        // The grade at the start is the element's grade.
        const double slope = (GetHeightInVtCircle(e, 1e-4) - 100) / 1e-4;
        EXPECT_NEAR(slope, c.g0, 1e-6);
    }
    // A sag that starts rising has its lowest point behind its start.
    const VtElement rising = Vt(500, 100, 0.03, 5000, -1);
    const double lowest = -5000 * 0.03 / std::sqrt(1 + 0.03 * 0.03); // xc - ch0
    EXPECT_LT(GetHeightInVtCircle(rising, lowest), GetHeightInVtCircle(rising, lowest - 1));
    EXPECT_LT(GetHeightInVtCircle(rising, lowest), GetHeightInVtCircle(rising, lowest + 1));
    EXPECT_LT(GetHeightInVtCircle(rising, 0), GetHeightInVtCircle(rising, 10));
    // The single-element form measures |x|; a start chainage gives the start height.
    EXPECT_EQ(GetHeightInVtElement(rising, -10), GetHeightInVtElement(rising, 10));
    EXPECT_NEAR(GetHeightFromVtAligment({VtElement{}, rising}, 500), 100, kHeightTol);
}

TEST(VerticalCircle, BeyondTheHalfCircle) {
    const VtElement e = Vt(0, 100, 0.0, 50, -1);
    EXPECT_THROW(GetHeightInVtCircle(e, 60), VialtoError);
    EXPECT_THROW(GetHeightInVtElement(e, 60), VialtoError);
    EXPECT_EQ(GetHeightFromVtAligment({VtElement{}, e}, 60), kNullValue);
}

VtAlignment Profile() {
    // grade, parabola, grade, circle, grade
    VtAlignment v(1);
    v.push_back(Vt(0, 100, 0.02, 0, 200));
    v.push_back(Vt(200, 104, 0.02, 240 / (-0.015 - 0.02), 240));
    v.push_back(Vt(440, 104 + 0.02 * 120 - 0.015 * 120, -0.015, 0, 160));
    v.push_back(Vt(600, 102.2, -0.015, 6000, -1));
    v.push_back(Vt(750, 0, 0.01, 0, 100));
    v[5].Height = GetHeightInVtCircle(v[4], 150);
    return v;
}

TEST(GetHeightFromVtAligment, LookupAndExtrapolation) {
    const VtAlignment v = Profile();
    EXPECT_EQ(GetVtElementIndex(200, v), 2);
    EXPECT_EQ(GetVtElementIndex(199.99, v), 1);
    EXPECT_EQ(GetVtElementIndex(1e6, v), 5);
    EXPECT_EQ(GetVtElementIndex(-5, v), 1);
    EXPECT_EQ(GetVtElementIndex(0, VtAlignment(1)), 0);
    // Every element start gives its own height.
    for (std::size_t i = 1; i < v.size(); ++i) {
        EXPECT_NEAR(GetHeightFromVtAligment(v, v[i].Chainage), v[i].Height, kHeightTol) << i;
    }
    EXPECT_NEAR(GetHeightFromVtAligment(v, 100), 102, kHeightTol);
    EXPECT_NEAR(GetHeightFromVtAligment(v, 320), GetHeightInVtElement(v[2], 120), kHeightTol);
    EXPECT_NEAR(GetHeightFromVtAligment(v, 700), GetHeightInVtCircle(v[4], 100), kHeightTol);
    // Beyond the last element: its grade continues.
    EXPECT_NEAR(GetHeightFromVtAligment(v, 1000), v[5].Height + 0.01 * 250, kHeightTol);
    // The elements join up: end heights equal the next start within rounding.
    for (std::size_t i = 1; i + 1 < v.size(); ++i) {
        const double length = v[i].Length < 0 ? v[i + 1].Chainage - v[i].Chainage : v[i].Length;
        EXPECT_NEAR(GetHeightInVtElement(v[i], length), v[i + 1].Height, 1e-9) << i;
    }
}

TEST(GetHeightFromVtAligment, NoHeightIsTheNullMarker) {
    const VtAlignment v = Profile();
    EXPECT_EQ(GetHeightFromVtAligment(VtAlignment(), 10), kNullValue);
    EXPECT_EQ(GetHeightFromVtAligment(VtAlignment(1), 10), kNullValue);
    EXPECT_EQ(GetHeightFromVtAligment(v, -0.001), kNullValue);
    EXPECT_EQ(GetHeightFromVtAligment(v, std::numeric_limits<double>::quiet_NaN()), kNullValue);
    // A curve parameter with length 0 is a circle in the array form.
    VtAlignment zero(1);
    zero.push_back(Vt(0, 10, 0.0, 1000, 0));
    EXPECT_NEAR(GetHeightFromVtAligment(zero, 10), 10 + 1000 - std::sqrt(1000.0 * 1000 - 100),
                kHeightTol);
}

// A bubble sort (the classic rule) to compare against.
std::vector<double> BubbleSorted(std::vector<double> values) {
    std::size_t limit = values.size() - 1;
    bool exchanged = true;
    while (exchanged && limit > 1) {
        exchanged = false;
        for (std::size_t i = 1; i < limit; ++i) {
            if (values[i] > values[i + 1]) {
                std::swap(values[i], values[i + 1]);
                exchanged = true;
            }
        }
        --limit;
    }
    return values;
}

TEST(SortDoubles, AscendingInPlaceFromPositionOne) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, 40);
    for (int round = 0; round < 50; ++round) {
        std::vector<double> values(1 + round, 0);
        values[0] = 999; // position 0 is not part of the array
        for (std::size_t i = 1; i < values.size(); ++i) {
            values[i] = pick(random) * 0.5 - 10;
        }
        if (round % 5 == 0 && values.size() > 2) {
            values[1] = -0.0; // equal values keep their order
            values.back() = 0.0;
        }
        std::vector<double> expected = BubbleSorted(values);
        EXPECT_TRUE(SortDoubles(values));
        ASSERT_EQ(values.size(), expected.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(values[i], expected[i]);
            EXPECT_EQ(std::signbit(values[i]), std::signbit(expected[i]));
        }
    }
    // NaNs: the classic passes, whatever they make of them, and no hang.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> withNan{0, 3, nan, 1, 2, nan, 0.5};
    const std::vector<double> expected = BubbleSorted(withNan);
    SortDoubles(withNan);
    for (std::size_t i = 1; i < withNan.size(); ++i) {
        EXPECT_TRUE(withNan[i] == expected[i] ||
                    (std::isnan(withNan[i]) && std::isnan(expected[i])));
    }
    std::vector<double> empty;
    EXPECT_TRUE(SortDoubles(empty));
}

} // namespace
} // namespace vialto
