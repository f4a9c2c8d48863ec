#include "gui/GuiText.h"

#include "shell/AppModel.h"

namespace vialto {

QString Tr(const char *token) {
    // The language file writes line breaks as CR LF; a label wants LF alone.
    return Q(AppModel().GetToken(token)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace vialto
