// Cross-section listings read, ruled and written whole. A break is one code on
// two features at consecutive stations: against the features each sample road
// was made from (*_known.txt, "chainage layer feature offset height" a line),
// only the known limits may break, each where it says. The work split between
// threads gives the same document, or failure, whatever the number of parts.
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

// A listing of `stations` sections 10 m apart whose lines start and end (the
// rules add copies), with blank lines, skipped "E" sections and repeated
// point lines; from station 400 on a new layer is listed first (layers are
// numbered in the order first named). `codes[k]`: the k-th point kind's code.
std::string Listing(int stations, const std::vector<std::string> &codes) {
    std::string text = "*TRV\r\nsplit test\r\n";
    for (int s = 0; s < stations; ++s) {
        if (s % 50 == 7)
            text += std::to_string(s * 10 + 5) + "E,2\r\n1,2,X\r\n3,4,X\r\n";
        if (s % 9 == 0)
            text += "\r\n";
        std::vector<std::string> lines;
        const double drift = (s % 13) * 0.05;
        if (s >= 400)
            lines.push_back("-6.000,99.000," + codes[3]);
        lines.push_back("-9.000,100.000," + codes[0]);
        lines.push_back(std::to_string(-7.5 - drift) + ",100.500," + codes[0]);
        for (int p = 0; p < 3 + (s / 7) % 2; ++p)
            lines.push_back(std::to_string(-3.5 + 2.5 * p + drift) + ",101.000," + codes[1]);
        lines.push_back("3.500,101.000," + codes[2]);
        lines.push_back(""); // repeats the line before
        lines.push_back("4.000,100.800," + codes[2]);
        text += std::to_string(s * 10) + "," + std::to_string(lines.size()) + "\r\n";
        for (const std::string &line : lines)
            text += line + "\r\n";
    }
    return text;
}

class CrossSectionListing : public LandXmlFixture {
  protected:
    void SetUp() override {
        LandXmlFixture::SetUp();
        StoreWithVerticalAlignment();
    }

    // The document of the listing read, ruled and exported in `parts` parts;
    // a failed reading gives its failure's text instead.
    std::string Convert(const std::string &listing, std::string_view extension = "TRV",
                        std::size_t parts = 1) {
        CrossSectionSet set;
        ListingFailure failure;
        if (!ReadCrListing(listing, extension, set, &failure, "listing", parts)) {
            ExpectMessage(failure.Text());
            return failure.Text();
        }
        return WriteStraight(0, 15000, [&] {
            NullProgress progress;
            double first = 0, last = 0;
            EXPECT_EQ(CrExportResult::Written,
                      RuleAndExportCrossSections(set, "", 0, 0, progress, first, last, parts));
        });
    }
};

} // namespace

TEST_F(CrossSectionListing, EveryFeatureKeepsItsLineExceptTheKnownLimits) {
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
    EXPECT_EQ(Breaks(Convert(ReadFileBytes(SourcePath("samples/cross/road.trv"))),
                     ReadKnownFeatures(SourcePath("samples/cross/road_cr_known.txt"))),
              std::vector<std::string>{});
    for (const Sample &sample : samples) {
        const std::string base = "samples/cross/tapers/" + sample.Name;
        EXPECT_EQ(Breaks(Convert(ReadFileBytes(SourcePath(base + ".trv"))),
                         ReadKnownFeatures(SourcePath(base + "_known.txt"))),
                  sample.Breaks)
            << sample.Name;
    }
}

TEST_F(CrossSectionListing, SameDocumentAndSameFailureInAnyNumberOfParts) {
    const std::vector<std::string> named = {"IDESMO1", "IEJE", "ISUBRAS1", "IEXPLA1"};
    const std::vector<std::string> fixed = {"T1", "P1", "S1", "T2"};
    std::string failing = Listing(1500, named);
    failing.replace(failing.rfind("-9.000,100.000"), 6, "-9.0x0");
    const std::string ended = Listing(200, named) + "FIN\r\n" + Listing(1000, named).substr(6) +
                              "10,2\r\nnot a point\r\n";
    const struct {
        const char *Name;
        std::string Text;
        const char *Extension;
        const char *Expected; // in the document or the failure
    } cases[] = {
        {"layer names", Listing(1500, named), "TRV2", "<CrossSect sta=\"14990.000000\">"},
        {"point codes", Listing(1500, fixed), "TRV", "<CrossSect sta=\"14990.000000\">"},
        {"a failure late in the listing", failing, "TRV2", "field 1 (offset) is not a number"},
        {"FIN before the middle", ended, "TRV2", "<CrossSect sta=\"1990.000000\">"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string whole = Convert(c.Text, c.Extension, 1);
        EXPECT_NE(whole.find(c.Expected), std::string::npos) << whole.substr(0, 300);
        for (const std::size_t parts : {2, 5})
            EXPECT_EQ(whole, Convert(c.Text, c.Extension, parts)) << parts << " parts";
    }
}
