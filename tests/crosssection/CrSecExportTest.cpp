// The export of coded cross sections: golden documents of a small
// hand-checked road in both flavours, the chainage range, uncoded points, the
// selection, cancel, and the connections on the sample road.
#include "CrSecExport.h"

#include "CrListing.h"
#include "CrSec.h"
#include "CrSecBuilder.h"
#include "CrSecSet.h"
#include "ErrHandler.h"
#include "LandXmlAlignment.h"
#include "LandXmlCrossSections.h"

#include "../landxml/LandXmlFixture.h"

#include <pugixml.hpp>

#include <functional>
#include <map>
#include <set>

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
    CrossSectionSet set;
    set.Layers = {{"Taludes", {}}, {"Rasante", {}}};
    AddStation(set, 100,
               std::vector<CrListPoints>{{{-8, 9, ""}, {8, 9, ""}},
                                         {{-3.5, 10, ""}, {0, 10.07, ""}, {3.5, 10, ""}}});
    AddStation(set, 110,
               std::vector<CrListPoints>{
                   {{-8.2, 9.1, ""}, {8, 9.1, ""}},
                   {{-3.5, 10.2, ""}, {0, 10.27, ""}, {1, 10.25, ""}, {3.5, 10.2, ""}}});
    AddStation(set, 120,
               std::vector<CrListPoints>{{}, {{-3.5, 10.4, ""}, {0, 10.47, ""}, {3.5, 10.4, ""}}});
    return set;
}

class CrossSectionExport : public LandXmlFixture {
  protected:
    void SetUp() override {
        LandXmlFixture::SetUp();
        StoreWithVerticalAlignment();
    }

    // A valid document with one alignment; `crossSections` writes inside it.
    std::string Write(const std::function<void()> &crossSections) {
        SetOutputFile(out.string());
        BeginDocument();
        HzAlignment hz = MakeOneBased<HzElement>(2);
        hz[1] = HzElement{1, 100, 1000, 2000, 0, 0, 0, 20, 0, {}};
        hz[2] = HzElement{2, 120, 1000, 2020, 0, 0, 0, 0, 0, {}};
        double a = 0, b = 0;
        EXPECT_TRUE(TagAlignments(false) && TagAlignment(false, "Eje", 100, 120) &&
                    TagCoordGeom(false) && TagCoordGeomRegular(hz, kNullValue, kNullValue, a, b) &&
                    TagCoordGeom(true));
        crossSections();
        EXPECT_TRUE(TagAlignment(true) && TagAlignments(true));
        const std::string bytes = FinishDocument();
        EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
        return bytes;
    }

    // The cross sections of the set, ruled first unless `rules` is false; the
    // export's result is kept in `exported`.
    std::string Document(CrossSectionSet set, const std::string &selection = "", double start = 0,
                         double end = 0, bool rules = true) {
        return Write([&] {
            NullProgress progress;
            if (rules) {
                SetDefaultCodes(set, selection);
                EXPECT_TRUE(ApplyRules(set, selection, progress, false));
            }
            exported = Export2LandXML(first, last, set, selection, start, end, progress, false);
        });
    }

    // Per station: layer -> the texts of its surface.
    struct Surface {
        std::string Points, Names, Continue, Interpolate, Link;
        bool Connections = false;
    };
    using Stations = std::vector<std::pair<double, std::map<std::string, Surface>>>;
    static Stations Parse(const std::string &bytes) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(bytes.c_str()));
        Stations stations;
        for (pugi::xpath_node s : doc.select_nodes("//CrossSect")) {
            auto &surfaces = stations
                                 .emplace_back(s.node().attribute("sta").as_double(),
                                               std::map<std::string, Surface>{})
                                 .second;
            for (pugi::xml_node surf : s.node().children("CrossSectSurf")) {
                Surface &out = surfaces[surf.attribute("name").value()];
                out.Points = surf.child_value("PntList2D");
                out.Names = surf.find_child_by_attribute("code", "SD Vertex Name").child_value();
                const pugi::xml_node c =
                    surf.find_child_by_attribute("code", "SD Vertex Connections");
                out.Connections = c;
                out.Continue =
                    c.find_child_by_attribute("code", "SD Vertex Continue").child_value();
                out.Interpolate =
                    c.find_child_by_attribute("code", "SD Vertex Interpolate").child_value();
                out.Link = c.find_child_by_attribute("code", "SD Vertex Link").child_value();
            }
        }
        return stations;
    }

    // Compares bytes with tests/crosssection/golden/<name>; with
    // VIALTO_UPDATE_GOLDEN set the golden file is rewritten instead.
    static void ExpectCrGolden(const std::string &name, const std::string &bytes) {
        const std::filesystem::path golden = SourcePath("tests/crosssection/golden/" + name);
        if (std::getenv("VIALTO_UPDATE_GOLDEN") != nullptr)
            return WriteFileBytes(golden, bytes);
        ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
        EXPECT_EQ(ReadFileBytes(golden), bytes) << "document differs from " << golden;
    }

    bool exported = false;
    double first = 0, last = 0;
};

} // namespace

TEST_F(CrossSectionExport, HandCheckedRoadInBothFlavours) {
    const std::string bytes = Document(SmallRoad());
    EXPECT_TRUE(exported);
    EXPECT_DOUBLE_EQ(first, 100);
    EXPECT_DOUBLE_EQ(last, 120);
    ExpectCrGolden("small_road_plain.xml", bytes);
    const Stations stations = Parse(bytes);
    ASSERT_EQ(stations.size(), 3u);
    EXPECT_EQ(stations[1].second.at("Rasante").Continue, "L0:1,C1:1,R3:1") << "R2:1 starts";
    const Surface &end = stations[2].second.at("Rasante");
    EXPECT_EQ(end.Continue, "L0:1,C1:1,R3:1,R2:1") << "the copy at 120 ends R2:1";
    EXPECT_EQ(end.Names, "L0:1,C1:1,R3:1") << "and is no vertex";
    EXPECT_TRUE(ui.Messages.empty());

    AppModel().IsOstXML = true;
    ExpectCrGolden("small_road_extended.xml", Document(SmallRoad()));
    EXPECT_TRUE(exported);
}

TEST_F(CrossSectionExport, ChainageRangeAndSelection) {
    const struct {
        double Start, End;
        std::vector<double> Stations; // none: nothing written
        std::string Selection = "";
    } cases[] = {
        {0, 0, {100, 110, 120}},
        {50, 500, {100, 110, 120}},
        {130, 140, {120}},
        {-9999999999999.0, 99999999999999.0, {100, 110, 120}},
        {100, 120, {100, 110, 120}}, // starting exactly at the first station keeps it
        // Each end takes the station in force there, also below the second
        // station, where the station search would answer 1.
        {105, 120, {100, 110, 120}},
        {115, 120, {110, 120}},
        {100, 115, {100, 110}},
        {100, 105, {100}},
        {50, 100, {100}},
        {110, 110, {110}},
        {120, 110, {}}, // a range that runs backwards holds no station
        {50, 90, {}},   // nor one that ends before the first station
        {0, 0, {100, 110, 120}, "$Rasante$"},
        {0, 0, {}, "__None__"}, // no layer chosen: nothing (the document stays valid)
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.Start) + " " + std::to_string(c.End) + " " + c.Selection);
        std::vector<double> written;
        for (const auto &[chainage, surfaces] :
             Parse(Document(SmallRoad(), c.Selection, c.Start, c.End))) {
            written.push_back(chainage);
            // Every station but station 0 has its connections, also the first of a range.
            EXPECT_EQ(surfaces.at("Rasante").Connections, chainage != 100) << chainage;
            EXPECT_EQ(surfaces.count("Taludes"), c.Selection.empty() && chainage < 120 ? 1u : 0u);
        }
        EXPECT_EQ(written, c.Stations);
        EXPECT_EQ(exported, !c.Stations.empty());
        if (exported) {
            EXPECT_DOUBLE_EQ(first, c.Stations.front());
            EXPECT_DOUBLE_EQ(last, c.Stations.back());
        }
    }
    const std::pair<double, std::size_t> indexAt[] = {{0, 1},   {100, 1}, {109.9, 1}, {110, 1},
                                                      {119, 1}, {120, 2}, {1e9, 2}};
    for (const auto &[chainage, index] : indexAt)
        EXPECT_EQ(StationIndexAt(SmallRoad(), chainage), index) << chainage;
}

TEST_F(CrossSectionExport, PointWithoutCodeIsWrittenAsNoCodeAndLogged) {
    const std::size_t logBefore =
        std::filesystem::exists(LogFilePath()) ? ReadFileBytes(LogFilePath()).size() : 0;
    CrossSectionSet set = SmallRoad();
    NullProgress progress;
    ASSERT_TRUE(ApplyRules(set, "", progress, false));
    set.Stations[1].Surfaces[1].Points[2].Code.clear(); // the point at 1
    const Stations stations = Parse(Document(set, "", 0, 0, false));
    ASSERT_EQ(stations.size(), 3u);
    const Surface &s1 = stations[1].second.at("Rasante");
    EXPECT_EQ(s1.Names, "L0:1,C1:1,NO_CODE,R3:1");
    EXPECT_EQ(s1.Points,
              "-3.500000 10.200000 0.000000 10.270000 1.000000 10.250000 3.500000 10.200000");
    EXPECT_EQ(stations[2].second.at("Rasante").Continue, "L0:1,C1:1,R3:1");
    EXPECT_NE(ReadFileBytes(LogFilePath())
                  .substr(logBefore)
                  .find("Msg Point without code in Export2LandXml function  Ch : 110.000\r\n"
                        " Offset: 1.000\r\n Height: 10.250"),
              std::string::npos);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(CrossSectionExport, InterpolateAndLinkOfMarkedPoints) {
    // Points marked as copies without being copies continue a line by
    // interpolation, or link to the line their name gives.
    CrossSectionSet set = SetBuilder({"R"})
                              .LayerCodes(0, {"1.000", "2.000"})
                              .Station(0)
                              .Surface(0, "1:1.000 2:2.000")
                              .Station(10)
                              .Surface(0, "1:1.000 1.5:1.000 2:2.000 2:2.000")
                              .Build();
    auto &points = set.Stations[1].Surfaces[0].Points;
    points[1].IsCopyMark = points[3].IsCopyMark = true;
    points[3].Name = "1.000";
    const Surface s = Parse(Document(set, "", 0, 0, false))[1].second.at("R");
    EXPECT_EQ(s.Names, "R0:0,R1:0");
    EXPECT_EQ(s.Points, "1.000000 0.000000 2.000000 0.000000");
    EXPECT_EQ(s.Interpolate, "R0:0,R0:0");
    EXPECT_EQ(s.Link, "1.000");
    EXPECT_EQ(s.Continue, "R0:0,R1:0");
}

TEST_F(CrossSectionExport, CancelBetweenTheRulesAndTheWriting) {
    CrossSectionSet set = SmallRoad(), again = SmallRoad(), third = SmallRoad();
    RecordingProgress cancelling(1); // the user presses Cancel while the rules run
    RecordingProgress patient;
    const std::string bytes = Write([&] {
        EXPECT_EQ(RuleAndExportCrossSections(set, "", 0, 0, cancelling, first, last),
                  CrExportResult::Cancelled);
        EXPECT_EQ(cancelling.Steps, 2) << "one step per station after station 0";
        EXPECT_EQ(RuleAndExportCrossSections(again, "", 0, 0, patient, first, last),
                  CrExportResult::Written);
    });
    EXPECT_EQ(Parse(bytes).size(), 3u) << "only the second export wrote";
    ResetAlignments(); // without the vertical alignment the rules fail
    EXPECT_EQ(RuleAndExportCrossSections(third, "", 0, 0, patient, first, last),
              CrExportResult::Failed);
}

TEST_F(CrossSectionExport, SampleRoadConnectionsAgreeWithTheNames) {
    CrossSectionSet set;
    ListingFailure failure;
    ASSERT_TRUE(ImportCrAligment(set, SourcePath("samples/cross/road.trv").string(), "", &failure))
        << failure.Text();
    const Stations stations = Parse(Document(set));
    ASSERT_TRUE(exported);
    ASSERT_EQ(stations.size(), 271u);
    const auto split = [](const std::string &text) {
        std::set<std::string> items;
        std::stringstream in(text);
        for (std::string item; std::getline(in, item, ',');)
            items.insert(item);
        return items;
    };
    for (std::size_t i = 1; i < stations.size(); ++i) {
        for (const auto &[layer, surface] : stations[i].second) {
            const auto previous = stations[i - 1].second.find(layer);
            ASSERT_NE(previous, stations[i - 1].second.end());
            const std::set<std::string> before = split(previous->second.Names);
            const std::set<std::string> continued = split(surface.Continue);
            for (const std::string &code : continued)
                EXPECT_TRUE(before.count(code)) << stations[i].first << " " << code;
            // A name that does not continue starts a line here.
            for (const std::string &code : split(surface.Names))
                EXPECT_EQ(continued.count(code), before.count(code))
                    << stations[i].first << " " << layer << " " << code;
        }
    }
}
