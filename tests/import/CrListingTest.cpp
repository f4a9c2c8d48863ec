// The cross-section listing in its four forms: the samples of one road agree
// with each other and with the template they were made from; the framing
// rules; bad input fails with a reason and its place.
#include "CrListing.h"
#include "ListingText.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

using namespace vialto;
using namespace vialto::test;

namespace {

// Points of one layer at one station, as (offset, height).
using LayerPoints = std::vector<std::pair<double, double>>;
// chainage -> layer name -> points
using StationMap = std::map<double, std::map<std::string, LayerPoints>>;

StationMap ByLayerName(const CrossSectionSet &set,
                       const std::map<std::string, std::string> &rename = {}) {
    StationMap map;
    for (const CrossSection &station : set.Stations) {
        auto &layers = map[station.Chainage];
        for (const CrSecSurface &surface : station.Surfaces) {
            std::string name = set.Layers.at(surface.Layer).Name;
            if (rename.count(name))
                name = rename.at(name);
            EXPECT_EQ(layers.count(name), 0u) << "two surfaces of " << name;
            for (const CrSecPoint &p : surface.Points)
                layers[name].emplace_back(p.Offset, p.Height);
        }
    }
    return map;
}

// The template the samples were written from (samples/cross/make_cross.py).
StationMap KnownRoad() {
    StationMap map;
    std::ifstream in(SourcePath("samples/cross/road_cr_known.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        double chainage, offset, height;
        std::string layer, feature;
        fields >> chainage >> layer >> feature >> offset >> height;
        map[chainage][layer].emplace_back(offset, height);
    }
    return map;
}

void ExpectSameStations(const StationMap &actual, const StationMap &expected,
                        const std::string &form) {
    ASSERT_EQ(actual.size(), expected.size()) << form;
    for (auto a = actual.begin(), e = expected.begin(); a != actual.end(); ++a, ++e) {
        ASSERT_NEAR(a->first, e->first, kPositionTol) << form;
        ASSERT_EQ(a->second.size(), e->second.size()) << form << " at " << a->first;
        for (const auto &[layer, points] : e->second) {
            ASSERT_TRUE(a->second.count(layer)) << form << " at " << a->first << " " << layer;
            const LayerPoints &got = a->second.at(layer);
            ASSERT_EQ(got.size(), points.size()) << form << " at " << a->first << " " << layer;
            for (std::size_t k = 0; k < points.size(); ++k) {
                EXPECT_NEAR(got[k].first, points[k].first, kPositionTol);
                EXPECT_NEAR(got[k].second, points[k].second, kPositionTol);
            }
        }
    }
}

CrossSectionSet Read(std::string_view text, std::string_view extension, bool expectOk = true,
                     ListingFailure *failure = nullptr) {
    CrossSectionSet set;
    EXPECT_EQ(ReadCrListing(text, extension, set, failure, "test." + std::string(extension)),
              expectOk)
        << (failure ? failure->Text() : "");
    return set;
}

std::vector<std::string> LayerNames(const CrossSectionSet &set) {
    std::vector<std::string> names;
    for (const CrSecLayer &layer : set.Layers)
        names.push_back(layer.Name);
    return names;
}

} // namespace

TEST(CrListingSamples, EveryFormGivesTheTemplate) {
    RecordingUi ui;
    const StationMap known = KnownRoad();
    ASSERT_EQ(known.size(), 271u);
    struct Form {
        const char *file;
        std::map<std::string, std::string> rename;
        std::vector<std::string> layers;
    };
    const std::vector<std::string> fixed{"Taludes", "Cunetas", "Subrasante", "Rasante"};
    const Form forms[] = {
        {"road.trv", {}, fixed},
        {"road.trv2", {{"Plataforma", "Rasante"}}, {"Taludes", "Subrasante", "Plataforma"}},
        {"road_cr.rtf", {}, fixed},
        {"road_cr.txt", {}, fixed},
    };
    for (const Form &form : forms) {
        CrossSectionSet set;
        ListingFailure failure;
        ASSERT_TRUE(ImportCrAligment(
            set, SourcePath("samples/cross/" + std::string(form.file)).string(), "", &failure))
            << failure.Text();
        EXPECT_EQ(LayerNames(set), form.layers) << form.file;
        ExpectSameStations(ByLayerName(set, form.rename), known, form.file);
    }
    EXPECT_TRUE(ui.Messages.empty());
    std::vector<std::string> names;
    EXPECT_TRUE(GetTrv2Layers(SourcePath("samples/cross/road.trv2").string(), names));
    EXPECT_EQ(names, (std::vector<std::string>{"Taludes", "Subrasante", "Plataforma"}));
}

TEST(CrListingTrv, FamiliesSkippedSectionsAndRepeatedPoints) {
    const std::string text = "*TRV\r\nignored\r\n"
                             "0E,3\r\n1,2,P\r\n3,4,P\r\n5,6,P\r\n" // skipped
                             "100.5,7\r\n"
                             "-8,10,C1\r\n" // ditch code: family 0 (Taludes)
                             "-7,9,D1\r\n"
                             "-7,9,D1\r\n" // repeated: dropped
                             "-3.5,10.5,P\r\n"
                             "2,10.4,MU\r\n"      // subgrade
                             "9,9,X\r\n"          // no family: dropped
                             "\r\n"               // empty: repeats the line before
                             "200,1\r\n9,9,X\r\n" // only unknown codes: no station
                             "FIN\r\n300,1\r\n1,1,P\r\n";
    const CrossSectionSet set = Read(text, "TRV");
    ASSERT_EQ(set.Stations.size(), 1u);
    const CrossSection &s = set.Stations[0];
    EXPECT_DOUBLE_EQ(s.Chainage, 100.5);
    ASSERT_EQ(s.Surfaces.size(), 3u);
    EXPECT_EQ(s.Surfaces[0].Layer, 0);
    EXPECT_EQ(s.Surfaces[0].Points.size(), 2u);
    EXPECT_EQ(s.Surfaces[1].Layer, 2);
    EXPECT_EQ(s.Surfaces[2].Layer, 3);
}

TEST(CrListingTrv, FormChosenByExtensionAndFirstLine) {
    RecordingUi ui;
    const std::string trv = "*TRV\r\nx\r\n10,1\r\n1,2,P\r\n";
    EXPECT_EQ(Read(trv, "TRV").Stations.size(), 1u);
    EXPECT_EQ(Read(trv, "TRV2").Layers.size(), 1u);
    ListingFailure failure;
    const std::string printed =
        "neither the header \"*TRV\" nor a \"P.K.\" block of a printed report was found";
    Read(trv, "TXT", false, &failure); // the printed form finds no "P.K." block
    EXPECT_EQ(failure.Reason, printed);
    // A ".trv" file without the header is read as a printed report.
    Read("TRV\r\nx\r\n", "TRV", false, &failure);
    EXPECT_EQ(failure.Reason, printed);
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(CrListingTrv2, LayersByKeywordInOrderOfAppearance) {
    const std::string text = "*TRV\r\nx\r\n"
                             "10,4\r\n-5,1,IBERMA\r\n-5,1,IBERMA\r\n0,1,EJE\r\n6,0,DCUNETA\r\n"
                             "20,3\r\n-5,1,ISUBRAS\r\n0,1,EJE\r\n7,0,MURO1\r\nFIN\r\n";
    const CrossSectionSet set = Read(text, "TRV2");
    EXPECT_EQ(LayerNames(set), (std::vector<std::string>{"Plataforma", "Taludes", "Subrasante"}));
    ASSERT_EQ(set.Stations.size(), 2u);
    ASSERT_EQ(set.Stations[0].Surfaces.size(), 2u);
    // The repeated point reaches the set once: the set never holds two points
    // at one place.
    EXPECT_EQ(set.Stations[0].Surfaces[0].Points.size(), 2u);
    ASSERT_EQ(set.Stations[1].Surfaces.size(), 3u);
    EXPECT_EQ(set.Stations[1].Surfaces[2].Layer, 2);

    const CrossSectionSet flat = Read("*TRV\r\nx\r\n10,2\r\n0,1,EJE\r\n3,1,DBERMA\r\n", "TRV2");
    EXPECT_EQ(LayerNames(flat), std::vector<std::string>{"Plataforma"});

    TempDir dir;
    WriteFileBytes(dir / "empty.trv2", "*TRV\r\nx\r\nFIN\r\n");
    std::vector<std::string> names{"old"};
    EXPECT_TRUE(GetTrv2Layers((dir / "empty.trv2").string(), names));
    EXPECT_EQ(names, std::vector<std::string>{"Layer"});
}

TEST(CrListingReport, TableRowsOfTwelveCells) {
    // Each "\cell" becomes a tab in the report text, so 11 columns split into
    // the 12 cells of a table row.
    CrossSectionSet report;
    std::string rtf = "{\\rtf1\\ansi ";
    auto rtfRow = [](std::vector<std::string> cells) {
        std::string out = "\\trowd\\pard\\intbl";
        for (const std::string &c : cells)
            out += " " + c + "\\cell";
        return out + "\\row\r\n";
    };
    rtf += rtfRow({"-1", "1", "", "", "", "", "", "", "", "", ""});
    rtf += rtfRow({"Estaci\\'f3n", "0+010,000"});
    rtf += rtfRow({"Desp.", "Cota", "", "", "Desp.", "Cota", "", "", "Desp.", "Cota", ""});
    rtf += rtfRow({"-8,000", "9,5", "T", "", "-3,5", "10", "P", "", "-6", "9,4", ""});
    rtf += rtfRow({"", "", "", "", "0,000", "10,1", "P", "", "", "", ""});
    rtf += rtfRow({"1", "1", "", "", "", "", "", "", "", ""});         // 10 columns
    rtf += rtfRow({"1", "1", "", "", "", "", "", "", "", "", "", ""}); // 12 columns
    rtf += rtfRow({"ESTACION", "1+020.5"});
    rtf += rtfRow({"0", "0", "", "", "2", "3", "", "", "0", "0", ""});
    rtf += "}";
    report = Read(rtf, "RTF");
    ASSERT_EQ(report.Stations.size(), 2u);
    EXPECT_DOUBLE_EQ(report.Stations[0].Chainage, 10);
    const auto map = ByLayerName(report);
    EXPECT_EQ(map.at(10).at("Taludes"), (LayerPoints{{-8, 9.5}}));
    EXPECT_EQ(map.at(10).at("Rasante"), (LayerPoints{{-3.5, 10}, {0, 10.1}}));
    EXPECT_EQ(map.at(10).at("Subrasante"), (LayerPoints{{-6, 9.4}}));
    EXPECT_DOUBLE_EQ(report.Stations[1].Chainage, 1020.5);
    EXPECT_EQ(map.at(1020.5).size(), 1u) << "the pairs 0 0 are no points";
}

TEST(CrListingPrinted, ColumnsFromTheRuleLine) {
    const std::string rule = "==========  ==========  ====  ==========  ==========  ====  "
                             "==========  ==========";
    const std::string text =
        "Title\r\n"
        "P.K.    1200.5\r\n"
        "head\r\n" +
        rule + "\r\n" +
        //  Taludes                     Rasante                     Subrasante
        "    -8.000      10.000  T1        -3.500      11.000  P1        -6.000"
        "       9.000\r\n"
        "                                   0.000      11.100  P2\r\n"
        "                                                                6.000"
        "       9.000\r\n"
        "     8.000      10.000  T2                                       7.000"
        "       8.500\r\n"
        "lonely\r\n"
        "\fpage 2\r\n"
        "P.K.    1210\r\nhead\r\n" +
        rule + "\r\n     1.000       2.000  T3\r\n";
    const CrossSectionSet set = Read(text, "TXT");
    ASSERT_EQ(set.Stations.size(), 2u);
    const auto map = ByLayerName(set);
    EXPECT_EQ(map.at(1200.5).at("Taludes"), (LayerPoints{{-8, 10}, {8, 10}}));
    EXPECT_EQ(map.at(1200.5).at("Rasante"), (LayerPoints{{-3.5, 11}, {0, 11.1}}));
    EXPECT_EQ(map.at(1200.5).at("Subrasante"), (LayerPoints{{-6, 9}, {6, 9}, {7, 8.5}}));
    EXPECT_EQ(map.at(1210).at("Taludes"), (LayerPoints{{1, 2}}));
}

TEST(CrListingPrinted, ChainageFiveCharactersAfterTheFirstWord) {
    const std::string rule = "=====  =====  =====  =====  =====  =====  =====  =====";
    const std::string block = "\r\n" + rule + "\r\n     1.000   2.000\r\n\r\n";
    struct Case {
        const char *name;
        std::string text;
        std::vector<double> chainages;
    };
    const Case cases[] = {
        {"at the start of the line",
         "P.K.    1200.5" + block + "P.K.    1210" + block,
         {1200.5, 1210}},
        {"indented", "   P.K.    1200.5" + block + "  P.K.    1210" + block, {1200.5, 1210}},
        {"indented after one that is not",
         "P.K.    1200.5" + block + "    P.K.    1210" + block,
         {1200.5, 1210}},
        {"a shorter word after a longer one",
         "P.K.:    1200.5" + block + "P.K.    1210" + block,
         {1200.5, 1210}},
    };
    for (const Case &c : cases) {
        const CrossSectionSet set = Read(c.text, "TXT");
        std::vector<double> chainages;
        for (const CrossSection &station : set.Stations)
            chainages.push_back(station.Chainage);
        EXPECT_EQ(chainages, c.chainages) << c.name;
    }
}

TEST(CrListingFailures, ReasonAndPlace) {
    struct Case {
        const char *name;
        std::string text;
        const char *extension;
        long line;
        const char *reasonStart;
        bool shown; // handed to the error handler (not a quiet wrong header)
    };
    const std::string rule = "==  ==  ==  ==  ==  ==  ==  ==";
    const Case cases[] = {
        {"empty", "", "TRV", 0, "the file is empty", false},
        {"wrong header", "*TRX\r\n", "TRV2", 1, "expected the header \"*TRV\"", false},
        {"truncated section", "*TRV\r\nx\r\n10,3\r\n1,2,P\r\n", "TRV", 3,
         "the section announces 3 line(s) but the file ends after 1", true},
        {"truncated skip", "*TRV\r\nx\r\n0E,5\r\n1\r\n", "TRV", 3,
         "the section announces 5 line(s)", true},
        {"header without count", "*TRV\r\nx\r\n10\r\n", "TRV", 3,
         "expected a section header \"chainage,number of lines\"", true},
        {"point without code", "*TRV\r\nx\r\n10,1\r\n1,2\r\n", "TRV", 4,
         "expected \"offset,height,code\"", true},
        {"garbage number", "*TRV\r\nx\r\n10,1\r\n1,2x,P\r\n", "TRV", 4,
         "field 2 (height) is not a number", true},
        {"garbage chainage", "*TRV\r\nx\r\nabc,1\r\n1,2,P\r\n", "TRV2", 3,
         "field 1 (chainage) is not a number", true},
        {"no rule", "P.K.    10\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n", "TXT", 1,
         "no column rule", true},
        {"short rule", "P.K.    10\r\n=====  =====\r\n1 2\r\n", "TXT", 2,
         "the column rule has 2 column(s)", true},
        {"no blank", "P.K.\r\n" + rule + "\r\n", "TXT", 1, "the \"P.K.\" line carries no chainage",
         true},
        {"not rtf", "plain text", "RTF", 1, "not a readable RTF report", true},
        {"rtf without rows", "{\\rtf1 hello}", "RTF", 0, "no cross section", false},
        {"binary", std::string("\0\1\2\3\xff", 5), "TRV", 0, "neither the header \"*TRV\"", false},
    };
    for (const Case &c : cases) {
        RecordingUi ui;
        ListingFailure failure;
        CrossSectionSet set;
        set.Stations.resize(3); // replaced by an empty set on failure
        EXPECT_FALSE(ReadCrListing(c.text, c.extension, set, &failure, "f")) << c.name;
        EXPECT_TRUE(set.Stations.empty()) << c.name;
        EXPECT_EQ(failure.Line, c.line) << c.name << ": " << failure.Text();
        EXPECT_EQ(failure.Reason.rfind(c.reasonStart, 0), 0u) << c.name << ": " << failure.Text();
        EXPECT_EQ(!ui.Messages.empty(), c.shown) << c.name;
    }
}

TEST(CrListingFailures, MissingFile) {
    RecordingUi ui;
    CrossSectionSet set;
    ListingFailure failure;
    EXPECT_FALSE(ImportCrAligment(set, "/no/such/folder/road.trv", "", &failure));
    EXPECT_EQ(failure.File, "road.trv");
    EXPECT_NE(failure.Reason.find("does not exist"), std::string::npos);
    std::vector<std::string> names{"x"};
    EXPECT_FALSE(GetTrv2Layers("/no/such/folder/road.trv2", names));
    EXPECT_TRUE(names.empty());
}
