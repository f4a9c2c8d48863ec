// The proof inside the export stage: every sample job's document read back
// agrees with what was imported to within half a millimetre, and a document
// that fails the proof never replaces the output.
#include "batch/JobFile.h"
#include "model/AlignmentStore.h"
#include "shell/AppModel.h"
#include "support/TestSupport.h"
#include "wizard/ExportStage.h"
#include "wizard/ImportStage.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vialto;
using vialto::test::SourcePath;

namespace {

// The document rounds to the micrometre; what the proof finds must stay
// within half a millimetre, also where the listing's own points are further
// apart than that (the road's are listed to the millimetre).
constexpr double kSampleFigure = 0.0005;

class SampleProof : public ::testing::TestWithParam<const char *> {
  protected:
    void SetUp() override {
        SetProgramFolder(VIALTO_BIN_DIR);
        AppModel().Reset();
    }
    void TearDown() override { AppModel().Reset(); }

    // Imports and exports the sample job; the summary carries the proof.
    bool Convert(const std::string &name, JobDescription &job, ResultSummary &summary) {
        std::string error;
        EXPECT_TRUE(ReadJobFile(SourcePath("samples/jobs/" + name + ".job").string(), job, error))
            << error;
        ShapePagesForJobType(job);
        job.OutputPath = AppModel().XmlFileToExport = (dir / (name + ".xml")).string();
        AppModel().IsOstXML = job.Extended;
        ImportTree tree;
        NullProgress progress;
        IntroPageImporting(job, tree, progress);
        EXPECT_TRUE(tree.IsAllOk());
        return ExitPageExporting(job, IntroPageExporting(job), summary, progress);
    }

    vialto::test::TempDir dir;
    vialto::test::RecordingUi ui;
};

} // namespace

TEST_P(SampleProof, EverySampleJobPassesWithinHalfAMillimetre) {
    for (const bool extended : {false, true}) {
        JobDescription job;
        job.Extended = extended;
        ResultSummary summary;
        ASSERT_TRUE(Convert(GetParam(), job, summary));
        const ProofReport &proof = summary.Proof();
        ASSERT_TRUE(proof.Ran);
        ASSERT_TRUE(proof.Passed) << ProofFailureText(proof.Failures.front(), "m");
        ASSERT_NE(proof.Document, nullptr);
        EXPECT_EQ(proof.Document->Extended, extended);
        ASSERT_FALSE(proof.Alignments.empty());
        for (const AlignmentProof &a : proof.Alignments) {
            SCOPED_TRACE(a.Name);
            for (const Deviation *d : {&a.Plan, &a.ElementEnd, &a.Height, &a.RailSpread,
                                       &a.RailHeight, &a.SectionOffset, &a.SectionHeight})
                EXPECT_LT(d->Value, kSampleFigure) << ChainageText(d->Chainage);
            EXPECT_GT(a.PlanSamples, 100);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SampleJobs, SampleProof,
                         ::testing::Values("tunnel", "road", "rail", "double-rail"));
