#include "core/settings.h"

namespace vitrell {

std::wstring SettingsStore::SectionPath(std::wstring_view section) {
    std::wstring path(kSettingsKey);
    path += L'\\';
    path += section;
    return path;
}

std::wstring SettingsStore::ReadSetting(std::wstring_view section, std::wstring_view key) {
    return registry_.ReadString(SectionPath(section), key).value_or(std::wstring());
}

bool SettingsStore::WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view text) {
    return registry_.WriteString(SectionPath(section), key, text);
}

}  // namespace vitrell
