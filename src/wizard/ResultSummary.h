// The summary the result page shows: one page per input-file page, rows of
// (description, chainage, unit) for the parts that were written. A row made
// for a part that was not written keeps the null marker and shows no value.
// It also carries the proof of the written document.
#pragma once

#include "verify/Proof.h"

#include <string>
#include <utility>
#include <vector>

namespace vialto {

struct SummaryRow {
    std::string Description;
    double Value = 0;
    std::string Unit;
};

struct SummaryPage {
    std::string Title;
    std::vector<SummaryRow> Rows; // rows 1..6 at indices 0..5; absent rows have no description
};

class ResultSummary {
  public:
    void DeleteAllPages() {
        pages_.clear();
        proof_ = {};
    }
    void AddPage(const std::string &title) { pages_.push_back({title, {}}); }
    void ConfigValueInPage(int page, int row, const std::string &description, double value,
                           const std::string &unit);
    void SetValueInPage(int page, int row, double value);
    int PagesTot() const { return static_cast<int>(pages_.size()); }
    const std::vector<SummaryPage> &Pages() const { return pages_; }

    // The proof of the written document: its figures per alignment, what
    // failed, and the records read back (for the preview). Ran is false when
    // the proof was switched off.
    const ProofReport &Proof() const { return proof_; }
    void SetProof(ProofReport report) { proof_ = std::move(report); }

  private:
    SummaryRow *Row(int page, int row);
    std::vector<SummaryPage> pages_;
    ProofReport proof_;
};

} // namespace vialto
