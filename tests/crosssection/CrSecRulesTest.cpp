// The naming rules, one at a time, on small hand-checked sections; then the
// driver with its selection, progress and failure.
#include "CrSecRules.h"
#include "CrSec.h"
#include "CrSecBuilder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace vialto;
using namespace vialto::test;
using Strings = std::vector<std::string>;

TEST(NamesByDistance, WithoutLastEveryPointFromItsOffset) {
    CrossSectionSet set = SetBuilder({"R", "T"})
                              .LayerCodes(0, {"-3.500", "0.000"})
                              .Station(0)
                              .Surface(1, {{1}})
                              .Station(10)
                              .Surface(0, {{-3.5}, {2}, {2}})
                              .Build();
    EXPECT_EQ(NamesByDistance(set, 1, 0), 3);
    const CrSecSurface &s = set.Stations[1].Surfaces[0];
    // An existing line is continued; a new offset starts one (both points at
    // 2 get its base; the repeated-code rule separates them later).
    EXPECT_EQ(Codes(s.Points), (Strings{"-3.500", "2.000", "2.000"}));
    EXPECT_TRUE(s.Done);
}

TEST(NamesByDistance, GroupsOfAVerticalFace) {
    struct Case {
        const char *name;
        std::initializer_list<P> last;
        std::initializer_list<P> now;
        Strings expected;
    };
    const Case cases[] = {
        {"face of three at both stations",
         {{0, 0, "a"}, {5, 3, "t"}, {5, 1.5, "m"}, {5, 0, "f"}, {6, 0, "o"}},
         {{0.00005, 0}, {5, 3.1}, {5, 1.6}, {5, 0.1}, {6.5, 0}},
         {"a", "t", "m", "f", ""}},
        {"face of three, then two", // left to the later rules
         {{0, 0, "a"}, {5, 3, "t"}, {5, 1.5, "m"}, {5, 0, "f"}},
         {{0, 0}, {5, 3}, {5, 0}},
         {"a", "", ""}},
        {"no point within the tolerance", {{0, 0, "a"}}, {{0.0002, 0}}, {""}},
    };
    for (const Case &c : cases) {
        CrossSectionSet set = SetBuilder({"R"})
                                  .LayerCodes(0, {"a", "t", "m", "f", "o"})
                                  .Station(0)
                                  .Surface(0, c.last)
                                  .Station(10)
                                  .Surface(0, c.now)
                                  .Build();
        NamesByDistance(set, 1, 0);
        EXPECT_EQ(Codes(set.Stations[1].Surfaces[0].Points), c.expected) << c.name;
    }
}

TEST(NamesByEnds, EndsFollowTheEndsOfLast) {
    struct Case {
        const char *name;
        std::initializer_list<P> last;
        std::initializer_list<P> now;
        Strings expected;
    };
    const Case cases[] = {
        {"both ends", {{-5, 0, "l"}, {0, 0, "c"}, {5, 0, "r"}}, {{-6}, {0}, {6}}, {"l", "", "r"}},
        {"end on the other side", {{-5, 0, "l"}, {5, 0, "r"}}, {{1}, {-1}}, {"", ""}},
        {"offset 0 against a side", {{-5, 0, "l"}, {5, 0, "r"}}, {{0}, {6}}, {"", "r"}},
        {"neighbour already carries it",
         {{-5, 0, "l"}, {5, 0, "r"}},
         {{-6}, {-5, 0, "l"}},
         {"", "l"}},
        {"a single point, same side", {{2, 0, "x"}, {5, 0, "r"}}, {{6}}, {"x"}},
        {"a single point, other side", {{-2, 0, "x"}}, {{6}}, {""}},
    };
    for (const Case &c : cases) {
        CrossSectionSet set =
            SetBuilder({"R"}).Station(0).Surface(0, c.last).Station(10).Surface(0, c.now).Build();
        NamesByEnds(set, 1, 0, true);
        EXPECT_EQ(Codes(set.Stations[1].Surfaces[0].Points), c.expected) << c.name;
    }
}

TEST(NamesByEnds, CopiesAtTheEndOfLastAreSkipped) {
    CrossSectionSet set = SetBuilder({"R"})
                              .Station(0)
                              .Surface(0, {{-5, 0, "l"}, {5, 0, "r"}, {5, 0, "q"}})
                              .Station(10)
                              .Surface(0, {{-5.5}, {5.5}})
                              .Build();
    set.Stations[0].Surfaces[0].Points[2].IsCopy = true;
    set.Stations[0].Surfaces[0].Points[2].IsCopyMark = true;
    EXPECT_EQ(NamesByEnds(set, 1, 0, true), 2);
    EXPECT_EQ(Codes(set.Stations[1].Surfaces[0].Points), (Strings{"l", "r"}));
    EXPECT_TRUE(set.Stations[1].Surfaces[0].Done);
}

TEST(GetSegments, RunsBetweenCodedPoints) {
    const auto last = MakePoints({{-5, 0, "a"},
                                  {-2, 0, "x"},
                                  {-1, 0, "y"},
                                  {4, 0, "b"},
                                  {3, 0, "z"}}); // listed out of order across the section
    const auto now = MakePoints({{-5, 0, "a"}, {-1.5}, {2}, {4, 0, "b"}, {5, 0, "c"}});
    const std::vector<PointGroup> segments = GetSegments(now, last);
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].This, (PointIndexList{1, 2}));
    EXPECT_EQ(segments[0].Last, (PointIndexList{1, 2, 4})) << "in order across the section";
    EXPECT_TRUE(segments[1].This.empty());
    EXPECT_TRUE(segments[1].Last.empty()) << "code c is not in Last";
    EXPECT_TRUE(GetSegments(MakePoints({{0, 0, "a"}, {1}}), last).empty());
}

TEST(NearestByOffset, NearestFirstThenTheEquallyNear) {
    auto points = MakePoints({{-1}, {3}, {1}, {0.99995}, {5}});
    const PointIndexList all{0, 1, 2, 3, 4};
    CrSecPoint ref;
    ref.Offset = 2;
    EXPECT_EQ(NearestByOffset(all, ref, points, true, false), (PointIndexList{1, 2, 3}));
    ref.Offset = -0.5;
    EXPECT_EQ(NearestByOffset(all, ref, points, true, true), (PointIndexList{0}));
    EXPECT_EQ(NearestByOffset(all, ref, points, true, false), (PointIndexList{0}));
    points[0].IsCopy = true;
    EXPECT_EQ(NearestByOffset(all, ref, points, false, true), PointIndexList{})
        << "the copy is skipped and the rest lie on the other side";
    EXPECT_TRUE(SameSide(0, -4));
    EXPECT_TRUE(SameSide(2, 4));
    EXPECT_FALSE(SameSide(-1, 4));
}

TEST(NamesByProximity, OneThisPointThreeLastPointsMakesTwoCopies) {
    // A wall face of three points at one offset becomes one point.
    CrossSectionSet set =
        SetBuilder({"T"})
            .Station(0)
            .Surface(0, {{0, 0, "a"}, {6, 3, "t"}, {6, 1, "m"}, {6, 0, "f"}, {9, 0, "b"}})
            .Station(10)
            .Surface(0, {{0, 0, "a"}, {6.2, 2}, {9, 0, "b"}})
            .Build();
    EXPECT_EQ(NamesByProximity(set, 1, 0), 3);
    const auto &points = set.Stations[1].Surfaces[0].Points;
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(Codes(points), (Strings{"a", "t", "b", "m", "f"}));
    for (std::size_t k : {3u, 4u}) {
        EXPECT_TRUE(points[k].IsCopy && points[k].IsCopyMark);
        EXPECT_DOUBLE_EQ(points[k].Offset, 6.2);
        EXPECT_DOUBLE_EQ(points[k].Height, 2);
    }
}

TEST(NamesByProximity, SeveralToOneAndSeveralToSeveral) {
    struct Case {
        const char *name;
        std::initializer_list<P> last;
        std::initializer_list<P> now;
        Strings codes;
        Strings names;
    };
    const Case cases[] = {
        {"one to one",
         {{0, 0, "a"}, {3, 0, "x"}, {9, 0, "b"}},
         {{0, 0, "a"}, {4}, {9, 0, "b"}},
         {"a", "x", "b"},
         {"", "", ""}},
        {"several to one: the nearest, the equally near get the name",
         {{0, 0, "a"}, {4, 0, "x"}, {9, 0, "b"}},
         {{0, 0, "a"}, {3}, {5}, {6}, {9, 0, "b"}},
         {"a", "x", "", "", "b"},
         {"", "", "x", "", ""}},
        {"fewer This points: sorted by distance, a Last point used once",
         {{0, 0, "a"}, {2, 0, "x"}, {3, 0, "y"}, {7, 0, "z"}, {9, 0, "b"}},
         {{0, 0, "a"}, {2.9}, {3.1}, {9, 0, "b"}},
         {"a", "y", "", "b"},
         {"", "", "", ""}},
        {"more This points: each Last point takes its nearest unused",
         {{0, 0, "a"}, {3, 0, "x"}, {6, 0, "y"}, {9, 0, "b"}},
         {{0, 0, "a"}, {2}, {3.5}, {5}, {9, 0, "b"}},
         {"a", "", "x", "y", "b"},
         {"", "", "", "", ""}},
        {"as many: in order, not across the axis",
         {{-9, 0, "a"}, {-2, 0, "x"}, {3, 0, "y"}, {9, 0, "b"}},
         {{-9, 0, "a"}, {1}, {4}, {9, 0, "b"}},
         {"a", "", "y", "b"},
         {"", "", "", ""}},
    };
    for (const Case &c : cases) {
        CrossSectionSet set =
            SetBuilder({"R"}).Station(0).Surface(0, c.last).Station(10).Surface(0, c.now).Build();
        NamesByProximity(set, 1, 0);
        const auto &points = set.Stations[1].Surfaces[0].Points;
        EXPECT_EQ(Codes(points), c.codes) << c.name;
        Strings names;
        for (const CrSecPoint &p : points)
            names.push_back(p.Name);
        EXPECT_EQ(names, c.names) << c.name;
    }
}

TEST(NamesByProximity, SkippedWhenDone) {
    CrossSectionSet set = SetBuilder({"R"})
                              .Station(0)
                              .Surface(0, {{0, 0, "a"}, {3, 0, "x"}, {9, 0, "b"}})
                              .Station(10)
                              .Surface(0, {{0, 0, "a"}, {4}, {9, 0, "b"}})
                              .Build();
    set.Stations[1].Surfaces[0].Done = true;
    EXPECT_EQ(NamesByProximity(set, 1, 0), 0);
}

TEST(ClearRepeatedCodes, TheLaterKeepsItUnlessTheEarlierIsFirst) {
    CrossSectionSet set =
        SetBuilder({"R"})
            .Station(0)
            .Surface(0,
                     {{0, 0, "a"}, {1, 0, "b"}, {2, 0, "a"}, {3, 0, "b"}, {4, 0, "b"}, {5, 0, ""}})
            .Build();
    ClearRepeatedCodes(set, 0, 0);
    EXPECT_EQ(Codes(set.Stations[0].Surfaces[0].Points), (Strings{"a", "", "", "", "b", ""}));
    EXPECT_EQ(NamesToRest(set, 0, 0), 4);
    EXPECT_EQ(Codes(set.Stations[0].Surfaces[0].Points),
              (Strings{"a", "1.000", "2.000", "3.000", "b", "5.000"}));
    EXPECT_TRUE(set.Stations[0].Surfaces[0].Done);
}

TEST(ReasignCodes, StableByLeadingNumber) {
    CrossSectionSet set = SetBuilder({"R", "T", ""})
                              .LayerCodes(0, {"-3.500_2", "0.000", "-3.500", "12.250", "x", "-0,5"})
                              .LayerCodes(1, {"1.000"})
                              .LayerCodes(2, {"2.000", "1.000"})
                              .Build();
    ReasignCodes(set);
    // Equal values keep their order: -3.500_2 was listed before -3.500.
    EXPECT_EQ(set.Layers[0].Codes, (Strings{"-3.500_2", "-3.500", "-0,5", "0.000", "x", "12.250"}));
    EXPECT_EQ(set.Layers[2].Codes, (Strings{"2.000", "1.000"})) << "a layer without name";
}

TEST(SetDefaultCodes, OnlyTheLayersOutsideTheSelection) {
    CrossSectionSet set = SetBuilder({"Taludes", "Rasante"})
                              .Station(0)
                              .Surface(0, {{-4}, {4, 0, "keep"}})
                              .Surface(1, {{1}})
                              .Build();
    SetDefaultCodes(set, "$Rasante$");
    EXPECT_EQ(Codes(set.Stations[0].Surfaces[0].Points), (Strings{"-4.000", "keep"}));
    EXPECT_EQ(Codes(set.Stations[0].Surfaces[1].Points), (Strings{""}));
    SetDefaultCodes(set, ""); // every layer is ruled: no default codes
    EXPECT_EQ(Codes(set.Stations[0].Surfaces[1].Points), (Strings{""}));
    SetDefaultCodes(set, "__None__");
    EXPECT_EQ(Codes(set.Stations[0].Surfaces[1].Points), (Strings{"1.000"}));
}

TEST(ApplyRules, SelectionProgressAndCodesInOrder) {
    StoreWithVerticalAlignment();
    CrossSectionSet set = SetBuilder({"Taludes", "Rasante"})
                              .LayerCodes(0, {"-8.000"})
                              .LayerCodes(1, {"3.500", "-3.500"})
                              .Station(0)
                              .Surface(0, {{-8, 0, "-8.000"}})
                              .Surface(1, {{-3.5, 0, "-3.500"}, {3.5, 0, "3.500"}})
                              .Station(10)
                              .Surface(0, {{-8.5}})
                              .Surface(1, {{-3.5}, {0}, {3.5}})
                              .Station(20)
                              .Surface(1, {{-3.5}, {3.5}})
                              .Build();
    RecordingProgress progress;
    ASSERT_TRUE(ApplyRules(set, "$Rasante$", progress, true));
    EXPECT_EQ(progress.Steps, 2);
    EXPECT_EQ(progress.Captions, (Strings{"T_EXPORTING_CR"})) << "the step's own title";
    EXPECT_EQ(Codes(set.Stations[1].Surfaces[0].Points), (Strings{""})) << "Taludes not ruled";
    EXPECT_EQ(Codes(set.Stations[1].Surfaces[1].Points), (Strings{"-3.500", "0.000", "3.500"}));
    EXPECT_EQ(Codes(set.Stations[2].Surfaces[0].Points), (Strings{"-3.500", "3.500"}));
    EXPECT_EQ(set.Layers[1].Codes, (Strings{"-3.500", "0.000", "3.500"}));
}

TEST(ApplyRules, NeedsTheVerticalAlignment) {
    RecordingUi ui;
    ResetAlignments();
    CrossSectionSet set = SetBuilder({"R"}).Station(0).Surface(0, {{1}}).Build();
    NullProgress progress;
    EXPECT_FALSE(ApplyRules(set, "", progress, false));
    ASSERT_EQ(ui.Messages.size(), 0u) << "an assertion is not shown outside debug mode";
}
