#include "gui/ctlJobType.h"

#include "gui/GuiText.h"
#include "shell/AppModel.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vialto {

namespace {
constexpr const char *kOptionTokens[] = {"OPT_JOB_ROAD", "OPT_JOB_TUNNEL", "OPT_JOB_RAILSINGLE",
                                         "OPT_JOB_RAILDOUBLE"};
constexpr const char *kInfoTokens[] = {"TXT_JOB_ROAD", "TXT_JOB_TUNNEL", "TXT_JOB_RAILSINGLE",
                                       "TXT_JOB_RAILDOUBLE"};
} // namespace

ctlJobType::ctlJobType(QWidget *parent)
    : QWidget(parent), typeFrame_(new QGroupBox(this)), infoFrame_(new QGroupBox(this)),
      info_(new QLabel(infoFrame_)), group_(new QButtonGroup(this)) {
    setObjectName(QStringLiteral("ctlJobType"));
    auto *types = new QVBoxLayout(typeFrame_);
    for (int i = 0; i < 4; ++i) {
        auto *option = new QRadioButton(typeFrame_);
        option->setObjectName(QStringLiteral("optJob%1").arg(i));
        group_->addButton(option, i);
        types->addWidget(option);
        options_[static_cast<std::size_t>(i)] = option;
    }
    types->addStretch(1);
    options_[1]->setChecked(true);
    auto *infoLayout = new QVBoxLayout(infoFrame_);
    info_->setWordWrap(true);
    info_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    infoLayout->addWidget(info_);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(typeFrame_);
    layout->addWidget(infoFrame_, 1);
    connect(group_, &QButtonGroup::idClicked, this, [this] { UpdateInfo(); });
    UpdateText();
}

int ctlJobType::JobType() const {
    const clsConverterInfo &info = AppModel().ConverterInfo();
    if (info.JobTypeCount() == 1) {
        int type = 0;
        if (info.nFormatsSuppront & fmtRoad)
            type = 0;
        if (info.nFormatsSuppront & fmtTunnel)
            type = 1;
        return type;
    }
    return std::max(0, group_->checkedId());
}

void ctlJobType::SetJobType(int jobType) {
    if (jobType >= 0 && jobType < 4)
        options_[static_cast<std::size_t>(jobType)]->setChecked(true);
    UpdateInfo();
}

void ctlJobType::ShowJobByTypes(int formats) {
    options_[0]->setEnabled(formats & fmtRoad);
    options_[1]->setEnabled(formats & fmtTunnel);
    options_[2]->setEnabled(formats & fmtRail);
    options_[3]->setEnabled(formats & fmtRail);
    // A type the host does not offer cannot stay chosen.
    if (QAbstractButton *checked = group_->checkedButton(); !checked || !checked->isEnabled())
        for (QRadioButton *option : options_)
            if (option->isEnabled()) {
                option->setChecked(true);
                break;
            }
    UpdateInfo();
}

void ctlJobType::UpdateInfo() {
    const int type = std::max(0, group_->checkedId());
    info_->setText(Tr(kInfoTokens[type]));
}

void ctlJobType::UpdateText() {
    typeFrame_->setTitle(Tr("FR_JOBTYPE"));
    infoFrame_->setTitle(Tr("FR_JOB_INFO"));
    for (std::size_t i = 0; i < options_.size(); ++i)
        options_[i]->setText(Tr(kOptionTokens[i]));
    UpdateInfo();
}

} // namespace vialto
