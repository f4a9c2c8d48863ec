// The job details page: the road data name, description, creator and version
// written into the document's head. The page is not in the wizard's page
// list; its members serve the controller's handler.
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace vialto {

class ctlDetails : public QWidget, public IDetailsControl {
    Q_OBJECT
  public:
    explicit ctlDetails(QWidget *parent = nullptr);
    std::string RoadDataName() const override;
    void SetRoadDataName(const std::string &name) override;
    std::string Description() const override;
    void SetDescription(const std::string &description) override;
    std::string Creator() const override;
    void SetCreator(const std::string &creator) override;
    void ShowVersion(bool visible) override;
    // Adds a version to the list; returns its index.
    int AddVersion(const std::string &name);
    std::string Version() const;
    void UpdateText();

  private:
    QGroupBox *frame_;
    QLabel *nameLabel_;
    QLabel *descriptionLabel_;
    QLabel *creatorLabel_;
    QLabel *versionLabel_;
    QLineEdit *name_;
    QLineEdit *description_;
    QLineEdit *creator_;
    QComboBox *version_;
};

} // namespace vialto
