// Stringlines through lane tapers: every sample road converted and its
// written vertex names measured against the features the sample was made
// from. The table of breaks, splits and stringlines is printed for every
// sample road; only the known limits may break, each where it says.
#include "crosssection/CrSec.h"
#include "crosssection/CrSecBuilder.h"
#include "crosssection/CrSecExport.h"
#include "crosssection/StringlineMeasure.h"
#include "import/CrListing.h"

#include "landxml/LandXmlFixture.h"

#include <cstdio>

using namespace vialto;
using namespace vialto::test;

namespace {

class SampleStringlines : public LandXmlFixture {
  protected:
    // The sample's cross sections through the rules and the export, as the
    // export stage writes them (every layer, every station).
    std::string Convert(const std::string &trv) {
        StoreWithVerticalAlignment();
        CrossSectionSet set;
        ListingFailure failure;
        EXPECT_TRUE(ImportCrAligment(set, SourcePath(trv).string(), "", &failure))
            << failure.Text();
        NullProgress progress;
        double first = 0, last = 0;
        EXPECT_TRUE(TagLandXML(false));
        EXPECT_EQ(RuleAndExportCrossSections(set, "", 0, 0, progress, first, last),
                  CrExportResult::Written);
        EXPECT_TRUE(TagLandXML(true));
        CloseFile();
        EXPECT_TRUE(CommitOutput());
        return ReadFileBytes(out);
    }
};

} // namespace

TEST_F(SampleStringlines, EveryFeatureKeepsItsLineExceptTheKnownLimits) {
    // Only the known limits break, each where the table says.
    const struct {
        const char *Name;
        std::vector<std::string> Breaks;
    } samples[] = {
        {"road", {}},
        {"tapers/lanes_both_sides", {}},
        {"tapers/step_equals_spacing", {}},
        {"tapers/steps_075_then_100", {}},
        {"tapers/starts_on_station", {}},
        {"tapers/stops_on_station", {}},
        {"tapers/bench_disappears", {}},
        {"tapers/counter_case", {}}, // the point that keeps its offset continues
        {"tapers/lane_drop_fast", {}},
        {"tapers/stops_where_lines_change", {}},
        {"tapers/wobble", {}},
        {"tapers/wobble_inside", {}},
        // Limit: a line that stood still keeps the point at its offset; here
        // that is its neighbour, moved by exactly their spacing, and nothing
        // tells them apart.
        {"tapers/limit_starts_on_station_step_spacing",
         {"1120.000000 Rasante L1:3: berm_l -> shoulder_l",
          "1120.000000 Rasante L2:3: shoulder_l -> new_edge_l"}},
        // Limit: a line at rest has no heading; the new lane edge is nearer.
        {"tapers/limit_lane_edge_near_shoulder",
         {"1120.000000 Rasante L2:3: shoulder_l -> new_edge_l"}},
        // Limit: the new lane edge stops, but the new kerb line beyond it is
        // where it was heading; the lines are handed on in order.
        {"tapers/limit_stops_inside",
         {"1200.000000 Rasante L2:3: marking -> new_edge_l",
          "1200.000000 Rasante L3:3: new_edge_l -> kerb_l"}},
        // Limit: 1 mm off and back is beyond the 0.0001 of a match by offset;
        // the end point then continues the end line.
        {"tapers/limit_wobble_back",
         {"1100.000000 Rasante L0:3: berm_l -> shoulder_l",
          "1100.000000 Rasante L1:3: shoulder_l -> kerb_l"}},
    };
    std::printf("%-46s %7s %7s %12s\n", "sample road", "breaks", "splits", "stringlines");
    for (const auto &sample : samples) {
        const std::string name = sample.Name;
        const std::string base = "samples/cross/" + name;
        const std::string known =
            name == "road" ? "samples/cross/road_cr_known.txt" : base + "_known.txt";
        const StringlineMeasure m =
            MeasureStringlines(Convert(base + ".trv"), ReadKnownFeatures(SourcePath(known)));
        std::printf("%-46s %7d %7d %12d\n", sample.Name, m.Breaks, m.Splits, m.Stringlines);
        for (const std::string &b : m.BreakList)
            std::printf("    break %s\n", b.c_str());
        EXPECT_EQ(m.Problems, std::vector<std::string>{}) << name;
        EXPECT_EQ(m.BreakList, sample.Breaks) << name;
    }
}
