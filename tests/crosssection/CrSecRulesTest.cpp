// The naming rules, one at a time, on small hand-checked sections; then the
// driver with its selection, progress and failure.
#include "crosssection/CrSecRules.h"
#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;
using namespace vialto::test;
using Strings = std::vector<std::string>;

namespace {

enum Rule { ByDistance, ByEnds, ByProximity };

// The codes of This after the rule on the last of the stations (chainage,
// points of one layer); after the proximity rule, " / " and the names.
std::string Apply(Rule rule, const std::vector<std::pair<double, std::string>> &stations) {
    std::vector<std::pair<double, std::vector<std::string>>> surfaces;
    for (const auto &[chainage, points] : stations)
        surfaces.push_back({chainage, {points}});
    CrossSectionSet set = Sections({{"R", {}}}, surfaces);
    const std::size_t i = stations.size() - 1;
    const CrSecSurface &surface = set.Stations[i].Surfaces[0];
    if (rule == ByDistance)
        NamesByDistance(set, i, 0);
    else if (rule == ByEnds)
        NamesByEnds(set, i, 0, true);
    else
        NamesByProximity(set, i, 0);
    return CodesOf(surface.Points) +
           (rule == ByProximity ? " / " + CodesOf(surface.Points, true) : "");
}

// The rule on station 10 (This) that follows station 0 (Last).
std::string Apply(Rule rule, const std::string &last, const std::string &now) {
    return Apply(rule, {{0, last}, {10, now}});
}

} // namespace

TEST(NamingRules, EachRuleOnHandCheckedSections) {
    const struct {
        Rule Kind;
        const char *Name, *Last, *Now, *Codes;
    } cases[] = {
        {ByDistance, "a vertical face of three at both stations", "0:a 5,3:t 5,1.5:m 5:f 6:o",
         "0.00005 5,3.1 5,1.6 5,0.1 6.5", "a t m f -"},
        {ByDistance, "a face of three, then two: left to the later rules", "0:a 5,3:t 5,1.5:m 5:f",
         "0 5,3 5", "a - -"},
        {ByDistance, "no point within the tolerance", "0:a", "0.0002", "-"},
        {ByEnds, "both ends", "-5:l 0:c 5:r", "-6 0 6", "l - r"},
        {ByEnds, "an end on the other side", "-5:l 5:r", "1 -1", "- -"},
        {ByEnds, "offset 0 against a side", "-5:l 5:r", "0 6", "- r"},
        {ByEnds, "the neighbour already carries it", "-5:l 5:r", "-6 -5:l", "- l"},
        {ByEnds, "a single point, same side", "2:x 5:r", "6", "x"},
        {ByEnds, "a single point, other side", "-2:x", "6", "-"},
        {ByEnds, "copies at the end of Last are passed over", "-5:l 5:r 5:q*", "-5.5 5.5", "l r"},
        {ByProximity, "one to one", "0:a 3:x 9:b", "0:a 4 9:b", "a x b / - - -"},
        {ByProximity, "one This point, three Last points: two copies", "0:a 6,3:t 6,1:m 6:f 9:b",
         "0:a 6.2,2 9:b", "a t b m* f* / - - - -* -*"},
        {ByProximity, "several to one: the nearest, those as near within 0.0001 get the name",
         "0:a 4:x 9:b", "0:a 3 5.00009 6 9:b", "a x - - b / - - x - -"},
        {ByProximity, "fewer This points: sorted by distance, a Last point used once",
         "0:a 2:x 3:y 7:z 9:b", "0:a 2.9 3.1 9:b", "a y - b / - - - -"},
        {ByProximity, "more This points: each Last point takes its nearest unused",
         "0:a 3:x 6:y 9:b", "0:a 2 3.5 5 9:b", "a - x y b / - - - - -"},
        {ByProximity, "as many: in order, not across the axis", "-9:a -2:x 3:y 9:b", "-9:a 1 4 9:b",
         "a - y b / - - - -"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Apply(c.Kind, c.Last, c.Now), c.Codes) << c.Name;
}

TEST(NamingRules, LinesThatMovedByTheirHeading) {
    // Stations 0, 10 and This at 20 (30 where said): a Last line heads on by
    // the change it made from station 0, scaled by the chainage steps.
    const struct {
        Rule Kind;
        const char *Name, *Before, *Last, *Now, *Codes;
        double At = 20;
    } cases[] = {
        {ByDistance, "still: passes its code", "-9:a 0:c", "-9:a 0:c", "-10 -9 0", "- a c"},
        {ByDistance, "moved out, its offset taken by a neighbour", "-9:a -8:b 0:c",
         "-10:a -9:b 0:c", "-11 -10 0", "- - c"},
        {ByDistance, "moved out, nothing beyond: it stopped", "-9:a -5:b 0:c", "-10:a -5:b 0:c",
         "-10 -6 0", "a - c"},
        {ByDistance, "moved out, beyond only a line that stood still", "-11:x -9:a 0:c",
         "-11:x -10:a 0:c", "-11 -10 0", "x a c"},
        {ByDistance, "moved out, a new point beyond", "-9:a 0:c", "-10:a 0:c", "-12 -10 0",
         "- - c"},
        {ByDistance, "moved in, a line beyond that stood still", "-9:a -5:b", "-8:a -5:b", "-8 -5",
         "a b"},
        {ByDistance, "started at the Last station", "-9:a 0:c", "-9:a -5:n 0:c", "-9 -5 0",
         "a - c"},
        {ByProximity, "one This point, two Last: the one heading for it",
         "-14:x -12.5:b -8.5:a 0:c", "-14:x -12.5:b -10:a 0:c", "-14:x -11.4 0:c", "x a c / - - -"},
        {ByProximity, "several This points, one Last: the one it heads for", "-14:x -8.5:a 0:c",
         "-14:x -10:a 0:c", "-14:x -11.4 -10.2 0:c", "x a - c / - - - -"},
        {ByProximity, "the heading doubles over a step twice as long", "-14:x -11:b -9:a 0:c",
         "-14:x -11:b -10:a 0:c", "-14:x -11.9 0:c", "x a c / - - -", 30},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Apply(c.Kind, {{0, c.Before}, {10, c.Last}, {c.At, c.Now}}), c.Codes) << c.Name;

    const CrossSectionSet set =
        Sections({{"R", {}}}, {{0, {"-9:a 0:c"}}, {10, {"-10:a 0:c 4:n"}}, {30, {"0"}}});
    EXPECT_EQ(HeadingOffsets(set, 2, 0), (std::vector<double>{-12, 0, 4})) << "n started";
    EXPECT_EQ(HeadingOffsets(set, 1, 0), (std::vector<double>{-9, 0})) << "no station before";
}

TEST(NamingRules, CodesFromOffsetsWithoutLastAndRepeatedCodes) {
    CrossSectionSet set =
        Sections({{"R", {"-3.500", "0.000"}}, {"T", {}}}, {{0, {"", "1"}}, {10, {"-3.5 2 2"}}});
    EXPECT_EQ(NamesByDistance(set, 1, 0), 3);
    // An existing line is continued; a new offset starts one (both points at
    // 2 get its base; the repeated-code rule separates them later).
    EXPECT_EQ(CodesOf(set.Stations[1].Surfaces[0].Points), "-3.500 2.000 2.000");
    EXPECT_TRUE(set.Stations[1].Surfaces[0].Done);

    set = Sections({{"R", {}}}, {{0, {"0:a 1:b 2:a 3:b 4:b 5"}}});
    // The later keeps a repeated code unless the earlier is the first point.
    ClearRepeatedCodes(set, 0, 0);
    EXPECT_EQ(CodesOf(set.Stations[0].Surfaces[0].Points), "a - - - b -");
    EXPECT_EQ(NamesToRest(set, 0, 0), 4);
    EXPECT_EQ(CodesOf(set.Stations[0].Surfaces[0].Points), "a 1.000 2.000 3.000 b 5.000");
}

TEST(NamingRules, ApplyRulesFollowsTheSelectionAndOrdersTheCodes) {
    StoreWithVerticalAlignment();
    CrossSectionSet set = Sections({{"Taludes", {"-8.000"}}, {"Rasante", {"3.500", "-3.500"}}},
                                   {{0, {"-8:-8.000", "-3.5:-3.500 3.5:3.500"}},
                                    {10, {"-8.5", "-3.5 0 3.5"}},
                                    {20, {"", "-3.5 3.5"}}});
    RecordingProgress progress;
    ASSERT_TRUE(ApplyRules(set, "$Rasante$", progress, true));
    EXPECT_EQ(progress.Steps, 2);
    EXPECT_EQ(progress.Captions, (Strings{"T_EXPORTING_CR"})) << "the step's own title";
    EXPECT_EQ(CodesOf(set.Stations[1].Surfaces[0].Points), "-") << "Taludes not ruled";
    EXPECT_EQ(CodesOf(set.Stations[1].Surfaces[1].Points), "-3.500 0.000 3.500");
    EXPECT_EQ(CodesOf(set.Stations[2].Surfaces[0].Points), "-3.500 3.500");
    EXPECT_EQ(set.Layers[1].Codes, (Strings{"-3.500", "0.000", "3.500"}));
    SetDefaultCodes(set, "$Rasante$"); // the layers left out get codes from their offsets
    EXPECT_EQ(CodesOf(set.Stations[1].Surfaces[0].Points), "-8.500");
    EXPECT_EQ(set.Layers[0].Codes, (Strings{"-8.000", "-8.500"})) << "new codes appended";
}
