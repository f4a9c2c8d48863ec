#include "gui/QtSettingsStore.h"

#include "gui/GuiText.h"

#include <QSettings>

namespace vialto {

namespace {

QString SettingKey(const std::string &section, const std::string &key) {
    return Q(section) + QLatin1Char('/') + Q(key);
}

// One store object per call: every write reaches the store when it goes. The
// format is the default one (the platform's own unless a test chose another);
// the constructor without a format would always take the platform's.
template <class Use> auto WithStore(Use use) {
    QSettings store(QSettings::defaultFormat(), QSettings::UserScope,
                    QLatin1String(kSettingsApplication));
    return use(store);
}

} // namespace

std::string QtSettingsStore::Location() {
    return WithStore([](QSettings &store) { return S(store.fileName()); });
}

std::string QtSettingsStore::Read(const std::string &section, const std::string &key,
                                  const std::string &defaultValue) const {
    return WithStore([&](QSettings &store) {
        return S(store.value(SettingKey(section, key), Q(defaultValue)).toString());
    });
}

void QtSettingsStore::Write(const std::string &section, const std::string &key,
                            const std::string &value) {
    WithStore([&](QSettings &store) {
        store.setValue(SettingKey(section, key), Q(value));
        return true;
    });
}

bool QtSettingsStore::Contains(const std::string &section, const std::string &key) const {
    return WithStore([&](QSettings &store) { return store.contains(SettingKey(section, key)); });
}

} // namespace vialto
