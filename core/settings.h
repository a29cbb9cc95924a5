#pragma once
// The settings store: text values under HKEY_CURRENT_USER, and the in-memory record every form uses.
#include <map>
#include <string>
#include <string_view>

#include "core/product.h"
#include "platform/registry.h"

namespace vitrell {

// One text per key, named as the key. Filled once at start-up; from then on the authority.
struct SettingsRecord {
    std::wstring OptLogo;
    std::wstring OptCent;
    std::wstring T_Left;
    std::wstring T_Top;
    std::wstring OptTemae;
    std::wstring OptJib;
    std::wstring OptMBar;
    std::wstring OptTBar;
    std::wstring OptTBar2;
    std::wstring OptLAct;
    std::wstring OptLATab;
    std::wstring OptNin;
    std::wstring OptTou;
    std::wstring OptTou2;
    std::wstring OptOn_Off;
    std::wstring OptWinS;
};

// A flag is on only when its text is exactly "1".
inline bool FlagOn(std::wstring_view text) {
    return text == L"1";
}
// The engine switch is the exception: on unless exactly "0".
inline bool EngineSwitchOn(std::wstring_view text) {
    return text != L"0";
}
inline std::wstring FlagText(bool on) {
    return on ? L"1" : L"0";
}

class SettingsStore {
  public:
    explicit SettingsStore(IRegistry& registry) : registry_(registry) {}

    // The stored text, or the empty text when the section, the value or its REG_SZ type is missing.
    std::wstring ReadSetting(std::wstring_view section, std::wstring_view key);
    // Stores the text; false when the registry refused it. The in-memory record stays the authority either way.
    bool WriteSetting(std::wstring_view section, std::wstring_view key, std::wstring_view text);
    // The same, but nothing is written when the last write of this key through this store stored exactly this
    // text. Every writer goes through the store, so what it last stored is what the registry holds.
    bool WriteSettingIfChanged(std::wstring_view section, std::wstring_view key, std::wstring_view text);

    // Updates a field of the record and writes the same text through at once.
    void Set(std::wstring& field, std::wstring_view section, std::wstring_view key, std::wstring_view text) {
        field = text;
        WriteSetting(section, key, text);
    }

    static std::wstring SectionPath(std::wstring_view section);

  private:
    IRegistry& registry_;
    // Section → key → the text last stored. Looked up by views, so the display tick's check allocates nothing.
    std::map<std::wstring, std::map<std::wstring, std::wstring, std::less<>>, std::less<>> stored_;
};

}  // namespace vitrell
