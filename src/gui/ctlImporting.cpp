#include "gui/ctlImporting.h"

#include "check/AlignmentCheck.h"
#include "gui/GuiText.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace vialto {

namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kReasonRole = Qt::UserRole + 2;
constexpr int kReportNameRole = Qt::UserRole + 3; // the name the check report files it under

} // namespace

ctlImporting::ctlImporting(QWidget *parent)
    : QWidget(parent), frame_(new QGroupBox(this)), tree_(new QTreeWidget(frame_)),
      report_(new QPlainTextEdit(frame_)) {
    setObjectName(QStringLiteral("ctlImporting"));
    tree_->setObjectName(QStringLiteral("tvwImport"));
    report_->setObjectName(QStringLiteral("txtCheckReport"));
    tree_->setHeaderHidden(true);
    tree_->setColumnCount(1);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    report_->setTabStopDistance(report_->fontMetrics().horizontalAdvance(QLatin1Char(' ')) * 8);
    auto *inner = new QVBoxLayout(frame_);
    inner->addWidget(tree_, 3);
    inner->addWidget(report_, 2);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *item) { ShowReport(item); });
    UpdateText();
}

void ctlImporting::ShowTree(const ImportTree &tree, const std::vector<std::string> &labels) {
    DeleteAllNodes();
    QTreeWidgetItem *firstFailed = nullptr;
    QTreeWidgetItem *firstLeaf = nullptr;
    for (std::size_t i = 0; i < tree.Nodes().size(); ++i) {
        const ImportTreeNode &node = tree.Nodes()[i];
        const QString label = Q(i < labels.size() ? labels[i] : node.Text);
        if (node.ParentKey.empty()) {
            AddRoot(Q(node.Key), label);
            continue;
        }
        // The node's own key is what follows its root key and separator.
        const QString ownKey = Q(node.Key.substr(node.ParentKey.size() + 1));
        QTreeWidgetItem *item = AddNode(Q(node.ParentKey), ownKey, label, node.Image);
        if (!item)
            continue;
        item->setData(0, kReasonRole, Q(node.Reason));
        item->setData(0, kReportNameRole, Q(node.Text));
        if (node.Image == kImageFailed && !firstFailed)
            firstFailed = item;
        if (!firstLeaf)
            firstLeaf = item;
    }
    tree_->expandAll();
    // The first failure is what the user needs to see; else the first file's check.
    QTreeWidgetItem *shown = firstFailed ? firstFailed : firstLeaf;
    tree_->setCurrentItem(shown);
    ShowReport(shown);
}

void ctlImporting::DeleteAllNodes() {
    tree_->clear();
    report_->clear();
}

QTreeWidgetItem *ctlImporting::AddRoot(const QString &key, const QString &text) {
    auto *item = new QTreeWidgetItem(tree_, QStringList(text));
    item->setData(0, kKeyRole, key);
    return item;
}

QTreeWidgetItem *ctlImporting::AddNode(const QString &rootKey, const QString &key,
                                       const QString &text, int image) {
    QTreeWidgetItem *root = Find(rootKey);
    if (!root)
        return nullptr;
    auto *item = new QTreeWidgetItem(root, QStringList(text));
    item->setData(0, kKeyRole, rootKey + QLatin1Char('|') + key);
    SetImage(rootKey, key, image);
    return item;
}

QString ctlImporting::GetText(const QString &key) const {
    const QTreeWidgetItem *item = Find(key);
    return item ? item->text(0) : QString();
}

void ctlImporting::SetImage(const QString &rootKey, const QString &key, int image) {
    QTreeWidgetItem *item = Find(rootKey + QLatin1Char('|') + key);
    if (!item)
        return;
    item->setData(0, kImageRole, image);
    // A tick or a cross: the state never rests on colour alone.
    if (image == kImageOk)
        item->setIcon(0, style()->standardIcon(QStyle::SP_DialogApplyButton));
    else if (image == kImageFailed)
        item->setIcon(0, style()->standardIcon(QStyle::SP_MessageBoxCritical));
    else
        item->setIcon(0, QIcon());
}

bool ctlImporting::IsAllOk() const {
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if ((*it)->data(0, kImageRole).toInt() == kImageFailed)
            return false;
    return true;
}

QString ctlImporting::ReportText() const { return report_->toPlainText(); }

QTreeWidgetItem *ctlImporting::Find(const QString &key) const {
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
        if ((*it)->data(0, kKeyRole).toString() == key)
            return *it;
    return nullptr;
}

void ctlImporting::ShowReport(QTreeWidgetItem *item) {
    if (!item || !item->parent()) {
        report_->clear();
        return;
    }
    // A file that could not be read was not checked: its reason is the story.
    const QString reason = item->data(0, kReasonRole).toString();
    if (!reason.isEmpty()) {
        report_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        report_->setPlainText(reason);
        return;
    }
    const std::string key = S(item->data(0, kKeyRole).toString());
    const QString name = item->data(0, kReportNameRole).toString();
    report_->setLineWrapMode(QPlainTextEdit::NoWrap); // the report's columns
    report_->setPlainText(
        Q(GetCheckReportText(S(name), key)).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ctlImporting::UpdateText() {
    frame_->setTitle(Tr("FR_IMPORTING"));
    tree_->setAccessibleName(Tr("FR_IMPORTING"));
}

} // namespace vialto
