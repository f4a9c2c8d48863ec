// The per-user settings store of the platform (the registry on Windows, an
// INI-style file elsewhere) under the application name "StridonFormats",
// through QSettings in its default format. Tests point QSettings at a
// temporary folder first.
#pragma once

#include "shell/Settings.h"

namespace vialto {

class QtSettingsStore final : public ISettings {
  public:
    std::string Read(const std::string &section, const std::string &key,
                     const std::string &defaultValue) const override;
    void Write(const std::string &section, const std::string &key,
               const std::string &value) override;
    bool Contains(const std::string &section, const std::string &key) const override;
    // Where the values are kept (a file, or a registry path).
    static std::string Location();
};

} // namespace vialto
