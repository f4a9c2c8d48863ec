// Stringlines through lane tapers: every sample road converted and its
// written vertex names measured against the features the sample was made
// from. The table of breaks, splits and stringlines is printed for every
// sample road.
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

TEST_F(SampleStringlines, BreaksOfEverySampleRoad) {
    // The breaks each sample road shows.
    const struct {
        const char *Name;
        std::vector<std::string> Breaks;
    } samples[] = {
        {"road", {}},
        {"tapers/lanes_both_sides", {}},
        {"tapers/step_equals_spacing",
         {"1060.000000 Rasante L4:3: berm_l -> shoulder_l",
          "1080.000000 Rasante L2:3: berm_l -> shoulder_l",
          "1100.000000 Rasante L1:3: berm_l -> shoulder_l",
          "1340.000000 Rasante L1:3: shoulder_l -> berm_l",
          "1360.000000 Rasante L3:3: shoulder_l -> berm_l",
          "1380.000000 Rasante L5:3: shoulder_l -> berm_l",
          "1380.000000 Rasante L7:3: new_edge_l -> shoulder_l"}},
        {"tapers/steps_075_then_100",
         {"1140.000000 Rasante L3:3: berm_l -> shoulder_l",
          "1160.000000 Rasante L1:3: berm_l -> shoulder_l",
          "1340.000000 Rasante L1:3: shoulder_l -> berm_l",
          "1360.000000 Rasante L2:3: shoulder_l -> berm_l"}},
        {"tapers/starts_on_station", {}},
        {"tapers/stops_on_station", {}},
        {"tapers/bench_disappears", {"1160.000000 Taludes L2:0: bench_out -> crest"}},
        {"tapers/counter_case", {}},
        {"tapers/lane_drop_fast", {"1340.000000 Rasante L2:3: new_edge_l -> shoulder_l"}},
        {"tapers/stops_where_lines_change", {}},
        {"tapers/wobble", {}},
        {"tapers/wobble_inside", {}},
        {"tapers/limit_starts_on_station_step_spacing",
         {"1120.000000 Rasante L3:3: berm_l -> shoulder_l",
          "1120.000000 Rasante L4:3: shoulder_l -> new_edge_l",
          "1140.000000 Rasante L2:3: berm_l -> shoulder_l",
          "1160.000000 Rasante L1:3: berm_l -> shoulder_l"}},
        {"tapers/limit_lane_edge_near_shoulder",
         {"1120.000000 Rasante L2:3: shoulder_l -> new_edge_l"}},
        {"tapers/limit_stops_inside", {"1140.000000 Rasante L4:3: new_edge_l -> marking"}},
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
