// The preferences page: the horizontal and vertical tolerances of the
// continuity checks, the chainage offset and the linear unit of the listings.
// The tolerance boxes show the chosen unit.
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;

namespace vialto {

class ctlNumericText;

class ctlPreferences : public QWidget, public IPreferencesControl {
    Q_OBJECT
  public:
    explicit ctlPreferences(QWidget *parent = nullptr);
    double ChOffset() const;
    void SetChOffset(double offset);
    double ToleranceHz() const override;
    void SetToleranceHz(double tolerance) override;
    double ToleranceVt() const override;
    void SetToleranceVt(double tolerance) override;
    void ShowUnits(bool visible, bool enabled) override;
    int LinearUnits() const override;
    void SetLinearUnits(int unit) override;
    // The chosen unit's abbreviation ("m."); "" for none.
    std::string GetLinearUnitsSelected() const;
    void UpdateText();

  private:
    void UnitChanged();

    QGroupBox *tolerances_;
    QGroupBox *units_;
    QLabel *toleranceHzLabel_;
    QLabel *toleranceVtLabel_;
    QLabel *offsetLabel_;
    QLabel *unitLabel_;
    ctlNumericText *toleranceHz_;
    ctlNumericText *toleranceVt_;
    ctlNumericText *offset_;
    QComboBox *unit_;
};

} // namespace vialto
