// Reports saved by word processors (samples/rtf-writers/fixtures) convert to
// the very document of the report they were made from: one road job per
// reader, with that reader's listing replaced by a writer's copy of it.
#include "batch/RunConvert.h"

#include "shell/AppModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::SourcePath;

namespace {

// The road job's document from the three RTF reports in `dir`.
std::string RoadDocument(const vialto::test::TempDir &dir) {
    std::ostringstream out, err;
    const std::string output = (dir / "road.xml").string();
    EXPECT_EQ(RunConvert({"--job", "road", "--hz", (dir / "road_hz.rtf").string(), "--vt",
                          (dir / "road_vt.rtf").string(), "--cross", (dir / "road_cr.rtf").string(),
                          "-o", output},
                         out, err),
              kConvertWritten)
        << out.str() << err.str();
    // The author is the logged-on user: the one part that depends on the machine.
    return std::regex_replace(ReadFileBytes(output), std::regex("createdBy=\"[^\"]*\""), "");
}

void CopyOriginals(const vialto::test::TempDir &dir) {
    for (const char *path : {"samples/listings/road_hz.rtf", "samples/listings/road_vt.rtf",
                             "samples/cross/road_cr.rtf"}) {
        const std::filesystem::path source = SourcePath(path);
        vialto::test::WriteFileBytes(dir / source.filename().string(), ReadFileBytes(source));
    }
}

} // namespace

TEST(ReportLayoutsEndToEnd, WritersCopiesGiveTheOriginalsDocument) {
    SetProgramFolder(VIALTO_BIN_DIR);
    vialto::test::TempDir originalDir;
    CopyOriginals(originalDir);
    const std::string original = RoadDocument(originalDir);
    ASSERT_NE(original.find("<CrossSects"), std::string::npos);
    const std::pair<const char *, const char *> copies[] = {
        {"lo-docx_hz_split.rtf", "road_hz.rtf"},
        {"abiword_vt_enter.rtf", "road_vt.rtf"},
        {"pandoc_cr_long.rtf", "road_cr.rtf"},
    };
    for (const auto &[fixture, replaces] : copies) {
        SCOPED_TRACE(fixture);
        vialto::test::TempDir dir;
        CopyOriginals(dir);
        vialto::test::WriteFileBytes(
            dir / replaces,
            ReadFileBytes(SourcePath(std::string("samples/rtf-writers/fixtures/") + fixture)));
        EXPECT_TRUE(RoadDocument(dir) == original) << "the document differs from the original's";
    }
}
