// The choice of the alignments to write: one tick box per horizontal
// alignment, each with a list of the vertical alignments ("----" for none),
// in a list that scrolls when it is longer than the page. The page is not in
// the wizard's page list; its members serve the controller's handler.
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;

namespace vialto {

class ctlSelect : public QWidget, public ISelectControl {
    Q_OBJECT
  public:
    explicit ctlSelect(QWidget *parent = nullptr);
    void ShowCrSec(bool visible);
    // False, after a message, when an alignment of that name is listed.
    bool AddHzAlignment(const std::string &name);
    bool AddVtAlignment(const std::string &name);
    void DeleteAlignments();
    // The ticked horizontal alignments' names, in order.
    std::vector<std::string> GetAlignments() const override;
    // The vertical alignment chosen beside each ticked one ("----": none).
    std::vector<std::string> GetVerticalAlignments() const;
    int HzCount() const { return static_cast<int>(rows_.size()); }
    void UpdateText();

  private:
    struct AlignmentRow {
        QCheckBox *Hz;
        QComboBox *Vt;
        QCheckBox *Cr;
    };
    AlignmentRow AddRow(const QString &caption);

    QGridLayout *grid_;
    QLabel *hzLabel_;
    QLabel *vtLabel_;
    QLabel *crLabel_;
    QCheckBox *all_;
    std::vector<AlignmentRow> rows_;
    std::vector<std::string> verticals_;
    bool placeholder_ = true; // the first row still shows "----"
};

} // namespace vialto
