#include "gui/ctlProgress.h"

#include "gui/GuiText.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace vialto {

namespace {

constexpr int kPumpIntervalMs = 50;
constexpr int kBarSteps = 1000; // the bar's own scale; the step's range maps onto it

} // namespace

ctlProgress::ctlProgress(QWidget *parent)
    : QWidget(parent), title_(new QLabel(this)), info_(new QLabel(this)),
      bar_(new QProgressBar(this)), cancel_(new QPushButton(this)) {
    setObjectName(QStringLiteral("ctlProgress"));
    title_->setObjectName(QStringLiteral("lblProgressTitle"));
    info_->setObjectName(QStringLiteral("lblProgressInfo"));
    bar_->setObjectName(QStringLiteral("barProgress"));
    cancel_->setObjectName(QStringLiteral("cmdProgressCancel"));
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    title_->setWordWrap(true);
    info_->setWordWrap(true);
    cancel_->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(title_);
    layout->addWidget(info_);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    layout->addStretch(2);
    cancel_->hide();
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelPressed_ = true; });
    UpdateText();
}

void ctlProgress::SetPanelHandlers(std::function<void()> show, std::function<void()> hide) {
    show_ = std::move(show);
    hide_ = std::move(hide);
}

void ctlProgress::Start(const std::string &caption, double minimum, double maximum) {
    if (!shown_) {
        shown_ = true;
        cancelPressed_ = false;
        title_->clear(); // a new piece of work: nothing of the last one shows
        info_->clear();
        if (show_)
            show_();
    }
    if (!caption.empty())
        SetTittle(Q(caption));
    SetRanges(minimum, maximum);
    Pump(true);
}

void ctlProgress::Step(double value) {
    SetValue(value);
    Pump();
}

bool ctlProgress::CancelRequested() {
    // A step that asks can be cancelled: only then is the button offered.
    if (shown_ && cancel_->isHidden())
        cancel_->show();
    Pump();
    return cancelPressed_;
}

void ctlProgress::Finish() {
    if (!shown_)
        return;
    shown_ = false;
    cancel_->hide();
    if (hide_)
        hide_();
}

void ctlProgress::SetInfo(const std::string &info) {
    SetInfo(Q(info));
    Pump();
}

void ctlProgress::ShowCancel(bool visible) { cancel_->setVisible(visible); }
void ctlProgress::ShowProgressBar(bool visible) { bar_->setVisible(visible); }
QString ctlProgress::Info() const { return info_->text(); }
void ctlProgress::SetInfo(const QString &info) { info_->setText(info); }
QString ctlProgress::Tittle() const { return title_->text(); }
void ctlProgress::SetTittle(const QString &title) { title_->setText(title); }

void ctlProgress::SetRanges(double minimum, double maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    if (maximum > minimum)
        bar_->setRange(0, kBarSteps);
    else
        bar_->setRange(0, 0); // no known length: a busy bar
    bar_->setValue(0);
}

void ctlProgress::SetValue(double value) {
    if (!(maximum_ > minimum_) || !std::isfinite(value))
        return;
    const double part = std::clamp((value - minimum_) / (maximum_ - minimum_), 0.0, 1.0);
    bar_->setValue(static_cast<int>(std::lround(part * kBarSteps)));
}

void ctlProgress::Reset() {
    SetRanges(0, 0);
    info_->clear();
    cancelPressed_ = false;
}

void ctlProgress::Pump(bool now) {
    if (!now && sincePump_.isValid() && sincePump_.elapsed() < kPumpIntervalMs)
        return;
    sincePump_.start();
    QCoreApplication::processEvents();
}

void ctlProgress::UpdateText() { cancel_->setText(Tr("BT_CANCEL")); }

} // namespace vialto
