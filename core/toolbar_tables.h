#pragma once
// The toolbar's button tables, filled at start-up and rewritten in slot 3 by every toggle.
#include <array>
#include <string>
#include <string_view>

namespace vitrell {

inline constexpr size_t kToolbarSlots = 6;
inline constexpr size_t kOnOffSlot = 3;

struct ToolbarTables {
    std::array<std::wstring, kToolbarSlots> ToolbarIcon;
    std::array<std::wstring, kToolbarSlots> ToolbarTip;
};

// " 現在の透明度 20 ": the tooltip of the two level buttons.
std::wstring LevelText(std::wstring_view level);

// The six slots as start-up fills them, with the level held at start-up in the two level tips.
ToolbarTables InitialToolbarTables(std::wstring_view level);

struct SettingsRecord;
class SettingsStore;

// The on/off switch itself: flips OptOn_Off, rewrites slot 3 of the tables and stores the new state.
void SwitchEngine(SettingsRecord& settings, SettingsStore& store, ToolbarTables& tables);

}  // namespace vitrell
