#include "gui/ctlExporting.h"

#include "gui/GuiText.h"
#include "gui/ctlNumericText.h"
#include "gui/ctlProofPreview.h"
#include "shell/Text.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace vialto {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr const char *kLayerMarker = "L";
constexpr const char *kStringlineMarker = "S";

// "$" + every item + "$"; "" for no item.
std::string Selection(const QStringList &items) {
    if (items.isEmpty())
        return {};
    return "$" + S(items.join(QLatin1Char('$'))) + "$";
}

} // namespace

ctlExporting::ctlExporting(QWidget *parent)
    : QWidget(parent), range_(new QGroupBox(this)), layers_(new QGroupBox(this)),
      fromLabel_(new QLabel(range_)), toLabel_(new QLabel(range_)),
      from_(new ctlNumericText(range_)), to_(new ctlNumericText(range_)),
      tree_(new QTreeWidget(layers_)), selectAll_(new QPushButton(layers_)),
      unselectAll_(new QPushButton(layers_)), proof_(new QWidget(this)),
      proofText_(new QLabel(proof_)) {
    setObjectName(QStringLiteral("ctlExporting"));
    from_->setObjectName(QStringLiteral("txtFromCh"));
    to_->setObjectName(QStringLiteral("txtToCh"));
    tree_->setObjectName(QStringLiteral("tvwLayers"));
    selectAll_->setObjectName(QStringLiteral("cmdSelectAll"));
    unselectAll_->setObjectName(QStringLiteral("cmdUnselectAll"));
    selectAll_->setAutoDefault(false);
    unselectAll_->setAutoDefault(false);

    auto *rangeForm = new QFormLayout(range_);
    rangeForm->addRow(fromLabel_, from_);
    rangeForm->addRow(toLabel_, to_);
    fromLabel_->setBuddy(from_->Edit());
    toLabel_->setBuddy(to_->Edit());

    tree_->setHeaderHidden(true);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(selectAll_);
    buttons->addWidget(unselectAll_);
    buttons->addStretch(1);
    auto *layerLayout = new QVBoxLayout(layers_);
    layerLayout->addWidget(tree_, 1);
    layerLayout->addLayout(buttons);

    // What failed the proof: an icon and the text, above the choices.
    proofText_->setObjectName(QStringLiteral("lblProofFailed"));
    proofText_->setWordWrap(true);
    proofText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *icon = new QLabel(proof_);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);
    auto *proofRow = new QHBoxLayout(proof_);
    proofRow->setContentsMargins(0, 0, 0, 0);
    proofRow->addWidget(icon);
    proofRow->addWidget(proofText_, 1);
    proof_->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(proof_);
    layout->addWidget(range_);
    layout->addWidget(layers_, 100);
    layout->addStretch(1); // keeps the range at the top when no layers are offered
    range_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    connect(selectAll_, &QPushButton::clicked, this, [this] { SelectAll(true); });
    connect(unselectAll_, &QPushButton::clicked, this, [this] { SelectAll(false); });
    layers_->hide();
    UpdateText();
}

void ctlExporting::ShowChoices(const ExportChoices &choices, bool chainageRangeEditable) {
    SetChainageStart(choices.ChainageStart);
    SetChainageEnd(choices.ChainageEnd);
    from_->setEnabled(chainageRangeEditable);
    to_->setEnabled(chainageRangeEditable);
    ClearLayers();
    for (std::size_t i = 0; i < choices.OfferedLayers.size(); ++i) {
        const std::string &name = choices.OfferedLayers[i];
        AddLayer(Q(name), static_cast<long>(i));
        if (!choices.SelectedLayers.empty() &&
            choices.SelectedLayers.find("$" + name + "$") == std::string::npos)
            tree_->topLevelItem(static_cast<int>(i))->setCheckState(0, Qt::Unchecked);
    }
    SetLayersVisible(choices.LayersVisible);
}

double ctlExporting::ChainageStart() const {
    return from_->IsEmpty() ? kNullValue : from_->NumericValue();
}

void ctlExporting::SetChainageStart(double chainage) {
    chainage == kNullValue ? from_->SetEmpty() : from_->SetNumericValue(chainage, 3);
}

double ctlExporting::ChainageEnd() const {
    return to_->IsEmpty() ? kNullValue : to_->NumericValue();
}

void ctlExporting::SetChainageEnd(double chainage) {
    chainage == kNullValue ? to_->SetEmpty() : to_->SetNumericValue(chainage, 3);
}

bool ctlExporting::LayersVisible() const { return !layers_->isHidden(); }
void ctlExporting::SetLayersVisible(bool visible) { layers_->setVisible(visible); }
bool ctlExporting::ChainageRangeVisible() const { return !range_->isHidden(); }
bool ctlExporting::ChainageRangeEditable() const { return from_->isEnabled(); }
void ctlExporting::SetChainageRangeVisible(bool visible) { range_->setVisible(visible); }

QString ctlExporting::AddLayer(const QString &name, long itemData) {
    const long number = itemData >= 0 ? itemData : tree_->topLevelItemCount();
    const QString key = QString::number(number) + QLatin1String(kLayerMarker);
    auto *item = new QTreeWidgetItem(tree_, QStringList(name));
    item->setData(0, kKeyRole, key);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    item->setCheckState(0, Qt::Checked);
    return key;
}

QString ctlExporting::AddStringline(const QString &layerKey, const QString &name, long itemData) {
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *layer = tree_->topLevelItem(i);
        if (layer->data(0, kKeyRole).toString() != layerKey)
            continue;
        const QString key = QString::number(itemData) + QLatin1String(kStringlineMarker) + layerKey;
        auto *item = new QTreeWidgetItem(layer, QStringList(name));
        item->setData(0, kKeyRole, key);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
        return key;
    }
    return {};
}

std::string ctlExporting::GetSelectedLayers() const {
    QStringList names;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i)
        if (tree_->topLevelItem(i)->checkState(0) != Qt::Unchecked)
            names << tree_->topLevelItem(i)->text(0);
    return names.isEmpty() ? std::string("__None__") : Selection(names);
}

std::string ctlExporting::GetSelectedLayersIdx() const {
    QStringList numbers;
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *layer = tree_->topLevelItem(i);
        if (layer->checkState(0) != Qt::Unchecked)
            numbers
                << layer->data(0, kKeyRole).toString().section(QLatin1String(kLayerMarker), 0, 0);
    }
    return Selection(numbers);
}

std::string ctlExporting::GetSelectedStringlinesIdx() const {
    QStringList numbers;
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
        if (!(*it)->parent() || (*it)->checkState(0) != Qt::Checked)
            continue;
        const QString number =
            (*it)->data(0, kKeyRole).toString().section(QLatin1String(kStringlineMarker), 0, 0);
        if (!numbers.contains(number))
            numbers << number;
    }
    return Selection(numbers);
}

void ctlExporting::ClearLayers() { tree_->clear(); }

void ctlExporting::SelectAll(bool ticked) {
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        (*it)->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

void ctlExporting::ShowProof(const ProofReport &proof) {
    const bool failed = proof.Ran && !proof.Passed;
    proofText_->setText(failed ? ProofVerdictText(proof, ctlProofPreview::kFailuresShown)
                               : QString());
    proofText_->setAccessibleName(proofText_->text());
    proof_->setVisible(failed);
}

QString ctlExporting::ProofText() const {
    return proof_->isVisible() ? proofText_->text() : QString();
}

void ctlExporting::UpdateText() {
    range_->setTitle(Tr("FR_EXP_CH_RANGE"));
    layers_->setTitle(Tr("FR_EXP_LAYERS"));
    fromLabel_->setText(Tr("LBL_EXP_FROM_CH"));
    toLabel_->setText(Tr("LBL_EXP_TO_CH"));
    from_->Edit()->setAccessibleName(Tr("LBL_EXP_FROM_CH"));
    to_->Edit()->setAccessibleName(Tr("LBL_EXP_TO_CH"));
    tree_->setAccessibleName(Tr("FR_EXP_LAYERS"));
    selectAll_->setText(Tr("CMD_EXP_SELECT_ALL"));
    unselectAll_->setText(Tr("CMD_EXP_UNSELECT_ALL"));
}

} // namespace vialto
