#include "wizard/ResultSummary.h"

namespace vialto {

SummaryRow *ResultSummary::Row(int page, int row) {
    if (page < 1 || page > PagesTot() || row < 1)
        return nullptr;
    std::vector<SummaryRow> &rows = pages_[static_cast<std::size_t>(page - 1)].Rows;
    if (rows.size() < static_cast<std::size_t>(row))
        rows.resize(static_cast<std::size_t>(row));
    return &rows[static_cast<std::size_t>(row - 1)];
}

void ResultSummary::ConfigValueInPage(int page, int row, const std::string &description,
                                      double value, const std::string &unit) {
    if (SummaryRow *r = Row(page, row))
        *r = {description, value, unit};
}

void ResultSummary::SetValueInPage(int page, int row, double value) {
    if (SummaryRow *r = Row(page, row))
        r->Value = value;
}

} // namespace vialto
