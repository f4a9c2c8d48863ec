#include "gui/ctlSelectFilename.h"

#include "gui/GuiText.h"
#include "import/ListingText.h"
#include "wizard/DialogFilter.h"

#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>

namespace vialto {

namespace {

// The one local file a drag carries, or "" (several files, a web address).
QString DroppedFile(const QMimeData *data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QUrl url = data->urls().front();
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : QString();
}

} // namespace

ctlSelectFilename::ctlSelectFilename(int page, int slot, QWidget *parent)
    : QWidget(parent), title_(new QLabel(this)), use_(new QCheckBox(this)),
      edit_(new QLineEdit(this)), browse_(new QPushButton(QStringLiteral("…"), this)),
      editButton_(new QPushButton(this)), option_(new QCheckBox(this)) {
    const QString name = QStringLiteral("file.%1.%2").arg(page).arg(slot);
    setObjectName(name);
    use_->setObjectName(name + QStringLiteral(".use"));
    edit_->setObjectName(name + QStringLiteral(".name"));
    browse_->setObjectName(name + QStringLiteral(".browse"));
    editButton_->setObjectName(name + QStringLiteral(".edit"));
    option_->setObjectName(name + QStringLiteral(".option"));

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setVerticalSpacing(2);
    layout->addWidget(title_, 0, 1, 1, 3);
    layout->addWidget(use_, 1, 0);
    layout->addWidget(edit_, 1, 1);
    layout->addWidget(browse_, 1, 2);
    layout->addWidget(editButton_, 1, 3);
    layout->addWidget(option_, 2, 1, 1, 3);
    layout->setColumnStretch(1, 1);
    title_->setBuddy(edit_);
    browse_->setAutoDefault(false);
    editButton_->setAutoDefault(false);
    browse_->setMaximumWidth(browse_->fontMetrics().horizontalAdvance(QStringLiteral("……")) + 16);
    editButton_->hide();
    option_->hide();
    edit_->setAcceptDrops(false); // the row takes the drop, not the box's text insertion
    setAcceptDrops(true);

    connect(browse_, &QPushButton::clicked, this, &ctlSelectFilename::Browse);
    connect(editButton_, &QPushButton::clicked, this, &ctlSelectFilename::EditRequested);
    connect(edit_, &QLineEdit::textEdited, this,
            [this](const QString &text) { use_->setChecked(!text.trimmed().isEmpty()); });
    connect(edit_, &QLineEdit::editingFinished, this, &ctlSelectFilename::FileChosen);
    connect(option_, &QCheckBox::toggled, this, &ctlSelectFilename::OptionToggled);
}

void ctlSelectFilename::SetFilter(const std::string &classicFilter) {
    filters_.clear();
    for (const std::string &filter : DialogFilters(classicFilter))
        filters_ << Q(filter);
}

QString ctlSelectFilename::Filename() const { return edit_->text().trimmed(); }

void ctlSelectFilename::SetFilename(const QString &filename) {
    edit_->setText(filename);
    use_->setChecked(!filename.trimmed().isEmpty());
}

bool ctlSelectFilename::Checked() const { return use_->isChecked(); }
void ctlSelectFilename::SetChecked(bool checked) { use_->setChecked(checked); }
QString ctlSelectFilename::FileTitle() const { return title_->text(); }

void ctlSelectFilename::SetFileTitle(const QString &title) {
    title_->setText(title);
    use_->setAccessibleName(title);
    edit_->setAccessibleName(title);
    browse_->setAccessibleName(title + QStringLiteral(" …"));
    editButton_->setAccessibleName(title + QStringLiteral(" ") + Tr("CMD_EDIT"));
}

void ctlSelectFilename::ShowEditButton(bool visible) { editButton_->setVisible(visible); }

void ctlSelectFilename::SetEditCmd(EditorKind editor) {
    editor_ = editor;
    editButton_->setText(Tr("CMD_EDIT"));
}

QString ctlSelectFilename::GetName() const { return Q(ListingName(S(Filename()))); }

void ctlSelectFilename::ShowOption(bool visible) { option_->setVisible(visible); }
bool ctlSelectFilename::OptionVisible() const { return !option_->isHidden(); }
bool ctlSelectFilename::OptionValue() const { return option_->isChecked(); }
void ctlSelectFilename::SetOptionValue(bool value) { option_->setChecked(value); }
QString ctlSelectFilename::OptionCaption() const { return option_->text(); }
void ctlSelectFilename::SetOptionCaption(const QString &caption) { option_->setText(caption); }

void ctlSelectFilename::Browse() {
    QString selected = filters_.value(filterIndex_ - 1);
    const QString start = Filename().isEmpty() ? QString() : QFileInfo(Filename()).absolutePath();
    const QString chosen = QFileDialog::getOpenFileName(
        this, FileTitle(), start, filters_.join(QStringLiteral(";;")), &selected);
    if (chosen.isEmpty())
        return;
    if (const qsizetype index = filters_.indexOf(selected); index >= 0)
        filterIndex_ = static_cast<int>(index) + 1;
    SetFilename(QDir::toNativeSeparators(chosen));
    emit FileChosen();
}

void ctlSelectFilename::SetFileEnabled(bool enabled) {
    edit_->setEnabled(enabled);
    browse_->setEnabled(enabled);
}

void ctlSelectFilename::dragEnterEvent(QDragEnterEvent *event) {
    if (edit_->isEnabled() && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void ctlSelectFilename::dropEvent(QDropEvent *event) {
    const QString file = DroppedFile(event->mimeData());
    if (!edit_->isEnabled() || file.isEmpty())
        return;
    event->acceptProposedAction();
    SetFilename(file);
    emit FileChosen();
}

} // namespace vialto
