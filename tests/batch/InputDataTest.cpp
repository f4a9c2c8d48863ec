// What the bundled samples never hold, through the batch command: names that
// need escaping, a gauge widening, cant stations given on the centre line; and
// a document that cannot be put in place.
#include "batch/BatchRun.h"
#include "support/LandXmlKnownForms.h"

#include <algorithm>
#include <cmath>

namespace vialto::test {
namespace {

using InputData = BatchTest;

// The tunnel job with every file named with markup characters and letters
// beyond the ANSI code page, in a folder named so: the sample's document but
// for the names, escaped, and a valid document read back with the names as
// they were. (Windows does not allow < > " in file names.)
TEST_F(InputData, FileNamesWithMarkupAndAccents) {
#ifdef _WIN32
    const std::string name = "Eje 1 & 2 'ñ' Łódź Ω";
#else
    const std::string name = "Eje 1 & <2> \"ñ\" 'Łódź Ω'";
#endif
    const std::filesystem::path folder = dir_.Path() / Utf8Path("Año & 'ñ'");
    std::filesystem::create_directories(folder);
    const auto place = [&](const char *sample, const std::string &file) {
        const std::filesystem::path path = folder / Utf8Path(file);
        std::filesystem::copy_file(SamplePath(sample), path);
        return PathText(path);
    };
    const std::string output = PathText(folder / Utf8Path(name + ".xml"));
    const BatchResult run =
        Convert({"--job", "tunnel", "--hz", place("listings/road.plt", name + ".plt"), "--vt",
                 place("listings/road.alz", name + ".alz"), "--tunnel",
                 place("tunnel/profiles.xml", name + ".xml.in.xml"), "-o", output},
                "");
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    EXPECT_NE(run.Out.find("Wrote " + output), std::string::npos) << run.Out;
    const std::string written = ReadFileBytes(Utf8Path(output));
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(written.c_str()));
    EXPECT_EQ(std::string(doc.select_node("//Alignment/@name").attribute().value()), name);
    EXPECT_EQ(std::string(doc.select_node("//Project/@name").attribute().value()),
              "<" + name + ".plt + " + name + ".alz + " + name + ".xml.in.xml>");
    EXPECT_EQ(ValidateLandXmlKnownForms(Utf8Path(output)), "");
    const std::string escaped = XmlText(name);
    std::string expected =
        ReplaceAll(ReadFileBytes(SourcePath("tests/batch/golden/tunnel.xml")),
                   "road.plt + road.alz + profiles.xml",
                   escaped + ".plt + " + escaped + ".alz + " + escaped + ".xml.in.xml");
    expected = ReplaceAll(expected, "name=\"road\"", "name=\"" + escaped + "\"");
    EXPECT_EQ(WithoutAuthor(written), expected);
}

// A widening of 5 mm shared by both rails: every section's rails stand
// G sqrt(B^2 - c^2) / B apart across the cant c, plus the 5 mm carried across
// the rails' slope, 0.005 cos(asin(c / (B + 0.005))). G = 1.435 and B = 1.5 are
// the sample table's gauge and base; both rails are rounded to 6 decimals.
TEST_F(InputData, GaugeWideningInMillimetres) {
    const std::string cant =
        Edited("rail/single_cant.xml", "widened.xml",
               {{"widthExcess=\"0\"", "widthExcess=\"5\""},
                {"widthExcessType=\"highestRail\"", "widthExcessType=\"halfToBothRails\""}});
    const BatchResult run = Convert({"--job", "rail", "--hz", SamplePath("rail/single.plt"), "--vt",
                                     SamplePath("rail/single.alz"), "--cant", cant});
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    const double G = 1.435, B = 1.5, W = 0.005;
    const auto rails = run.Doc->select_nodes("//CrossSectSurf[@name='Rails']/PntList2D");
    ASSERT_GT(rails.size(), 500u);
    double largest = 0;
    for (const pugi::xpath_node &node : rails) {
        const std::vector<double> p = Numbers(node.node().child_value());
        ASSERT_EQ(p.size(), 4u);
        const double c = std::abs(p[1] - p[3]);
        largest = std::max(largest, c);
        const double spread =
            G * std::sqrt(B * B - c * c) / B + W * std::cos(std::asin(c / (B + W)));
        EXPECT_NEAR(p[2] - p[0], spread, 3e-6)
            << node.node().parent().parent().attribute("sta").value();
        EXPECT_NEAR(p[2], -p[0], 2e-6);
    }
    EXPECT_NEAR(largest, 0.120, 1e-6); // the table's largest cant
}

// The left track's cant stations given at the centre line's chainages of its
// element ends (stationType "chainageCentreline") are moved onto the track.
// Where the centre line is straight the track runs parallel to it, so a
// station at a straight's end lands on the track's own straight's end as the
// track's listing gives it, to the millimetre the projection keeps.
TEST_F(InputData, CantStationsGivenOnTheCentreLine) {
    std::string table = ReadFileBytes(SamplePath("rail/double_left_cant.xml"));
    table = ReplaceAll(table, "stationType=\"centreline\"", "stationType=\"chainageCentreline\"");
    // The track's stations (its listing's element ends, rounded) and the
    // centre line's element ends facing them.
    const std::pair<const char *, const char *> moved[] = {
        {"650.000", "650.000"},   {"1250.750", "1250.000"}, {"1400.750", "1400.000"},
        {"2100.750", "2100.000"}, {"2220.750", "2220.000"}, {"2719.923", "2720.000"},
        {"2839.923", "2840.000"}};
    for (const auto &[track, centre] : moved)
        table = ReplaceAll(table, std::string("station=\"") + track + "\"",
                           std::string("station=\"") + centre + "\"");
    WriteFileBytes(dir_ / "left on centre.xml", table);
    std::vector<std::string> args = Job("double-rail");
    args.insert(args.end(), {"--left-cant", PathText(dir_ / "left on centre.xml")});
    const BatchResult run = Convert(args);
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    std::vector<double> stations;
    for (const pugi::xpath_node &sta :
         run.Doc->select_nodes("//Alignment[@name='double_left']//CrossSect/@sta"))
        stations.push_back(sta.attribute().as_double());
    for (const double end : {650.000082, 1400.750082, 2100.750060, 2839.923394}) {
        const auto near = std::find_if(stations.begin(), stations.end(),
                                       [&](double s) { return std::abs(s - end) <= 0.0011; });
        EXPECT_NE(near, stations.end()) << end;
    }
    for (const double unmoved : {1250.0, 1400.0, 2100.0})
        EXPECT_EQ(std::count_if(stations.begin(), stations.end(),
                                [&](double s) { return std::abs(s - unmoved) < 0.01; }),
                  0)
            << unmoved;
}

// The document cannot be written: the output path is a folder, or the
// extended flavour's side file beside it cannot be made. The folder stays,
// and nothing is left beside it.
TEST_F(InputData, ExportFailuresLeaveNothingBehind) {
    for (const bool sideFile : {false, true}) {
        SCOPED_TRACE(sideFile ? "side file" : "output is a folder");
        TempDir folder;
        const std::filesystem::path output = folder / "out.xml";
        std::filesystem::create_directories(sideFile ? folder / "out.xmlost" / "x" : output / "x");
        std::vector<std::string> args = Job("road");
        args.insert(args.end(), {"--extended", "-o", PathText(output)});
        std::ostringstream out, err;
        EXPECT_EQ(RunConvert(args, out, err), kConvertExportFailed) << out.str();
        EXPECT_NE(err.str().find("the export failed; nothing was written to " + PathText(output)),
                  std::string::npos)
            << err.str();
        EXPECT_FALSE(ui_.Messages.empty());
        std::vector<std::string> left;
        for (const auto &entry : std::filesystem::directory_iterator(folder.Path()))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{sideFile ? "out.xmlost" : "out.xml"});
        EXPECT_TRUE(std::filesystem::is_directory(sideFile ? folder / "out.xmlost" : output));
        ui_.Messages.clear();
    }
}

} // namespace
} // namespace vialto::test
