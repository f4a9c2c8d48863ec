#include "gui/ctlNumericText.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

namespace vialto {

NumberSeparators LocaleSeparators() {
    // Characters outside ASCII (a narrow blank that groups digits) cannot be
    // typed into the box; they stand in as a character no key produces.
    std::string formatted;
    for (const QChar c : QLocale().toString(1000.0, 'f', 2))
        formatted += c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x01';
    return SeparatorsFromThousand(formatted);
}

ctlNumericText::ctlNumericText(QWidget *parent)
    : QWidget(parent), edit_(new QLineEdit(this)), unit_(new QLabel(QStringLiteral("m."), this)),
      separators_(LocaleSeparators()) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit_, 1);
    layout->addWidget(unit_);
    edit_->setAlignment(Qt::AlignRight);
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    connect(edit_, &QLineEdit::textChanged, this, &ctlNumericText::OnTextChanged);
}

void ctlNumericText::SetNumericValue(double value, int digits) {
    const QString text = QString::fromStdString(
        FormatNumericText(value, digits < 0 ? decimals_ : digits, separators_));
    settingText_ = true;
    edit_->setText(text);
    settingText_ = false;
    lastValid_ = text;
    hasExact_ = true;
    exactValue_ = value;
    exactText_ = text;
}

void ctlNumericText::SetEmpty() {
    settingText_ = true;
    edit_->clear();
    settingText_ = false;
    lastValid_.clear();
    hasExact_ = false;
}

bool ctlNumericText::IsEmpty() const { return edit_->text().isEmpty(); }
QString ctlNumericText::Unit() const { return unit_->text(); }
void ctlNumericText::SetUnit(const QString &unit) { unit_->setText(unit); }
bool ctlNumericText::UnitVisible() const { return !unit_->isHidden(); }
void ctlNumericText::SetUnitVisible(bool visible) { unit_->setVisible(visible); }

double ctlNumericText::NumericValue() const {
    if (hasExact_ && edit_->text() == exactText_)
        return exactValue_;
    return NumericTextValue(edit_->text().toStdString(), separators_);
}

bool ctlNumericText::eventFilter(QObject *watched, QEvent *event) {
    if (watched != edit_ || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    // Pasting goes around the key filter: it is refused as the classic box
    // did (the whole-text rule would catch a bad paste anyway).
    if (key->matches(QKeySequence::Paste))
        return true;
    const QString typed = key->text();
    if (typed.size() != 1 || !typed[0].isPrint() || (key->modifiers() & Qt::ControlModifier))
        return false; // editing and moving keys, Enter for the default button
    const char16_t c = typed[0].unicode();
    const char filtered = c < 128 ? FilterNumericKey(static_cast<char>(c), separators_) : '\0';
    if (filtered == '\0')
        return true;
    if (filtered != static_cast<char>(c)) {
        edit_->insert(QString(QChar(filtered)));
        return true;
    }
    return false;
}

void ctlNumericText::OnTextChanged(const QString &text) {
    if (settingText_)
        return;
    if (IsValidNumericText(text.toStdString(), separators_)) {
        lastValid_ = text;
        return;
    }
    settingText_ = true;
    edit_->setText(lastValid_);
    edit_->setCursorPosition(static_cast<int>(lastValid_.size()));
    settingText_ = false;
}

} // namespace vialto
