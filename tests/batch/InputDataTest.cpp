// What the bundled samples never hold, through the batch command: names that
// need escaping, a gauge widening, cant stations given on the centre line.
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
    const std::string output = "Año & 'ñ'/" + name + ".xml";
    const BatchResult run =
        Convert({"--job", "tunnel", "--hz", place("listings/road.plt", name + ".plt"), "--vt",
                 place("listings/road.alz", name + ".alz"), "--tunnel",
                 place("tunnel/profiles.xml", name + ".xml.in.xml")},
                output);
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    EXPECT_THAT(run.Out, HasSubstr("Wrote " + PathText(dir_.Path() / Utf8Path(output))));
    EXPECT_EQ(run.At("//Alignment/@name"), name);
    EXPECT_EQ(run.At("//Project/@name"),
              "<" + name + ".plt + " + name + ".alz + " + name + ".xml.in.xml>");
    EXPECT_EQ(ValidateLandXmlKnownForms(dir_.Path() / Utf8Path(output)), "");
    const std::string escaped = XmlText(name);
    std::string expected =
        ReplaceAll(ReadFileBytes(SourcePath("tests/batch/golden/tunnel.xml")),
                   "road.plt + road.alz + profiles.xml",
                   escaped + ".plt + " + escaped + ".alz + " + escaped + ".xml.in.xml");
    expected = ReplaceAll(expected, "name=\"road\"", "name=\"" + escaped + "\"");
    EXPECT_EQ(WithoutAuthor(run.Bytes), expected);
}

// A widening of 5 mm shared by both rails: the rails stand apart by the gauge
// across the cant plus the widening, centred on the axis.
TEST_F(InputData, GaugeWideningInMillimetres) {
    const std::string cant =
        Edited("rail/single_cant.xml", "widened.xml",
               {{"widthExcess=\"0\"", "widthExcess=\"5\""},
                {"widthExcessType=\"highestRail\"", "widthExcessType=\"halfToBothRails\""}});
    const BatchResult run = Convert({"--job", "rail", "--hz", SamplePath("rail/single.plt"), "--vt",
                                     SamplePath("rail/single.alz"), "--cant", cant});
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    EXPECT_NEAR(ExpectRailsApart(*run.Doc, 0.005), 0.120, 1e-6); // the table's largest cant
}

// The left track's cant stations given at the centre line's chainages of its
// element ends (stationType "chainageCentreline") are moved onto the track.
// Where the centre line is straight the track runs parallel to it, so a
// station at a straight's end lands on the track's own straight's end as the
// track's listing gives it, to the millimetre the projection keeps.
TEST_F(InputData, CantStationsGivenOnTheCentreLine) {
    std::vector<std::pair<std::string, std::string>> edits = {
        {"stationType=\"centreline\"", "stationType=\"chainageCentreline\""}};
    // The track's stations (its listing's element ends, rounded) and the
    // centre line's element ends facing them.
    const std::pair<const char *, const char *> moved[] = {
        {"1250.750", "1250.000"}, {"1400.750", "1400.000"}, {"2100.750", "2100.000"},
        {"2220.750", "2220.000"}, {"2719.923", "2720.000"}, {"2839.923", "2840.000"}};
    for (const auto &[track, centre] : moved)
        edits.emplace_back(std::string("station=\"") + track + "\"",
                           std::string("station=\"") + centre + "\"");
    const BatchResult run = Convert(
        Plus(Job("double-rail"),
             {"--left-cant", Edited("rail/double_left_cant.xml", "left on centre.xml", edits)}));
    ASSERT_EQ(run.Code, kConvertWritten) << run.Out << run.Err;
    std::vector<double> stations;
    for (const pugi::xpath_node &sta :
         run.Doc->select_nodes("//Alignment[@name='double_left']//CrossSect/@sta"))
        stations.push_back(sta.attribute().as_double());
    const auto near = [&](double at, double within) {
        return std::count_if(stations.begin(), stations.end(),
                             [&](double s) { return std::abs(s - at) <= within; });
    };
    for (const double end : {650.000082, 1400.750082, 2100.750060, 2839.923394})
        EXPECT_GT(near(end, 0.0011), 0) << end;
    for (const double unmoved : {1250.0, 1400.0, 2100.0})
        EXPECT_EQ(near(unmoved, 0.01), 0) << unmoved;
}

} // namespace
} // namespace vialto::test
