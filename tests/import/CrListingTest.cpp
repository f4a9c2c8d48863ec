// The cross-section listing in its four forms: the samples of one road give
// the template they were made from; the framing rules of each form; the
// building of a set: surfaces, duplicated points and the first codes.
#include "import/CrListing.h"
#include "import/CrSecSet.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>

namespace vialto {
namespace {

using test::SourcePath;
using Points = std::vector<std::pair<double, double>>; // (offset, height)
// chainage -> (layer name, points) in the order of the surfaces; every value
// rounded to the micrometre
using StationMap = std::map<double, std::vector<std::pair<std::string, Points>>>;

double Micro(double metres) { return std::llround(metres * 1e6) / 1e6; }

StationMap ByLayerName(const CrossSectionSet &set, const std::string &asRasante = "") {
    StationMap map;
    for (const CrossSection &station : set.Stations)
        for (const CrSecSurface &surface : station.Surfaces) {
            const std::string &name = set.Layers.at(surface.Layer).Name;
            Points &points = map[Micro(station.Chainage)]
                                 .emplace_back(name == asRasante ? "Rasante" : name, Points{})
                                 .second;
            for (const CrSecPoint &p : surface.Points)
                points.emplace_back(Micro(p.Offset), Micro(p.Height));
        }
    return map;
}

CrossSectionSet Read(std::string_view text, std::string_view extension) {
    CrossSectionSet set;
    ListingFailure failure;
    EXPECT_TRUE(ReadCrListing(text, extension, set, &failure)) << failure.Text();
    return set;
}

std::vector<std::string> LayerNames(const CrossSectionSet &set) {
    std::vector<std::string> names;
    for (const CrSecLayer &layer : set.Layers)
        names.push_back(layer.Name);
    return names;
}

TEST(CrListing, EverySampleFormGivesTheTemplate) {
    // The template the samples were written from (samples/cross/make_cross.py).
    StationMap known;
    std::ifstream in(SourcePath("samples/cross/road_cr_known.txt"));
    double chainage, offset, height;
    std::string layer, feature;
    for (std::string line; std::getline(in, line);)
        if (std::istringstream(line) >> chainage >> layer >> feature >> offset >> height) {
            auto &layers = known[Micro(chainage)];
            if (layers.empty() || layers.back().first != layer)
                layers.emplace_back(layer, Points{});
            layers.back().second.emplace_back(Micro(offset), Micro(height));
        }
    ASSERT_EQ(known.size(), 271u);

    test::RecordingUi ui;
    const std::vector<std::string> fixed{"Taludes", "Cunetas", "Subrasante", "Rasante"};
    const std::vector<std::string> keywords{"Taludes", "Subrasante", "Plataforma"};
    const std::pair<const char *, std::vector<std::string>> forms[] = {{"road.trv", fixed},
                                                                       {"road.trv2", keywords},
                                                                       {"road_cr.rtf", fixed},
                                                                       {"road_cr.txt", fixed}};
    for (const auto &[file, layers] : forms) {
        CrossSectionSet set;
        ListingFailure failure;
        ASSERT_TRUE(ImportCrAligment(set, SourcePath("samples/cross/" + std::string(file)).string(),
                                     "", &failure))
            << failure.Text();
        EXPECT_EQ(LayerNames(set), layers) << file;
        const StationMap read = ByLayerName(set, "Plataforma");
        ASSERT_EQ(read.size(), known.size()) << file;
        for (const auto &[at, points] : known)
            EXPECT_EQ(read.at(at), points) << file << " at " << at;
    }
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(CrListing, TrvFamiliesSkippedSectionsAndRepeatedPoints) {
    const std::string text = "*TRV\r\nignored\r\n"
                             "0E,3\r\n1,2,P\r\n3,4,P\r\n5,6,P\r\n" // skipped
                             "100.5,7\r\n"
                             "-8,10,C1\r\n" // ditch code: family 0 (Taludes)
                             "-7,9,MDX\r\n"
                             "-7,9,MDX\r\n" // repeated: dropped
                             "-3.5,10.5,P\r\n"
                             "2,10.4,MU3\r\n"      // subgrade
                             "9,9,mp\r\n"          // no family: dropped
                             "\r\n"                // empty: repeats the line before
                             "200,1\r\n9,9,MX\r\n" // only unknown codes: no station
                             "FIN\r\n300,1\r\n1,1,P\r\n";
    EXPECT_EQ(ByLayerName(Read(text, "TRV")), (StationMap{{100.5,
                                                           {{"Taludes", {{-8, 10}, {-7, 9}}},
                                                            {"Subrasante", {{2, 10.4}}},
                                                            {"Rasante", {{-3.5, 10.5}}}}}}));
}

TEST(CrListing, Trv2LayersByKeywordInOrderOfAppearance) {
    const std::string text = "*TRV\r\nx\r\n"
                             "10,4\r\n-5,1,IBERMA\r\n-5,1,IBERMA\r\n0,1,EJE\r\n6,0,DCUNETA\r\n"
                             "20,3\r\n-5,1,ISUBRAS\r\n0,1,ISUBRA\r\n7,0,MURO1\r\nFIN\r\n";
    const CrossSectionSet set = Read(text, "TRV2");
    EXPECT_EQ(LayerNames(set), (std::vector<std::string>{"Plataforma", "Taludes", "Subrasante"}));
    // The repeated point reaches the set once: the set never holds two points
    // at one place.
    EXPECT_EQ(
        ByLayerName(set),
        (StationMap{
            {10, {{"Plataforma", {{-5, 1}, {0, 1}}}, {"Taludes", {{6, 0}}}}},
            {20, {{"Plataforma", {{0, 1}}}, {"Taludes", {{7, 0}}}, {"Subrasante", {{-5, 1}}}}}}));
}

TEST(CrListing, PrintedChainageFiveCharactersAfterTheFirstWordOfEachLine) {
    const std::string block = "\r\n=====  =====  =====  =====  =====  =====  =====  =====\r\n"
                              "     1.000   2.000\r\n\r\n";
    for (const std::string &text : {
             "P.K.    1200.5" + block + "P.K.    1210" + block,
             "   P.K.    1200.5" + block + "  P.K.    1210" + block, // indented
             "P.K.:    1200.5" + block + "P.K.    1210" + block,     // shorter after longer
         }) {
        std::vector<double> chainages;
        for (const CrossSection &station : Read(text, "TXT").Stations)
            chainages.push_back(station.Chainage);
        EXPECT_EQ(chainages, (std::vector<double>{1200.5, 1210})) << text;
    }
}

// Printed rows of four words: two points without codes, each pair of words
// taken by the columns it stands in (the slopes and the surface, or the
// surface and the subgrade).
TEST(CrListing, PrintedRowsOfFourWords) {
    const std::string rule = "==========  ==========  ====  ==========  ==========  ====  "
                             "==========  ==========";
    const std::string text = "P.K.    100.000\r\n  TALUDES       RASANTE       SUBRASANTE\r\n" +
                             rule + "\r\n" + std::string(30, ' ') +
                             "    -3.500      99.930        " + "     0.000      99.400\r\n" +
                             "   -10.000     101.890        " + "    -5.500      99.890\r\n";
    EXPECT_EQ(ByLayerName(Read(text, "TXT")),
              (StationMap{{100,
                           {{"Taludes", {{-10, 101.89}}},
                            {"Subrasante", {{0, 99.4}}},
                            {"Rasante", {{-3.5, 99.93}, {-5.5, 99.89}}}}}}));
}

TEST(AddStation, SurfacesInLayerOrderWithoutRepeatsAndTheFirstCodes) {
    CrossSectionSet set;
    set.Layers = {{"Taludes", {}}, {"Cunetas", {}}, {"Subrasante", {}}, {"Rasante", {}}};
    std::array<CrListPoints, 4> lists;
    AddStation(set, 100, lists);
    EXPECT_TRUE(set.Stations.empty()) << "all lists empty: nothing added";
    lists[3] = {{-3.5, 10, "P"}, {-3.5, 10, "P"}, {0, 10.1, "P"}};
    lists[0] = {{-8, 9, "T"}};
    AddStation(set, 100, lists);
    AddStation(set, 110, lists); // the layers have codes now: left to the rules
    // The second form removes consecutive repeats of each list first.
    // Each point is compared with its neighbour in the input: a drift of tiny
    // steps goes, a vertical face and a point beyond 0.0001 stay.
    AddStation(set, 120,
               std::vector<CrListPoints>{{},
                                         {{0, 1, ""},
                                          {0.00006, 1, ""},
                                          {0.00012, 1, ""},
                                          {1, 1, ""},
                                          {1, 2, ""},
                                          {1.00011, 2, ""}}});
    const auto summary = [](const CrossSection &s) {
        std::string text = std::to_string(static_cast<int>(s.Chainage));
        for (const CrSecSurface &surface : s.Surfaces) {
            text += " | " + std::to_string(surface.Layer) + ":";
            for (const CrSecPoint &p : surface.Points) {
                const std::string_view code = p.Code;
                text += " " + std::string(code.empty() ? "-" : code);
            }
        }
        return text;
    };
    ASSERT_EQ(set.Stations.size(), 3u);
    EXPECT_EQ(summary(set.Stations[0]), "100 | 0: -8.000 | 3: -3.500 0.000");
    EXPECT_EQ(summary(set.Stations[1]), "110 | 0: - | 3: - -");
    EXPECT_EQ(summary(set.Stations[2]), "120 | 1: 0.000 1.000 1.000_2 1.000_3") << "Cunetas starts";
}

} // namespace
} // namespace vialto
