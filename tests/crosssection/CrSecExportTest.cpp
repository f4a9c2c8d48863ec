// The export of coded cross sections: golden documents of a small
// hand-checked road in both flavours, the chainage range, uncoded points,
// marked points, and cancel.
#include "crosssection/CrSecExport.h"

#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "shell/ErrHandler.h"

#include "landxml/LandXmlFixture.h"

#include <pugixml.hpp>

#include <sstream>

using namespace vialto;
using namespace vialto::test;

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
        {-9999999999999.0, 99999999999999.0, {100, 110, 120}},
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
            EXPECT_DOUBLE_EQ(first, c.Stations.front());
            EXPECT_DOUBLE_EQ(last, c.Stations.back());
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

TEST_F(CrossSectionExport, CancelBetweenTheRulesAndTheWriting) {
    CrossSectionSet set = SmallRoad(), again = SmallRoad(), third = SmallRoad();
    RecordingProgress cancelling(1); // the user presses Cancel while the rules run
    RecordingProgress patient;
    const std::string bytes = WriteStraight(100, 120, [&] {
        EXPECT_EQ(RuleAndExportCrossSections(set, "", 0, 0, cancelling, first, last),
                  CrExportResult::Cancelled);
        EXPECT_EQ(cancelling.Steps, 2) << "one step per station after station 0";
        EXPECT_EQ(RuleAndExportCrossSections(again, "", 0, 0, patient, first, last),
                  CrExportResult::Written);
    });
    EXPECT_EQ(Select(bytes, "//CrossSect").size(), 3u) << "only the second export wrote";
    ResetAlignments(); // without the vertical alignment the rules fail
    EXPECT_EQ(RuleAndExportCrossSections(third, "", 0, 0, patient, first, last),
              CrExportResult::Failed);
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
