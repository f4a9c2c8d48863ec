// Stringlines through lane tapers: each sample road's written vertex names
// against the features it was made from (*_known.txt, "chainage layer feature
// offset height" a line). A break is one code on two features at consecutive
// stations; only the known limits may break, each where it says.
#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "crosssection/CrSecExport.h"
#include "import/CrListing.h"

#include "landxml/LandXmlFixture.h"

#include <pugixml.hpp>

#include <cmath>
#include <map>
#include <sstream>
#include <tuple>

using namespace vialto;
using namespace vialto::test;

namespace {

// (chainage, layer, offset, height), numbers in millimetres.
using KnownKey = std::tuple<long long, std::string, long long, long long>;
using KnownFeatures = std::map<KnownKey, std::string>;
using CodeFeatures = std::map<std::string, std::map<std::string, std::string>>; // layer, code

long long Millimetres(double metres) { return std::llround(metres * 1000); }

KnownFeatures ReadKnownFeatures(const std::filesystem::path &path) {
    KnownFeatures known;
    std::istringstream in(ReadFileBytes(path));
    double chainage, offset, height;
    std::string layer, feature;
    for (std::string line; std::getline(in, line);)
        if (std::istringstream(line) >> chainage >> layer >> feature >> offset >> height)
            known[{Millimetres(chainage), layer, Millimetres(offset), Millimetres(height)}] =
                feature;
    return known;
}

// The breaks of the document, "chainage layer code: feature -> feature", and
// its points that are unnamed or not in the list.
std::vector<std::string> Breaks(const std::string &document, const KnownFeatures &known) {
    pugi::xml_document doc;
    if (!doc.load_string(document.c_str()))
        return {"not a well-formed document"};
    std::vector<std::string> breaks;
    CodeFeatures previous;
    for (pugi::xpath_node sect : doc.select_nodes("//CrossSect")) {
        const std::string sta = sect.node().attribute("sta").value();
        CodeFeatures current;
        for (pugi::xml_node surf : sect.node().children("CrossSectSurf")) {
            const std::string layer = surf.attribute("name").value();
            std::istringstream numbers(surf.child_value("PntList2D"));
            std::istringstream codes(
                surf.find_child_by_attribute("Feature", "code", "SD Vertex Name").child_value());
            double offset, height;
            std::string code;
            while (numbers >> offset >> height) {
                const auto f = known.find(
                    {Millimetres(std::stod(sta)), layer, Millimetres(offset), Millimetres(height)});
                if (!std::getline(codes, code, ',') || f == known.end())
                    breaks.push_back(sta + " " + layer + ": unnamed or unknown point " +
                                     std::to_string(offset));
                else
                    current[layer][code] = f->second;
            }
        }
        for (const auto &[layer, features] : current)
            for (const auto &[code, feature] : features) {
                const auto was = previous[layer].find(code);
                if (was != previous[layer].end() && was->second != feature)
                    breaks.push_back(sta + " " + layer + " " + code + ": " + was->second + " -> " +
                                     feature);
            }
        previous = std::move(current);
    }
    return breaks;
}

class SampleStringlines : public LandXmlFixture {
  protected:
    // The sample's cross sections as the export stage writes them.
    std::string Convert(const std::string &trv) {
        StoreWithVerticalAlignment();
        CrossSectionSet set;
        ListingFailure failure;
        EXPECT_TRUE(ImportCrAligment(set, SourcePath(trv).string(), "", &failure))
            << failure.Text();
        return WriteStraight(0, 2000, [&] {
            NullProgress progress;
            double first = 0, last = 0;
            EXPECT_EQ(RuleAndExportCrossSections(set, "", 0, 0, progress, first, last),
                      CrExportResult::Written);
        });
    }
};

} // namespace

TEST_F(SampleStringlines, EveryFeatureKeepsItsLineExceptTheKnownLimits) {
    struct Sample {
        std::string Name;
        std::vector<std::string> Breaks;
    };
    std::vector<Sample> samples = {
        // A line that stood still keeps the point at its offset: here its
        // neighbour, moved by exactly their spacing.
        {"limit_starts_on_station_step_spacing",
         {"1120.000000 Rasante L1:3: berm_l -> shoulder_l",
          "1120.000000 Rasante L2:3: shoulder_l -> new_edge_l"}},
        // A line at rest has no heading; the new lane edge is nearer.
        {"limit_lane_edge_near_shoulder", {"1120.000000 Rasante L2:3: shoulder_l -> new_edge_l"}},
        // The new lane edge stops where the kerb line beyond was heading.
        {"limit_stops_inside",
         {"1200.000000 Rasante L2:3: marking -> new_edge_l",
          "1200.000000 Rasante L3:3: new_edge_l -> kerb_l"}},
        // 1 mm off and back is beyond the 0.0001 of a match by offset.
        {"limit_wobble_back",
         {"1100.000000 Rasante L0:3: berm_l -> shoulder_l",
          "1100.000000 Rasante L1:3: shoulder_l -> kerb_l"}},
    };
    // In counter_case the point that keeps its offset continues.
    for (const char *name :
         {"lanes_both_sides", "step_equals_spacing", "steps_075_then_100", "starts_on_station",
          "stops_on_station", "bench_disappears", "counter_case", "lane_drop_fast",
          "stops_where_lines_change", "wobble", "wobble_inside"})
        samples.push_back({name, {}});
    EXPECT_EQ(Breaks(Convert("samples/cross/road.trv"),
                     ReadKnownFeatures(SourcePath("samples/cross/road_cr_known.txt"))),
              std::vector<std::string>{});
    for (const Sample &sample : samples) {
        const std::string base = "samples/cross/tapers/" + sample.Name;
        EXPECT_EQ(
            Breaks(Convert(base + ".trv"), ReadKnownFeatures(SourcePath(base + "_known.txt"))),
            sample.Breaks)
            << sample.Name;
    }
}
