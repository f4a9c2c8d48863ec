// Each option of the batch command against the run without it: what changes in
// the written document or in the printed summary, judged on the program's
// output with values taken from the sample listings themselves.
#include "batch/BatchRun.h"

#include <functional>

namespace vialto::test {
namespace {

using Check = std::function<void(const BatchResult &without, const BatchResult &with)>;

struct OptionRow {
    const char *Option;
    std::vector<std::string> Base; // the run without the option
    std::vector<std::string> Extra;
    Check Expect;
};

// The lines of the printed summary: its title and the indented lines after it.
std::string Summary(const std::string &out) {
    std::size_t end = out.find("Summary\n");
    if (end == std::string::npos)
        return "";
    const std::size_t from = end;
    end += 8;
    while (out.compare(end, 2, "  ") == 0)
        end = out.find('\n', end) + 1;
    return out.substr(from, end - from);
}

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
    std::string hzGap_, vtGap_;
};

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
        // it pass, and only in its own check.
        {"--tol-hz",
         Road(hzGap_, vt),
         {"--tol-hz", "0.06"},
         [](const BatchResult &without, const BatchResult &with) {
             EXPECT_EQ(without.Code, kConvertImportFailed);
             EXPECT_NE(without.Out.find("\u2717 Horizontal alignment: hz gap"), std::string::npos);
             EXPECT_NE(without.Out.find("13340.0000"), std::string::npos) << without.Out;
             EXPECT_EQ(without.Bytes, "");
             EXPECT_EQ(with.Code, kConvertWritten) << with.Out;
         }},
        {"--tol-hz leaves a vertical gap failing",
         Road(hz, vtGap_),
         {"--tol-hz", "0.06"},
         [](const BatchResult &, const BatchResult &with) {
             EXPECT_EQ(with.Code, kConvertImportFailed);
         }},
        {"--tol-vt",
         Road(hz, vtGap_),
         {"--tol-vt", "0.06"},
         [](const BatchResult &without, const BatchResult &with) {
             EXPECT_EQ(without.Code, kConvertImportFailed);
             EXPECT_NE(without.Out.find("13771.5000    \t0.0495"), std::string::npos)
                 << without.Out;
             EXPECT_EQ(with.Code, kConvertWritten) << with.Out;
             EXPECT_EQ(Summary(with.Out), kRoadSummary);
         }},
        {"--tol-vt leaves a horizontal gap failing",
         Road(hzGap_, vt),
         {"--tol-vt", "0.06"},
         [](const BatchResult &, const BatchResult &with) {
             EXPECT_EQ(with.Code, kConvertImportFailed);
         }},
        // The listings' numbers are taken as feet: the document says so and
        // keeps the numbers; the summary shows the unit.
        {"--unit",
         Road(hz, vt),
         {"--unit", "ft"},
         [](const BatchResult &without, const BatchResult &with) {
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
         [](const BatchResult &without, const BatchResult &with) {
             EXPECT_EQ(Summary(without.Out), kRoadSummary);
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
         [](const BatchResult &without, const BatchResult &with) {
             EXPECT_EQ(without.Count("//CrossSectSurf[@name='Subrasante']"), 271u);
             EXPECT_EQ(with.Count("//CrossSectSurf[@name='Subrasante']"), 0u);
             EXPECT_EQ(with.Count("//CrossSectSurf[@name='Rasante']"), 271u);
             EXPECT_EQ(with.Count("//CrossSectSurf[@name='Taludes']"), 271u);
         }},
        {"--name",
         Road(hz, vt),
         {"--name", "Tramo 3 & \"ñ\""},
         [](const BatchResult &without, const BatchResult &with) {
             EXPECT_EQ(without.At("//Project/@name"), "<road.plt + road.alz + road.trv>");
             EXPECT_EQ(with.At("//Project/@name"), "Tramo 3 & \"ñ\"");
             EXPECT_NE(with.Bytes.find("name=\"Tramo 3 &amp; &quot;ñ&quot;\""), std::string::npos);
         }},
        // The stringline elements go to the extended root after the plain part,
        // which loses them.
        {"--extended",
         Road(hz, vt),
         {"--extended"},
         [](const BatchResult &without, const BatchResult &with) {
             EXPECT_EQ(without.Count("/LandXML/OstremLandXML"), 0u);
             EXPECT_GT(without.Count("//Feature[@code='SD Vertex Name']"), 0u);
             EXPECT_EQ(with.Count("/LandXML/OstremLandXML//SDVertexName"),
                       without.Count("//Feature[@code='SD Vertex Name']"));
             EXPECT_EQ(with.Count("/LandXML/Alignments//Feature[@code='SD Vertex Name']"), 0u);
         }},
    };
    for (const OptionRow &row : rows) {
        SCOPED_TRACE(row.Option);
        const BatchResult without = Convert(row.Base, "without.xml");
        std::vector<std::string> args = row.Base;
        args.insert(args.end(), row.Extra.begin(), row.Extra.end());
        const BatchResult with = Convert(args, "with.xml");
        row.Expect(without, with);
    }
}

} // namespace
} // namespace vialto::test
