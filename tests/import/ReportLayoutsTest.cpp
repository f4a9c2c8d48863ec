// Reports as people lay them out and save them: our own sample tables saved
// as RTF by word processors (samples/rtf-writers/fixtures, made by
// make_fixtures.sh), and our printed reports with text around their tables.
// Each gives exactly what the original report gives, or a refusal where the
// writer left the table out of the file; never something else.
#include "import/CrListing.h"
#include "import/HzListing.h"
#include "import/VtListing.h"

#include "shell/Text.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

namespace vialto {
namespace {

using test::ReadFileBytes;
using test::SourcePath;
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
    CrossSectionSet crOriginal, crRead;
    ASSERT_TRUE(ReadCrListing(crText, "TXT", crOriginal, &failure)) << failure.Text();
    std::string cr = "Report of the cross sections 2026\r\n" + crText + "End of listing\r\n";
    const std::size_t block = cr.find("P.K.    12360.000");
    const std::size_t cut = cr.find("\r\n    -6.000", block) + 2;
    const std::string heading = cr.substr(block, cr.find("   -10.067", block) - block);
    cr.insert(cut, "\fVIALTO 7.2   Pag. 2\r\n\r\n" + heading);
    ASSERT_TRUE(ReadCrListing(cr, "TXT", crRead, &failure)) << failure.Text();
    EXPECT_EQ(Records(crRead), Records(crOriginal));
}

} // namespace
} // namespace vialto
