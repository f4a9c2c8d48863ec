// The export of coded cross sections: golden documents of a small
// hand-checked road in both flavours, the chainage range, uncoded points, the
// selection, cancel, and the connections on the sample road.
#include "CrSecExport.h"
#include "../landxml/LandXmlFixture.h"
#include "CrListing.h"
#include "CrSec.h"
#include "CrSecBuilder.h"
#include "CrSecSet.h"
#include "ErrHandler.h"
#include "LandXmlAlignment.h"
#include "LandXmlCrossSections.h"

#include <pugixml.hpp>

#include <map>
#include <set>

using namespace vialto;
using namespace vialto::test;

namespace {

// Compares bytes with tests/crosssection/golden/<name>; with
// VIALTO_UPDATE_GOLDEN set the golden file is rewritten instead.
void ExpectCrGolden(const std::string &name, const std::string &bytes) {
    const std::filesystem::path golden = SourcePath("tests/crosssection/golden/" + name);
    if (std::getenv("VIALTO_UPDATE_GOLDEN") != nullptr) {
        WriteFileBytes(golden, bytes);
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << golden;
    EXPECT_EQ(ReadFileBytes(golden), bytes) << "document differs from " << golden;
}

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

    // A document with one alignment whose cross sections are ruled and
    // exported; the result of the export is kept in `exported`.
    std::string Document(CrossSectionSet set, const std::string &selection = "", double start = 0,
                         double end = 0) {
        BeginDocument();
        HzAlignment hz = MakeOneBased<HzElement>(2);
        hz[1] = HzElement{1, 100, 1000, 2000, 0, 0, 0, 20, 0, {}};
        hz[2] = HzElement{2, 120, 1000, 2020, 0, 0, 0, 0, 0, {}};
        EXPECT_TRUE(TagAlignments(false));
        EXPECT_TRUE(TagAlignment(false, "Eje", 100, 120));
        double a = 0, b = 0;
        EXPECT_TRUE(TagCoordGeom(false));
        EXPECT_TRUE(TagCoordGeomRegular(hz, kNullValue, kNullValue, a, b));
        EXPECT_TRUE(TagCoordGeom(true));
        NullProgress progress;
        SetDefaultCodes(set, selection);
        EXPECT_TRUE(ApplyRules(set, selection, progress, false));
        exported = Export2LandXML(first, last, set, selection, start, end, progress, false);
        EXPECT_TRUE(TagAlignment(true));
        EXPECT_TRUE(TagAlignments(true));
        const std::string bytes = FinishDocument();
        EXPECT_EQ(ValidateLandXmlKnownForms(out), "");
        return bytes;
    }

    // Per station: layer -> (vertex names, continue list, has connections).
    struct Surface {
        std::string Names, Continue, Interpolate, Link, Points;
        bool Connections = false;
    };
    using Stations = std::vector<std::pair<double, std::map<std::string, Surface>>>;
    static Stations Parse(const std::string &bytes) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(bytes.c_str()));
        Stations stations;
        for (pugi::xpath_node s : doc.select_nodes("//CrossSect")) {
            auto &entry = stations.emplace_back(s.node().attribute("sta").as_double(),
                                                std::map<std::string, Surface>{});
            for (pugi::xml_node surf : s.node().children("CrossSectSurf")) {
                Surface &out = entry.second[surf.attribute("name").value()];
                out.Points = surf.child_value("PntList2D");
                for (pugi::xml_node f : surf.children("Feature")) {
                    const std::string code = f.attribute("code").value();
                    if (code == "SD Vertex Name")
                        out.Names = f.child_value();
                    if (code != "SD Vertex Connections")
                        continue;
                    out.Connections = true;
                    for (pugi::xml_node c : f.children("Feature")) {
                        const std::string kind = c.attribute("code").value();
                        (kind == "SD Vertex Continue"      ? out.Continue
                         : kind == "SD Vertex Interpolate" ? out.Interpolate
                                                           : out.Link) = c.child_value();
                    }
                }
            }
        }
        return stations;
    }

    bool exported = false;
    double first = 0, last = 0;
};

} // namespace

TEST_F(CrossSectionExport, HandCheckedRoadStandardFlavour) {
    const std::string bytes = Document(SmallRoad());
    EXPECT_TRUE(exported);
    EXPECT_DOUBLE_EQ(first, 100);
    EXPECT_DOUBLE_EQ(last, 120);
    ExpectCrGolden("small_road_plain.xml", bytes);

    const Stations stations = Parse(bytes);
    ASSERT_EQ(stations.size(), 3u);
    const auto &s0 = stations[0].second;
    EXPECT_EQ(s0.at("Taludes").Names, "L0:0,R1:0");
    EXPECT_EQ(s0.at("Rasante").Names, "L0:1,C1:1,R3:1");
    EXPECT_FALSE(s0.at("Rasante").Connections) << "station 0 has no predecessor";
    const auto &s1 = stations[1].second;
    EXPECT_EQ(s1.at("Taludes").Continue, "L0:0,R1:0");
    EXPECT_EQ(s1.at("Rasante").Names, "L0:1,C1:1,R2:1,R3:1");
    EXPECT_EQ(s1.at("Rasante").Continue, "L0:1,C1:1,R3:1") << "R2:1 starts here";
    const auto &s2 = stations[2].second;
    EXPECT_EQ(s2.count("Taludes"), 0u);
    EXPECT_EQ(s2.at("Rasante").Names, "L0:1,C1:1,R3:1");
    EXPECT_EQ(s2.at("Rasante").Points, "-3.500000 10.400000 0.000000 10.470000 3.500000 10.400000")
        << "the copy that ends R2:1 is no vertex";
    EXPECT_EQ(s2.at("Rasante").Continue, "L0:1,C1:1,R3:1,R2:1");
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(CrossSectionExport, HandCheckedRoadExtendedFlavour) {
    AppModel().IsOstXML = true;
    const std::string bytes = Document(SmallRoad());
    EXPECT_TRUE(exported);
    ExpectCrGolden("small_road_extended.xml", bytes);
    const std::size_t root = bytes.find("<OstremLandXML");
    EXPECT_EQ(bytes.substr(0, root).find("SD"), std::string::npos);
    EXPECT_NE(bytes.find("<SDVertexContinue>L0:1,C1:1,R3:1,R2:1</SDVertexContinue>", root),
              std::string::npos);
}

TEST_F(CrossSectionExport, ChainageRange) {
    struct Case {
        double start, end;
        bool written;
        std::vector<double> stations;
    };
    const Case cases[] = {
        {0, 0, true, {100, 110, 120}},
        {100, 120, true, {100, 110, 120}}, // starting exactly at the first station keeps it
        {50, 500, true, {100, 110, 120}},
        {-9999999999999.0, 99999999999999.0, true, {100, 110, 120}},
        // Each end takes the station in force there, also below the second
        // station, where the station search would answer 1.
        {105, 120, true, {100, 110, 120}},
        {115, 120, true, {110, 120}},
        {100, 115, true, {100, 110}},
        {100, 105, true, {100}},
        {50, 100, true, {100}},
        {110, 110, true, {110}},
        {130, 140, true, {120}},
        {120, 110, false, {}}, // a range that runs backwards holds no station
        {50, 90, false, {}},   // nor one that ends before the first station
    };
    for (const Case &c : cases) {
        SetOutputFile(out.string());
        const Stations stations = Parse(Document(SmallRoad(), "", c.start, c.end));
        EXPECT_EQ(exported, c.written) << c.start << " " << c.end;
        std::vector<double> written;
        for (const auto &[chainage, surfaces] : stations) {
            written.push_back(chainage);
            // Every station but station 0 has its connections, also the first
            // of a range.
            EXPECT_EQ(surfaces.at("Rasante").Connections, chainage != 100) << chainage;
        }
        EXPECT_EQ(written, c.stations) << c.start << " " << c.end;
        if (c.written) {
            EXPECT_DOUBLE_EQ(first, c.stations.front());
            EXPECT_DOUBLE_EQ(last, c.stations.back());
        }
    }
}

TEST_F(CrossSectionExport, StationIndexAt) {
    const CrossSectionSet set = SmallRoad();
    const std::pair<double, std::size_t> cases[] = {{0, 1},   {100, 1}, {109.9, 1}, {110, 1},
                                                    {119, 1}, {120, 2}, {1e9, 2}};
    for (const auto &[chainage, index] : cases)
        EXPECT_EQ(StationIndexAt(set, chainage), index) << chainage;
}

TEST_F(CrossSectionExport, PointWithoutCodeIsWrittenAsNoCodeAndLogged) {
    const auto logSize = [] {
        return std::filesystem::exists(LogFilePath()) ? ReadFileBytes(LogFilePath()).size() : 0;
    };
    const std::size_t before = logSize();
    CrossSectionSet set = SmallRoad();
    NullProgress progress;
    ASSERT_TRUE(ApplyRules(set, "", progress, false));
    set.Stations[1].Surfaces[1].Points[2].Code.clear(); // the point at 1
    BeginDocument();
    EXPECT_TRUE(TagAlignments(false));
    EXPECT_TRUE(Export2LandXML(first, last, set, "", 0, 0, progress, false));
    EXPECT_TRUE(TagAlignments(true));
    const Stations stations = Parse(FinishDocument());
    ASSERT_EQ(stations.size(), 3u);
    const Surface &s1 = stations[1].second.at("Rasante");
    EXPECT_EQ(s1.Names, "L0:1,C1:1,NO_CODE,R3:1");
    EXPECT_EQ(s1.Points,
              "-3.500000 10.200000 0.000000 10.270000 1.000000 10.250000 3.500000 10.200000");
    EXPECT_EQ(stations[2].second.at("Rasante").Continue, "L0:1,C1:1,R3:1");
    const std::string log = ReadFileBytes(LogFilePath()).substr(before);
    EXPECT_NE(log.find("Msg Point without code in Export2LandXml function  Ch : 110.000\r\n"
                       " Offset: 1.000\r\n Height: 10.250"),
              std::string::npos)
        << log;
    EXPECT_TRUE(ui.Messages.empty());
}

TEST_F(CrossSectionExport, OnlyTheSelectedLayers) {
    Stations stations = Parse(Document(SmallRoad(), "$Rasante$"));
    ASSERT_EQ(stations.size(), 3u);
    for (const auto &[chainage, surfaces] : stations)
        EXPECT_EQ(surfaces.count("Taludes"), 0u) << chainage;

    // No layer chosen: nothing is written (the alignment stays valid).
    SetOutputFile(out.string());
    const std::string bytes = Document(SmallRoad(), "__None__");
    EXPECT_FALSE(exported);
    EXPECT_EQ(bytes.find("<CrossSects"), std::string::npos);
}

TEST_F(CrossSectionExport, InterpolateAndLinkOfMarkedPoints) {
    // Points marked as copies without being copies continue a line by
    // interpolation, or link to the line their name gives.
    CrossSectionSet set =
        SetBuilder({"R"})
            .LayerCodes(0, {"1.000", "2.000"})
            .Station(0)
            .Surface(0, {{1, 0, "1.000"}, {2, 0, "2.000"}})
            .Station(10)
            .Surface(0, {{1, 0, "1.000"}, {1.5, 0, "1.000"}, {2, 0, "2.000"}, {2, 0, "2.000"}})
            .Build();
    auto &points = set.Stations[1].Surfaces[0].Points;
    points[1].IsCopyMark = true;
    points[3].IsCopyMark = true;
    points[3].Name = "1.000";
    BeginDocument();
    EXPECT_TRUE(TagAlignments(false));
    NullProgress progress;
    EXPECT_TRUE(Export2LandXML(first, last, set, "", 0, 0, progress, false));
    EXPECT_TRUE(TagAlignments(true));
    const Surface s = Parse(FinishDocument())[1].second.at("R");
    EXPECT_EQ(s.Names, "R0:0,R1:0");
    EXPECT_EQ(s.Points, "1.000000 0.000000 2.000000 0.000000");
    EXPECT_EQ(s.Interpolate, "R0:0,R0:0");
    EXPECT_EQ(s.Link, "1.000");
    EXPECT_EQ(s.Continue, "R0:0,R1:0");
}

TEST_F(CrossSectionExport, CancelBetweenTheRulesAndTheWriting) {
    BeginDocument();
    CrossSectionSet set = SmallRoad();
    RecordingProgress cancelling(1); // the user presses Cancel while the rules run
    EXPECT_EQ(RuleAndExportCrossSections(set, "", 0, 0, cancelling, first, last),
              CrExportResult::Cancelled);
    EXPECT_EQ(cancelling.Steps, 2) << "one step per station after station 0";
    CrossSectionSet again = SmallRoad();
    RecordingProgress patient;
    EXPECT_TRUE(TagAlignments(false));
    EXPECT_EQ(RuleAndExportCrossSections(again, "", 0, 0, patient, first, last),
              CrExportResult::Written);
    EXPECT_TRUE(TagAlignments(true));
    const std::string bytes = FinishDocument();
    EXPECT_EQ(Parse(bytes).size(), 3u) << "only the second export wrote cross sections";

    ResetAlignments(); // without the vertical alignment the rules fail
    CrossSectionSet third = SmallRoad();
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
    auto split = [](const std::string &text) {
        std::set<std::string> items;
        std::size_t from = 0;
        while (from <= text.size() && !text.empty()) {
            const std::size_t comma = text.find(',', from);
            items.insert(text.substr(from, comma - from));
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
        return items;
    };
    for (std::size_t i = 1; i < stations.size(); ++i) {
        for (const auto &[layer, surface] : stations[i].second) {
            const auto previous = stations[i - 1].second.find(layer);
            ASSERT_NE(previous, stations[i - 1].second.end());
            const std::set<std::string> before = split(previous->second.Names);
            const std::set<std::string> names = split(surface.Names);
            for (const std::string &code : split(surface.Continue))
                EXPECT_TRUE(before.count(code)) << stations[i].first << " " << code;
            // A name that does not continue starts a line here.
            for (const std::string &code : names)
                EXPECT_EQ(split(surface.Continue).count(code), before.count(code))
                    << stations[i].first << " " << layer << " " << code;
        }
    }
}
