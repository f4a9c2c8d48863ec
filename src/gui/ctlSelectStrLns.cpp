#include "gui/ctlSelectStrLns.h"

#include "gui/GuiText.h"
#include "gui/ctlRails.h"
#include "model/AlignmentStore.h"
#include "shell/ErrHandler.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace vialto {

namespace {
const QString kNone = QStringLiteral("----");
}

ctlSelectString::ctlSelectString(QWidget *parent)
    : QWidget(parent), frame_(new QGroupBox(QStringLiteral("Select Stringline"), this)),
      combo_(new QComboBox(frame_)), information_(new QLabel(kNone, frame_)) {
    auto *inner = new QVBoxLayout(frame_);
    inner->addWidget(combo_);
    inner->addWidget(information_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame_);
    connect(combo_, &QComboBox::currentIndexChanged, this, [this] { UpdateInformation(); });
}

QString ctlSelectString::Tittle() const { return frame_->title(); }

void ctlSelectString::SetTittle(const QString &title) {
    frame_->setTitle(title);
    combo_->setAccessibleName(title);
}

int ctlSelectString::FillCombo(bool withEmptyItem) {
    combo_->clear();
    if (withEmptyItem)
        combo_->addItem(kNone, -1);
    if (ExistAlignment(flagStrLn, slot_)) {
        const TStringLines set = GetAligmentStrLn(slot_);
        for (std::size_t i = 0; i < set.Lines.size(); ++i)
            combo_->addItem(Q(set.Lines[i].Name), static_cast<qlonglong>(i));
    }
    UpdateInformation();
    return combo_->count();
}

QString ctlSelectString::SelectedString() const {
    return combo_->currentIndex() < 0 ? QString() : combo_->currentText();
}

long ctlSelectString::SelectedItemData() const {
    return combo_->currentIndex() < 0 ? -1 : static_cast<long>(combo_->currentData().toLongLong());
}

void ctlSelectString::UpdateInformation() {
    const QString chosen = SelectedString();
    information_->setText(chosen.isEmpty() ? kNone : chosen);
}

ctlSelectStrLns::ctlSelectStrLns(QWidget *parent)
    : QWidget(parent), stack_(new QStackedWidget(this)), pageLabel_(new QLabel(this)),
      previous_(new QPushButton(QStringLiteral("<"), this)),
      next_(new QPushButton(QStringLiteral(">"), this)), rails_(new ctlRails(this)) {
    setObjectName(QStringLiteral("ctlSelectStrLns"));
    previous_->setAutoDefault(false);
    next_->setAutoDefault(false);
    auto *navigation = new QHBoxLayout;
    navigation->addStretch(1);
    navigation->addWidget(previous_);
    navigation->addWidget(pageLabel_);
    navigation->addWidget(next_);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(stack_, 1);
    layout->addLayout(navigation);
    layout->addWidget(rails_);
    connect(previous_, &QPushButton::clicked, this, [this] { ShowPage(current_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { ShowPage(current_ + 1); });
    ShowPage(0);
}

void ctlSelectStrLns::AddPage(const QString &title, int stringlinesToSelect) {
    StrLnPage page{new QGroupBox(title), {}};
    auto *inner = new QVBoxLayout(page.Frame);
    for (int i = 0; i < stringlinesToSelect; ++i) {
        auto *chooser = new ctlSelectString(page.Frame);
        inner->addWidget(chooser);
        page.Choosers.push_back(chooser);
    }
    inner->addStretch(1);
    stack_->addWidget(page.Frame);
    pages_.push_back(page);
    ShowPage(current_ == 0 ? 1 : current_);
}

void ctlSelectStrLns::DeleteAllPages() {
    for (const StrLnPage &page : pages_) {
        stack_->removeWidget(page.Frame);
        delete page.Frame;
    }
    pages_.clear();
    ShowPage(0);
}

void ctlSelectStrLns::IsOk(int page, int element) const {
    if (page < 1 || page > PagesTot())
        RaiseError(errAssert, "No valid page");
    if (element < 1 ||
        element > static_cast<int>(pages_[static_cast<std::size_t>(page - 1)].Choosers.size()))
        RaiseError(errAssert, "No valid element");
}

ctlSelectString *ctlSelectStrLns::Chooser(int page, int element) const {
    return Guarded("ctlSelectStrLns.IsOk", static_cast<ctlSelectString *>(nullptr), [&] {
        IsOk(page, element);
        return pages_[static_cast<std::size_t>(page - 1)]
            .Choosers[static_cast<std::size_t>(element - 1)];
    });
}

void ctlSelectStrLns::ConfigCtrl(int page, int element, const QString &title, bool withEmptyItem) {
    if (ctlSelectString *chooser = Chooser(page, element)) {
        if (!title.isEmpty())
            chooser->SetTittle(title);
        chooser->FillCombo(withEmptyItem);
    }
}

void ctlSelectStrLns::ShowPage(int page) {
    if (page >= 1 && page <= PagesTot()) {
        current_ = page;
        stack_->setCurrentIndex(page - 1);
        rails_->SetNumberOfTrack(page);
    } else if (PagesTot() == 0) {
        current_ = 0;
    }
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(current_).arg(PagesTot()));
    previous_->setEnabled(current_ > 1);
    next_->setEnabled(current_ < PagesTot());
}

QString ctlSelectStrLns::GetTotalToSelect(int page) const {
    if (page < 1 || page > PagesTot())
        return {};
    return QString::number(pages_[static_cast<std::size_t>(page - 1)].Choosers.size());
}

std::string ctlSelectStrLns::GetSelected(int page, int element) const {
    const ctlSelectString *chooser = Chooser(page, element);
    return chooser ? S(chooser->SelectedString()) : std::string();
}

long ctlSelectStrLns::GetSelectedItemData(int page, int element) const {
    const ctlSelectString *chooser = Chooser(page, element);
    return chooser ? chooser->SelectedItemData() : -1;
}

std::string ctlSelectStrLns::GetSelectedStrLnsIdx(int page) const {
    if (page < 1 || page > PagesTot())
        return {};
    std::string text;
    for (const ctlSelectString *chooser : pages_[static_cast<std::size_t>(page - 1)].Choosers)
        if (chooser->SelectedItemData() >= 0)
            text += (text.empty() ? "$" : "") + std::to_string(chooser->SelectedItemData()) + "$";
    return text;
}

void ctlSelectStrLns::UpdateText() {}

} // namespace vialto
