// Reports as people lay them out and save them: our own sample tables saved
// as RTF by word processors (samples/rtf-writers/fixtures, made by
// make_fixtures.sh), and our own reports with text around their tables. Each
// gives exactly what the original report gives, or a refusal where the
// writer left the table out of the file; never something else.
#include "import/CrListing.h"
#include "import/HzListing.h"
#include "import/VtListing.h"

#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

namespace vialto {
namespace {

using test::ReadFileBytes;
using test::SourcePath;

// The records compare exactly: the fixtures hold the very texts of the
// original's cells.
auto Fields(const HzElement &e) {
    return std::tuple(e.Number, e.Chainage, e.Length, e.X, e.Y, e.Azimuth, e.Radius, e.Parameter);
}
auto Fields(const VtElement &e) {
    return std::tuple(e.Number, e.Chainage, e.Height, e.Grade, e.Parameter, e.Length);
}

// chainage -> (layer, offsets and heights) per surface
using Stations = std::map<double, std::vector<std::pair<std::size_t, std::vector<double>>>>;

Stations StationsOf(const CrossSectionSet &set) {
    Stations stations;
    for (const CrossSection &station : set.Stations) {
        auto &surfaces = stations[station.Chainage];
        EXPECT_TRUE(surfaces.empty()) << "two stations at " << station.Chainage;
        for (const CrSecSurface &surface : station.Surfaces) {
            std::vector<double> values;
            for (const CrSecPoint &p : surface.Points) {
                values.push_back(p.Offset);
                values.push_back(p.Height);
            }
            surfaces.emplace_back(surface.Layer, values);
        }
    }
    return stations;
}

template <class Elements> void ExpectSameElements(const Elements &read, const Elements &original) {
    ASSERT_EQ(read.size(), original.size());
    for (std::size_t i = 1; i < read.size(); ++i)
        EXPECT_EQ(Fields(read[i]), Fields(original[i])) << "element " << i;
}

struct Original {
    HzAlignment Hz;
    VtAlignment Vt;
    Stations Cr;
};

const Original &Originals() {
    static const Original original = [] {
        Original o;
        StationEquations equations;
        std::string name;
        ListingFailure f;
        EXPECT_TRUE(ImportHzAligment(o.Hz, equations, name,
                                     SourcePath("samples/listings/road_hz.rtf").string(), &f));
        EXPECT_TRUE(
            ImportVtAligment(o.Vt, SourcePath("samples/listings/road_vt.rtf").string(), "", &f));
        CrossSectionSet set;
        EXPECT_TRUE(
            ImportCrAligment(set, SourcePath("samples/cross/road_cr.rtf").string(), "", &f));
        o.Cr = StationsOf(set);
        return o;
    }();
    return original;
}

// Reads `rtf` with the reader `kind` ("hz", "vt", "cr") and compares with the
// original report; cross sections with the original's stations of the same
// chainages, `stations` of them.
void ExpectOriginal(const std::string &kind, std::string_view rtf, std::size_t stations,
                    const std::string &file) {
    SCOPED_TRACE(file);
    ListingFailure failure;
    if (kind == "hz") {
        HzAlignment read;
        ASSERT_TRUE(ReadHzRtfListing(rtf, read, &failure, file)) << failure.Text();
        ExpectSameElements(read, Originals().Hz);
    } else if (kind == "vt") {
        VtAlignment read;
        ASSERT_TRUE(ReadVtRtfListing(rtf, read, &failure, file)) << failure.Text();
        ExpectSameElements(read, Originals().Vt);
    } else {
        CrossSectionSet set;
        ASSERT_TRUE(ReadCrListing(rtf, "RTF", set, &failure, file)) << failure.Text();
        const Stations read = StationsOf(set);
        ASSERT_EQ(read.size(), stations);
        for (const auto &[chainage, surfaces] : read) {
            ASSERT_TRUE(Originals().Cr.count(chainage)) << chainage;
            EXPECT_EQ(surfaces, Originals().Cr.at(chainage)) << chainage;
        }
    }
}

TEST(ReportLayouts, EveryWriterFixtureGivesTheOriginalOrIsRefused) {
    test::RecordingUi ui;
    std::map<std::string, int> converted, refused;
    for (const auto &entry :
         std::filesystem::directory_iterator(SourcePath("samples/rtf-writers/fixtures"))) {
        const std::string file = entry.path().filename().string();
        // <writer>_<reader>_<layout>.rtf
        const std::vector<std::string> parts = Split(ListingName(file), "_");
        ASSERT_EQ(parts.size(), 3u) << file;
        const std::string &writer = parts[0], &kind = parts[1], &layout = parts[2];
        const std::string rtf = ReadFileBytes(entry.path());
        // This writer leaves a frame's table out of the RTF file: the report
        // truly holds no data, and the readers say so.
        if (writer == "lo-odt" && layout == "frame") {
            ASSERT_EQ(rtf.find("12+340"), std::string::npos) << file;
            ListingFailure failure;
            HzAlignment hz;
            VtAlignment vt;
            CrossSectionSet cr;
            const bool ok = kind == "hz"   ? ReadHzRtfListing(rtf, hz, &failure, file)
                            : kind == "vt" ? ReadVtRtfListing(rtf, vt, &failure, file)
                                           : ReadCrListing(rtf, "RTF", cr, &failure, file);
            EXPECT_FALSE(ok) << file;
            EXPECT_NE(failure.Reason.find(" found"), std::string::npos) << failure.Text();
            ++refused[kind];
            continue;
        }
        ExpectOriginal(kind, rtf, layout == "long" ? 271 : 4, file);
        ++converted[kind];
    }
    // Five writers and five layouts for each reader, and the long cross
    // sections from one writer; one frame of each reader refused.
    EXPECT_EQ(converted, (std::map<std::string, int>{{"cr", 25}, {"hz", 24}, {"vt", 24}}));
    EXPECT_EQ(refused, (std::map<std::string, int>{{"cr", 1}, {"hz", 1}, {"vt", 1}}));
}

// Our own reports with a title above the table, a footer below it and a
// blank paragraph between the parts of a split table.
TEST(ReportLayouts, OurOwnReportsWithTextAroundTheTable) {
    test::RecordingUi ui;
    const std::string footer = "\\pard\\par{\\f1 End of listing}\\par\r\n}";
    const std::string split = "\\pard\\par\\page\\pard\\par\r\n";
    const std::string title = "\\pard {\\b Report}\\par Road: Tronco\\tab 2026\\par\r\n";
    const std::pair<std::string, std::string> reports[] = {
        {"hz", "samples/listings/road_hz.rtf"},
        {"vt", "samples/listings/road_vt.rtf"},
        {"cr", "samples/cross/road_cr.rtf"},
    };
    for (const auto &[kind, path] : reports) {
        std::string rtf = ReadFileBytes(SourcePath(path));
        rtf.erase(rtf.rfind('}')); // the document's closing brace
        rtf += footer;
        // A title after the first paragraph, and a blank paragraph before the
        // table's ninth row (in the vertical report, inside a vertex's block).
        rtf.insert(rtf.find("\\par\r\n") + 6, title);
        std::size_t row = 0;
        for (int k = 0; k < 9; ++k)
            row = rtf.find("\\trowd", row + 1);
        rtf.insert(row, split);
        ExpectOriginal(kind, rtf, 271, path);
    }
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
    ExpectSameElements(read, original);

    const std::string crText = ReadFileBytes(SourcePath("samples/cross/road_cr.txt"));
    CrossSectionSet crOriginal, crRead;
    ASSERT_TRUE(ReadCrListing(crText, "TXT", crOriginal, &failure)) << failure.Text();
    std::string cr = "Report of the cross sections 2026\r\n" + crText + "End of listing\r\n";
    const std::size_t block = cr.find("P.K.    12360.000");
    const std::size_t cut = cr.find("\r\n    -6.000", block) + 2;
    const std::string heading = cr.substr(block, cr.find("   -10.067", block) - block);
    cr.insert(cut, "\fVIALTO 7.2   Pag. 2\r\n\r\n" + heading);
    ASSERT_TRUE(ReadCrListing(cr, "TXT", crRead, &failure)) << failure.Text();
    EXPECT_EQ(StationsOf(crRead), StationsOf(crOriginal));
}

} // namespace
} // namespace vialto
