#include "gui/ctlFiles.h"

#include "gui/EditorLauncher.h"
#include "gui/GuiText.h"
#include "gui/ctlRails.h"
#include "gui/ctlSelectFilename.h"
#include "shell/UserInterface.h"
#include "wizard/FileCheck.h"
#include "wizard/Preferences.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vialto {

namespace {

// The captions of a page's two ways of sampling the heights it takes.
constexpr const char *kSubOptionTokens[3][2] = {
    {"LBL_USE_VT_PRJ", "LBL_USE_VT_INT"},
    {"LBL_USE_VT_RAIL_PR", "LBL_USE_VT_RAIL_IR"},
    {"LBL_USE_VT_RAIL_PL", "LBL_USE_VT_RAIL_IL"},
};

} // namespace

ctlFiles::ctlFiles(ISettings &settings, QWidget *parent)
    : QWidget(parent), settings_(settings), stack_(new QStackedWidget(this)),
      navigation_(new QWidget(this)), previous_(new QPushButton(QStringLiteral("<"), navigation_)),
      next_(new QPushButton(QStringLiteral(">"), navigation_)), pageLabel_(new QLabel(navigation_)),
      railOptions_(new QWidget(this)), doubleTrackInfo_(new QLabel(railOptions_)),
      railVtLabel_(new QLabel(railOptions_)), railVt_(new QComboBox(railOptions_)),
      resume_(new QPushButton(this)), rails_(new ctlRails(this)) {
    setObjectName(QStringLiteral("ctlFiles"));
    previous_->setObjectName(QStringLiteral("cmdFilesPrevious"));
    next_->setObjectName(QStringLiteral("cmdFilesNext"));
    pageLabel_->setObjectName(QStringLiteral("lblFilesPage"));
    railVt_->setObjectName(QStringLiteral("cboRailVt"));
    resume_->setObjectName(QStringLiteral("cmdResume"));
    for (QPushButton *button : {previous_, next_, resume_})
        button->setAutoDefault(false);

    auto *railLayout = new QGridLayout(railOptions_);
    railLayout->setContentsMargins(0, 0, 0, 0);
    doubleTrackInfo_->setWordWrap(true);
    railLayout->addWidget(doubleTrackInfo_, 0, 0, 1, 2);
    railLayout->addWidget(railVtLabel_, 1, 0);
    railLayout->addWidget(railVt_, 1, 1);
    railLayout->setColumnStretch(1, 1);
    railVtLabel_->setBuddy(railVt_);
    railOptions_->hide();

    auto *navigationLayout = new QHBoxLayout(navigation_);
    navigationLayout->setContentsMargins(0, 0, 0, 0);
    navigationLayout->addWidget(previous_);
    navigationLayout->addWidget(pageLabel_);
    navigationLayout->addWidget(next_);
    navigation_->hide();

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(resume_);
    bottom->addStretch(1);
    bottom->addWidget(navigation_);
    resume_->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_, 1);
    layout->addWidget(railOptions_);
    layout->addLayout(bottom);
    layout->addWidget(rails_);

    connect(previous_, &QPushButton::clicked, this, [this] { ShowPage(current_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { ShowPage(current_ + 1); });
    connect(resume_, &QPushButton::clicked, this, &ctlFiles::ShowSummary);
    UpdateText();
}

ctlFiles::FilePage *ctlFiles::Page(int page) {
    return page >= 1 && page <= PagesTot() ? &pages_[static_cast<std::size_t>(page - 1)] : nullptr;
}

const ctlFiles::FilePage *ctlFiles::Page(int page) const {
    return page >= 1 && page <= PagesTot() ? &pages_[static_cast<std::size_t>(page - 1)] : nullptr;
}

ctlSelectFilename *ctlFiles::Row(int page, int slot) const {
    const FilePage *filePage = Page(page);
    return filePage && slot >= 1 && slot <= 4 ? filePage->Rows[static_cast<std::size_t>(slot - 1)]
                                              : nullptr;
}

void ctlFiles::DeleteAllPages() {
    for (FilePage &page : pages_) {
        stack_->removeWidget(page.Widget);
        delete page.Widget;
    }
    pages_.clear();
    current_ = 0;
    UpdatePageLabel();
}

void ctlFiles::AddPage(const std::string &title) {
    const int number = PagesTot() + 1;
    FilePage page;
    page.Widget = new QWidget;
    auto *outer = new QVBoxLayout(page.Widget);
    outer->setContentsMargins(0, 0, 0, 0);
    page.Frame = new QGroupBox(Q(title), page.Widget);
    page.Frame->setObjectName(QStringLiteral("frFiles.%1").arg(number));
    outer->addWidget(page.Frame);
    auto *rows = new QVBoxLayout(page.Frame);
    for (int slot = 1; slot <= 4; ++slot) {
        auto *row = new ctlSelectFilename(number, slot, page.Frame);
        row->hide();
        page.Rows[static_cast<std::size_t>(slot - 1)] = row;
        rows->addWidget(row);
        connect(row, &ctlSelectFilename::FileChosen, this,
                [this, number, slot] { Remember(number, slot); });
        connect(row, &ctlSelectFilename::EditRequested, this,
                [this, number, slot] { RunEditor(number, slot); });
        if (slot != 2)
            continue;
        // The two ways of sampling the heights the option takes from elsewhere.
        page.SubOptions = new QWidget(page.Frame);
        page.SubGroup = new QButtonGroup(page.SubOptions);
        auto *subLayout = new QHBoxLayout(page.SubOptions);
        subLayout->setContentsMargins(24, 0, 0, 0);
        for (int sub = 0; sub < 2; ++sub) {
            auto *radio = new QRadioButton(page.SubOptions);
            radio->setObjectName(QStringLiteral("subopt.%1.%2").arg(number).arg(sub + 1));
            page.SubGroup->addButton(radio, sub + 1);
            page.Sub[static_cast<std::size_t>(sub)] = radio;
            subLayout->addWidget(radio);
        }
        subLayout->addStretch(1);
        page.Sub[0]->setChecked(true);
        page.SubOptions->setEnabled(false);
        page.SubOptions->hide();
        rows->addWidget(page.SubOptions);
        QWidget *subOptions = page.SubOptions;
        connect(row, &ctlSelectFilename::OptionToggled, this,
                [this, number, row, subOptions](bool value) {
                    subOptions->setEnabled(value);
                    // A track page that takes its heights from the other track
                    // reads no vertical listing of its own.
                    if (number > 1)
                        row->SetFileEnabled(!value);
                    RememberOption(number);
                });
    }
    rows->addStretch(1);
    stack_->addWidget(page.Widget);
    pages_.push_back(page);
    UpdateText();
    UpdatePageLabel();
}

void ctlFiles::ConfigFile(int page, int slot, const std::string &description,
                          const std::string &filter, EditorKind editor) {
    FilePage *filePage = Page(page);
    if (!filePage || slot < 1 || slot > 4)
        return;
    const std::size_t at = static_cast<std::size_t>(slot - 1);
    ctlSelectFilename *row = filePage->Rows[at];
    filePage->Configured[at] = !description.empty();
    if (description.empty()) {
        row->hide();
        if (slot == 2)
            filePage->SubOptions->hide();
        return;
    }
    row->SetFileTitle(Q(description));
    row->SetFilter(filter);
    row->SetFilterIndex(defaultFilters_[at]);
    row->SetEditCmd(editor);
    // The edit button only where its editor is installed.
    row->ShowEditButton(SiblingProgramExists(editor));
    row->show();
    if (slot == 2)
        filePage->SubOptions->setVisible(row->OptionVisible());
}

void ctlFiles::ConfigOption(int page, int slot, const std::string &caption, bool value) {
    ctlSelectFilename *row = Row(page, slot);
    if (!row)
        return;
    row->SetOptionCaption(Q(caption));
    row->ShowOption(!caption.empty());
    row->SetOptionValue(value);
    if (slot == 2)
        Page(page)->SubOptions->setVisible(!caption.empty() && !row->isHidden());
}

void ctlFiles::ConfigFilter(int page, int slot, const std::string &filter) {
    if (ctlSelectFilename *row = Row(page, slot))
        row->SetFilter(filter);
}

void ctlFiles::SetTracks(int tracks) {
    tracks_ = tracks;
    railOptions_->setVisible(tracks == 2);
    rails_->SetTracksOn(tracks == 2 ? 3 : 0);
}

bool ctlFiles::IsSelected(int page, int slot) const {
    const FilePage *filePage = Page(page);
    if (!filePage || slot < 1 || slot > 4 ||
        !filePage->Configured[static_cast<std::size_t>(slot - 1)])
        return false;
    const ctlSelectFilename *row = Row(page, slot);
    return row->Checked() && !row->Filename().isEmpty();
}

bool ctlFiles::IsOptionSelected(int page, int slot) const {
    const ctlSelectFilename *row = Row(page, slot);
    return row && !row->isHidden() && row->OptionVisible() && row->OptionValue();
}

bool ctlFiles::IsVtSubOptionSelected(int page, int subOption) const {
    const FilePage *filePage = Page(page);
    return filePage && filePage->SubGroup->checkedId() == subOption;
}

std::string ctlFiles::GetFile(int page, int slot) const {
    const ctlSelectFilename *row = Row(page, slot);
    return row ? S(row->Filename()) : std::string();
}

std::string ctlFiles::GetName(int page, int slot) const {
    const ctlSelectFilename *row = Row(page, slot);
    return row ? S(row->GetName()) : std::string();
}

int ctlFiles::GetFilterIndex(int page, int slot) const {
    if (const ctlSelectFilename *row = Row(page, slot);
        row && Page(page)->Configured[static_cast<std::size_t>(slot - 1)])
        return row->FilterIndex();
    return GetDefaultFilterIndex(slot);
}

int ctlFiles::GetDefaultFilterIndex(int slot) const {
    return slot >= 1 && slot <= 4 ? defaultFilters_[static_cast<std::size_t>(slot - 1)] : 0;
}

void ctlFiles::SetDefaultFilterIndex(int slot, int index) {
    if (slot >= 1 && slot <= 4)
        defaultFilters_[static_cast<std::size_t>(slot - 1)] = index;
}

void ctlFiles::ShowPage(int page) {
    if (!Page(page))
        return;
    current_ = page;
    stack_->setCurrentIndex(page - 1);
    ReadRemembered(page);
    rails_->SetNumberOfTrack(page);
    UpdatePageLabel();
}

void ctlFiles::SetFocusTo(int page, int slot) {
    ShowPage(page);
    if (ctlSelectFilename *row = Row(page, slot)) {
        row->Edit()->setFocus(Qt::OtherFocusReason);
        row->Edit()->selectAll();
    }
}

void ctlFiles::ShowResume(bool visible) { resume_->setVisible(visible); }

int ctlFiles::VtDefAlignment() const { return std::max(0, railVt_->currentIndex()); }

std::pair<int, int> ctlFiles::ExistAllFiles() const {
    JobDescription job;
    job.Pages.resize(static_cast<std::size_t>(std::max(1, PagesTot())));
    for (int p = 1; p <= PagesTot(); ++p) {
        for (int s = 1; s <= 4; ++s) {
            job.Page(p).Slot(s).Selected = IsSelected(p, s);
            job.Page(p).Slot(s).Path = GetFile(p, s);
        }
        job.Page(p).Slot(2).Option = IsOptionSelected(p, 2);
    }
    const auto missing = FirstMissingFile(job, RegularFileExists);
    return missing ? std::pair{missing->Page, missing->Slot} : std::pair{0, 0};
}

void ctlFiles::ReadRemembered(int page) {
    FilePage *filePage = Page(page);
    if (!filePage || filePage->Remembered)
        return;
    filePage->Remembered = true;
    for (int slot = 1; slot <= 4; ++slot) {
        ctlSelectFilename *row = filePage->Rows[static_cast<std::size_t>(slot - 1)];
        const std::string key = RememberedFileKey(page, slot);
        if (!filePage->Configured[static_cast<std::size_t>(slot - 1)] ||
            !row->Filename().isEmpty() || !settings_.Contains(kSectionFiles, key))
            continue;
        const std::string file = settings_.Read(kSectionFiles, key, "");
        row->SetFilename(Q(file));
        // A remembered file that has gone is shown but not used.
        row->SetChecked(RegularFileExists(file));
    }
    ctlSelectFilename *vertical = filePage->Rows[1];
    if (vertical->OptionVisible() && settings_.Contains(kSectionFiles, RememberedOptionKey(page)))
        vertical->SetOptionValue(settings_.Read(kSectionFiles, RememberedOptionKey(page), "") ==
                                 "1");
}

void ctlFiles::Remember(int page, int slot) {
    if (const ctlSelectFilename *row = Row(page, slot))
        settings_.Write(kSectionFiles, RememberedFileKey(page, slot), S(row->Filename()));
}

void ctlFiles::hideEvent(QHideEvent *event) {
    for (int page = 1; page <= PagesTot(); ++page)
        for (int slot = 1; slot <= 4; ++slot)
            if (Page(page)->Configured[static_cast<std::size_t>(slot - 1)])
                Remember(page, slot);
    QWidget::hideEvent(event);
}

void ctlFiles::RememberOption(int page) {
    if (const ctlSelectFilename *row = Row(page, 2))
        settings_.Write(kSectionFiles, RememberedOptionKey(page), row->OptionValue() ? "1" : "2");
}

void ctlFiles::RunEditor(int page, int slot) {
    const ctlSelectFilename *row = Row(page, slot);
    if (!row || row->EditCmd() == EditorKind::None)
        return;
    LaunchEditor(ComposeEditorCommand(row->EditCmd(), S(row->Filename()), tracks_ == 2), this);
}

void ctlFiles::ShowSummary() {
    std::string text;
    for (int p = 1; p <= PagesTot(); ++p) {
        text += S(Page(p)->Frame->title()) + "\r\n";
        for (int s = 1; s <= 4; ++s)
            if (IsSelected(p, s))
                text += "    " + S(Row(p, s)->FileTitle()) + ": " + GetFile(p, s) + "\r\n";
    }
    UserInterface().ShowMessage(text, MsgIcon::Information, MsgButtons::Ok);
}

void ctlFiles::UpdatePageLabel() {
    navigation_->setVisible(PagesTot() > 1);
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(current_).arg(PagesTot()));
    previous_->setEnabled(current_ > 1);
    next_->setEnabled(current_ < PagesTot());
}

void ctlFiles::UpdateText() {
    resume_->setText(Tr("CMD_RESUME"));
    resume_->setToolTip(Tr("CMD_TT_RESUME"));
    doubleTrackInfo_->setText(Tr("CMD_DBLTRACKINFO"));
    railVtLabel_->setText(Tr("LBL_RAIL_VT_OPT"));
    const int chosen = std::max(0, railVt_->currentIndex());
    railVt_->clear();
    for (const char *token : {"OPT_RAIL_AXISPLATFORM", "OPT_RAIL_LOW", "OPT_RAIL_HIGH"})
        railVt_->addItem(Tr(token));
    railVt_->setCurrentIndex(chosen);
    railVt_->setAccessibleName(Tr("LBL_RAIL_VT_OPT"));
    for (std::size_t p = 0; p < pages_.size(); ++p)
        for (std::size_t sub = 0; sub < 2; ++sub)
            pages_[p].Sub[sub]->setText(Tr(kSubOptionTokens[std::min<std::size_t>(p, 2)][sub]));
    previous_->setAccessibleName(QStringLiteral("<"));
    next_->setAccessibleName(QStringLiteral(">"));
}

} // namespace vialto
