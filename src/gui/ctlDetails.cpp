#include "gui/ctlDetails.h"

#include "gui/GuiText.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vialto {

ctlDetails::ctlDetails(QWidget *parent)
    : QWidget(parent), frame_(new QGroupBox(this)), nameLabel_(new QLabel(frame_)),
      descriptionLabel_(new QLabel(frame_)), creatorLabel_(new QLabel(frame_)),
      versionLabel_(new QLabel(frame_)), name_(new QLineEdit(frame_)),
      description_(new QLineEdit(frame_)), creator_(new QLineEdit(frame_)),
      version_(new QComboBox(frame_)) {
    setObjectName(QStringLiteral("ctlDetails"));
    auto *form = new QFormLayout(frame_);
    form->addRow(nameLabel_, name_);
    form->addRow(descriptionLabel_, description_);
    form->addRow(creatorLabel_, creator_);
    form->addRow(versionLabel_, version_);
    nameLabel_->setBuddy(name_);
    descriptionLabel_->setBuddy(description_);
    creatorLabel_->setBuddy(creator_);
    versionLabel_->setBuddy(version_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    layout->addStretch(1);
    UpdateText();
}

std::string ctlDetails::RoadDataName() const { return S(name_->text()); }
void ctlDetails::SetRoadDataName(const std::string &name) { name_->setText(Q(name)); }
std::string ctlDetails::Description() const { return S(description_->text()); }
void ctlDetails::SetDescription(const std::string &text) { description_->setText(Q(text)); }
std::string ctlDetails::Creator() const { return S(creator_->text()); }
void ctlDetails::SetCreator(const std::string &creator) { creator_->setText(Q(creator)); }

void ctlDetails::ShowVersion(bool visible) {
    versionLabel_->setVisible(visible);
    version_->setVisible(visible);
}

int ctlDetails::AddVersion(const std::string &name) {
    version_->addItem(Q(name));
    return version_->count() - 1;
}

std::string ctlDetails::Version() const { return S(version_->currentText()); }

void ctlDetails::UpdateText() {
    frame_->setTitle(Tr("FR_DETAILS"));
    nameLabel_->setText(Tr("LBL_DET_NAME"));
    descriptionLabel_->setText(Tr("LBL_DET_DESC"));
    creatorLabel_->setText(Tr("LBL_DET_CREATOR"));
    versionLabel_->setText(Tr("LBL_DET_VERSION"));
    name_->setAccessibleName(Tr("LBL_DET_NAME"));
    description_->setAccessibleName(Tr("LBL_DET_DESC"));
    creator_->setAccessibleName(Tr("LBL_DET_CREATOR"));
    version_->setAccessibleName(Tr("LBL_DET_VERSION"));
}

} // namespace vialto
