// The rules of the import and export stages and the batch command's exit
// codes, on the bundled samples and small variations of them.
#include "AlignmentStore.h"
#include "AppModel.h"
#include "BatchCommand.h"
#include "ErrHandler.h"
#include "ExportStage.h"
#include "ImportStage.h"
#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::RecordingProgress;
using vialto::test::RecordingUi;
using vialto::test::SourcePath;
using vialto::test::TempDir;
using vialto::test::WriteFileBytes;

namespace {

class Stages : public ::testing::Test {
  protected:
    void SetUp() override {
        oldTmp_ = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        setenv("TMPDIR", dir_.Path().c_str(), 1); // the log goes to our folder
        SetProgramFolder(VIALTO_BIN_DIR);
        AppModel().Reset();
        ASSERT_TRUE(AppModel().TokenFile().ReadFile("StridonV2.lng"));
    }
    void TearDown() override {
        if (oldTmp_.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", oldTmp_.c_str(), 1);
        AppModel().Reset();
    }

    static void Select(JobDescription &job, int page, int slot, const std::string &sample) {
        FileSlot &file = job.Page(page).Slot(slot);
        file.Selected = true;
        file.Path = SourcePath("samples/" + sample).string();
        file.DisplayName = std::filesystem::path(sample).stem().string();
    }
    JobDescription RoadJob() {
        JobDescription job;
        job.JobType = jobRoad;
        Select(job, 1, slotHz, "listings/road.plt");
        Select(job, 1, slotVt, "listings/road.alz");
        Select(job, 1, slotCr, "cross/road.trv");
        job.OutputPath = (dir_ / "road.xml").string();
        AppModel().XmlFileToExport = job.OutputPath;
        return job;
    }
    int Run(const std::vector<std::string> &args) {
        std::ostringstream out, err;
        const int code = RunConvert(args, out, err);
        out_ = out.str();
        err_ = err.str();
        return code;
    }

    TempDir dir_;
    RecordingUi ui_;
    std::string oldTmp_, out_, err_;
};

} // namespace

TEST_F(Stages, RoadWithOnlyAHorizontalListing) {
    JobDescription job;
    job.JobType = jobRoad;
    Select(job, 1, slotHz, "listings/road.plt");
    job.OutputPath = (dir_ / "hz.xml").string();
    AppModel().XmlFileToExport = job.OutputPath;
    ImportTree tree;
    vialto::NullProgress progress;
    ASSERT_TRUE(IntroPageImporting(job, tree, progress));
    ASSERT_EQ(tree.Nodes().size(), 2u); // the branch and one leaf
    EXPECT_EQ(tree.Nodes()[1].Key, "PAGE1|Hz");
    EXPECT_EQ(tree.Nodes()[1].Image, kImageOk);
    EXPECT_EQ(GetAlignmentCount(), 1);
    EXPECT_EQ(GetAlignmentFlags(1), flagHz | flagStaEq);

    ResultSummary summary;
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
    std::string listing = ReadFileBytes(SourcePath("samples/listings/road.plt"));
    const std::size_t at = listing.find("513244.620");
    ASSERT_NE(at, std::string::npos);
    listing.replace(at, 10, "513245.120"); // the start of the element at 13340 moves by 0.5
    WriteFileBytes(dir_ / "gap.plt", listing);
    const std::string output = (dir_ / "gap.xml").string();
    WriteFileBytes(output, "earlier document");
    EXPECT_EQ(Run({"--hz", (dir_ / "gap.plt").string(), "--vt",
                   SourcePath("samples/listings/road.alz").string(), "--tunnel",
                   SourcePath("samples/tunnel/profiles.xml").string(), "-o", output}),
              kConvertImportFailed);
    EXPECT_NE(out_.find("\u2717 gap"), std::string::npos) << out_;
    EXPECT_NE(out_.find("13340.0000"), std::string::npos) << out_;
    EXPECT_NE(err_.find("nothing was written"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(output), "earlier document");
}

TEST_F(Stages, OutdatedCantTableIsRefusedWithTheMessage) {
    JobDescription job;
    job.JobType = jobRailSingle;
    Select(job, 1, slotHz, "rail/single.plt");
    Select(job, 1, slotVt, "rail/single.alz");
    Select(job, 1, slotSup, "cant/old_version.xml");
    ImportTree tree;
    vialto::NullProgress progress;
    IntroPageImporting(job, tree, progress);
    ASSERT_EQ(ui_.Messages.size(), 1u);
    EXPECT_NE(ui_.Messages[0].Text.find("old_version"), std::string::npos);
    EXPECT_EQ(ui_.Messages[0].Icon, MsgIcon::Critical);
    EXPECT_FALSE(ExistAlignment(flagSup, 1));
    EXPECT_FALSE(tree.IsAllOk());
}

TEST_F(Stages, CancelDuringTheRulesLeavesCrossSectionsOutButClosesTheDocument) {
    const JobDescription job = RoadJob();
    ImportTree tree;
    vialto::NullProgress quiet;
    IntroPageImporting(job, tree, quiet);
    ASSERT_TRUE(tree.IsAllOk());
    RecordingProgress progress(/*cancelAfter=*/10);
    ResultSummary summary;
    ASSERT_TRUE(ExitPageExporting(job, IntroPageExporting(job), summary, progress));
    const std::string document = ReadFileBytes(job.OutputPath);
    EXPECT_EQ(document.find("<CrossSects"), std::string::npos);
    EXPECT_NE(document.find("<Profile>"), std::string::npos);
    EXPECT_NE(document.find("</LandXML>\r\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(summary.Pages()[0].Rows[4].Value, kNullValue); // no cross sections written
}

TEST_F(Stages, NothingToExportIsLoggedAndNothingReplacesTheOutput) {
    JobDescription job;
    job.JobType = jobRoad;
    Select(job, 1, slotVt, "listings/road.alz");
    job.OutputPath = (dir_ / "none.xml").string();
    AppModel().XmlFileToExport = job.OutputPath;
    WriteFileBytes(job.OutputPath, "earlier document");
    ImportTree tree;
    vialto::NullProgress progress;
    IntroPageImporting(job, tree, progress);
    ResultSummary summary;
    EXPECT_FALSE(ExitPageExporting(job, IntroPageExporting(job), summary, progress));
    EXPECT_NE(ReadFileBytes(LogFilePath()).find("Error: 20000 Nothing to export in ExportAligment"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(job.OutputPath), "earlier document");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                            std::filesystem::directory_iterator{}),
              2); // the earlier document and the log
}

TEST_F(Stages, CommandLineErrors) {
    const std::string hz = SourcePath("samples/listings/road.plt").string();
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"--hz", hz}, kConvertUsage, "no output file"},
        {{"--hz", hz, "--speed", "3", "-o", "x.xml"}, kConvertUsage, "unknown option"},
        {{"--hz", (dir_ / "missing.plt").string(), "-o", "x.xml"},
         kConvertUsage,
         "cannot find " + (dir_ / "missing.plt").string()},
        {{"--hz", hz, "--vt", SourcePath("samples/listings/road.alz").string(), "-o",
          (dir_ / "no" / "such" / "folder" / "x.xml").string()},
         kConvertExportFailed,
         "the export failed"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Run(c.args), c.code) << err_;
        EXPECT_NE(err_.find(c.message), std::string::npos) << err_;
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no"));
    EXPECT_EQ(Run({"--help"}), kConvertWritten);
    EXPECT_NE(out_.find("--job-file FILE"), std::string::npos);
}

TEST_F(Stages, ExtendedFlavourLeavesNoSideFile) {
    const std::string output = (dir_ / "ext.xml").string();
    ASSERT_EQ(Run({"--job-file", SourcePath("samples/jobs/road.job").string(), "--extended", "-o",
                   output}),
              kConvertWritten)
        << err_;
    const std::string document = ReadFileBytes(output);
    EXPECT_NE(document.find("SDVertexName"), std::string::npos);
    EXPECT_EQ(document.find("\"SD Vertex Name\""), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output + "ost"));
}
