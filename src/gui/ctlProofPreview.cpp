#include "gui/ctlProofPreview.h"

#include "gui/DrawingView.h"
#include "gui/GuiText.h"
#include "shell/Text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vialto {

namespace {

// A figure as the summaries print it: "0.000400 m".
QString FigureText(const Deviation &d, const std::string &unit) {
    return d.Chainage == kNullValue ? QString()
                                    : Q(FormatDecimals(d.Value, kProofDecimals) + " " + unit);
}

} // namespace

QString ProofVerdictText(const ProofReport &proof, std::size_t shown) {
    if (!proof.Ran)
        return {};
    if (proof.Passed)
        return Tr("LBL_PROOF_PASSED");
    QString text = Tr("LBL_PROOF_FAILED");
    for (std::size_t k = 0; k < proof.Failures.size() && k < shown; ++k)
        text +=
            QStringLiteral("\n") + Q(ProofFailureText(proof.Failures[k], proof.Tolerances.Unit));
    if (proof.Failures.size() > shown)
        text += QStringLiteral("\n…");
    return text;
}

ctlProofPreview::ctlProofPreview(QWidget *parent)
    : QTabWidget(parent), verdict_(new QLabel), figures_(new QTreeWidget), plan_(new DrawingView),
      profileView_(new DrawingView), sectionView_(new DrawingView) {
    setObjectName(QStringLiteral("ctlProofPreview"));
    verdict_->setObjectName(QStringLiteral("lblProofVerdict"));
    verdict_->setWordWrap(true);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    figures_->setObjectName(QStringLiteral("tvwProofFigures"));
    figures_->setColumnCount(4);
    figures_->setRootIsDecorated(true);
    // The figures keep to their contents and the check names take what is
    // left, so that each count stands under its own header, not at the far edge.
    figures_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    figures_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    figures_->header()->setStretchLastSection(false);
    plan_->setObjectName(QStringLiteral("viewPreviewPlan"));
    profileView_->setObjectName(QStringLiteral("viewPreviewProfile"));
    sectionView_->setObjectName(QStringLiteral("viewPreviewSection"));

    auto *proofPage = new QWidget;
    auto *proofLayout = new QVBoxLayout(proofPage);
    proofLayout->addWidget(verdict_);
    proofLayout->addWidget(figures_, 1);
    addTab(proofPage, QString());
    addTab(plan_, QString());
    addTab(Stepper(profileView_, QStringLiteral("Profile"), previousProfile_, nextProfile_,
                   profilePosition_),
           QString());
    addTab(Stepper(sectionView_, QStringLiteral("Section"), previousSection_, nextSection_,
                   sectionPosition_),
           QString());
    connect(previousProfile_, &QPushButton::clicked, this, [this] { ShowProfile(profile_ - 1); });
    connect(nextProfile_, &QPushButton::clicked, this, [this] { ShowProfile(profile_ + 1); });
    connect(previousSection_, &QPushButton::clicked, this, [this] { ShowSection(section_ - 1); });
    connect(nextSection_, &QPushButton::clicked, this, [this] { ShowSection(section_ + 1); });
    RefreshSteppers();
    UpdateText();
}

void ctlProofPreview::UpdateText() {
    setAccessibleName(Tr("FR_PROOF"));
    figures_->setAccessibleName(Tr("FR_PROOF"));
    figures_->setHeaderLabels(
        {Tr("LBL_PROOF_CHECK"), Tr("LBL_PROOF_WORST"), Tr("LBL_PROOF_AT"), Tr("LBL_PROOF_POINTS")});
    plan_->setAccessibleName(Tr("LBL_PREVIEW_PLAN"));
    profileView_->setAccessibleName(Tr("LBL_PREVIEW_PROFILE"));
    sectionView_->setAccessibleName(Tr("LBL_PREVIEW_SECTIONS"));
    setTabText(tabProof, Tr("FR_PROOF"));
    setTabText(tabPlan, Tr("LBL_PREVIEW_PLAN"));
    setTabText(tabProfile, Tr("LBL_PREVIEW_PROFILE"));
    setTabText(tabSections, Tr("LBL_PREVIEW_SECTIONS"));
    for (QPushButton *previous : {previousProfile_, previousSection_})
        previous->setAccessibleName(Tr("LBL_PREVIEW_PREVIOUS"));
    for (QPushButton *next : {nextProfile_, nextSection_})
        next->setAccessibleName(Tr("LBL_PREVIEW_NEXT"));
    verdict_->setText(ProofVerdictText(proof_, kFailuresShown));
}

QWidget *ctlProofPreview::Stepper(DrawingView *view, const QString &name, QPushButton *&previous,
                                  QPushButton *&next, QLabel *&position) {
    auto *page = new QWidget;
    previous = new QPushButton(QStringLiteral("<"), page);
    next = new QPushButton(QStringLiteral(">"), page);
    position = new QLabel(page);
    previous->setObjectName(QStringLiteral("cmdPreview%1Previous").arg(name));
    next->setObjectName(QStringLiteral("cmdPreview%1Next").arg(name));
    position->setObjectName(QStringLiteral("lblPreview%1").arg(name));
    previous->setAutoDefault(false);
    next->setAutoDefault(false);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(previous);
    row->addWidget(position);
    row->addWidget(next);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view, 1);
    layout->addLayout(row);
    return page;
}

void ctlProofPreview::ShowProof(const ProofReport &proof) {
    proof_ = proof;
    const std::string &unit = proof.Tolerances.Unit;
    verdict_->setText(ProofVerdictText(proof, kFailuresShown));
    figures_->clear();
    const QIcon failedIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon passedIcon = style()->standardIcon(QStyle::SP_DialogApplyButton);
    for (const AlignmentProof &a : proof.Alignments) {
        bool alignmentFailed = false;
        auto *top = new QTreeWidgetItem(figures_, {Q(a.Name)});
        auto add = [&](ProofCheck check, const Deviation &d, long points) {
            const bool failed =
                std::any_of(proof.Failures.begin(), proof.Failures.end(), [&](const auto &f) {
                    return f.Alignment == a.Name && f.Check == check;
                });
            alignmentFailed = alignmentFailed || failed;
            auto *row = new QTreeWidgetItem(
                top, {Q(ProofCheckName(check)), FigureText(d, unit), Q(ChainageText(d.Chainage)),
                      points > 0 ? QString::number(points) : QString()});
            row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            row->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
            if (failed) {
                row->setIcon(0, failedIcon);
                row->setForeground(1, QColor(kFailedColour.R, kFailedColour.G, kFailedColour.B));
            }
        };
        add(ProofCheck::Plan, a.Plan, a.PlanSamples);
        add(ProofCheck::ElementEnd, a.ElementEnd, 0);
        if (a.HeightSamples > 0)
            add(ProofCheck::Height, a.Height, a.HeightSamples);
        if (a.RailPairs > 0) {
            add(ProofCheck::RailSpread, a.RailSpread, a.RailPairs);
            add(ProofCheck::RailHeight, a.RailHeight, 0);
        }
        if (a.SectionPoints > 0) {
            add(ProofCheck::SectionOffset, a.SectionOffset, a.SectionPoints);
            add(ProofCheck::SectionHeight, a.SectionHeight, 0);
        }
        alignmentFailed =
            alignmentFailed || std::any_of(proof.Failures.begin(), proof.Failures.end(),
                                           [&](const auto &f) { return f.Alignment == a.Name; });
        top->setIcon(0, alignmentFailed ? failedIcon : passedIcon);
        top->setExpanded(true);
    }

    profiles_.clear();
    sections_.clear();
    colours_.clear();
    const ReadBackDocument *document = proof.Document.get();
    const ProofReport *checked = proof.Ran ? &proof_ : nullptr;
    plan_->SetDrawing(document ? PlanDrawing(*document, checked) : Drawing{});
    if (document) {
        profiles_ = ProfileDrawings(*document, checked);
        sections_ = SectionsEvery(*document, 1);
        colours_ = LayerColoursOf(*document);
    }
    setTabEnabled(tabPlan, document != nullptr);
    setTabEnabled(tabProfile, !profiles_.empty());
    setTabEnabled(tabSections, !sections_.empty());
    profile_ = section_ = -1;
    ShowProfile(0);
    ShowSection(0);
    RefreshSteppers();
}

void ctlProofPreview::ShowProfile(int index) {
    if (index < 0 || index >= ProfileCount() || index == profile_) {
        if (profiles_.empty())
            profileView_->SetDrawing({});
        return;
    }
    profile_ = index;
    profileView_->SetDrawing(profiles_[static_cast<std::size_t>(index)]);
    RefreshSteppers();
}

void ctlProofPreview::ShowSection(int index) {
    if (index < 0 || index >= SectionCount() || index == section_) {
        if (sections_.empty())
            sectionView_->SetDrawing({});
        return;
    }
    section_ = index;
    const SectionRef &ref = sections_[static_cast<std::size_t>(index)];
    sectionView_->SetDrawing(SectionDrawing(*proof_.Document, ref.Alignment, ref.CrossSect,
                                            colours_, proof_.Ran ? &proof_ : nullptr));
    RefreshSteppers();
}

void ctlProofPreview::RefreshSteppers() {
    const auto refresh = [](QPushButton *previous, QPushButton *next, QLabel *position, int current,
                            int count) {
        previous->setEnabled(current > 0);
        next->setEnabled(current + 1 < count);
        position->setText(count > 0 ? QStringLiteral("%1 / %2").arg(current + 1).arg(count)
                                    : QString());
    };
    refresh(previousProfile_, nextProfile_, profilePosition_, profile_, ProfileCount());
    refresh(previousSection_, nextSection_, sectionPosition_, section_, SectionCount());
}

} // namespace vialto
