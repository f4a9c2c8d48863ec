// Text helpers of the wizard window: language-file texts as QString, and the
// conversions between the engine's UTF-8 strings and Qt's.
#pragma once

#include <QString>

#include <string>

namespace vialto {

// The language file's text of a token (its own name when the file lacks it).
QString Tr(const char *token);
inline QString Q(const std::string &text) { return QString::fromStdString(text); }
inline std::string S(const QString &text) { return text.toStdString(); }

} // namespace vialto
