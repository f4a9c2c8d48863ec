// The per-user settings store: string values addressed by a section and a key
// under one application name, read with a default and written by value. The
// wizard keeps its preferences and the last files chosen here. The window's
// library implements it with the platform's store (the registry on Windows,
// an INI-style file elsewhere); MemorySettings keeps the values in memory for
// the tests and for runs that must not touch the user's store.
#pragma once

#include <map>
#include <string>
#include <utility>

namespace vialto {

// Every setting of the program lives under this application name.
inline constexpr const char *kSettingsApplication = "StridonFormats";

class ISettings {
  public:
    virtual ~ISettings() = default;
    // The stored value, or defaultValue when the key is not stored.
    virtual std::string Read(const std::string &section, const std::string &key,
                             const std::string &defaultValue) const = 0;
    virtual void Write(const std::string &section, const std::string &key,
                       const std::string &value) = 0;
    virtual bool Contains(const std::string &section, const std::string &key) const = 0;
};

class MemorySettings final : public ISettings {
  public:
    using Values = std::map<std::pair<std::string, std::string>, std::string>;

    std::string Read(const std::string &section, const std::string &key,
                     const std::string &defaultValue) const override {
        const auto found = values_.find({section, key});
        return found == values_.end() ? defaultValue : found->second;
    }
    void Write(const std::string &section, const std::string &key,
               const std::string &value) override {
        values_[{section, key}] = value;
    }
    bool Contains(const std::string &section, const std::string &key) const override {
        return values_.count({section, key}) != 0;
    }
    const Values &All() const { return values_; }

  private:
    Values values_;
};

} // namespace vialto
