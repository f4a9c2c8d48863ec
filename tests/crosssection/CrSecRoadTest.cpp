// The rules on the sample road: every stringline follows one feature of the
// template from station to station, a lane that appears starts a new line,
// one that disappears ends it, and the wall's face keeps its order.
#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "crosssection/StringlineMeasure.h"
#include "import/CrListing.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>

using namespace vialto;
using namespace vialto::test;

namespace {

// One point of a stringline.
struct Vertex {
    std::size_t Station;
    double Chainage, Offset;
    std::string Feature;
};

} // namespace

TEST(RoadRules, EachFeatureKeepsOneStringlineThatStartsAndEndsWithIt) {
    // The template the sample was made from.
    const KnownFeatures known =
        ReadKnownFeatures(SourcePath("samples/cross/road_cr_known.txt").string());

    StoreWithVerticalAlignment();
    CrossSectionSet set;
    ListingFailure failure;
    ASSERT_TRUE(ImportCrAligment(set, SourcePath("samples/cross/road.trv").string(), "", &failure))
        << failure.Text();
    NullProgress progress;
    ASSERT_TRUE(ApplyRules(set, "", progress, false));
    ASSERT_EQ(set.Stations.size(), 271u);
    std::map<std::string, std::vector<Vertex>> lines; // layer/code -> vertices
    for (std::size_t i = 0; i < set.Stations.size(); ++i) {
        const CrossSection &station = set.Stations[i];
        for (const CrSecSurface &surface : station.Surfaces) {
            const std::string &name = set.Layers[surface.Layer].Name;
            std::set<std::string> seen;
            std::vector<std::string> face; // the codes at the wall's offset, top to bottom
            for (const CrSecPoint &p : surface.Points) {
                ASSERT_FALSE(p.Code.empty()) << station.Chainage;
                if (surface.Layer == 0 && std::abs(p.Offset - 6.0) < 1e-9)
                    face.push_back(p.Code);
                if (p.IsCopy)
                    continue; // a meeting point: the line's own vertex is elsewhere
                EXPECT_TRUE(seen.insert(p.Code).second) << p.Code << " at " << station.Chainage;
                const auto f = known.find({Millimetres(station.Chainage), name,
                                           Millimetres(p.Offset), Millimetres(p.Height)});
                ASSERT_NE(f, known.end()) << station.Chainage << " " << p.Offset;
                lines[name + "/" + p.Code].push_back({i, station.Chainage, p.Offset, f->second});
            }
            if (station.Chainage >= 14000 && station.Chainage <= 14400 && surface.Layer == 0) {
                EXPECT_EQ(face, (std::vector<std::string>{"6.000", "6.000_2", "6.000_3"}))
                    << station.Chainage;
            }
        }
    }

    // feature -> (first chainage, last chainage) of its one line
    std::map<std::string, std::pair<double, double>> span;
    for (const auto &[key, line] : lines) {
        EXPECT_TRUE(
            span.emplace(line[0].Feature, std::pair{line[0].Chainage, line.back().Chainage}).second)
            << line[0].Feature << " has a second line " << key;
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
    EXPECT_EQ(span.size(), 19u);
    // The extra lane's edge coincides with the lane edge at 13+000 and 13+600,
    // where its duplicated point is gone; the shoulder runs through.
    const std::pair<const char *, std::pair<double, double>> spans[] = {
        {"extra", {13010, 13590}},    {"edge_r", {12340, 15040}},    {"wall_top", {14000, 14400}},
        {"wall_mid", {14000, 14400}}, {"wall_foot", {14000, 14400}},
    };
    for (const auto &[name, expected] : spans)
        EXPECT_EQ(span[name], expected) << name;
}
