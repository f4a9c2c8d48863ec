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

// (chainage in mm, layer, offset in mm, height in mm) -> template feature
using Key = std::tuple<long long, std::string, long long, long long>;

long long Mm(double v) { return std::llround(v * 1000); }

std::map<Key, std::string> KnownFeatures() {
    std::map<Key, std::string> features;
    std::ifstream in(SourcePath("samples/cross/road_cr_known.txt"));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        double chainage, offset, height;
        std::string layer, feature;
        fields >> chainage >> layer >> feature >> offset >> height;
        features[{Mm(chainage), layer, Mm(offset), Mm(height)}] = feature;
    }
    return features;
}

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
        StoreWithVerticalAlignment();
        ListingFailure failure;
        ASSERT_TRUE(
            ImportCrAligment(set, SourcePath("samples/cross/road.trv").string(), "", &failure))
            << failure.Text();
        NullProgress progress;
        ASSERT_TRUE(ApplyRules(set, "", progress, false));
        const auto known = KnownFeatures();
        for (std::size_t i = 0; i < set.Stations.size(); ++i) {
            const CrossSection &station = set.Stations[i];
            for (const CrSecSurface &surface : station.Surfaces) {
                const std::string &layer = set.Layers[surface.Layer].Name;
                std::set<std::string> seen;
                for (const CrSecPoint &p : surface.Points) {
                    ASSERT_FALSE(p.Code.empty()) << station.Chainage;
                    if (p.IsCopy)
                        continue; // a meeting point: the line's own vertex is elsewhere
                    EXPECT_TRUE(seen.insert(p.Code).second)
                        << "code " << p.Code << " twice at " << station.Chainage;
                    const auto f =
                        known.find({Mm(station.Chainage), layer, Mm(p.Offset), Mm(p.Height)});
                    ASSERT_NE(f, known.end()) << station.Chainage << " " << p.Offset;
                    lines[layer + "/" + p.Code].push_back(
                        {i, station.Chainage, p.Offset, f->second});
                }
            }
        }
    }

    // The features of the line, in station order, without repeats.
    std::vector<std::string> FeaturesOf(const std::vector<Vertex> &line) const {
        std::vector<std::string> features;
        for (const Vertex &v : line)
            if (features.empty() || features.back() != v.Feature)
                features.push_back(v.Feature);
        return features;
    }

    const std::vector<Vertex> *LineOfFeature(const std::string &layer,
                                             const std::string &feature) const {
        for (const auto &[key, line] : lines)
            if (key.rfind(layer + "/", 0) == 0 && line.front().Feature == feature)
                return &line;
        return nullptr;
    }

    CrossSectionSet set;
    std::map<std::string, std::vector<Vertex>> lines; // layer/code -> vertices
};

} // namespace

TEST_F(RoadRules, EveryStringlineFollowsOneFeatureWithoutGaps) {
    ASSERT_EQ(set.Stations.size(), 271u);
    for (const auto &[key, line] : lines) {
        EXPECT_EQ(FeaturesOf(line).size(), 1u) << key << " jumps from " << line.front().Feature;
        for (std::size_t k = 1; k < line.size(); ++k) {
            EXPECT_EQ(line[k].Station, line[k - 1].Station + 1) << key << " has a gap";
            // The template's own change between two stations: the lane and
            // its shoulder move 0.35 m (the right toe with them, plus its
            // slope's few centimetres), and the right toe 3.5 m where the wall
            // begins or ends.
            const double jump = std::abs(line[k].Offset - line[k - 1].Offset);
            const bool wallEnds = line[k].Feature == "toe_r" &&
                                  (line[k].Chainage == 14000 || line[k].Chainage == 14410);
            EXPECT_LE(jump, wallEnds ? 4.5 : 0.4) << key << " at " << line[k].Chainage;
        }
    }
}

TEST_F(RoadRules, OneStringlinePerFeature) {
    std::map<std::string, int> linesOfFeature;
    for (const auto &[key, line] : lines)
        ++linesOfFeature[line.front().Feature];
    EXPECT_EQ(linesOfFeature.size(), 19u);
    for (const auto &[feature, count] : linesOfFeature)
        EXPECT_EQ(count, 1) << feature;
}

TEST_F(RoadRules, TheLaneStartsAndEndsItsOwnLine) {
    const std::vector<Vertex> *lane = LineOfFeature("Rasante", "extra");
    ASSERT_NE(lane, nullptr);
    // At 13+000 and 13+600 its edge coincides with the lane edge and the
    // duplicated point is gone.
    EXPECT_DOUBLE_EQ(lane->front().Chainage, 13010);
    EXPECT_DOUBLE_EQ(lane->back().Chainage, 13590);
    const std::vector<Vertex> *shoulder = LineOfFeature("Rasante", "edge_r");
    ASSERT_NE(shoulder, nullptr);
    EXPECT_EQ(shoulder->size(), 271u) << "the shoulder runs through the taper";
}

TEST_F(RoadRules, TheWallFaceKeepsItsOrder) {
    std::vector<std::string> face;
    for (const char *feature : {"wall_top", "wall_mid", "wall_foot"}) {
        const std::vector<Vertex> *line = LineOfFeature("Taludes", feature);
        ASSERT_NE(line, nullptr) << feature;
        EXPECT_DOUBLE_EQ(line->front().Chainage, 14000) << feature;
        EXPECT_DOUBLE_EQ(line->back().Chainage, 14400) << feature;
    }
    // At every wall station the face is listed top to bottom and its three
    // points carry the same three codes in that order.
    std::vector<std::string> first;
    for (const CrossSection &station : set.Stations) {
        if (station.Chainage < 14000 || station.Chainage > 14400)
            continue;
        std::vector<std::string> codes;
        for (const CrSecPoint &p : station.Surfaces.at(0).Points)
            if (std::abs(p.Offset - 6.0) < 1e-9)
                codes.push_back(p.Code);
        ASSERT_EQ(codes.size(), 3u) << station.Chainage;
        if (first.empty())
            first = codes;
        EXPECT_EQ(codes, first) << station.Chainage;
    }
    EXPECT_EQ(first, (std::vector<std::string>{"6.000", "6.000_2", "6.000_3"}));
}
