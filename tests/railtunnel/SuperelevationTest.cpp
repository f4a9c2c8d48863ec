#include "railtunnel/Superelevation.h"

#include "shell/Error.h"
#include "support/TestSupport.h"
#include "support/TrackFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <tuple>
#include <vector>

using namespace vialto;
using namespace vialto::test;

namespace {

constexpr double kCantTol = 1e-9; // millimetres, hand-computed values

// Conversions from the units' definitions: 1 ft = 0.3048 m, 1 US ft = 1200/3937
// m, 1 in = 25.4 mm, 1 mi = 1.609344 km (relative 1e-9: the converter keeps its
// factors to ten digits); an unset unit is no conversion, an unknown code raises.
TEST(LinearUnitFactor, AgainstTheUnitDefinitionsAndBadCodes) {
    const std::tuple<int, int, double> cases[] = {{unitFoot, unitMetre, 0.3048},
                                                  {unitMetre, unitUsSurveyFoot, 3937.0 / 1200},
                                                  {unitInch, unitMillimetre, 25.4},
                                                  {unitMile, unitKilometre, 1.609344},
                                                  {unitKilometre, unitCentimetre, 1e5},
                                                  {0, unitKilometre, 1},
                                                  {unitCentimetre, 0, 1}};
    for (const auto &[from, to, factor] : cases)
        EXPECT_NEAR(LinearUnitFactor(from, to), factor, 1e-9 * factor) << from << " -> " << to;
    for (const auto &[from, to] : {std::pair{9, 3}, {3, -1}, {3, 12}})
        EXPECT_EQ(ErrorOf([from, to] { LinearUnitFactor(from, to); }).Number, errSubscript)
            << from << " -> " << to;
}

TEST(InterpolateCant, HandComputedValuesAndATinyRise) {
    // Reverse curve 0 -> 80 over 120: R = (120^2 + 80^2) / (4 * 80) = 65, so 30
    // in from either end the rise is 65 - sqrt(65^2 - 30^2) = 65 - sqrt(3325).
    const double rise30 = 65 - std::sqrt(3325.0);
    // Name; x, x0, x1, y0, y1; kind; the cant at x.
    const std::tuple<const char *, double, double, double, double, double, CantInterpolationKind,
                     double>
        cases[] = {
            {"linear quarter", 125, 100, 200, 0, 100, interpLinear, 25},
            // 3/16 - 2/64 of the rise.
            {"cubic quarter", 125, 100, 200, 0, 100, interpCubic, 15.625},
            {"cubic dx 0", 100, 100, 100, 3, 9, interpCubic, 3},
            {"reverse first arc", 1030, 1000, 1120, 0, 80, interpReverseCurve, rise30},
            {"reverse midpoint", 1060, 1000, 1120, 0, 80, interpReverseCurve, 40},
            {"reverse second arc", 1090, 1000, 1120, 0, 80, interpReverseCurve, 80 - rise30},
            {"reverse falling", 1030, 1000, 1120, 80, 0, interpReverseCurve, 80 - rise30},
            {"reverse dy 0", 1050, 1000, 1120, 45, 45, interpReverseCurve, 45},
            {"reverse dx 0", 1000, 1000, 1000, 45, 60, interpReverseCurve, 45},
        };
    for (const auto &[name, x, x0, x1, y0, y1, kind, expected] : cases)
        EXPECT_NEAR(clsSuperelevation::InterpolateCant(x, x0, x1, y0, y1, kind), expected, kCantTol)
            << name;
    // A small change of cant over a long run keeps its digits: the rise
    // R - sqrt(R^2 - s^2) taken literally would lose four of them here.
    const double radius = (1e6 + 1e-6) / 0.004; // c^2 / (4 dy) for dx 1000, dy 0.001
    const double s = 100;
    // Series of the rise: s^2/(2R) + s^4/(8R^3) + ...
    const double expected = s * s / (2 * radius) + std::pow(s, 4) / (8 * std::pow(radius, 3));
    const double got = clsSuperelevation::InterpolateCant(s, 0, 1000, 0, 0.001, interpReverseCurve);
    EXPECT_NEAR(got, expected, 1e-12 * expected);
}

// A table in millimetres: gauge 1435, base 1500 unless given.
clsSuperelevation Table(std::vector<CantStation> stations, double base = 1500) {
    CantTableData data = RailTable(std::move(stations));
    data.Gauge = 1435;
    data.SuperelevationBase = base;
    return clsSuperelevation(std::move(data));
}

// The station at or before a chainage (the first of equal ones), -1 before
// the first; in a table whose stations run out of order (a projection onto a
// track can put them so) the first station beyond the chainage ends the
// search, as in file order.
TEST(FindStation, InOrderAndOutOfOrder) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto table = [](std::vector<double> chainages) {
        std::vector<CantStation> stations;
        for (double c : chainages)
            stations.push_back(Station(c, 0, rotInsideRail));
        return Table(stations);
    };
    const clsSuperelevation ordered = table({0, 100, 100, 250});
    const clsSuperelevation unordered = table({0, 300, 100, 400});
    const clsSuperelevation empty = table({});
    const std::tuple<const clsSuperelevation *, double, long> cases[] = {
        {&ordered, -1, -1},   {&ordered, 0, 0},     {&ordered, 50, 0},    {&ordered, 100, 1},
        {&ordered, 100.5, 2}, {&ordered, 250, 3},   {&ordered, 1e9, 3},   {&ordered, nan, 3},
        {&unordered, 50, 0},  {&unordered, 150, 0}, {&unordered, 300, 1}, {&unordered, 350, 2},
        {&unordered, 500, 3}, {&empty, 5, -1},
    };
    for (const auto &[t, chainage, index] : cases)
        EXPECT_EQ(t->FindStation(chainage), index) << chainage;
}

TEST(GetSlopeInChainage, CantOverTheBaseInBothFormsAndImpossibleCants) {
    const clsSuperelevation single =
        Table({Station(1000, 0, rotInsideRail, interpCubic), Station(1100, 150, rotInsideRail),
               Station(1200, 150, rotCenter), Station(1300, 30, rotRightRail)});
    const clsSuperelevation leftRight =
        Table({LeftRight(0, 0, 0), LeftRight(100, 0, 120), LeftRight(200, 90, 0)});
    // Chainage and the cant (left over right, mm) whose slope over 1500 is expected.
    const std::tuple<const clsSuperelevation *, double, double> cases[] = {
        {&single, 999, 0},    // before the table
        {&single, 1050, 75},  // cubic midpoint
        {&single, 1275, 60},  // linear 150 -> 30 between 1200 and 1300
        {&single, 99999, 30}, // beyond the last station its values hold
        {&leftRight, 50, -60},  {&leftRight, 250, 90},
        {&leftRight, 150, -15}, // halfway from (0, 120) to (90, 0): left 45, right 60
    };
    for (const auto &[table, chainage, cant] : cases)
        EXPECT_NEAR(table->GetSlopeInChainage(chainage), std::asin(cant / 1500), 1e-12) << chainage;
    // Impossible cants raise instead of giving an angle.
    const auto number = [](const clsSuperelevation &table) {
        return ErrorOf([&] { table.GetSlopeInChainage(5); }).Number;
    };
    EXPECT_EQ(number(Table({Station(0, 10, rotCenter)}, 0)), errDivisionByZero);
    EXPECT_EQ(number(Table({Station(0, 1600, rotCenter)})), errInvalidCall);
    // A cant equal to the base, either way, is a quarter turn with its sign.
    EXPECT_NEAR(Table({LeftRight(0, 0, 1500)}).GetSlopeInChainage(5), -std::numbers::pi / 2, 1e-12);
    EXPECT_NEAR(Table({LeftRight(0, 1500, 0)}).GetSlopeInChainage(5), std::numbers::pi / 2, 1e-12);
}

} // namespace
