// The rules on the sample road: every stringline follows one feature of the
// template from station to station, a lane that appears starts a new line,
// one that disappears ends it, and the wall's face keeps its order.
#include "CrListing.h"
#include "CrSec.h"
#include "CrSecBuilder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace vialto;
using namespace vialto::test;

namespace {

// One point of a stringline.
struct Vertex {
    std::size_t Station;
    double Chainage;
    double Offset;
    std::string Feature;
};

class RoadRules : public ::testing::Test {
  protected:
    void SetUp() override {
        // The template the sample was made from: (chainage, layer, offset,
        // height) in millimetres -> feature.
        std::map<std::tuple<long long, std::string, long long, long long>, std::string> known;
        std::ifstream in(SourcePath("samples/cross/road_cr_known.txt"));
        double chainage, offset, height;
        std::string layer, feature;
        for (std::string line; std::getline(in, line);)
            if (std::istringstream(line) >> chainage >> layer >> feature >> offset >> height)
                known[{Mm(chainage), layer, Mm(offset), Mm(height)}] = feature;

        StoreWithVerticalAlignment();
        ListingFailure failure;
        ASSERT_TRUE(
            ImportCrAligment(set, SourcePath("samples/cross/road.trv").string(), "", &failure))
            << failure.Text();
        NullProgress progress;
        ASSERT_TRUE(ApplyRules(set, "", progress, false));
        ASSERT_EQ(set.Stations.size(), 271u);
        for (std::size_t i = 0; i < set.Stations.size(); ++i) {
            const CrossSection &station = set.Stations[i];
            for (const CrSecSurface &surface : station.Surfaces) {
                const std::string &name = set.Layers[surface.Layer].Name;
                std::set<std::string> seen;
                for (const CrSecPoint &p : surface.Points) {
                    ASSERT_FALSE(p.Code.empty()) << station.Chainage;
                    if (p.IsCopy)
                        continue; // a meeting point: the line's own vertex is elsewhere
                    EXPECT_TRUE(seen.insert(p.Code).second) << p.Code << " at " << station.Chainage;
                    const auto f =
                        known.find({Mm(station.Chainage), name, Mm(p.Offset), Mm(p.Height)});
                    ASSERT_NE(f, known.end()) << station.Chainage << " " << p.Offset;
                    lines[name + "/" + p.Code].push_back(
                        {i, station.Chainage, p.Offset, f->second});
                }
            }
        }
    }

    static long long Mm(double v) { return std::llround(v * 1000); }

    const std::vector<Vertex> &LineOfFeature(const std::string &layer, const std::string &feature) {
        for (const auto &[key, line] : lines)
            if (key.rfind(layer + "/", 0) == 0 && line.front().Feature == feature)
                return line;
        ADD_FAILURE() << "no line of " << feature;
        return lines[""];
    }

    CrossSectionSet set;
    std::map<std::string, std::vector<Vertex>> lines; // layer/code -> vertices
};

} // namespace

TEST_F(RoadRules, EachFeatureHasOneStringlineWithoutGapsOrJumps) {
    std::map<std::string, int> linesOfFeature;
    for (const auto &[key, line] : lines) {
        ++linesOfFeature[line.front().Feature];
        for (std::size_t k = 1; k < line.size(); ++k) {
            EXPECT_EQ(line[k].Feature, line[0].Feature) << key << " at " << line[k].Chainage;
            EXPECT_EQ(line[k].Station, line[k - 1].Station + 1) << key << " has a gap";
            // The template's own change between two stations: the lane and
            // its shoulder move 0.35 m (the right toe with them, plus its
            // slope's few centimetres), and the right toe 3.5 m where the wall
            // begins or ends.
            const bool wallEnds = line[k].Feature == "toe_r" &&
                                  (line[k].Chainage == 14000 || line[k].Chainage == 14410);
            EXPECT_LE(std::abs(line[k].Offset - line[k - 1].Offset), wallEnds ? 4.5 : 0.4)
                << key << " at " << line[k].Chainage;
        }
    }
    EXPECT_EQ(linesOfFeature.size(), 19u);
    for (const auto &[feature, count] : linesOfFeature)
        EXPECT_EQ(count, 1) << feature;
}

TEST_F(RoadRules, TheLaneStartsAndEndsItsOwnLine) {
    // At 13+000 and 13+600 its edge coincides with the lane edge and the
    // duplicated point is gone.
    const std::vector<Vertex> &lane = LineOfFeature("Rasante", "extra");
    ASSERT_FALSE(lane.empty());
    EXPECT_DOUBLE_EQ(lane.front().Chainage, 13010);
    EXPECT_DOUBLE_EQ(lane.back().Chainage, 13590);
    EXPECT_EQ(LineOfFeature("Rasante", "edge_r").size(), 271u) << "the shoulder runs through";
}

TEST_F(RoadRules, TheWallFaceKeepsItsOrder) {
    for (const char *feature : {"wall_top", "wall_mid", "wall_foot"}) {
        const std::vector<Vertex> &line = LineOfFeature("Taludes", feature);
        ASSERT_FALSE(line.empty()) << feature;
        EXPECT_DOUBLE_EQ(line.front().Chainage, 14000) << feature;
        EXPECT_DOUBLE_EQ(line.back().Chainage, 14400) << feature;
    }
    // At every wall station the face is listed top to bottom and its three
    // points carry the same three codes in that order.
    for (const CrossSection &station : set.Stations) {
        if (station.Chainage < 14000 || station.Chainage > 14400)
            continue;
        std::vector<std::string> codes;
        for (const CrSecPoint &p : station.Surfaces.at(0).Points)
            if (std::abs(p.Offset - 6.0) < 1e-9)
                codes.push_back(p.Code);
        EXPECT_EQ(codes, (std::vector<std::string>{"6.000", "6.000_2", "6.000_3"}))
            << station.Chainage;
    }
}
