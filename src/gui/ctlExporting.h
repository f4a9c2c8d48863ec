// The exporting page: the chainage range to write (changed only for road
// jobs; the other jobs are written whole, and the range shows what that is)
// and the tree of layers, with their stringlines under them, to tick.
// Selections come back as one text with "$" before and after every item
// ("$a$b$").
#pragma once

#include "wizard/WizardControls.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace vialto {

class ctlNumericText;

class ctlExporting : public QWidget, public IExportingControl {
    Q_OBJECT
  public:
    explicit ctlExporting(QWidget *parent = nullptr);

    void ShowChoices(const ExportChoices &choices, bool chainageRangeEditable) override;
    // The null marker when the box is empty.
    double ChainageStart() const override;
    void SetChainageStart(double chainage);
    double ChainageEnd() const override;
    void SetChainageEnd(double chainage);
    bool LayersVisible() const override;
    void SetLayersVisible(bool visible);
    bool ChainageRangeVisible() const;
    void SetChainageRangeVisible(bool visible);
    bool ChainageRangeEditable() const;
    // Adds a ticked layer; returns its key (its number and the layer marker).
    QString AddLayer(const QString &name, long itemData = -1);
    // Adds a ticked stringline under the layer; returns its key.
    QString AddStringline(const QString &layerKey, const QString &name, long itemData);
    std::string GetSelectedLayers() const override;
    std::string GetSelectedLayersIdx() const;
    std::string GetSelectedStringlinesIdx() const override;
    void ShowProof(const ProofReport &proof) override;
    // The text the proof's failure shows ("" when none shows).
    QString ProofText() const;
    void ClearLayers();
    // Ticks or clears every layer and stringline.
    void SelectAll(bool ticked);
    void UpdateText();

  private:
    QGroupBox *range_;
    QGroupBox *layers_;
    QLabel *fromLabel_;
    QLabel *toLabel_;
    ctlNumericText *from_;
    ctlNumericText *to_;
    QTreeWidget *tree_;
    QPushButton *selectAll_;
    QPushButton *unselectAll_;
    QWidget *proof_;
    QLabel *proofText_;
};

} // namespace vialto
