#include "gui/frmWizard.h"

#include "gui/GuiText.h"
#include "gui/ctlDetails.h"
#include "gui/ctlExporting.h"
#include "gui/ctlFiles.h"
#include "gui/ctlImporting.h"
#include "gui/ctlJobType.h"
#include "gui/ctlPreferences.h"
#include "gui/ctlProgress.h"
#include "gui/ctlProofPreview.h"
#include "gui/ctlResult.h"
#include "gui/ctlSelect.h"
#include "gui/ctlSelectStrLns.h"
#include "shell/AppModel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vialto {

frmWizard::frmWizard(ISettings &settings, QWidget *parent)
    : QDialog(parent), flow_(*this), header_(new QFrame(this)), title_(new QLabel(header_)),
      subtitle_(new QLabel(header_)), pageArea_(new QStackedWidget(this)),
      version_(new QLabel(this)), back_(new QPushButton(this)), next_(new QPushButton(this)),
      cancel_(new QPushButton(this)), jobType_(new ctlJobType), files_(new ctlFiles(settings)),
      details_(new ctlDetails), preferences_(new ctlPreferences), importing_(new ctlImporting),
      exporting_(new ctlExporting), result_(new ctlResult), selectStrLns_(new ctlSelectStrLns),
      select_(new ctlSelect), progress_(new ctlProgress) {
    setObjectName(QStringLiteral("frmWizard"));
    header_->setObjectName(QStringLiteral("frHeader"));
    title_->setObjectName(QStringLiteral("lblTitle"));
    subtitle_->setObjectName(QStringLiteral("lblSubtitle"));
    pageArea_->setObjectName(QStringLiteral("pageArea"));
    version_->setObjectName(QStringLiteral("lblVersion"));
    back_->setObjectName(QStringLiteral("cmdBack"));
    next_->setObjectName(QStringLiteral("cmdNext"));
    cancel_->setObjectName(QStringLiteral("cmdCancel"));

    // Header band: the page's title in bold over its subtitle.
    header_->setAutoFillBackground(true);
    header_->setBackgroundRole(QPalette::Base);
    header_->setFrameShape(QFrame::NoFrame);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    subtitle_->setWordWrap(true);
    auto *headerLayout = new QVBoxLayout(header_);
    headerLayout->setContentsMargins(12, 8, 12, 8);
    headerLayout->addWidget(title_);
    headerLayout->addWidget(subtitle_);

    // The page area: pages at their identifiers, the progress panel after them.
    for (QWidget *page :
         std::initializer_list<QWidget *>{jobType_, files_, details_, preferences_, importing_,
                                          exporting_, result_, selectStrLns_, select_})
        pageArea_->addWidget(page);
    pageArea_->addWidget(progress_);

    auto *line1 = new QFrame(this);
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Sunken);
    auto *line2 = new QFrame(this);
    line2->setFrameShape(QFrame::HLine);
    line2->setFrameShadow(QFrame::Sunken);
    version_->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(version_);
    buttons->addStretch(1);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addSpacing(8);
    buttons->addWidget(cancel_);
    back_->setAutoDefault(false);
    cancel_->setAutoDefault(false);
    next_->setDefault(true);

    auto *content = new QVBoxLayout;
    content->setContentsMargins(12, 8, 12, 0);
    content->addWidget(pageArea_, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->setSpacing(6);
    layout->addWidget(header_);
    layout->addWidget(line1);
    layout->addLayout(content, 1);
    layout->addWidget(line2);
    auto *buttonMargins = new QHBoxLayout;
    buttonMargins->setContentsMargins(12, 0, 12, 0);
    buttonMargins->addLayout(buttons);
    layout->addLayout(buttonMargins);

    resize(kDefaultWidth, kDefaultHeight);
    setSizeGripEnabled(true);

    progress_->SetPanelHandlers([this] { ShowProgressPanel(); }, [this] { HideProgressPanel(); });
    controller_ =
        std::make_unique<clsWizard>(flow_, *this,
                                    WizardControls{*jobType_, *files_, *preferences_, *importing_,
                                                   *exporting_, *result_, *details_, *select_},
                                    settings, *progress_);
    flow_.SetHandlers(controller_.get());

    connect(next_, &QPushButton::clicked, this, [this] { flow_.Next(); });
    connect(back_, &QPushButton::clicked, this, [this] { flow_.Back(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { flow_.Cancel(); });
}

frmWizard::~frmWizard() {
    flow_.SetHandlers(nullptr);
    while (busy_ > 0)
        SetBusy(false);
}

void frmWizard::Open() {
    const ProgramVersion v = GetProgramVersion();
    version_->setText(QStringLiteral("  %1.%2.%3  ").arg(v.Major).arg(v.Minor).arg(v.Revision));
    setWindowTitle(Q(AppModel().ConverterInfo().sName));
    UpdateText();
    flow_.Start(AppModel().ConverterInfo().JobTypeCount());
}

void frmWizard::UpdateText() {
    back_->setText(Tr("BT_BACK"));
    cancel_->setText(Tr("BT_CANCEL"));
    SetButtons(buttons_);
    flow_.SetHeader(flow_.CurrentPageId());
    jobType_->UpdateText();
    files_->UpdateText();
    details_->UpdateText();
    preferences_->UpdateText();
    importing_->UpdateText();
    exporting_->UpdateText();
    result_->ProofPanel().UpdateText();
    progress_->UpdateText();
    selectStrLns_->UpdateText();
    select_->UpdateText();
}

void frmWizard::ShowPage(int page) {
    shownPage_ = page;
    if (!IsProgressVisible())
        pageArea_->setCurrentIndex(page);
}

void frmWizard::SetHeader(const std::string &title, const std::string &subtitle) {
    title_->setText(Q(title));
    subtitle_->setText(Q(subtitle));
}

void frmWizard::SetHeaderVisible(bool visible) { header_->setVisible(visible); }

void frmWizard::SetButtons(const ButtonStates &states) {
    buttons_ = states;
    const bool idle = !IsProgressVisible();
    back_->setEnabled(idle && states.BackEnabled);
    next_->setEnabled(idle && states.NextEnabled);
    next_->setText(Tr(states.NextIsFinish ? "BT_FINISH" : "BT_NEXT"));
    cancel_->setVisible(states.CancelVisible);
    cancel_->setEnabled(idle);
}

bool frmWizard::IsProgressVisible() const { return progress_->IsShown(); }

void frmWizard::SetBusy(bool busy) {
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++busy_;
    } else if (busy_ > 0) {
        QApplication::restoreOverrideCursor();
        --busy_;
    }
}

void frmWizard::EndWizard(int exitCode) {
    exitCode_ = exitCode;
    hide();
    emit Ended(exitCode);
}

void frmWizard::reject() {
    // Esc is the Cancel button, where there is one.
    if (buttons_.CancelVisible)
        flow_.Cancel();
}

void frmWizard::closeEvent(QCloseEvent *event) {
    if (!flow_.Ended())
        flow_.Close();
    if (!flow_.Ended())
        event->ignore(); // a stage is running
    else
        event->accept();
}

void frmWizard::ShowProgressPanel() {
    pageArea_->setCurrentWidget(progress_);
    SetButtons(buttons_);
}

void frmWizard::HideProgressPanel() {
    if (shownPage_ >= 0)
        pageArea_->setCurrentIndex(shownPage_);
    SetButtons(buttons_);
}

} // namespace vialto
