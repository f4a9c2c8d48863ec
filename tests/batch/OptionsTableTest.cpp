// Each option of the batch command against the run without it: what changes in
// the written document or in the printed summary, judged on the program's
// output with values taken from the sample listings themselves.
#include "batch/BatchRun.h"

#include <cmath>
#include <functional>

namespace vialto::test {
namespace {

using Result = const BatchResult &;
using Check = std::function<void(Result without, Result with)>;

struct OptionRow {
    const char *Option;
    std::vector<std::string> Base; // the run without the option
    std::vector<std::string> Extra;
    Check Expect;
};

// The listings with a gap: the horizontal element at 13340 starts 0.05 east of
// where the one before ends; the vertical straight after the sag at 13528.5
// starts 0.05 above its end, whose height by hand is 741.007 - 0.018 * 243 +
// 243^2 / (2 * 9000) = 739.9135, a gap of 0.0495.
class OptionsTable : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        hzGap_ = Edited("listings/road.plt", "hz gap.plt", {{"513244.620", "513244.670"}});
        vtGap_ = Edited("listings/road_vt.txt", "vt gap.txt",
                        {{"13+771.500    739.913", "13+771.500    739.963"}});
    }
    std::vector<std::string> Road(const std::string &hz, const std::string &vt) const {
        return {"--job", "road", "--hz", hz, "--vt", vt, "--cross", SamplePath("cross/road.trv")};
    }
    std::string Dir(const std::string &name) const { return PathText(dir_ / name); }
    // The drawings of a preview's picture; 0 when it is no SVG document.
    std::size_t Drawings(const std::string &file) const {
        pugi::xml_document svg;
        if (!svg.load_file((dir_ / file).c_str()))
            return 0;
        return svg.child("svg").select_nodes("g[@class='drawing']").size();
    }
    std::string hzGap_, vtGap_;
};

// (chainage, height) of every PVI of the named alignment's profile.
std::vector<std::pair<double, double>> ProfilePoints(const BatchResult &run,
                                                     const std::string &alignment) {
    std::vector<std::pair<double, double>> points;
    const std::string path = "//Alignment[@name='" + alignment + "']//PVI";
    for (const pugi::xpath_node &pvi : run.Doc->select_nodes(path.c_str())) {
        const std::vector<double> p = Numbers(pvi.node().child_value());
        points.emplace_back(p.at(0), p.at(1));
    }
    return points;
}

// The sample's left track takes its heights from the centre line across a
// co-planar cant table (the right one's is not). The plane from outer rail to
// outer rail drops D = A tan(t) + B sin(t), with A = 4 between the tracks,
// base B = 1.5 and sin(t) = cant / B; the centre line read as the axis lies
// mid-plane, so read as the lower rail the left track rises (`sign` 1) by D/2,
// as the higher it falls (-1). Checked where the cant is constant.
void ExpectCoplanarTrackMoved(Result axis, Result moved, double sign) {
    ASSERT_EQ(moved.Code, kConvertWritten) << moved.Err;
    EXPECT_EQ(ProfilePoints(moved, "double_right"), ProfilePoints(axis, "double_right"));
    const double A = 4, B = 1.5;
    const struct {
        double From, To, Cant; // left track chainages; cant in metres
    } stretches[] = {{0, 500, 0},
                     {650, 1250.75, 0.060},
                     {1400.75, 2100.75, 0},
                     {2220.75, 2719.923, 0.070},
                     {2839.923, 3339.923, 0}};
    const auto before = ProfilePoints(axis, "double_left"),
               after = ProfilePoints(moved, "double_left");
    ASSERT_EQ(after.size(), before.size());
    std::size_t checked = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        const double t = before[i].first;
        ASSERT_EQ(after[i].first, t);
        for (const auto &s : stretches)
            if (t >= s.From && t <= s.To) {
                const double slope = std::asin(s.Cant / B);
                // A holds to a few millimetres; times tan(t) <= 0.047, below 1e-4.
                EXPECT_NEAR(after[i].second - before[i].second,
                            sign * (A * std::tan(slope) + B * std::sin(slope)) / 2, 1e-4)
                    << t;
                ++checked;
            }
    }
    EXPECT_GT(checked, before.size() / 2);
}

const std::string kRoadSummary = "Summary\n"
                                 "  Horizontal alignment start     12340.000 m.\n"
                                 "  Horizontal alignment end       15040.000 m.\n"
                                 "  Vertical alignment start       12340.000 m.\n"
                                 "  Vertical alignment end         15040.000 m.\n"
                                 "  Cross sections start           12340.000 m.\n"
                                 "  Cross sections end             15040.000 m.\n";

TEST_F(OptionsTable, EachOptionChangesWhatItNames) {
    const std::string hz = SamplePath("listings/road.plt"), vt = SamplePath("listings/road.alz");
    const OptionRow rows[] = {
        // A gap above the tolerance stops the run; the option's tolerance lets
        // it pass, and only in its own check: the other gap still fails.
        {"--tol-hz",
         Road(hzGap_, vt),
         {"--tol-hz", "0.06"},
         [&](Result without, Result with) {
             EXPECT_EQ(without.Code, kConvertImportFailed);
             EXPECT_THAT(without.Out, HasSubstr("\u2717 Horizontal alignment: hz gap"));
             EXPECT_THAT(without.Out, HasSubstr("13340.0000"));
             EXPECT_EQ(without.Bytes, "");
             EXPECT_EQ(with.Code, kConvertWritten) << with.Out;
             EXPECT_EQ(Convert(Plus(Road(hz, vtGap_), {"--tol-hz", "0.06"})).Code,
                       kConvertImportFailed);
         }},
        {"--tol-vt",
         Road(hz, vtGap_),
         {"--tol-vt", "0.06"},
         [&](Result without, Result with) {
             EXPECT_EQ(without.Code, kConvertImportFailed);
             EXPECT_THAT(without.Out, HasSubstr("13771.5000    \t0.0495"));
             EXPECT_EQ(with.Code, kConvertWritten) << with.Out;
             EXPECT_EQ(Summary(with.Out), kRoadSummary);
             EXPECT_EQ(Convert(Plus(Road(hzGap_, vt), {"--tol-vt", "0.06"})).Code,
                       kConvertImportFailed);
         }},
        // The listings' numbers are taken as feet: the document says so and
        // keeps the numbers; the summary shows the unit.
        {"--unit",
         Road(hz, vt),
         {"--unit", "ft"},
         [](Result without, Result with) {
             EXPECT_EQ(without.At("//Units/Metric/@linearUnit"), "meter");
             EXPECT_EQ(with.At("//Units/Imperial/@linearUnit"), "foot");
             EXPECT_EQ(with.Count("//Units/*"), 1u);
             const std::size_t units = without.Bytes.find("<Metric");
             const std::size_t after = without.Bytes.find('\n', units);
             EXPECT_EQ(with.Bytes.substr(with.Bytes.find('\n', with.Bytes.find("<Imperial"))),
                       without.Bytes.substr(after));
             EXPECT_EQ(ReplaceAll(Summary(with.Out), " fi.\n", " m.\n"), kRoadSummary);
         }},
        // 12800 lies in the straight listed from 12760 and 13500 in the one
        // from 13340 to 13690; the profile's elements holding the ends and the
        // two after (the sag from 12717 to the straight ending at 14260, as
        // road_vt.txt prints them); the stations every 10 m from 12800 to 13500.
        {"--from --to",
         Road(hz, vt),
         {"--from", "12+800", "--to", "13500"},
         [](Result, Result with) {
             EXPECT_EQ(Summary(with.Out), "Summary\n"
                                          "  Horizontal alignment start     12760.000 m.\n"
                                          "  Horizontal alignment end       13690.000 m.\n"
                                          "  Vertical alignment start       12717.000 m.\n"
                                          "  Vertical alignment end         14260.000 m.\n"
                                          "  Cross sections start           12800.000 m.\n"
                                          "  Cross sections end             13500.000 m.\n");
             EXPECT_EQ(with.At("//Alignment/@staStart"), "12760.000000");
             EXPECT_EQ(with.At("//Alignment/@length"), "930.000000");
             // The listing's points at 12760 and 13690, northing first.
             EXPECT_EQ(with.At("//CoordGeom/*[1]/Start"), "4501467.906000 512694.895000");
             EXPECT_EQ(with.At("//CoordGeom/*[last()]/End"), "4501519.934000 513589.031000");
             EXPECT_EQ(with.Count("//CrossSect"), 71u);
             EXPECT_EQ(with.At("//CrossSect[1]/@sta"), "12800.000000");
             EXPECT_EQ(with.At("//CrossSect[last()]/@sta"), "13500.000000");
         }},
        {"--layers",
         Road(hz, vt),
         {"--layers", "Rasante,Taludes"},
         [](Result without, Result with) {
             EXPECT_EQ(without.Count("//CrossSectSurf[@name='Subrasante']"), 271u);
             EXPECT_EQ(with.Count("//CrossSectSurf[@name='Subrasante']"), 0u);
             EXPECT_EQ(with.Count("//CrossSectSurf[@name='Rasante']"), 271u);
             EXPECT_EQ(with.Count("//CrossSectSurf[@name='Taludes']"), 271u);
         }},
        {"--name",
         Road(hz, vt),
         {"--name", "Tramo 3 & \"ñ\""},
         [](Result without, Result with) {
             EXPECT_EQ(without.At("//Project/@name"), "<road.plt + road.alz + road.trv>");
             EXPECT_EQ(with.At("//Project/@name"), "Tramo 3 & \"ñ\"");
             EXPECT_THAT(with.Bytes, HasSubstr("name=\"Tramo 3 &amp; &quot;ñ&quot;\""));
         }},
        // The stringline elements go to the extended root after the plain part,
        // which loses them.
        {"--extended",
         Road(hz, vt),
         {"--extended"},
         [](Result without, Result with) {
             EXPECT_EQ(without.Count("/LandXML/OstremLandXML"), 0u);
             EXPECT_GT(without.Count("//Feature[@code='SD Vertex Name']"), 0u);
             EXPECT_EQ(with.Count("/LandXML/OstremLandXML//SDVertexName"),
                       without.Count("//Feature[@code='SD Vertex Name']"));
             EXPECT_EQ(with.Count("/LandXML/Alignments//Feature[@code='SD Vertex Name']"), 0u);
         }},
        {"--rail-vt",
         Job("double-rail"),
         {"--rail-vt", "low"},
         [&](Result without, Result with) {
             ExpectCoplanarTrackMoved(without, with, 1);
             ExpectCoplanarTrackMoved(without,
                                      Convert(Plus(Job("double-rail"), {"--rail-vt", "high"})), -1);
         }},
        // The proof only reads: the same document and summary without its
        // figures, printed or in the preview's page.
        {"--no-proof",
         Plus(Job("road"), {"--preview", Dir("proved")}),
         {"--no-proof", "--preview", Dir("plain")},
         [&](Result without, Result with) {
             EXPECT_THAT(without.Out, HasSubstr("Proof: the document read back against the "
                                                "imported design (tolerances 0.010000 m plan, "
                                                "0.010000 m height): passed\n  road\n    plan"));
             EXPECT_EQ(with.Code, kConvertWritten);
             EXPECT_THAT(with.Out, Not(HasSubstr("Proof")));
             EXPECT_EQ(Summary(with.Out), kRoadSummary);
             EXPECT_TRUE(with.Bytes == without.Bytes);
             EXPECT_NE(ReadFileBytes(dir_ / "proved/index.html").find("Proof:"), std::string::npos);
             EXPECT_EQ(ReadFileBytes(dir_ / "plain/index.html").find("Proof"), std::string::npos);
         }},
        // 271 stations drawn every 10th (0, 10, ..., 270) or every 50th (0,
        // 50, ..., 250 and the last).
        {"--preview",
         Job("road"),
         {"--preview", Dir("every10")},
         [&](Result without, Result with) {
             EXPECT_THAT(without.Out, Not(HasSubstr("Drew")));
             EXPECT_THAT(with.Out, HasSubstr("Drew the preview into " + Dir("every10") + "\n"));
             EXPECT_EQ(Drawings("every10/plan.svg"), 1u);
             EXPECT_EQ(Drawings("every10/profile.svg"), 1u);
             EXPECT_EQ(Drawings("every10/sections.svg"), 28u);
         }},
        {"--preview-every",
         Job("road"),
         {"--preview", Dir("every50"), "--preview-every", "50"},
         [&](Result, Result) { EXPECT_EQ(Drawings("every50/sections.svg"), 7u); }},
    };
    for (const OptionRow &row : rows) {
        SCOPED_TRACE(row.Option);
        const BatchResult without = Convert(row.Base, "without.xml");
        const BatchResult with = Convert(Plus(row.Base, row.Extra), "with.xml");
        row.Expect(without, with);
    }
}

} // namespace
} // namespace vialto::test
