// The rules of the import and export stages, on the bundled samples and small
// variations of them.
#include "model/AlignmentStore.h"
#include "shell/AppModel.h"
#include "shell/ErrHandler.h"
#include "support/ElementBuilders.h"
#include "support/TestSupport.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportStage.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

using namespace vialto;
using vialto::test::ReadFileBytes;
using vialto::test::SamplePath;
using vialto::test::WriteFileBytes;

namespace {

class Stages : public ::testing::Test {
  protected:
    void SetUp() override {
        SetProgramFolder(VIALTO_BIN_DIR);
        AppModel().Reset();
        ASSERT_TRUE(AppModel().TokenFile().ReadFile("StridonV2.lng"));
    }
    void TearDown() override { AppModel().Reset(); }
    // A job of the given type with the first page's slots filled from the
    // samples, imported.
    JobDescription Imported(const std::vector<std::pair<int, std::string>> &slots,
                            int jobType = jobRoad, const std::string &railStringline = "") {
        JobDescription job;
        job.JobType = jobType;
        for (const auto &[slot, sample] : slots) {
            job.Page(1).Slot(slot).Selected = true;
            job.Page(1).Slot(slot).Path = SamplePath(sample);
        }
        job.TrackStringlines[0] = railStringline;
        job.OutputPath = AppModel().XmlFileToExport = (dir_ / "out.xml").string();
        NullProgress progress;
        IntroPageImporting(job, tree_, progress);
        return job;
    }
    bool Export(const JobDescription &job, IProgress &&progress = NullProgress()) {
        return ExitPageExporting(job, IntroPageExporting(job), summary_, progress);
    }

    vialto::test::TempLogFolder dir_; // the log goes to our folder
    vialto::test::RecordingUi ui_;
    ImportTree tree_;
    ResultSummary summary_;
};

} // namespace

// One slot and one leaf; the document holds the plan and nothing else.
TEST_F(Stages, RoadWithOnlyAHorizontalListing) {
    const JobDescription job = Imported({{slotHz, "listings/road.plt"}});
    ASSERT_EQ(tree_.Nodes().size(), 2u); // the branch and one leaf
    EXPECT_EQ(tree_.Nodes()[1].Key, "PAGE1|Hz");
    EXPECT_EQ(tree_.Nodes()[1].Image, kImageOk);
    EXPECT_EQ(GetAlignmentFlags(1), flagHz | flagStaEq);
    ASSERT_TRUE(Export(job));
    ASSERT_EQ(summary_.PagesTot(), 1);
    const std::vector<SummaryRow> &rows = summary_.Pages()[0].Rows;
    ASSERT_EQ(rows.size(), 2u); // horizontal start and end only
    EXPECT_DOUBLE_EQ(rows[0].Value, 12340.0);
    EXPECT_DOUBLE_EQ(rows[1].Value, 15040.0);
    const std::string document = ReadFileBytes(job.OutputPath);
    EXPECT_EQ(document.find("<Profile>"), std::string::npos);
    EXPECT_NE(document.find("</LandXML>\r\n"), std::string::npos);
}

TEST_F(Stages, CancelDuringTheRulesLeavesCrossSectionsOutButClosesTheDocument) {
    const JobDescription job = Imported(
        {{slotHz, "listings/road.plt"}, {slotVt, "listings/road.alz"}, {slotCr, "cross/road.trv"}});
    ASSERT_TRUE(tree_.IsAllOk());
    ASSERT_TRUE(Export(job, vialto::test::RecordingProgress(/*cancelAfter=*/10)));
    const std::string document = ReadFileBytes(job.OutputPath);
    EXPECT_EQ(document.find("<CrossSects"), std::string::npos);
    EXPECT_NE(document.find("<Profile>"), std::string::npos);
    EXPECT_NE(document.find("</LandXML>\r\n"), std::string::npos);
    EXPECT_DOUBLE_EQ(summary_.Pages()[0].Rows[4].Value, kNullValue); // no cross sections written
}

TEST_F(Stages, NothingToExportIsLoggedAndNothingReplacesTheOutput) {
    const JobDescription job = Imported({{slotVt, "listings/road.alz"}});
    WriteFileBytes(job.OutputPath, "earlier document");
    EXPECT_FALSE(Export(job));
    EXPECT_NE(ReadFileBytes(LogFilePath()).find("Error: 20000 Nothing to export in ExportAligment"),
              std::string::npos);
    EXPECT_EQ(ReadFileBytes(job.OutputPath), "earlier document");
    EXPECT_EQ(vialto::test::FolderNames(dir_.Path()),
              (std::vector<std::string>{"ZMPA_Converters.log", "out.xml"}));
}

// A track without a profile of its own puts its rails on the stringline the
// job chose for it: the inner-rail table holds the lower rail at that
// stringline's height (100 throughout), on curves and straights alike.
TEST_F(Stages, RailsOfATrackWithoutAProfileStandOnTheChosenStringline) {
    const JobDescription job =
        Imported({{slotHz, "rail/single.plt"}, {slotSup, "rail/single_cant.xml"}}, jobRailSingle,
                 "Rail axis");
    ASSERT_FALSE(ExistAlignment(flagVt, 1));
    TStringLines set;
    set.Count = 0;
    set.Lines.resize(1);
    set.Lines[0].Name = "Rail axis";
    set.Lines[0].Vt = vialto::test::OneBased<VtElement>({vialto::test::VtAt(-100, 100, 0, 0, 1e5)});
    SetAligmentStrLn(1, set);
    ASSERT_TRUE(Export(job));

    const std::string document = ReadFileBytes(job.OutputPath);
    std::size_t rails = 0;
    for (std::size_t at = document.find("<PntList2D>"); at != std::string::npos;
         at = document.find("<PntList2D>", at + 1), ++rails) {
        std::istringstream points(document.substr(at + 11));
        double leftOffset = 0, leftHeight = 0, rightOffset = 0, rightHeight = 0;
        points >> leftOffset >> leftHeight >> rightOffset >> rightHeight;
        EXPECT_DOUBLE_EQ(std::min(leftHeight, rightHeight), 100) << document.substr(at, 80);
    }
    EXPECT_GT(rails, 100u);
}
