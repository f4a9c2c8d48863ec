// The result page: the chainage ranges written, one page per input-files
// page, in rows of description, value and unit. A row made for a part that
// was not written shows no value.
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace vialto {

class ctlProofPreview;

class ctlResult : public QWidget, public IResultControl {
    Q_OBJECT
  public:
    static constexpr int kRows = 6;

    explicit ctlResult(QWidget *parent = nullptr);
    void ShowSummary(const ResultSummary &summary) override;
    void ShowPage(int page) override;
    int PagesTot() const { return summary_.PagesTot(); }
    void AddPage(const std::string &title);
    void DeleteAllPages();
    void ConfigValueInPage(int page, int row, const std::string &description, double value,
                           const std::string &unit);
    void SetValueInPage(int page, int row, double value);
    // The shown text of a row's value ("" for no value) and its description.
    QString GetValue(int page, int row) const;
    QString GetDescription(int page, int row) const;
    int CurrentPage() const { return current_; }
    // Adds a further view of the result below the summary; the page takes it
    // and gives it the same share of the height as the summary.
    void AddView(QWidget *view);
    // The proof of the written document and its preview (hidden when the
    // proof did not run).
    ctlProofPreview &ProofPanel() const { return *proof_; }

  private:
    const SummaryRow *Row(int page, int row) const;
    void Refresh();

    ResultSummary summary_;
    int current_ = 1;
    QGroupBox *frame_;
    QLabel *pageTitle_;
    std::array<QLabel *, kRows> descriptions_{};
    std::array<QLabel *, kRows> values_{};
    std::array<QLabel *, kRows> units_{};
    QWidget *navigation_;
    QPushButton *previous_;
    QPushButton *next_;
    QLabel *pageLabel_;
    QVBoxLayout *column_;
    ctlProofPreview *proof_;
};

} // namespace vialto
