// The batch command's exit codes and console report on the bundled samples
// and small variations of them.
#include "batch/BatchRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

using namespace vialto;
using namespace vialto::test;

namespace {

class RunConvertTest : public BatchTest {
  protected:
    int Run(const std::vector<std::string> &args) {
        const BatchResult run = Convert(args, "");
        out_ = run.Out;
        err_ = run.Err;
        return run.Code;
    }
    std::string out_, err_;
};

} // namespace

// What the command prints and answers for jobs the user may get wrong, and
// for the tree's leaves: each failed leaf says why (never "No errors found."
// under a cross), each leaf says what it is; a job that is not written leaves
// the document already at the output path as it was. Output and error texts
// are matched in parts.
TEST_F(RunConvertTest, ConsoleReportAndExitCodes) {
    const auto edited = [&](const std::string &sample, const std::string &name,
                            const std::string &from, const std::string &to) {
        return Edited(sample, name, {{from, to}});
    };
    WriteFileBytes(dir_ / "broken.xml",
                   "<?xml version=\"1.0\"?>\n<TunnelProfiles>\n<TunnelProfile sta=\"1\">\n"
                   "</TunnelProfiles>\n");
    // The sample report with V1's second row holding words for its height.
    std::string report = ReadFileBytes(SamplePath("listings/road_vt.rtf"));
    const std::string height = "745,320\\cell 1,2500";
    ASSERT_NE(report.find(height), std::string::npos);
    WriteFileBytes(dir_ / "words.rtf", report.replace(report.find(height), 7, "cota m\\'e1x"));
    const std::string out = (dir_ / "out.xml").string();
    struct Case {
        const char *Name;
        std::vector<std::string> Args;
        int Exit;
        std::vector<std::string> Out; // parts of the standard output
        std::vector<std::string> Err; // parts of the error output
    };
    const auto rail = [&](const std::string &vt, const std::string &cant) {
        return std::vector<std::string>{"--job", "rail", "--hz",   SamplePath("rail/single.plt"),
                                        "--vt",  vt,     "--cant", cant,
                                        "-o",    out};
    };
    const Case cases[] = {
        {"a listing that cannot be read",
         {"--job", "road", "--hz",
          edited("listings/road.plt", "bad.plt", "513145.805", "51314x.805"), "-o", out},
         kConvertImportFailed,
         {"\u2717 Horizontal alignment: bad\n      bad.plt, line 5: field 2 (X) is not a number: "
          "\"51314x.805\"\n"},
         {"nothing was written"}},
        {"a cant table that is not XML",
         rail(SamplePath("rail/single.alz"),
              edited("rail/single_cant.xml", "broken cant.xml", "</Cant>", "</Kant>")),
         kConvertImportFailed,
         {"\u2717 Cant table: broken cant\n      The file " + (dir_ / "broken cant.xml").string() +
          " is not well-formed XML: Start-end tags mismatch at line 21, column 3"},
         {}},
        // The profile starts 50 m into the track: the rails at the first cant
        // station would have no height.
        {"rails where the profile has no height",
         rail(edited("rail/single.alz", "late.alz", "0.000,100.000C", "50.000,100.400C"),
              SamplePath("rail/single_cant.xml")),
         kConvertImportFailed,
         {"\u2717 Cant table: single_cant\n      Chainage      \tDescription\n      0.0000        "
          "\tCant station lies outside the vertical alignment\n"},
         {}},
        {"an outdated cant table",
         {"--job", "rail", "--hz", SamplePath("rail/single.plt"), "--vt",
          SamplePath("rail/single.alz"), "--cant", SamplePath("cant/old_version.xml"), "-o", out},
         kConvertImportFailed,
         {"\u2717 Cant table: old_version\n      ", "cant table old_version "},
         {}},
        {"the two listings of a page",
         {"--hz", SamplePath("listings/road.plt"), "--vt", SamplePath("listings/road.alz"),
          "--tunnel", SamplePath("tunnel/profiles.xml"), "-o", out},
         kConvertWritten,
         {"\u2713 Horizontal alignment: road\n", "\u2713 Vertical alignment: road\n",
          "\u2713 Tunnel profiles: profiles\n"},
         {}},
        {"a tunnel job without its vertical listing",
         {"--hz", SamplePath("listings/road.plt"), "--tunnel", SamplePath("tunnel/profiles.xml"),
          "-o", out},
         kConvertImportFailed,
         {"\u2717 Tunnel profiles: profiles\n      No vertical alignment was read: the "
          "chainages of the tunnel profiles are checked against it."},
         {}},
        // The report row the user can find, and the letters of the cell as they are.
        {"a tunnel job whose vertical listing fails",
         {"--hz", SamplePath("listings/road.plt"), "--vt", (dir_ / "words.rtf").string(),
          "--tunnel", SamplePath("tunnel/profiles.xml"), "-o", out},
         kConvertImportFailed,
         {"\u2717 Vertical alignment: words\n      words.rtf, row 4 of the report (line 8 of the "
          "file): cell 4 (height) holds no number: \"cota m\u00e1x\"\n",
          "\u2717 Tunnel profiles: profiles\n      No vertical alignment was read"},
         {}},
        {"a malformed tunnel file",
         {"--hz", SamplePath("listings/road.plt"), "--vt", SamplePath("listings/road.alz"),
          "--tunnel", (dir_ / "broken.xml").string(), "-o", out},
         kConvertImportFailed,
         {"\u2717 Tunnel profiles: broken\n      The file " + (dir_ / "broken.xml").string() +
          " is not well-formed XML: Start-end tags mismatch at line 4, column 3"},
         {}},
        {"generated track profiles",
         {"--job-file", SamplePath("jobs/double-rail.job"), "-o", out},
         kConvertWritten,
         {"Left track files\n  \u2713 Horizontal alignment: double_left\n  \u2713 Vertical "
          "alignment: generated from the centre line\n  \u2713 Cant table: double_left_cant\n"},
         {}},
    };
    for (const Case &c : cases) {
        WriteFileBytes(out, "earlier document");
        EXPECT_EQ(Run(c.Args), c.Exit) << c.Name << "\n" << out_ << err_;
        for (const std::string &part : c.Out)
            EXPECT_NE(out_.find(part), std::string::npos) << c.Name << ": " << part << "\n" << out_;
        for (const std::string &part : c.Err)
            EXPECT_NE(err_.find(part), std::string::npos) << c.Name << ": " << part << "\n" << err_;
        EXPECT_EQ(out_.find("No errors found."), std::string::npos) << c.Name << "\n" << out_;
        if (c.Exit != kConvertWritten) {
            EXPECT_EQ(ReadFileBytes(out), "earlier document") << c.Name;
        }
    }
}

// A double track on one curve from end to end: the centre line an arc of
// radius R = 500 and 300 long, the tracks concentric 2 m to either side and a
// hair (4 mm, within the horizontal tolerance) beyond the normals at the
// centre line's ends, each with a cant table whose stations reach its ends.
// Each way of giving a track its heights, with each sampling: from the centre
// line (both tracks), from the other track's own profile. A profile is the
// grade 100 + 0.01 c of the chainage c of the alignment it comes from, at the
// point facing the track's chainage t, where the angle swept is (t - hair) /
// radius; every height, and the tracks' ends, checked against that.
TEST_F(RunConvertTest, TrackProfilesFromTheCentreLineOrTheOtherTrack) {
    const double R = 500, hair = 0.004;
    const auto plt = [&](double radius) { // "*PLT": chainage, x, y, azimuth (gon), radius, A
        const double delta = radius == R ? 0 : hair / radius;
        const double sweep = 300 / R + 2 * delta;
        const auto row = [&](double chainage, double phi, double r) {
            char line[160];
            std::snprintf(line, sizeof line, "%.6f,%.6f,%.6f,%.10f,%.4f,0\r\n", chainage,
                          1500 - radius * std::cos(phi), 2000 + radius * std::sin(phi),
                          std::fmod(phi * 200 / std::numbers::pi + 400, 400), r);
            return std::string(line);
        };
        return "*PLT\r\n" + row(0, -delta, 0) + row(radius * sweep, sweep - delta, radius);
    };
    const auto cant = [](const std::string &end) {
        const std::string station = "appliedCant=\"50\" rotationPoint=\"insideRail\"/>\r\n";
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- Cant table, format '1.1.0' "
               "-->\r\n"
               "<Cant version=\"1.1.0\" gauge=\"1.435\" superelevationBase=\"1.5\" "
               "rotationPoint=\"insideRail\" coPlane=\"false\">\r\n<CantStation "
               "station=\"0.000\" " +
               station + "<CantStation station=\"" + end + "\" " + station + "</Cant>\r\n";
    };
    WriteFileBytes(dir_ / "centre.plt", plt(R));
    WriteFileBytes(dir_ / "grade.alz", "*ALZ\r\n0.000,100.000C,0R\r\n300.000,103.000C,0R\r\n");
    // The same grade as far as the left track reaches.
    WriteFileBytes(dir_ / "left.alz", "*ALZ\r\n0.000,100.000C,0R\r\n301.208,103.01208C,0R\r\n");
    WriteFileBytes(dir_ / "left.plt", plt(R + 2));  // outside the curve: ends at 301.208
    WriteFileBytes(dir_ / "right.plt", plt(R - 2)); // inside: ends at 298.808
    WriteFileBytes(dir_ / "left_cant.xml", cant("301.208"));
    WriteFileBytes(dir_ / "right_cant.xml", cant("298.808"));
    const auto path = [&](const char *name) { return (dir_ / name).string(); };
    const std::vector<std::string> job = {
        "--job",        "double-rail",         "--hz",       path("centre.plt"),
        "--vt",         path("grade.alz"),     "--left-hz",  path("left.plt"),
        "--left-cant",  path("left_cant.xml"), "--right-hz", path("right.plt"),
        "--right-cant", path("right_cant.xml")};
    struct Row {
        std::vector<std::string> Options;
        const char *Track;     // the generated profile
        double Radius, Source; // the track's radius; the radius of the profile's alignment
        double End;            // the track's end
    };
    const double left = 301.208, right = 298.808;
    const Row rows[] = {
        {{"--tracks-vt-from-centre", "--centre-vt-sampling", "projected"}, "left", R + 2, R, left},
        {{"--tracks-vt-from-centre", "--centre-vt-sampling", "projected"},
         "right",
         R - 2,
         R,
         right},
        {{"--tracks-vt-from-centre", "--centre-vt-sampling", "along-track"},
         "left",
         R + 2,
         R,
         left},
        {{"--tracks-vt-from-centre", "--centre-vt-sampling", "along-track"},
         "right",
         R - 2,
         R,
         right},
        {{"--right-vt", path("grade.alz"), "--left-vt-from-right", "--left-vt-sampling",
          "projected"},
         "left",
         R + 2,
         R - 2,
         left},
        {{"--right-vt", path("grade.alz"), "--left-vt-from-right", "--left-vt-sampling",
          "along-track"},
         "left",
         R + 2,
         R - 2,
         left},
        {{"--left-vt", path("left.alz"), "--right-vt-from-left", "--right-vt-sampling",
          "projected"},
         "right",
         R - 2,
         R + 2,
         right},
        {{"--left-vt", path("left.alz"), "--right-vt-from-left", "--right-vt-sampling",
          "along-track"},
         "right",
         R - 2,
         R + 2,
         right},
    };
    const std::string output = (dir_ / "double.xml").string();
    for (const Row &row : rows) {
        std::vector<std::string> args = job;
        args.insert(args.end(), row.Options.begin(), row.Options.end());
        args.insert(args.end(), {"-o", output});
        SCOPED_TRACE(row.Options[0] + " " + row.Options.back() + " " + row.Track);
        ASSERT_EQ(Run(args), kConvertWritten) << out_ << err_;
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_file(output.c_str()));
        // The source's chainage c facing t; a source track starts a hair beyond too.
        const double sourceHair = row.Source == R ? 0 : hair;
        const auto expected = [&](double t) {
            const double c = sourceHair + (t - hair) * row.Source / row.Radius;
            return 100 + 0.01 * std::clamp(c, 0.0, 300 * row.Source / R + 2 * sourceHair);
        };
        const std::string query = std::string("//Alignment[@name='") + row.Track + "']//PVI";
        const pugi::xpath_node_set pvis = doc.select_nodes(query.c_str());
        ASSERT_GT(pvis.size(), 2u);
        double chainage = 0, height = 0;
        std::istringstream(pvis[0].node().child_value()) >> chainage;
        EXPECT_NEAR(chainage, 0, 1e-9);
        for (const pugi::xpath_node &pvi : pvis) {
            std::istringstream(pvi.node().child_value()) >> chainage >> height;
            // Feet are found to the millimetre: on the 1 % grade, 1e-5 in height.
            EXPECT_NEAR(height, expected(chainage), 1e-5) << chainage;
        }
        EXPECT_NEAR(chainage, row.End, 1e-6);
    }
}
