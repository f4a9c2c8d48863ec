// The rules of the import and export stages and the batch command's exit
// codes, on the bundled samples and small variations of them.
#include "model/AlignmentStore.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "support/TestSupport.h"
#include "wizard/BatchCommand.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportStage.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::WriteFileBytes;

namespace {

std::string Sample(const std::string &name) {
    return vialto::test::SourcePath("samples/" + name).string();
}

class Stages : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char *old = std::getenv("TMPDIR"))
            oldTmp_ = old;
        setenv("TMPDIR", dir_.Path().c_str(), 1); // the log goes to our folder
        SetProgramFolder(VIALTO_BIN_DIR);
        AppModel().Reset();
        ASSERT_TRUE(AppModel().TokenFile().ReadFile("StridonV2.lng"));
    }
    void TearDown() override {
        oldTmp_.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", oldTmp_.c_str(), 1);
        AppModel().Reset();
    }
    // A road job of the given first-page slots and samples, imported.
    JobDescription ImportedRoad(const std::vector<std::pair<int, std::string>> &slots) {
        JobDescription job;
        job.JobType = jobRoad;
        for (const auto &[slot, sample] : slots) {
            FileSlot &file = job.Page(1).Slot(slot);
            file.Selected = true;
            file.Path = Sample(sample);
        }
        job.OutputPath = AppModel().XmlFileToExport = (dir_ / "road.xml").string();
        NullProgress progress;
        IntroPageImporting(job, tree_, progress);
        return job;
    }
    int Run(const std::vector<std::string> &args) {
        std::ostringstream out, err;
        const int code = RunConvert(args, out, err);
        out_ = out.str();
        err_ = err.str();
        return code;
    }

    vialto::test::TempDir dir_;
    vialto::test::RecordingUi ui_;
    ImportTree tree_;
    std::string oldTmp_, out_, err_;
};

} // namespace

// One slot and one leaf; the document holds the plan and nothing else.
TEST_F(Stages, RoadWithOnlyAHorizontalListing) {
    const JobDescription job = ImportedRoad({{slotHz, "listings/road.plt"}});
    ASSERT_EQ(tree_.Nodes().size(), 2u); // the branch and one leaf
    EXPECT_EQ(tree_.Nodes()[1].Key, "PAGE1|Hz");
    EXPECT_EQ(tree_.Nodes()[1].Image, kImageOk);
    EXPECT_EQ(GetAlignmentCount(), 1);
    EXPECT_EQ(GetAlignmentFlags(1), flagHz | flagStaEq);
    ResultSummary summary;
    NullProgress progress;
    ASSERT_TRUE(ExitPageExporting(job, IntroPageExporting(job), summary, progress));
    ASSERT_EQ(summary.PagesTot(), 1);
    const std::vector<SummaryRow> &rows = summary.Pages()[0].Rows;
    ASSERT_EQ(rows.size(), 2u); // horizontal start and end only
    EXPECT_DOUBLE_EQ(rows[0].Value, 12340.0);
    EXPECT_DOUBLE_EQ(rows[1].Value, 15040.0);
    const std::string document = ReadFileBytes(job.OutputPath);
    EXPECT_EQ(document.find("<Profile>"), std::string::npos);
    EXPECT_NE(document.find("</LandXML>\r\n"), std::string::npos);
}

TEST_F(Stages, ToleranceFailureWritesNothingAndNamesTheChainage) {
    std::string listing = ReadFileBytes(Sample("listings/road.plt"));
    // The start of the element at 13340 moves by 0.5.
    listing.replace(listing.find("513244.620"), 10, "513245.120");
    WriteFileBytes(dir_ / "gap.plt", listing);
    const std::string output = (dir_ / "gap.xml").string();
    WriteFileBytes(output, "earlier document");
    EXPECT_EQ(Run({"--hz", (dir_ / "gap.plt").string(), "--vt", Sample("listings/road.alz"),
                   "--tunnel", Sample("tunnel/profiles.xml"), "-o", output}),
              kConvertImportFailed);
    EXPECT_NE(out_.find("\u2717 gap"), std::string::npos) << out_;
    EXPECT_NE(out_.find("13340.0000"), std::string::npos) << out_;
    EXPECT_NE(err_.find("nothing was written"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(output), "earlier document");
}

TEST_F(Stages, OutdatedCantTableIsRefusedWithTheMessage) {
    const std::string output = (dir_ / "rail.xml").string();
    EXPECT_EQ(
        Run({"--job", "rail", "--hz", Sample("rail/single.plt"), "--vt", Sample("rail/single.alz"),
             "--cant", Sample("cant/old_version.xml"), "-o", output}),
        kConvertImportFailed);
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_NE(ui_.Messages[0].Text.find("cant table old_version "), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(Stages, CancelDuringTheRulesLeavesCrossSectionsOutButClosesTheDocument) {
    const JobDescription job = ImportedRoad(
        {{slotHz, "listings/road.plt"}, {slotVt, "listings/road.alz"}, {slotCr, "cross/road.trv"}});
    ASSERT_TRUE(tree_.IsAllOk());
    vialto::test::RecordingProgress progress(/*cancelAfter=*/10);
    ResultSummary summary;
    ASSERT_TRUE(ExitPageExporting(job, IntroPageExporting(job), summary, progress));
    const std::string document = ReadFileBytes(job.OutputPath);
    EXPECT_EQ(document.find("<CrossSects"), std::string::npos);
    EXPECT_NE(document.find("<Profile>"), std::string::npos);
    EXPECT_NE(document.find("</LandXML>\r\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(summary.Pages()[0].Rows[4].Value, kNullValue); // no cross sections written
}

TEST_F(Stages, NothingToExportIsLoggedAndNothingReplacesTheOutput) {
    const JobDescription job = ImportedRoad({{slotVt, "listings/road.alz"}});
    WriteFileBytes(job.OutputPath, "earlier document");
    ResultSummary summary;
    NullProgress progress;
    EXPECT_FALSE(ExitPageExporting(job, IntroPageExporting(job), summary, progress));
    EXPECT_NE(ReadFileBytes(LogFilePath()).find("Error: 20000 Nothing to export in ExportAligment"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(job.OutputPath), "earlier document");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}),
              2); // the earlier document and the log
}

// Choosing no layer is choosing an alignment without cross sections, not a
// failed export.
TEST_F(Stages, NoLayerChosenWritesTheAlignmentWithoutCrossSections) {
    const std::string out = (dir_ / "plain.xml").string();
    ASSERT_EQ(Run({"--job", "road", "--hz", Sample("listings/road.plt"), "--vt",
                   Sample("listings/road.alz"), "--cross", Sample("cross/road.trv"), "--layers",
                   "NoSuchLayer", "-o", out}),
              kConvertWritten)
        << err_;
    const std::string document = ReadFileBytes(out);
    EXPECT_NE(document.find("<Profile>"), std::string::npos);
    EXPECT_EQ(document.find("<CrossSects"), std::string::npos);
}

TEST_F(Stages, ExitCodesOfAMissingInputAndAFailedExport) {
    const std::string missing = (dir_ / "missing.plt").string();
    EXPECT_EQ(Run({"--hz", missing, "-o", "x.xml"}), kConvertUsage);
    EXPECT_NE(err_.find("cannot find " + missing), std::string::npos) << err_;
    const std::filesystem::path folder = dir_ / "no" / "such";
    EXPECT_EQ(Run({"--job", "road", "--hz", Sample("listings/road.plt"), "-o",
                   (folder / "x.xml").string()}),
              kConvertExportFailed);
    EXPECT_NE(err_.find("the export failed"), std::string::npos) << err_;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
}
