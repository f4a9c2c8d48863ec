// The unit clothoid series, the transition helpers and projection at a transition's origin.
#include "geometry/HzGeometry.h"
#include "shell/Error.h"
#include "shell/Text.h"
#include "support/AlignmentFixtures.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vialto {
namespace {

// The series ends early; over the whole range a listing's transitions use
// (a parameter of 20 to 3000, the tangent turning up to pi/2) the point stays
// within a nanometre of the clothoid integrated from its curvature, for a
// transition leaving a straight and for one running into it. The element lies
// at the origin so that the coordinates' own rounding stays out of the figure.
TEST(ClothoidUnitCoords, WithinANanometreOfTheIntegratedClothoid) {
    constexpr double kSeriesTol = 1e-9; // metres, as the series promises
    const double halfPi = std::acos(0.0);
    for (const double A : {20.0, 75.0, 300.0, 1000.0, 3000.0}) {
        const double length = A * std::sqrt(2 * halfPi); // where the tangent has turned pi/2
        const double radius = A * A / length;
        for (const bool leaving : {true, false}) {
            SCOPED_TRACE(testing::Message() << "A " << A << (leaving ? " leaving" : " entering"));
            const test::FixtureSegment segment =
                leaving ? test::FixtureSegment{length, 0, radius}
                        : test::FixtureSegment{length, -radius, 0}; // from the arc to a straight
            const test::FixtureLayout shape{"transition", 0, 0, 0, 0.3, {segment}};
            const HzAlignment elements = test::BuildFixtureAlignment(shape);
            for (int k = 0; k <= 40; ++k) {
                const double s = length * k / 40;
                HzPoint p;
                ASSERT_TRUE(GetCoordFromHzAligment(elements, s, p));
                const test::FixturePose expected = test::FixturePoseAt(shape, s);
                EXPECT_LT(std::hypot(p.X - expected.X, p.Y - expected.Y), kSeriesTol) << s;
            }
        }
    }
}

// A transition at chainage 100 heading 1 rad.
HzElement Transition(double radius, double A, double length) {
    return test::HzAt(100, 500000, 4500000, 1.0, radius, A, length);
}

TEST(GetCoordInClothoid, RaisesForImpossibleTransitions) {
    // No parameter: not a clothoid (one with no length: the failures' tests).
    EXPECT_THROW(GetCoordInClothoid(Transition(300, 0, 50), 10, kNullValue, kNullValue),
                 VialtoError);
    // Its end itself is the clothoid's origin: a point, not an error.
    const HzPoint end = GetCoordInClothoid(Transition(400, std::sqrt(80.0 * 400), 80), 80, 0, 1.1);
    EXPECT_TRUE(std::isfinite(end.X) && std::isfinite(end.Y));
    EXPECT_NEAR(end.Azimuth, 1.1, 1e-12);
}

// The projection of a point, each case with the chainage and offset it must
// give (or, on a failure, leave or set). Behind an opening transition the
// nearest start and the distance to it come back; at a reverse curve's
// inflection the listing's rounding puts the point a fraction of a millimetre
// behind both transitions' origins, and it is still projected.
TEST(ProjectPointToAligment, CasesByHand) {
    test::RecordingUi ui;
    const HzAlignment corner =
        test::OneBased<HzElement>({test::HzAt(0, 500000, 4500000, 0, 0, 0, 100),
                                   test::HzAt(100, 500000, 4500100, kHalfPi, 0, 0, 100)});
    const HzAlignment opening = test::BuildFixtureAlignment(test::FixtureSteps(
        "starts with a transition", 50, 500000, 4500000, 0.5, {{60, 300}, {80, 300}}));
    const test::FixtureLayout s = test::StandardFixtures().at(4);
    ASSERT_EQ(s.Name, "asymmetric S-curve");
    HzAlignment reverse = test::BuildFixtureAlignment(s);
    HzElement &leaving = reverse.at(5); // the transition leaving the inflection at 360
    leaving.X += 0.0004 * std::sin(leaving.Azimuth);
    leaving.Y += 0.0004 * std::cos(leaving.Azimuth);
    const test::FixturePose inflection = test::FixturePoseAt(s, 360);
    const auto onNormal = [&](double d) { // just past the first transition's end
        const test::FixturePose p = test::FixtureOffset(inflection, d);
        return HzPoint{p.X + 1e-7 * std::sin(inflection.Azimuth),
                       p.Y + 1e-7 * std::cos(inflection.Azimuth), 0, 0, 0};
    };
    const HzPoint behind{500000 - 10 * std::sin(0.5) + 1, 4500000 - 10 * std::cos(0.5), 0, 0, 0};
    const double nan = std::nan("");
    const struct {
        const char *Name;
        const HzAlignment &Elements;
        HzPoint Point;
        long Last;
        bool Ok;
        double Chainage, Offset;
    } cases[] = {
        {"corner", corner, {500003, 4500098, 0, 0, 0}, 2, true, 103, 2},
        {"behind the origin", opening, behind, 2, false, 50,
         std::hypot(behind.X - 500000, behind.Y - 4500000)},
        {"inflection, left", reverse, onNormal(-0.35), ElementCount(reverse), true, 360, -0.35},
        {"inflection, right", reverse, onNormal(0.35), ElementCount(reverse), true, 360, 0.35},
        {"not a number", corner, {nan, 0, 0, 0, 0}, 2, false, 7, 7},
        {"beyond the alignment", corner, {500001, 4500001, 0, 0, 0}, 3, false, 7, 7},
    };
    for (const auto &c : cases) {
        double chainage = 7, offset = 7, azimuth = 7;
        EXPECT_EQ(ProjectPointToAligment(chainage, offset, azimuth, c.Point, c.Elements, 1, c.Last),
                  c.Ok)
            << c.Name;
        EXPECT_NEAR(chainage, c.Chainage, 0.0005) << c.Name; // outputs are rounded to the mm
        EXPECT_NEAR(offset, c.Offset, 0.0005) << c.Name;
    }
    EXPECT_EQ(ui.Messages.size(), 1u); // the element beyond the alignment is reported
    // Carrying a chainage over to an empty alignment: both outputs start at 0.
    double offset = 7, chainage = 7;
    EXPECT_FALSE(ProjectChainToAnotherAligment(5, corner, HzAlignment(1), offset, chainage));
    EXPECT_EQ(std::pair(offset, chainage), std::pair(0.0, 0.0));
}

} // namespace
} // namespace vialto
