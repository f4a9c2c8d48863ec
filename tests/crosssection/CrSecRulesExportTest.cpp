// Coded cross sections: the naming rules on small hand-checked sections, the
// driver, and the export, with golden documents of a small hand-checked road.
#include "crosssection/CrSecExport.h"
#include "crosssection/CrSecRules.h"

#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "shell/ErrHandler.h"

#include "landxml/LandXmlFixture.h"

#include <pugixml.hpp>

#include <sstream>

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
    for (const auto &c : cases) // This at 10 follows Last at 0
        EXPECT_EQ(Apply(c.Kind, {{0, c.Last}, {10, c.Now}}), c.Codes) << c.Name;
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

namespace {

// Three stations, checked by hand:
//   100: Taludes -8, 8            Rasante -3.5, 0, 3.5
//   110: Taludes -8.2, 8          Rasante -3.5, 0, 1 (a line of one station), 3.5
//   120:                          Rasante -3.5, 0, 3.5
// Sorted codes: Taludes -8.000 8.000 (L0:0 R1:0); Rasante -3.500 0.000
// 1.000 3.500 (L0:1 C1:1 R2:1 R3:1). The line at 1 starts at 110 and gets a
// copy at 120 that ends it.
CrossSectionSet SmallRoad() {
    return Sections({{"Taludes", {"-8.000", "8.000"}}, {"Rasante", {"-3.500", "0.000", "3.500"}}},
                    {{100, {"-8,9:-8.000 8,9:8.000", "-3.5,10:-3.500 0,10.07:0.000 3.5,10:3.500"}},
                     {110, {"-8.2,9.1 8,9.1", "-3.5,10.2 0,10.27 1,10.25 3.5,10.2"}},
                     {120, {"", "-3.5,10.4 0,10.47 3.5,10.4"}}});
}

class CrossSectionExport : public LandXmlFixture {
  protected:
    void SetUp() override {
        LandXmlFixture::SetUp();
        StoreWithVerticalAlignment();
    }

    // The cross sections of the set, ruled first unless `rules` is false; the
    // export's result is kept in `exported`.
    std::string Document(CrossSectionSet set, const std::string &selection = "", double start = 0,
                         double end = 0, bool rules = true) {
        return WriteStraight(100, 120, [&] {
            NullProgress progress;
            if (rules) {
                SetDefaultCodes(set, selection);
                EXPECT_TRUE(ApplyRules(set, selection, progress, false));
            }
            exported = Export2LandXML(first, last, set, selection, start, end, progress, false);
        });
    }

    // The nodes at `xpath`, each printed on one line without indentation
    // (an attribute as its value).
    static std::vector<std::string> Select(const std::string &bytes, const std::string &xpath) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(bytes.c_str()));
        std::vector<std::string> found;
        for (pugi::xpath_node n : doc.select_nodes(xpath.c_str())) {
            std::ostringstream text;
            if (n.attribute())
                text << n.attribute().value();
            else
                n.node().print(text, "", pugi::format_raw);
            found.push_back(text.str());
        }
        return found;
    }

    bool exported = false;
    double first = 0, last = 0;
};

} // namespace

TEST_F(CrossSectionExport, HandCheckedRoadInBothFlavours) {
    for (const bool extended : {false, true}) {
        AppModel().IsOstXML = extended;
        ExpectGolden(extended ? "small_road_extended.xml" : "small_road_plain.xml",
                     Document(SmallRoad()), "tests/crosssection/golden/");
    }
}

TEST_F(CrossSectionExport, ChainageRangeAndSelection) {
    const struct {
        double Start, End;
        std::vector<double> Stations; // none: nothing written
        std::string Selection = "";
    } cases[] = {
        {0, 0, {100, 110, 120}},
        {130, 140, {120}},
        {100, 120, {100, 110, 120}}, // starting exactly at the first station keeps it
        // Each end takes the station in force there, also below the second
        // station, where the station search would answer 1.
        {105, 120, {100, 110, 120}},
        {115, 120, {110, 120}},
        {100, 115, {100, 110}},
        {110, 110, {110}},
        {120, 110, {}}, // a range that runs backwards holds no station
        {50, 90, {}},   // nor one that ends before the first station
        {0, 0, {100, 110, 120}, "$Rasante$"},
        {0, 0, {}, "__None__"}, // no layer chosen: nothing (the document stays valid)
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.Start) + " " + std::to_string(c.End) + " " + c.Selection);
        const std::string bytes = Document(SmallRoad(), c.Selection, c.Start, c.End);
        std::vector<std::string> all, connected, sloped;
        for (const double chainage : c.Stations) {
            all.push_back(std::to_string(chainage));
            // Every station but station 0 has its connections, also the first of a range.
            if (chainage != 100)
                connected.push_back(all.back());
            if (c.Selection.empty() && chainage < 120)
                sloped.push_back(all.back());
        }
        EXPECT_EQ(Select(bytes, "//CrossSect/@sta"), all);
        EXPECT_EQ(Select(bytes, "//CrossSect[CrossSectSurf[@name='Rasante']/"
                                "Feature[@code='SD Vertex Connections']]/@sta"),
                  connected);
        EXPECT_EQ(Select(bytes, "//CrossSect[CrossSectSurf[@name='Taludes']]/@sta"), sloped);
        EXPECT_EQ(exported, !c.Stations.empty());
        if (exported) {
            EXPECT_EQ(std::pair(first, last), std::pair(c.Stations.front(), c.Stations.back()));
        }
    }
}

TEST_F(CrossSectionExport, PointWithoutCodeIsWrittenAsNoCodeAndLogged) {
    const std::size_t logBefore =
        std::filesystem::exists(LogFilePath()) ? ReadFileBytes(LogFilePath()).size() : 0;
    CrossSectionSet set = SmallRoad();
    NullProgress progress;
    ASSERT_TRUE(ApplyRules(set, "", progress, false));
    set.Stations[1].Surfaces[1].Points[2].Code = std::string_view(); // the point at 1
    const std::string bytes = Document(set, "", 0, 0, false);
    // The point is written, named NO_CODE, and no line goes through it.
    EXPECT_EQ(Select(bytes, "//CrossSect[@sta='110.000000']/CrossSectSurf[@name='Rasante']/"
                            "Feature[@code='SD Vertex Name']"),
              std::vector<std::string>{
                  "<Feature code=\"SD Vertex Name\">L0:1,C1:1,NO_CODE,R3:1</Feature>"});
    EXPECT_EQ(
        Select(bytes, "//CrossSectSurf[@name='Rasante']//Feature[@code='SD Vertex Continue']"),
        std::vector<std::string>(2,
                                 "<Feature code=\"SD Vertex Continue\">L0:1,C1:1,R3:1</Feature>"));
    EXPECT_NE(ReadFileBytes(LogFilePath())
                  .substr(logBefore)
                  .find("Msg Point without code in Export2LandXml function  Ch : 110.000\r\n"
                        " Offset: 1.000\r\n Height: 10.250"),
              std::string::npos);
}

TEST_F(CrossSectionExport, InterpolateAndLinkOfMarkedPoints) {
    // Points marked as copies without being copies continue a line by
    // interpolation, or link to the line their name gives.
    CrossSectionSet set =
        Sections({{"R", {"1.000", "2.000"}}},
                 {{0, {"1:1.000 2:2.000"}}, {10, {"1:1.000 1.5:1.000 2:2.000 2:2.000"}}});
    auto &points = set.Stations[1].Surfaces[0].Points;
    points[1].IsCopyMark = points[3].IsCopyMark = true;
    points[3].Name = "1.000";
    EXPECT_EQ(Select(Document(set, "", 0, 0, false), "//CrossSect[@sta='10.000000']/*"),
              std::vector<std::string>{
                  "<CrossSectSurf name=\"R\"><PntList2D>1.000000 0.000000 2.000000 "
                  "0.000000</PntList2D><Feature code=\"SD Vertex Name\">R0:0,R1:0</Feature>"
                  "<Feature code=\"SD Vertex Connections\"><Feature code=\"SD Vertex "
                  "Interpolate\">R0:0,R0:0</Feature><Feature code=\"SD Vertex "
                  "Link\">1.000</Feature><Feature code=\"SD Vertex "
                  "Continue\">R0:0,R1:0</Feature></Feature></CrossSectSurf>"});
}

TEST_F(CrossSectionExport, LinesContinueWhereTheFinalCodesAgree) {
    // Codes outside the layer's list end as the side's "-1" code, so two
    // different rule codes on one side carry one line on; a copy carries
    // nothing on. A range that starts after the first station compares with
    // that station's codes as the rules left them, never final ones.
    const CrossSectionSet set =
        Sections({{"R", {"1.000", "2.000"}}},
                 {{0, {"1:1.000 2:X 3:7 4:2.000*"}}, {10, {"1:1.000 2:Y 3:8 4:2.000 5:-5"}}});
    const struct {
        double Start;
        std::vector<std::string> Continued;
    } cases[] = {{0, {"<Feature code=\"SD Vertex Continue\">R0:0,C-1:0,R-1:0</Feature>"}},
                 {10, {}}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Start);
        const std::string bytes = Document(set, "", c.Start, c.Start, false);
        EXPECT_EQ(Select(bytes, "//CrossSect[@sta='10.000000']//Feature[@code='SD Vertex Name']"),
                  std::vector<std::string>{
                      "<Feature code=\"SD Vertex Name\">R0:0,C-1:0,R-1:0,R1:0,L-1:0</Feature>"});
        EXPECT_EQ(
            Select(bytes, "//CrossSect[@sta='10.000000']//Feature[@code='SD Vertex Continue']"),
            c.Continued);
    }
}

namespace {

// What the rules change in a set: the layers' codes, each surface's state,
// and its points (added copies; codes, names and copy flags).
std::string Dump(const CrossSectionSet &set) {
    std::string text;
    for (const CrSecLayer &layer : set.Layers)
        text += layer.Name + ::testing::PrintToString(layer.Codes) + "\n";
    for (const CrossSection &station : set.Stations)
        for (const CrSecSurface &s : station.Surfaces) {
            text += std::to_string(station.Chainage) + " " + std::to_string(s.Layer) +
                    std::to_string(s.Done) + ": " + CodesOf(s.Points) + " / " +
                    CodesOf(s.Points, true);
            for (const CrSecPoint &p : s.Points)
                text += std::to_string(p.IsCopy) + std::to_string(p.IsCopyMark);
            text += "\n";
        }
    return text;
}

} // namespace

// The stored set is ruled and written in place of a copy: the documents are
// those of a copy, export after export, and the store keeps the set as it was
// imported, also when the rules fail after the default codes were given.
TEST_F(CrossSectionExport, StoredSetWritesAsACopyAndComesBackUnchanged) {
    NullProgress progress;
    for (const std::string selection : {"", "$Rasante$"}) {
        StoreWithVerticalAlignment();
        CrossSectionSet copy = SmallRoad();
        const std::string expected = WriteStraight(100, 120, [&] {
            EXPECT_EQ(RuleAndExportCrossSections(copy, selection, 0, 0, progress, first, last),
                      CrExportResult::Written);
        });
        SetAligmentCr(1, SmallRoad());
        for (int pass = 0; pass < 2; ++pass) {
            const std::string bytes = WriteStraight(100, 120, [&] {
                EXPECT_EQ(
                    RuleAndExportStoredCrossSections(1, selection, 0, 0, progress, first, last),
                    CrExportResult::Written);
            });
            EXPECT_EQ(bytes, expected) << "selection " << selection << ", export " << pass;
            EXPECT_EQ(Dump(ViewAligmentCr(1)), Dump(SmallRoad()));
        }
        ResetAlignments();
        AddAlignment(); // no vertical alignment: the rules fail
        SetAligmentCr(1, SmallRoad());
        EXPECT_EQ(RuleAndExportStoredCrossSections(1, selection, 0, 0, progress, first, last),
                  CrExportResult::Failed);
        EXPECT_EQ(Dump(ViewAligmentCr(1)), Dump(SmallRoad()));
    }
}
