#include "gui/ctlSelect.h"

#include "gui/GuiText.h"
#include "shell/UserInterface.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace vialto {

namespace {
const QString kNone = QStringLiteral("----");
}

ctlSelect::ctlSelect(QWidget *parent)
    : QWidget(parent), grid_(nullptr), hzLabel_(new QLabel(this)), vtLabel_(new QLabel(this)),
      crLabel_(new QLabel(this)), all_(new QCheckBox(this)) {
    setObjectName(QStringLiteral("ctlSelect"));
    auto *list = new QWidget;
    grid_ = new QGridLayout(list);
    grid_->addWidget(hzLabel_, 0, 0);
    grid_->addWidget(vtLabel_, 0, 1);
    grid_->addWidget(crLabel_, 0, 2);
    grid_->setColumnStretch(1, 1);
    grid_->setRowStretch(100, 1);
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(list);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll, 1);
    layout->addWidget(all_);
    connect(all_, &QCheckBox::toggled, this, [this](bool on) {
        for (const AlignmentRow &row : rows_)
            row.Hz->setChecked(on);
    });
    AddRow(kNone);
    UpdateText();
}

ctlSelect::AlignmentRow ctlSelect::AddRow(const QString &caption) {
    const int at = static_cast<int>(rows_.size()) + 1;
    AlignmentRow row{new QCheckBox(caption), new QComboBox, new QCheckBox};
    row.Hz->setObjectName(QStringLiteral("chkHz%1").arg(at));
    row.Vt->addItem(kNone);
    for (const std::string &vt : verticals_)
        row.Vt->addItem(Q(vt));
    grid_->addWidget(row.Hz, at, 0);
    grid_->addWidget(row.Vt, at, 1);
    grid_->addWidget(row.Cr, at, 2);
    row.Cr->setVisible(!crLabel_->isHidden());
    rows_.push_back(row);
    return row;
}

void ctlSelect::ShowCrSec(bool visible) {
    crLabel_->setVisible(visible);
    for (const AlignmentRow &row : rows_)
        row.Cr->setVisible(visible);
}

bool ctlSelect::AddHzAlignment(const std::string &name) {
    const QString caption = Q(name);
    for (const AlignmentRow &row : rows_) {
        if (!placeholder_ && row.Hz->text() == caption) {
            UserInterface().ShowMessage("A horizontal alignment exist with name " + name,
                                        MsgIcon::Warning, MsgButtons::Ok);
            return false;
        }
    }
    if (placeholder_) {
        rows_.front().Hz->setText(caption);
        placeholder_ = false;
    } else {
        AddRow(caption);
    }
    return true;
}

bool ctlSelect::AddVtAlignment(const std::string &name) {
    for (const std::string &vt : verticals_) {
        if (vt == name) {
            UserInterface().ShowMessage("A vertical alignment exist with name " + name,
                                        MsgIcon::Warning, MsgButtons::Ok);
            return false;
        }
    }
    verticals_.push_back(name);
    for (const AlignmentRow &row : rows_)
        row.Vt->addItem(Q(name));
    return true;
}

void ctlSelect::DeleteAlignments() {
    for (const AlignmentRow &row : rows_) {
        delete row.Hz;
        delete row.Vt;
        delete row.Cr;
    }
    rows_.clear();
    verticals_.clear();
    placeholder_ = true;
    AddRow(kNone);
}

std::vector<std::string> ctlSelect::GetAlignments() const {
    std::vector<std::string> chosen;
    for (const AlignmentRow &row : rows_)
        if (row.Hz->isChecked())
            chosen.push_back(S(row.Hz->text()));
    return chosen;
}

std::vector<std::string> ctlSelect::GetVerticalAlignments() const {
    std::vector<std::string> chosen;
    for (const AlignmentRow &row : rows_)
        if (row.Hz->isChecked())
            chosen.push_back(S(row.Vt->currentText()));
    return chosen;
}

void ctlSelect::UpdateText() {
    hzLabel_->setText(Tr("LBL_SELECT_HZ"));
    vtLabel_->setText(Tr("LBL_SELECT_VT"));
    crLabel_->setText(Tr("LBL_SELECT_CR"));
    all_->setText(Tr("LBL_SELECT_ALL"));
}

} // namespace vialto
