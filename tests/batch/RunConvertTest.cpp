// Every exit code of the batch command and its console report, on the
// bundled samples and small variations of them.
#include "batch/BatchRun.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace vialto::test {
namespace {

using RunConvertTest = BatchTest;

// What the command prints and answers for each exit code and for jobs the
// user may get wrong: each failed leaf says why, each leaf what it is. A run
// that does not write leaves the earlier document as it was, and nothing
// beside it.
TEST_F(RunConvertTest, ExitCodesAndConsoleReport) {
    // The sample report with V1's second row holding words for its height.
    std::string report = ReadFileBytes(SamplePath("listings/road_vt.rtf"));
    const std::string height = "745,320\\cell 1,2500";
    ASSERT_NE(report.find(height), std::string::npos);
    WriteFileBytes(dir_ / "words.rtf", report.replace(report.find(height), 7, "cota m\\'e1x"));
    WriteFileBytes(dir_ / "file", "x");
    // The output's folder: the earlier document, a folder where an output is
    // asked for, and one where the extended flavour's side file would go.
    const std::filesystem::path folder = dir_ / "out";
    std::filesystem::create_directories(folder / "dir.xml" / "x");
    std::filesystem::create_directories(folder / "out.xmlost" / "x");
    const std::string out = PathText(folder / "out.xml"), refused = PathText(dir_ / "refused");
    struct Case {
        const char *Name;
        std::vector<std::string> Args;
        int Exit;
        std::vector<std::string> Printed; // parts of the output; "2>..." of the error output
        bool Writes = false;
    };
    const auto job = [&](const char *name, const std::vector<std::string> &more) {
        return Plus(Plus(Job(name), more), {"-o", out});
    };
    const auto rail = [&](const std::string &vt, const std::string &cant) {
        return Plus({"--job", "rail", "--hz", SamplePath("rail/single.plt")},
                    {"--vt", vt, "--cant", cant, "-o", out});
    };
    const Case cases[] = {
        {"no arguments", {}, kConvertUsage, {"2>Usage: vialto-convert", "2>--help lists every"}},
        {"--help",
         {"--help", "-o", out},
         kConvertWritten,
         {"Usage: vialto-convert [options] -o FILE\n", "Exit codes: 0 written; 2 an input failed"}},
        {"the output is a folder",
         Plus(Job("road"), {"-o", PathText(folder / "dir.xml")}),
         kConvertExportFailed,
         {"2>the export failed; nothing was written to " + PathText(folder / "dir.xml")}},
        {"the side file cannot be made",
         job("road", {"--extended"}),
         kConvertExportFailed,
         {"2>the export failed; nothing was written to " + out}},
        // A tolerance finer than the document's own rounding (micrometres)
        // but not than the rail sample's listed points: the import passes,
        // the document cannot; the preview shows it.
        {"the proof refuses the document",
         job("rail", {"--tol-hz", "0.0000012", "--preview", refused}),
         kConvertProofFailed,
         {"): FAILED\n", "2>deviates from the imported design; nothing was written to " + out,
          "2>alignment \"single\", chainage ", "2> m over the tolerance 0.000001 m"}},
        {"the preview cannot be drawn",
         job("road", {"--preview", PathText(dir_ / "file" / "p")}),
         kConvertPreviewFailed,
         {"\nWrote " + out + "\n", "2>the preview could not be written: cannot create the folder"},
         true},
        {"a listing that cannot be read",
         {"--job", "road", "--hz",
          Edited("listings/road.plt", "bad.plt", {{"513145.805", "51314x.805"}}), "-o", out},
         kConvertImportFailed,
         {"\u2717 Horizontal alignment: bad\n      bad.plt, line 5: field 2 (X) is not a number: "
          "\"51314x.805\"\n",
          "2>nothing was written"}},
        {"a cant table that is not XML",
         rail(SamplePath("rail/single.alz"),
              Edited("rail/single_cant.xml", "broken cant.xml", {{"</Cant>", "</Kant>"}})),
         kConvertImportFailed,
         {"\u2717 Cant table: broken cant\n      The file " + (dir_ / "broken cant.xml").string() +
          " is not well-formed XML: Start-end tags mismatch at line 21, column 3"}},
        // The profile starts 50 m into the track: the rails at the first cant
        // station would have no height.
        {"rails where the profile has no height",
         rail(Edited("rail/single.alz", "late.alz", {{"0.000,100.000C", "50.000,100.400C"}}),
              SamplePath("rail/single_cant.xml")),
         kConvertImportFailed,
         {"\u2717 Cant table: single_cant\n      Chainage      \tDescription\n      0.0000        "
          "\tCant station lies outside the vertical alignment\n"}},
        {"an outdated cant table",
         rail(SamplePath("rail/single.alz"), SamplePath("cant/old_version.xml")),
         kConvertImportFailed,
         {"\u2717 Cant table: old_version\n      ", "cant table old_version "}},
        {"the two listings of a page",
         {"--hz", SamplePath("listings/road.plt"), "--vt", SamplePath("listings/road.alz"),
          "--tunnel", SamplePath("tunnel/profiles.xml"), "-o", out},
         kConvertWritten,
         {"\u2713 Horizontal alignment: road\n", "\u2713 Vertical alignment: road\n",
          "\u2713 Tunnel profiles: profiles\n", "\nWrote " + out + "\n"},
         true},
        // The report row the user can find, and the letters of the cell as they are.
        {"a tunnel job whose vertical listing fails",
         {"--hz", SamplePath("listings/road.plt"), "--vt", (dir_ / "words.rtf").string(),
          "--tunnel", SamplePath("tunnel/profiles.xml"), "-o", out},
         kConvertImportFailed,
         {"\u2717 Vertical alignment: words\n      words.rtf, row 4 of the report (line 8 of the "
          "file): cell 4 (height) holds no number: \"cota m\u00e1x\"\n",
          "\u2717 Tunnel profiles: profiles\n      No vertical alignment was read: the "
          "chainages of the tunnel profiles are checked against it."}},
        {"generated track profiles",
         job("double-rail", {}),
         kConvertWritten,
         {"Left track files\n  \u2713 Horizontal alignment: double_left\n  \u2713 Vertical "
          "alignment: generated from the centre line\n  \u2713 Cant table: double_left_cant\n"},
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(out, "earlier document");
        const BatchResult run = Convert(c.Args, "");
        EXPECT_EQ(run.Code, c.Exit) << run.Out << run.Err;
        for (const std::string &part : c.Printed) {
            const bool err = part.rfind("2>", 0) == 0;
            EXPECT_THAT(err ? run.Err : run.Out, HasSubstr(part.substr(err ? 2 : 0)));
        }
        EXPECT_THAT(run.Out, Not(HasSubstr("No errors found.")));
        EXPECT_TRUE(c.Exit != kConvertWritten || run.Err.empty()) << run.Err;
        const std::string now = ReadFileBytes(out);
        EXPECT_TRUE(c.Writes ? now.rfind("<?xml", 0) == 0 : now == "earlier document") << now;
        EXPECT_EQ(FolderNames(folder),
                  (std::vector<std::string>{"dir.xml", "out.xml", "out.xmlost"}));
    }
    EXPECT_NE(ReadFileBytes(dir_ / "refused" / "plan.svg").find("#d00000"), std::string::npos)
        << "what failed is drawn in red";
}

// A double track on one arc (R = 500, 300 long), the tracks concentric 2 m to
// either side and a hair (4 mm, within the tolerance) beyond the centre line's
// end normals. A track's heights from the other track's profile (those from
// the centre line are the sample job's), with each sampling: the grade
// 100 + 0.01 c at the other track's chainage c facing the track's chainage t,
// where the angle swept is (t - hair) / radius.
TEST_F(RunConvertTest, TrackProfilesFromTheOtherTrack) {
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
    const auto path = [&](const char *name) { return PathText(dir_ / name); };
    const std::vector<std::string> job = {
        "--job",        "double-rail",         "--hz",       path("centre.plt"),
        "--vt",         path("grade.alz"),     "--left-hz",  path("left.plt"),
        "--left-cant",  path("left_cant.xml"), "--right-hz", path("right.plt"),
        "--right-cant", path("right_cant.xml")};
    struct Way {
        std::vector<std::string> Options; // the sampling's value follows
        const char *Track;                // the generated profile
        double Radius, Source; // the track's radius; the radius of the profile's alignment
    };
    const std::vector<std::string> fromRight = {"--right-vt", path("grade.alz"),
                                                "--left-vt-from-right", "--left-vt-sampling"},
                                   fromLeft = {"--left-vt", path("left.alz"),
                                               "--right-vt-from-left", "--right-vt-sampling"};
    const Way ways[] = {{fromRight, "left", R + 2, R - 2}, {fromLeft, "right", R - 2, R + 2}};
    for (const Way &way : ways)
        for (const std::string sampling : {"projected", "along-track"}) {
            SCOPED_TRACE(way.Options[0] + " " + sampling + " " + way.Track);
            const BatchResult run = Convert(Plus(job, Plus(way.Options, {sampling})));
            ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
            // The other track's chainage c facing t; it too starts a hair beyond.
            const auto expected = [&](double t) {
                const double c = hair + (t - hair) * way.Source / way.Radius;
                return 100 + 0.01 * std::clamp(c, 0.0, 300 * way.Source / R + 2 * hair);
            };
            const auto pvis = run.Doc->select_nodes(
                ("//Alignment[@name='" + std::string(way.Track) + "']//PVI").c_str());
            ASSERT_GT(pvis.size(), 2u);
            EXPECT_NEAR(Numbers(pvis.first().node().child_value()).at(0), 0, 1e-9);
            std::vector<double> p;
            std::size_t onTrackSteps = 0; // PVIs on a 0.5 m step of the track's own chainage
            for (const pugi::xpath_node &pvi : pvis) {
                p = Numbers(pvi.node().child_value());
                // Feet are found to the millimetre: on the 1 % grade, 1e-5 in height.
                EXPECT_NEAR(p.at(1), expected(p.at(0)), 1e-5) << p.at(0);
                onTrackSteps += std::abs(p.at(0) * 2 - std::round(p.at(0) * 2)) < 1e-6;
            }
            // Along the track the samples stand on the track's own steps;
            // projected, on the other track's steps carried over, 2 m further
            // out or in, which (but for the start) miss them.
            EXPECT_EQ(onTrackSteps > pvis.size() / 2, sampling == "along-track") << onTrackSteps;
            EXPECT_NEAR(p.at(0), 300 * way.Radius / R + 2 * hair, 1e-6); // the track's end
        }
}

} // namespace
} // namespace vialto::test
