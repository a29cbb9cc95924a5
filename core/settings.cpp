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
    auto& keys = stored_.try_emplace(std::wstring(section)).first->second;  // std::less<> finds it by view
    if (!registry_.WriteString(SectionPath(section), key, text)) {
        // What the registry holds now is not known: the next write must go through.
        if (const auto it = keys.find(key); it != keys.end())
            keys.erase(it);
        return false;
    }
    keys.insert_or_assign(std::wstring(key), std::wstring(text));
    return true;
}

bool SettingsStore::WriteSettingIfChanged(std::wstring_view section, std::wstring_view key, std::wstring_view text) {
    if (const auto keys = stored_.find(section); keys != stored_.end()) {
        if (const auto it = keys->second.find(key); it != keys->second.end() && it->second == text)
            return true;
    }
    return WriteSetting(section, key, text);
}

}  // namespace vitrell
