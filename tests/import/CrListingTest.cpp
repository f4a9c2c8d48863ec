// The cross-section listing in its four forms, and reports as people lay them
// out and save them: our own sample tables saved as RTF by word processors
// (samples/rtf-writers/fixtures, made by make_fixtures.sh) and our printed
// reports with text around their tables. Each gives exactly what the original
// report gives, or a refusal where the writer left the table out of the file.
#include "import/CrListing.h"
#include "import/CrSecSet.h"
#include "import/HzListing.h"
#include "import/VtListing.h"

#include "crosssection/CrSecBuilder.h"
#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

namespace vialto {
namespace {

using test::ReadFileBytes;
using test::SourcePath;
using Points = std::vector<std::pair<double, double>>; // (offset, height)
// chainage -> (layer name, points) in the order of the surfaces; every value
// rounded to the micrometre
using StationMap = std::map<double, std::vector<std::pair<std::string, Points>>>;

double Micro(double metres) { return std::llround(metres * 1e6) / 1e6; }

StationMap ByLayerName(const CrossSectionSet &set, const std::string &asRasante = "") {
    StationMap map;
    for (const CrossSection &station : set.Stations)
        for (const CrSecSurface &surface : station.Surfaces) {
            const std::string &name = set.Layers.at(surface.Layer).Name;
            Points &points = map[Micro(station.Chainage)]
                                 .emplace_back(name == asRasante ? "Rasante" : name, Points{})
                                 .second;
            for (const CrSecPoint &p : surface.Points)
                points.emplace_back(Micro(p.Offset), Micro(p.Height));
        }
    return map;
}

CrossSectionSet Read(std::string_view text, std::string_view extension) {
    CrossSectionSet set;
    ListingFailure failure;
    EXPECT_TRUE(ReadCrListing(text, extension, set, &failure)) << failure.Text();
    return set;
}

std::vector<std::string> LayerNames(const CrossSectionSet &set) {
    std::vector<std::string> names;
    for (const CrSecLayer &layer : set.Layers)
        names.push_back(layer.Name);
    return names;
}

TEST(CrListing, EverySampleFormGivesTheTemplate) {
    // The template the samples were written from (samples/cross/make_cross.py).
    StationMap known;
    std::ifstream in(SourcePath("samples/cross/road_cr_known.txt"));
    double chainage, offset, height;
    std::string layer, feature;
    for (std::string line; std::getline(in, line);)
        if (std::istringstream(line) >> chainage >> layer >> feature >> offset >> height) {
            auto &layers = known[Micro(chainage)];
            if (layers.empty() || layers.back().first != layer)
                layers.emplace_back(layer, Points{});
            layers.back().second.emplace_back(Micro(offset), Micro(height));
        }
    ASSERT_EQ(known.size(), 271u);

    test::RecordingUi ui;
    const std::vector<std::string> fixed{"Taludes", "Cunetas", "Subrasante", "Rasante"};
    const std::vector<std::string> keywords{"Taludes", "Subrasante", "Plataforma"};
    const std::pair<const char *, std::vector<std::string>> forms[] = {{"road.trv", fixed},
                                                                       {"road.trv2", keywords},
                                                                       {"road_cr.rtf", fixed},
                                                                       {"road_cr.txt", fixed}};
    for (const auto &[file, layers] : forms) {
        CrossSectionSet set;
        ListingFailure failure;
        ASSERT_TRUE(ImportCrAligment(set, SourcePath("samples/cross/" + std::string(file)).string(),
                                     "", &failure))
            << failure.Text();
        EXPECT_EQ(LayerNames(set), layers) << file;
        EXPECT_EQ(ByLayerName(set, "Plataforma"), known) << file;
    }
    EXPECT_TRUE(ui.Messages.empty());
}

TEST(CrListing, TrvFamiliesSkippedSectionsAndRepeatedPoints) {
    const std::string text = "*TRV\r\nignored\r\n"
                             "0E,3\r\n1,2,P\r\n3,4,P\r\n5,6,P\r\n" // skipped
                             "100.5,7\r\n"
                             "-8,10,C1\r\n" // ditch code: family 0 (Taludes)
                             "-7,9,MDX\r\n"
                             "-7,9,MDX\r\n" // repeated: dropped
                             "-3.5,10.5,P\r\n"
                             "2,10.4,MU3\r\n"      // subgrade
                             "9,9,mp\r\n"          // no family: dropped
                             "\r\n"                // empty: repeats the line before
                             "200,1\r\n9,9,MX\r\n" // only unknown codes: no station
                             "FIN\r\n300,1\r\n1,1,P\r\n";
    EXPECT_EQ(ByLayerName(Read(text, "TRV")), (StationMap{{100.5,
                                                           {{"Taludes", {{-8, 10}, {-7, 9}}},
                                                            {"Subrasante", {{2, 10.4}}},
                                                            {"Rasante", {{-3.5, 10.5}}}}}}));
}

TEST(CrListing, Trv2LayersByKeywordInOrderOfAppearance) {
    const std::string text = "*TRV\r\nx\r\n"
                             "10,4\r\n-5,1,IBERMA\r\n-5,1,IBERMA\r\n0,1,EJE\r\n6,0,DCUNETA\r\n"
                             "20,3\r\n-5,1,ISUBRAS\r\n0,1,ISUBRA\r\n7,0,MURO1\r\nFIN\r\n";
    const CrossSectionSet set = Read(text, "TRV2");
    EXPECT_EQ(LayerNames(set), (std::vector<std::string>{"Plataforma", "Taludes", "Subrasante"}));
    // The repeated point reaches the set once: the set never holds two points
    // at one place.
    EXPECT_EQ(
        ByLayerName(set),
        (StationMap{
            {10, {{"Plataforma", {{-5, 1}, {0, 1}}}, {"Taludes", {{6, 0}}}}},
            {20, {{"Plataforma", {{0, 1}}}, {"Taludes", {{7, 0}}}, {"Subrasante", {{-5, 1}}}}}}));
}

TEST(CrListing, PrintedChainageFiveCharactersAfterTheFirstWordOfEachLine) {
    const std::string block = "\r\n=====  =====  =====  =====  =====  =====  =====  =====\r\n"
                              "     1.000   2.000\r\n\r\n";
    for (const std::string &text : {
             "P.K.    1200.5" + block + "P.K.    1210" + block,
             "   P.K.    1200.5" + block + "  P.K.    1210" + block, // indented
             "P.K.:    1200.5" + block + "P.K.    1210" + block,     // shorter after longer
         }) {
        std::vector<double> chainages;
        for (const CrossSection &station : Read(text, "TXT").Stations)
            chainages.push_back(station.Chainage);
        EXPECT_EQ(chainages, (std::vector<double>{1200.5, 1210})) << text;
    }
}

// Printed rows of four words: two points without codes, each pair of words
// taken by the columns it stands in (the slopes and the surface, or the
// surface and the subgrade).
TEST(CrListing, PrintedRowsOfFourWords) {
    const std::string rule = "==========  ==========  ====  ==========  ==========  ====  "
                             "==========  ==========";
    const std::string text = "P.K.    100.000\r\n  TALUDES       RASANTE       SUBRASANTE\r\n" +
                             rule + "\r\n" + std::string(30, ' ') +
                             "    -3.500      99.930        " + "     0.000      99.400\r\n" +
                             "   -10.000     101.890        " + "    -5.500      99.890\r\n";
    EXPECT_EQ(ByLayerName(Read(text, "TXT")),
              (StationMap{{100,
                           {{"Taludes", {{-10, 101.89}}},
                            {"Subrasante", {{0, 99.4}}},
                            {"Rasante", {{-3.5, 99.93}, {-5.5, 99.89}}}}}}));
}

TEST(AddStation, SurfacesInLayerOrderWithoutRepeatsAndTheFirstCodes) {
    CrossSectionSet set;
    set.Layers = {{"Taludes", {}}, {"Cunetas", {}}, {"Subrasante", {}}, {"Rasante", {}}};
    std::array<CrListPoints, 4> lists;
    AddStation(set, 100, lists);
    EXPECT_TRUE(set.Stations.empty()) << "all lists empty: nothing added";
    lists[3] = {{-3.5, 10, "P"}, {-3.5, 10, "P"}, {0, 10.1, "P"}};
    lists[0] = {{-8, 9, "T"}};
    AddStation(set, 100, lists);
    AddStation(set, 110, lists); // the layers have codes now: left to the rules
    // The second form removes consecutive repeats of each list first.
    // Each point is compared with its neighbour in the input: a drift of tiny
    // steps goes, a vertical face and a point beyond 0.0001 stay.
    const CrListPoints drift = {{0, 1, ""}, {0.00006, 1, ""}, {0.00012, 1, ""},
                                {1, 1, ""}, {1, 2, ""},       {1.00011, 2, ""}};
    AddStation(set, 120, std::vector<CrListPoints>{{}, drift});
    const auto summary = [](const CrossSection &s) {
        std::string text = std::to_string(static_cast<int>(s.Chainage));
        for (const CrSecSurface &surface : s.Surfaces)
            text += " | " + std::to_string(surface.Layer) + ": " + test::CodesOf(surface.Points);
        return text;
    };
    ASSERT_EQ(set.Stations.size(), 3u);
    EXPECT_EQ(summary(set.Stations[0]), "100 | 0: -8.000 | 3: -3.500 0.000");
    EXPECT_EQ(summary(set.Stations[1]), "110 | 0: - | 3: - -");
    EXPECT_EQ(summary(set.Stations[2]), "120 | 1: 0.000 1.000 1.000_2 1.000_3") << "Cunetas starts";
}

using Lines = std::vector<std::string>;

// The values as one line, each exact: the fixtures hold the very texts of the
// original's cells.
template <class... Values> std::string Line(const Values &...values) {
    std::ostringstream line;
    line.precision(17);
    ((line << values << ' '), ...);
    return line.str();
}

// One line per element or station.
Lines Records(const HzAlignment &elements) {
    Lines lines;
    for (const HzElement &e : std::vector(elements.begin() + 1, elements.end()))
        lines.push_back(
            Line(e.Number, e.Chainage, e.Length, e.X, e.Y, e.Azimuth, e.Radius, e.Parameter));
    return lines;
}
Lines Records(const VtAlignment &elements) {
    Lines lines;
    for (const VtElement &e : std::vector(elements.begin() + 1, elements.end()))
        lines.push_back(Line(e.Number, e.Chainage, e.Height, e.Grade, e.Parameter, e.Length));
    return lines;
}
Lines Records(const CrossSectionSet &set) {
    Lines lines;
    for (const CrossSection &station : set.Stations) {
        std::string line = Line(station.Chainage);
        for (const CrSecSurface &surface : station.Surfaces) {
            line += "| " + Line(surface.Layer);
            for (const CrSecPoint &p : surface.Points)
                line += Line(p.Offset, p.Height);
        }
        lines.push_back(line);
    }
    return lines;
}

// The records of an RTF report read as `kind` ("hz", "vt", "cr"); none when
// the reader refuses it.
std::optional<Lines> ReadRtf(const std::string &kind, std::string_view rtf, ListingFailure &failure,
                             const std::string &file = "") {
    HzAlignment hz;
    VtAlignment vt;
    CrossSectionSet cr;
    if (!(kind == "hz"   ? ReadHzRtfListing(rtf, hz, &failure, file)
          : kind == "vt" ? ReadVtRtfListing(rtf, vt, &failure, file)
                         : ReadCrListing(rtf, "RTF", cr, &failure, file)))
        return std::nullopt;
    return kind == "hz" ? Records(hz) : kind == "vt" ? Records(vt) : Records(cr);
}

TEST(ReportLayouts, EveryWriterFixtureGivesTheOriginalOrIsRefused) {
    test::RecordingUi ui;
    std::map<std::string, Lines> original;
    for (const auto &[kind, path] : {std::pair{"hz", "listings/road_hz.rtf"},
                                     {"vt", "listings/road_vt.rtf"},
                                     {"cr", "cross/road_cr.rtf"}}) {
        ListingFailure failure;
        original[kind] = ReadRtf(kind, ReadFileBytes(test::SamplePath(path)), failure).value();
    }
    std::map<std::string, int> converted, refused;
    for (const auto &entry :
         std::filesystem::directory_iterator(SourcePath("samples/rtf-writers/fixtures"))) {
        const std::string file = entry.path().filename().string();
        SCOPED_TRACE(file);
        // <writer>_<reader>_<layout>.rtf
        const std::vector<std::string> parts = Split(ListingName(file), "_");
        ASSERT_EQ(parts.size(), 3u);
        const std::string &writer = parts[0], &kind = parts[1], &layout = parts[2];
        const std::string rtf = ReadFileBytes(entry.path());
        ListingFailure failure;
        const std::optional<Lines> read = ReadRtf(kind, rtf, failure, file);
        // This writer leaves a frame's table out of the RTF file: the report
        // truly holds no data, and the readers say so.
        if (writer == "lo-odt" && layout == "frame") {
            EXPECT_EQ(rtf.find("12+340"), std::string::npos);
            EXPECT_FALSE(read);
            EXPECT_NE(failure.Reason.find(" found"), std::string::npos) << failure.Text();
            ++refused[kind];
            continue;
        }
        ASSERT_TRUE(read) << failure.Text();
        if (kind != "cr") {
            EXPECT_EQ(*read, original[kind]);
        } else { // the original's stations of the same chainages: 4 of them, or all
            EXPECT_EQ(read->size(), layout == "long" ? 271u : 4u);
            for (const std::string &station : *read)
                EXPECT_NE(std::find(original[kind].begin(), original[kind].end(), station),
                          original[kind].end())
                    << station;
        }
        ++converted[kind];
    }
    // Five writers and five layouts for each reader, and the long cross
    // sections from one writer; one frame of each reader refused.
    EXPECT_EQ(converted, (std::map<std::string, int>{{"cr", 25}, {"hz", 24}, {"vt", 24}}));
    EXPECT_EQ(refused, (std::map<std::string, int>{{"cr", 1}, {"hz", 1}, {"vt", 1}}));
}

// The printed reports with a title above, a footer below and a table that
// runs over a page end with its headings repeated (in a vertical group, and
// in a cross section's block).
TEST(ReportLayouts, PrintedReportsWithTextAroundTheTable) {
    test::RecordingUi ui;
    ListingFailure failure;
    const std::string vtText = ReadFileBytes(SourcePath("samples/listings/road_vt.txt"));
    VtAlignment original, read;
    ASSERT_TRUE(ReadVtPrintedReport(vtText, original, &failure)) << failure.Text();
    std::string vt = "Report of the profile 2026\r\n\r\n" + vtText + "\r\nEnd of listing\r\n";
    const std::size_t third = vt.find("  3  13+771.500");
    const std::size_t length = vt.find("LONGITUD", third) - 9;
    vt.insert(length, "\fVIALTO 7.2   Pag. 3\r\nEje: Tronco\r\n" + std::string(78, '=') +
                          "\r\n  N    P.K.        COTA\r\n");
    ASSERT_TRUE(ReadVtPrintedReport(vt, read, &failure)) << failure.Text();
    EXPECT_EQ(Records(read), Records(original));

    const std::string crText = ReadFileBytes(SourcePath("samples/cross/road_cr.txt"));
    std::string cr = "Report of the cross sections 2026\r\n" + crText + "End of listing\r\n";
    const std::size_t block = cr.find("P.K.    12360.000");
    const std::size_t cut = cr.find("\r\n    -6.000", block) + 2;
    const std::string heading = cr.substr(block, cr.find("   -10.067", block) - block);
    cr.insert(cut, "\fVIALTO 7.2   Pag. 2\r\n\r\n" + heading);
    EXPECT_EQ(Records(Read(cr, "TXT")), Records(Read(crText, "TXT")));
}

} // namespace
} // namespace vialto
