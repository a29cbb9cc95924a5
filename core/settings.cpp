#include "core/settings.h"

namespace vitrell {

std::wstring SettingsStore::SectionPath(std::wstring_view section) {
    std::wstring path(kSettingsKey);
    path += L'\\';
    path += section;
    return path;
}

std::wstring SettingsStore::ReadSetting(std::wstring_view section, std::wstring_view key) {
    // A long edited text is still the stored text: start-up must not take it for a missing one and write a
    // default over it. The bound is what one value of the registry's standard format holds (1 MB).
    constexpr size_t kMaxSettingChars = (1u << 20) / 2 - 1;
    return registry_.ReadString(SectionPath(section), key, kMaxSettingChars).value_or(std::wstring());
}

bool SettingsStore::WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view text) {
    const std::wstring where = SectionPath(section) + L'\\' + std::wstring(key);
    if (!registry_.WriteString(SectionPath(section), key, text)) {
        stored_.erase(where);  // what the registry holds now is not known: the next write must go through
        return false;
    }
    stored_.insert_or_assign(where, std::wstring(text));
    return true;
}

bool SettingsStore::WriteSettingIfChanged(std::wstring_view section, std::wstring_view key, std::wstring_view text) {
    const auto it = stored_.find(SectionPath(section) + L'\\' + std::wstring(key));
    if (it != stored_.end() && it->second == text)
        return true;
    return WriteSetting(section, key, text);
}

}  // namespace vitrell
