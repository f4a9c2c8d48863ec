#include "gui/ctlRails.h"

namespace vialto {

ctlRails::ctlRails(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctlRails"));
    hide();
}

} // namespace vialto
