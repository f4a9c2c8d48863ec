#include "gui/ctlResult.h"

#include "gui/GuiText.h"
#include "gui/ctlProofPreview.h"
#include "shell/Text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vialto {

ctlResult::ctlResult(QWidget *parent)
    : QWidget(parent), frame_(new QGroupBox(QStringLiteral("Summary of imported data"), this)),
      pageTitle_(new QLabel(frame_)), navigation_(new QWidget(frame_)),
      previous_(new QPushButton(QStringLiteral("<"), navigation_)),
      next_(new QPushButton(QStringLiteral(">"), navigation_)),
      pageLabel_(new QLabel(navigation_)) {
    setObjectName(QStringLiteral("ctlResult"));
    pageTitle_->setObjectName(QStringLiteral("lblResultTitle"));
    previous_->setObjectName(QStringLiteral("cmdResultPrevious"));
    next_->setObjectName(QStringLiteral("cmdResultNext"));
    pageLabel_->setObjectName(QStringLiteral("lblResultPage"));
    previous_->setAutoDefault(false);
    next_->setAutoDefault(false);
    previous_->setAccessibleName(QStringLiteral("<"));
    next_->setAccessibleName(QStringLiteral(">"));
    QFont bold = pageTitle_->font();
    bold.setBold(true);
    pageTitle_->setFont(bold);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(0, 1);
    for (int row = 0; row < kRows; ++row) {
        auto *description = new QLabel(frame_);
        auto *value = new QLabel(frame_);
        auto *unit = new QLabel(frame_);
        description->setObjectName(QStringLiteral("lblResultDescription%1").arg(row + 1));
        value->setObjectName(QStringLiteral("lblResultValue%1").arg(row + 1));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(description, row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(unit, row, 2);
        descriptions_[static_cast<std::size_t>(row)] = description;
        values_[static_cast<std::size_t>(row)] = value;
        units_[static_cast<std::size_t>(row)] = unit;
    }
    auto *navigationLayout = new QHBoxLayout(navigation_);
    navigationLayout->setContentsMargins(0, 0, 0, 0);
    navigationLayout->addStretch(1);
    navigationLayout->addWidget(previous_);
    navigationLayout->addWidget(pageLabel_);
    navigationLayout->addWidget(next_);

    auto *inner = new QVBoxLayout(frame_);
    inner->addWidget(pageTitle_);
    inner->addLayout(grid);
    inner->addStretch(1);
    inner->addWidget(navigation_);
    // The page is a column: further views of the result go below the summary.
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(0, 0, 0, 0);
    column_->addWidget(frame_, 1);
    proof_ = new ctlProofPreview(this);
    AddView(proof_);
    proof_->hide();

    connect(previous_, &QPushButton::clicked, this, [this] { ShowPage(current_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { ShowPage(current_ + 1); });
    Refresh();
}

void ctlResult::ShowSummary(const ResultSummary &summary) {
    summary_ = summary;
    current_ = 1;
    proof_->ShowProof(summary.Proof());
    proof_->setVisible(summary.Proof().Ran);
    Refresh();
}

void ctlResult::ShowPage(int page) {
    if (page >= 1 && page <= PagesTot())
        current_ = page;
    Refresh();
}

void ctlResult::AddPage(const std::string &title) {
    summary_.AddPage(title);
    Refresh();
}

void ctlResult::DeleteAllPages() {
    summary_.DeleteAllPages();
    current_ = 1;
    Refresh();
}

void ctlResult::ConfigValueInPage(int page, int row, const std::string &description, double value,
                                  const std::string &unit) {
    summary_.ConfigValueInPage(page, row, description, value, unit);
    Refresh();
}

void ctlResult::SetValueInPage(int page, int row, double value) {
    summary_.SetValueInPage(page, row, value);
    Refresh();
}

void ctlResult::AddView(QWidget *view) { column_->addWidget(view, 1); }

const SummaryRow *ctlResult::Row(int page, int row) const {
    if (page < 1 || page > PagesTot() || row < 1)
        return nullptr;
    const std::vector<SummaryRow> &rows = summary_.Pages()[static_cast<std::size_t>(page - 1)].Rows;
    return static_cast<std::size_t>(row) <= rows.size() ? &rows[static_cast<std::size_t>(row - 1)]
                                                        : nullptr;
}

QString ctlResult::GetValue(int page, int row) const {
    const SummaryRow *r = Row(page, row);
    return r && r->Value != kNullValue ? Q(FormatDecimals(r->Value, 3)) : QString();
}

QString ctlResult::GetDescription(int page, int row) const {
    const SummaryRow *r = Row(page, row);
    return r ? Q(r->Description) : QString();
}

void ctlResult::Refresh() {
    const bool any = PagesTot() > 0;
    pageTitle_->setText(any ? Q(summary_.Pages()[static_cast<std::size_t>(current_ - 1)].Title)
                            : QString());
    for (int row = 1; row <= kRows; ++row) {
        const SummaryRow *r = any ? Row(current_, row) : nullptr;
        const bool shown = r && !r->Description.empty();
        const std::size_t at = static_cast<std::size_t>(row - 1);
        descriptions_[at]->setText(shown ? Q(r->Description) : QString());
        values_[at]->setText(shown ? GetValue(current_, row) : QString());
        units_[at]->setText(shown && r->Value != kNullValue ? Q(r->Unit) : QString());
        descriptions_[at]->setVisible(shown);
        values_[at]->setVisible(shown);
        units_[at]->setVisible(shown);
    }
    navigation_->setVisible(PagesTot() > 1);
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(current_).arg(PagesTot()));
    previous_->setEnabled(current_ > 1);
    next_->setEnabled(current_ < PagesTot());
}

} // namespace vialto
