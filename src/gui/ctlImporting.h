// The importing page: the tree of the files read, one branch per input-files
// page and one leaf per file, each marked as read within tolerance (a tick)
// or failed (a cross), and below it, for the chosen leaf, the reason its file
// could not be read or else its check report.
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

class QGroupBox;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace vialto {

class ctlImporting : public QWidget, public IImportingControl {
    Q_OBJECT
  public:
    explicit ctlImporting(QWidget *parent = nullptr);
    void ShowTree(const ImportTree &tree, const std::vector<std::string> &labels) override;
    void DeleteAllNodes();
    QTreeWidgetItem *AddRoot(const QString &key, const QString &text);
    QTreeWidgetItem *AddNode(const QString &rootKey, const QString &key, const QString &text,
                             int image = 0);
    QString GetText(const QString &key) const;
    void SetImage(const QString &rootKey, const QString &key, int image);
    // No node shows the failed image.
    bool IsAllOk() const;
    // The text shown under the tree.
    QString ReportText() const;
    void UpdateText();

  private:
    QTreeWidgetItem *Find(const QString &key) const;
    void ShowReport(QTreeWidgetItem *item);

    QGroupBox *frame_;
    QTreeWidget *tree_;
    QPlainTextEdit *report_;
};

} // namespace vialto
