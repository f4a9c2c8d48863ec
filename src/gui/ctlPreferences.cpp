#include "gui/ctlPreferences.h"

#include "gui/GuiText.h"
#include "gui/ctlNumericText.h"
#include "wizard/Preferences.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vialto {

ctlPreferences::ctlPreferences(QWidget *parent)
    : QWidget(parent), tolerances_(new QGroupBox(this)), units_(new QGroupBox(this)),
      toleranceHzLabel_(new QLabel(tolerances_)), toleranceVtLabel_(new QLabel(tolerances_)),
      offsetLabel_(new QLabel(tolerances_)), unitLabel_(new QLabel(units_)),
      toleranceHz_(new ctlNumericText(tolerances_)), toleranceVt_(new ctlNumericText(tolerances_)),
      offset_(new ctlNumericText(tolerances_)), unit_(new QComboBox(units_)) {
    setObjectName(QStringLiteral("ctlPreferences"));
    toleranceHz_->setObjectName(QStringLiteral("txtToleranceHz"));
    toleranceVt_->setObjectName(QStringLiteral("txtToleranceVt"));
    offset_->setObjectName(QStringLiteral("txtChOffset"));
    unit_->setObjectName(QStringLiteral("cboUnits"));

    auto *toleranceForm = new QFormLayout(tolerances_);
    toleranceForm->addRow(toleranceHzLabel_, toleranceHz_);
    toleranceForm->addRow(toleranceVtLabel_, toleranceVt_);
    toleranceForm->addRow(offsetLabel_, offset_);
    // The chainage offset is kept for the page's callers, but no step of the
    // conversion reads it: a box that changes nothing is not shown.
    offsetLabel_->hide();
    offset_->hide();
    toleranceHzLabel_->setBuddy(toleranceHz_->Edit());
    toleranceVtLabel_->setBuddy(toleranceVt_->Edit());
    auto *unitForm = new QFormLayout(units_);
    unitForm->addRow(unitLabel_, unit_);
    unitLabel_->setBuddy(unit_);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tolerances_);
    layout->addWidget(units_);
    layout->addStretch(1);
    offset_->SetNumericValue(0, 3);
    connect(unit_, &QComboBox::currentIndexChanged, this, &ctlPreferences::UnitChanged);
    UpdateText();
    SetLinearUnits(3);
    SetToleranceHz(0.010);
    SetToleranceVt(0.010);
}

double ctlPreferences::ChOffset() const { return offset_->NumericValue(); }
void ctlPreferences::SetChOffset(double offset) { offset_->SetNumericValue(offset, 3); }
double ctlPreferences::ToleranceHz() const { return toleranceHz_->NumericValue(); }
void ctlPreferences::SetToleranceHz(double tolerance) {
    toleranceHz_->SetNumericValue(tolerance, 3);
}
double ctlPreferences::ToleranceVt() const { return toleranceVt_->NumericValue(); }
void ctlPreferences::SetToleranceVt(double tolerance) {
    toleranceVt_->SetNumericValue(tolerance, 3);
}

void ctlPreferences::ShowUnits(bool visible, bool enabled) {
    units_->setVisible(visible);
    unit_->setEnabled(enabled);
}

int ctlPreferences::LinearUnits() const { return unit_->currentIndex() + 1; }

void ctlPreferences::SetLinearUnits(int unit) {
    unit_->setCurrentIndex(unit >= 1 && unit <= 8 ? unit - 1 : -1);
    UnitChanged();
}

std::string ctlPreferences::GetLinearUnitsSelected() const {
    return LinearUnitAbbreviation(LinearUnits());
}

void ctlPreferences::UnitChanged() {
    const QString unit = Q(GetLinearUnitsSelected());
    toleranceHz_->SetUnit(unit);
    toleranceVt_->SetUnit(unit);
    offset_->SetUnit(unit);
}

void ctlPreferences::UpdateText() {
    tolerances_->setTitle(Tr("FR_PRE_TOLERANCES"));
    units_->setTitle(Tr("FR_UNITS"));
    toleranceHzLabel_->setText(Tr("LBL_PRE_TOL_HZ"));
    toleranceVtLabel_->setText(Tr("LBL_PRE_TOL_VT"));
    offsetLabel_->setText(Tr("LBL_PRE_CHOFFSET"));
    unitLabel_->setText(Tr("LBL_LINEAR_UNITS"));
    toleranceHz_->Edit()->setAccessibleName(Tr("LBL_PRE_TOL_HZ"));
    toleranceVt_->Edit()->setAccessibleName(Tr("LBL_PRE_TOL_VT"));
    offset_->Edit()->setAccessibleName(Tr("LBL_PRE_CHOFFSET"));
    unit_->setAccessibleName(Tr("LBL_LINEAR_UNITS"));
    const int chosen = unit_->currentIndex();
    unit_->blockSignals(true);
    unit_->clear();
    for (int unit = 1; unit <= 8; ++unit)
        unit_->addItem(Tr(LinearUnitToken(unit).c_str()));
    unit_->setCurrentIndex(chosen);
    unit_->blockSignals(false);
}

} // namespace vialto
