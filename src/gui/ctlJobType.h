// The job type page: road, tunnel, single or double track, with a line about
// the chosen type. Only the types the host offers can be chosen.
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace vialto {

class ctlJobType : public QWidget, public IJobTypeControl {
    Q_OBJECT
  public:
    explicit ctlJobType(QWidget *parent = nullptr);
    // With one job type offered the answer comes from the supported formats
    // (the options are not shown then); otherwise the chosen option.
    int JobType() const override;
    void SetJobType(int jobType);
    void ShowJobByTypes(int formats) override;
    void UpdateText();

  private:
    void UpdateInfo();

    QGroupBox *typeFrame_;
    QGroupBox *infoFrame_;
    QLabel *info_;
    QButtonGroup *group_;
    std::array<QRadioButton *, 4> options_{};
};

} // namespace vialto
