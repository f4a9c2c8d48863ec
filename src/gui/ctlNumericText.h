// The numeric entry box with its unit label: only number characters can be
// typed, and a text that breaks the number rules (wizard/NumericText.h) is put
// back to the last valid one. A value set from the program is kept exactly
// until the user edits the text, so a chainage shown with three decimals is
// handed back unrounded.
#pragma once

#include "wizard/NumericText.h"

#include <QWidget>

class QLabel;
class QLineEdit;

namespace vialto {

class ctlNumericText : public QWidget {
    Q_OBJECT
  public:
    explicit ctlNumericText(QWidget *parent = nullptr);

    // Writes the value with `digits` decimals (DecimalPlaces when negative).
    void SetNumericValue(double value, int digits = -1);
    void SetEmpty();
    bool IsEmpty() const;
    QString Unit() const;
    void SetUnit(const QString &unit);
    bool UnitVisible() const;
    void SetUnitVisible(bool visible);
    // The value of the text; 0 when it is empty.
    double NumericValue() const;
    int DecimalPlaces() const { return decimals_; }
    void SetDecimalPlaces(int decimals) { decimals_ = decimals; }
    QLineEdit *Edit() const { return edit_; }
    const NumberSeparators &Separators() const { return separators_; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void OnTextChanged(const QString &text);

    QLineEdit *edit_;
    QLabel *unit_;
    NumberSeparators separators_;
    int decimals_ = 3;
    QString lastValid_;
    bool settingText_ = false;
    bool hasExact_ = false;
    double exactValue_ = 0;
    QString exactText_;
};

// The separators of the current default locale.
NumberSeparators LocaleSeparators();

} // namespace vialto
