// The proof in the wizard window: the result page shows the proof's figures
// and the drawings of the document read back, stepping through its cross
// sections; a document that fails the proof keeps the user on the exporting
// page with the alignment, chainage and deviation, and writes nothing.
#include "gui/DrawingView.h"
#include "gui/ctlExporting.h"
#include "gui/ctlProofPreview.h"
#include "gui/ctlResult.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace vialto;
using vialto::test::WizardEnvironment;
using vialto::test::WizardSession;

namespace {

class ProofPanel : public ::testing::Test {
  protected:
    // The single-track sample through to the exporting page, with the
    // horizontal tolerance typed on the preferences page.
    void ToExportingPage(const QString &toleranceHz) {
        session_ = std::make_unique<WizardSession>(fmtRoad | fmtTunnel | fmtRail, output_);
        vialto::test::WizardDriver &hands = session_->Hands();
        hands.Click("optJob2");
        hands.Next();
        hands.TypeFile(1, 1, WizardEnvironment::Sample("rail/single.plt"));
        hands.TypeFile(1, 2, WizardEnvironment::Sample("rail/single.alz"));
        hands.TypeFile(1, 4, WizardEnvironment::Sample("rail/single_cant.xml"));
        hands.Next();
        hands.TypeInto("txtToleranceHz", toleranceHz);
        hands.Next();
        ASSERT_TRUE(session_->Window().Controller().Tree().IsAllOk());
        hands.Next();
        ASSERT_EQ(session_->Window().ShownPage(), pageExporting);
    }
    template <class T = QWidget> T *Find(const char *name) {
        return session_->Hands().Find<T>(name);
    }

    vialto::test::RecordingUi ui_;
    vialto::test::TempDir dir_;
    std::filesystem::path output_ = dir_ / "out.xml";
    std::unique_ptr<WizardSession> session_;
};

} // namespace

TEST_F(ProofPanel, TheResultPageShowsTheFiguresAndTheDrawings) {
    ToExportingPage("0.01");
    EXPECT_FALSE(Find("lblProofFailed")->isVisible());
    session_->Hands().Next();
    ASSERT_EQ(session_->Window().ShownPage(), pageResult);
    const ctlProofPreview &panel = session_->Window().ResultPage().ProofPanel();
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(Find<QLabel>("lblProofVerdict")->text().toStdString(),
              AppModel().GetToken("LBL_PROOF_PASSED"));
    // One alignment, each check of a rail track with its worst figure.
    auto *figures = Find<QTreeWidget>("tvwProofFigures");
    ASSERT_EQ(figures->topLevelItemCount(), 1);
    const QTreeWidgetItem *single = figures->topLevelItem(0);
    EXPECT_EQ(single->text(0), "single");
    std::vector<std::string> checks;
    for (int k = 0; k < single->childCount(); ++k) {
        checks.push_back(single->child(k)->text(0).toStdString());
        EXPECT_TRUE(single->child(k)->text(1).endsWith(" m")) << checks.back();
    }
    EXPECT_EQ(checks, (std::vector<std::string>{"plan", "element ends", "height", "rail spread",
                                                "rail heights"}));
    // The drawings of the document read back: the plan stands on the
    // alignment's coordinates, the rails and sections are there to step through.
    const Drawing &plan = panel.PlanView().Shown();
    EXPECT_FALSE(plan.Empty());
    EXPECT_GT(plan.MaxX - plan.MinX, 100);
    EXPECT_EQ(panel.ProfileCount(), 1);
    ASSERT_GT(panel.SectionCount(), 2);
    auto *position = Find<QLabel>("lblPreviewSection");
    EXPECT_EQ(position->text(), QStringLiteral("1 / %1").arg(panel.SectionCount()));
    EXPECT_FALSE(Find("cmdPreviewSectionPrevious")->isEnabled());
    const std::string first = panel.SectionView().Shown().Title;
    session_->Hands().Click("cmdPreviewSectionNext");
    EXPECT_EQ(panel.CurrentSection(), 1);
    EXPECT_EQ(position->text(), QStringLiteral("2 / %1").arg(panel.SectionCount()));
    EXPECT_NE(panel.SectionView().Shown().Title, first);
    EXPECT_TRUE(Find("cmdPreviewSectionPrevious")->isEnabled());
}

// A tolerance finer than the document's own rounding to the micrometre, but
// not than the sample's listed points: the import passes, the proof cannot.
TEST_F(ProofPanel, AFailedProofKeepsTheUserOnTheExportingPage) {
    vialto::test::WriteFileBytes(output_, "earlier document");
    ToExportingPage("0.0000012");
    session_->Hands().Next();
    EXPECT_EQ(session_->Window().ShownPage(), pageExporting);
    auto *failed = Find<QLabel>("lblProofFailed");
    ASSERT_TRUE(failed->isVisible());
    const std::string text = failed->text().toStdString();
    EXPECT_NE(text.find(AppModel().GetToken("LBL_PROOF_FAILED")), std::string::npos) << text;
    EXPECT_NE(text.find("alignment \"single\", chainage "), std::string::npos) << text;
    EXPECT_NE(text.find("over the tolerance 0.000001 m"), std::string::npos) << text;
    EXPECT_EQ(vialto::test::ReadFileBytes(output_), "earlier document");
    // Back and forth again: the page opens without the old failure.
    session_->Hands().Back();
    session_->Hands().Next();
    ASSERT_EQ(session_->Window().ShownPage(), pageExporting);
    EXPECT_FALSE(failed->isVisible());
}
