// The proof of the written document and its preview, as the result page
// shows them: the proof's verdict and its worst figures per alignment and
// check (where they lie, how many points were compared), and the plan, the
// profiles and the cross sections drawn from the document read back, what
// failed in red. Profiles and cross sections are stepped through one at a
// time. Nothing here computes: the figures come from the proof, the drawings
// from the preview's drawing model.
#pragma once

#include "preview/PreviewDrawings.h"
#include "verify/Proof.h"

#include <QTabWidget>

#include <cstddef>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vialto {

class DrawingView;

// The proof's verdict for the user: passed, or failed with what failed (the
// alignment, the chainage and the deviation of each, at most `shown`).
QString ProofVerdictText(const ProofReport &proof, std::size_t shown);

class ctlProofPreview : public QTabWidget {
    Q_OBJECT
  public:
    enum Tab : int { tabProof, tabPlan, tabProfile, tabSections };
    static constexpr std::size_t kFailuresShown = 5;

    explicit ctlProofPreview(QWidget *parent = nullptr);
    // Shows the report's figures and draws the document it read back (none
    // when it could not be read).
    void ShowProof(const ProofReport &proof);
    // The captions reloaded from the language file.
    void UpdateText();

    int ProfileCount() const { return static_cast<int>(profiles_.size()); }
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    // 0-based; out of range is ignored.
    void ShowProfile(int index);
    void ShowSection(int index);
    int CurrentProfile() const { return profile_; }
    int CurrentSection() const { return section_; }
    const DrawingView &PlanView() const { return *plan_; }
    const DrawingView &ProfileView() const { return *profileView_; }
    const DrawingView &SectionView() const { return *sectionView_; }

  private:
    QWidget *Stepper(DrawingView *view, const QString &name, QPushButton *&previous,
                     QPushButton *&next, QLabel *&position);
    void RefreshSteppers();

    ProofReport proof_;
    std::vector<Drawing> profiles_;
    std::vector<SectionRef> sections_;
    LayerColours colours_;
    int profile_ = 0;
    int section_ = 0;

    QLabel *verdict_;
    QTreeWidget *figures_;
    DrawingView *plan_;
    DrawingView *profileView_;
    DrawingView *sectionView_;
    QPushButton *previousProfile_ = nullptr;
    QPushButton *nextProfile_ = nullptr;
    QLabel *profilePosition_ = nullptr;
    QPushButton *previousSection_ = nullptr;
    QPushButton *nextSection_ = nullptr;
    QLabel *sectionPosition_ = nullptr;
};

} // namespace vialto
