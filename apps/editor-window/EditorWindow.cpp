// The table is a Qt model over the session: every edit goes through the
// session's rules, and a refused edit leaves the cell as it was and says why
// in the status bar.
#include "editor-window/EditorWindow.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>
#include <set>

namespace vialto::editors {
namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

void Name(QWidget *widget, const QString &name, const QString &accessible) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
}

bool IsEditable(const FieldDef &field) { return !field.ReadOnly && !field.Derive; }

// A combo box of the field's choices; a word the file holds that is not one
// of them stays selectable, so that showing it changes nothing.
void FillChoices(QComboBox *box, const FieldDef &field, const std::string &current) {
    box->clear();
    if (!field.Required)
        box->addItem(QString());
    for (const std::string &choice : field.Choices)
        box->addItem(Q(choice));
    if (box->findText(Q(current)) < 0)
        box->addItem(Q(current));
    box->setCurrentIndex(box->findText(Q(current)));
}

// Choice columns are edited with a combo box.
class ChoiceDelegate final : public QStyledItemDelegate {
  public:
    ChoiceDelegate(const EditorSession &session, QObject *parent)
        : QStyledItemDelegate(parent), session_(session) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override {
        const FieldDef &field = Column(index);
        if (field.Kind != FieldKind::Choice)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *box = new QComboBox(parent);
        box->setAccessibleName(Q(field.Caption));
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            FillChoices(box, Column(index), index.data(Qt::EditRole).toString().toStdString());
        else
            QStyledItemDelegate::setEditorData(editor, index);
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override {
        if (auto *box = qobject_cast<QComboBox *>(editor))
            model->setData(index, box->currentText(), Qt::EditRole);
        else
            QStyledItemDelegate::setModelData(editor, model, index);
    }

  private:
    const FieldDef &Column(const QModelIndex &index) const {
        return session_.Table().Def->Columns.at(static_cast<std::size_t>(index.column()));
    }
    const EditorSession &session_;
};

} // namespace

class SessionTableModel final : public QAbstractTableModel {
  public:
    SessionTableModel(EditorSession &session, std::function<void(const std::string &)> report,
                      QObject *parent)
        : QAbstractTableModel(parent), session_(session), report_(std::move(report)) {}

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void InsertAt(std::size_t at) {
        const int row = static_cast<int>(std::min(at, session_.Table().Rows.size()));
        beginInsertRows({}, row, row);
        session_.AddRow(at);
        endInsertRows();
    }
    void RemoveAt(std::size_t row) {
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
        session_.DeleteRow(row);
        endRemoveRows();
    }

    int rowCount(const QModelIndex &parent) const override {
        return parent.isValid() || !session_.Editable()
                   ? 0
                   : static_cast<int>(session_.Table().Rows.size());
    }
    int columnCount(const QModelIndex &parent) const override {
        return parent.isValid() || !session_.Editable()
                   ? 0
                   : static_cast<int>(session_.Table().Def->Columns.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        if (!index.isValid())
            return {};
        const auto column = static_cast<std::size_t>(index.column());
        const FieldDef &field = session_.Table().Def->Columns.at(column);
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return Q(CellText(session_.Table(), static_cast<std::size_t>(index.row()), column));
        case Qt::TextAlignmentRole:
            return field.Kind == FieldKind::Number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::DecorationRole:
        case Qt::ToolTipRole: {
            // A value the file holds that breaks the column's rule is marked.
            const std::string problem =
                CellProblem(session_.Table(), static_cast<std::size_t>(index.row()), column);
            if (problem.empty())
                return {};
            if (role == Qt::ToolTipRole)
                return Q(problem);
            return QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
        }
        case Qt::ForegroundRole:
            // What the table only shows is drawn like a read-only text.
            return IsEditable(field) ? QVariant()
                                     : QVariant(QApplication::palette().placeholderText());
        default:
            return {};
        }
    }
    bool setData(const QModelIndex &index, const QVariant &value, int role) override {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        const std::string problem = session_.SetCell(static_cast<std::size_t>(index.row()),
                                                     static_cast<std::size_t>(index.column()),
                                                     value.toString().toStdString());
        report_(problem);
        if (!problem.empty())
            return false;
        emit dataChanged(index, index);
        return true;
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override {
        Qt::ItemFlags flags = QAbstractTableModel::flags(index);
        if (index.isValid() &&
            IsEditable(session_.Table().Def->Columns.at(static_cast<std::size_t>(index.column()))))
            flags |= Qt::ItemIsEditable;
        return flags;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section + 1;
        return Q(session_.Table().Def->Columns.at(static_cast<std::size_t>(section)).Caption);
    }

  private:
    EditorSession &session_;
    std::function<void(const std::string &)> report_;
};

EditorWindow::EditorWindow(EditorSession &session, IEditorDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent), session_(session), dialogs_(dialogs) {
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    // What the converter says, with an icon and words (never a colour alone).
    auto *band = new QFrame(central);
    band->setFrameShape(QFrame::StyledPanel);
    auto *bandLayout = new QHBoxLayout(band);
    verdictIcon_ = new QLabel(band);
    Name(verdictIcon_, "verdictIcon", "Verdict icon");
    verdict_ = new QLabel(band);
    verdict_->setWordWrap(true);
    verdict_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Name(verdict_, "verdict", "What the converter says about the file");
    bandLayout->addWidget(verdictIcon_, 0, Qt::AlignTop);
    bandLayout->addWidget(verdict_, 1);
    layout->addWidget(band);

    path_ = new QLabel(central);
    path_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Name(path_, "path", "File");
    layout->addWidget(path_);

    header_ = new QWidget(central);
    layout->addWidget(header_);

    model_ = new SessionTableModel(
        session_, [this](const std::string &problem) { Report(problem); }, this);
    table_ = new QTableView(central);
    Name(table_, "table", "Rows of the file");
    table_->setModel(model_);
    table_->setItemDelegate(new ChoiceDelegate(session_, table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    layout->addWidget(table_, 1);

    auto *buttons = new QHBoxLayout;
    add_ = new QPushButton(tr("&Add row"), central);
    Name(add_, "addRow", "Add row");
    add_->setToolTip(tr("Adds a copy of the selected row, halfway to the next one"));
    remove_ = new QPushButton(tr("&Remove rows"), central);
    Name(remove_, "removeRow", "Remove rows");
    save_ = new QPushButton(tr("&Save"), central);
    Name(save_, "save", "Save");
    save_->setShortcut(QKeySequence::Save);
    saveAs_ = new QPushButton(tr("Save &as…"), central);
    Name(saveAs_, "saveAs", "Save as");
    auto *close = new QPushButton(tr("&Close"), central);
    Name(close, "close", "Close");
    buttons->addWidget(add_);
    buttons->addWidget(remove_);
    buttons->addStretch(1);
    buttons->addWidget(save_);
    buttons->addWidget(saveAs_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    setCentralWidget(central);

    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { UpdateButtons(); });
    connect(add_, &QPushButton::clicked, this, [this] { AddRow(); });
    connect(remove_, &QPushButton::clicked, this, [this] { RemoveRows(); });
    connect(save_, &QPushButton::clicked, this, [this] { Save(false); });
    connect(saveAs_, &QPushButton::clicked, this, [this] { Save(true); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    statusBar();
    resize(900, 560);
    Refresh();
}

// The widgets go first, while the window is whole: an open cell editor
// commits its text as it goes, and the commit reports to the window.
EditorWindow::~EditorWindow() { delete takeCentralWidget(); }

void EditorWindow::Refresh() {
    const std::string &path = session_.Path();
    setWindowTitle(Q(session_.Kind().Program) + " - " +
                   (path.empty() ? tr("no file") : QFileInfo(Q(path)).fileName()) + "[*]");
    path_->setText(tr("File: %1").arg(Q(path)));
    ShowVerdict();
    BuildHeader();
    model_->Reset();
    table_->resizeColumnsToContents();
    UpdateButtons();
}

void EditorWindow::ShowVerdict() {
    const ReaderVerdict &verdict = session_.Verdict();
    const QStyle::StandardPixmap icon =
        verdict.Accepted ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxCritical;
    verdictIcon_->setPixmap(style()->standardIcon(icon).pixmap(32, 32));
    QString text;
    if (verdict.Accepted) {
        text = tr("The converter reads this file: %1").arg(Q(verdict.Summary));
    } else {
        text = tr("The converter refuses this file: %1").arg(Q(verdict.Message).trimmed());
        if (!verdict.Reason.empty())
            text += "\n" + tr("Reason: %1").arg(Q(verdict.Reason));
        if (!session_.Editable())
            text += "\n" + tr("The rows cannot be shown: %1").arg(Q(session_.LoadProblem()));
        else
            text += "\n" + tr("The file is not changed unless you save it (you will be asked).");
    }
    verdict_->setText(text);
}

// The fields above the table, two to a row.
void EditorWindow::BuildHeader() {
    delete header_->layout();
    for (QWidget *child : header_->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        delete child;
    headerEditors_.clear();
    auto *grid = new QGridLayout(header_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    if (!session_.Editable())
        return;
    const TableDef &def = *session_.Table().Def;
    for (std::size_t f = 0; f < def.Header.size(); ++f) {
        const FieldDef &field = def.Header[f];
        const std::string value = session_.Table().Header[f];
        QWidget *editor = nullptr;
        if (field.Kind == FieldKind::Choice && IsEditable(field)) {
            auto *box = new QComboBox(header_);
            FillChoices(box, field, value);
            connect(box, &QComboBox::activated, this, [this, f, box] {
                Report(session_.SetHeader(f, box->currentText().toStdString()));
                UpdateButtons();
            });
            editor = box;
        } else if (field.Kind == FieldKind::Flag) {
            auto *check = new QCheckBox(header_);
            check->setChecked(value == "true");
            check->setEnabled(IsEditable(field));
            connect(check, &QCheckBox::toggled, this, [this, f](bool on) {
                Report(session_.SetHeader(f, on ? "true" : "false"));
                UpdateButtons();
            });
            editor = check;
        } else if (!IsEditable(field)) {
            auto *label = new QLabel(Q(value), header_);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            editor = label;
        } else {
            auto *line = new QLineEdit(Q(value), header_);
            connect(line, &QLineEdit::editingFinished, this, [this, f, line] {
                Report(session_.SetHeader(f, line->text().toStdString()));
                line->setText(Q(session_.Table().Header[f]));
                UpdateButtons();
            });
            editor = line;
        }
        Name(editor, "header." + Q(field.Attribute), Q(field.Caption));
        auto *caption = new QLabel(Q(field.Caption) + ":", header_);
        caption->setBuddy(editor);
        const int row = static_cast<int>(f / 2);
        const int column = static_cast<int>(f % 2) * 2;
        grid->addWidget(caption, row, column);
        grid->addWidget(editor, row, column + 1);
        headerEditors_.push_back(editor);
    }
}

void EditorWindow::UpdateButtons() {
    const bool editable = session_.Editable();
    add_->setEnabled(editable);
    remove_->setEnabled(editable && table_->selectionModel()->hasSelection());
    save_->setEnabled(editable);
    saveAs_->setEnabled(editable);
    setWindowModified(session_.Modified());
}

void EditorWindow::Report(const std::string &problem) {
    if (problem.empty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(Q(problem));
    setWindowModified(session_.Modified());
}

void EditorWindow::AddRow() {
    const QModelIndex current = table_->currentIndex();
    const std::size_t at = current.isValid() ? static_cast<std::size_t>(current.row()) + 1
                                             : session_.Table().Rows.size();
    model_->InsertAt(at);
    const int row = static_cast<int>(std::min(at, session_.Table().Rows.size() - 1));
    table_->setCurrentIndex(model_->index(row, 0));
    UpdateButtons();
}

void EditorWindow::RemoveRows() {
    std::set<int> rows;
    for (const QModelIndex &index : table_->selectionModel()->selectedIndexes())
        rows.insert(index.row());
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
        model_->RemoveAt(static_cast<std::size_t>(*row));
    UpdateButtons();
}

// A cell or field being edited commits its text when it loses the focus.
void CommitEditing() {
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
}

void EditorWindow::Save(bool as) {
    CommitEditing();
    if (as ? session_.SaveAs(dialogs_) : session_.Save(dialogs_)) {
        Refresh();
        statusBar()->showMessage(tr("Saved."), 5000);
    }
}

void EditorWindow::closeEvent(QCloseEvent *event) {
    CommitEditing();
    if (session_.MayClose(dialogs_))
        event->accept();
    else
        event->ignore();
}

} // namespace vialto::editors
