#include "core/toolbar_tables.h"

#include "core/settings.h"

namespace vitrell {

std::wstring LevelText(std::wstring_view level) {
    std::wstring text = L" 現在の透明度 ";
    text += level;
    text += L' ';
    return text;
}

ToolbarTables InitialToolbarTables(std::wstring_view level) {
    ToolbarTables t;
    t.ToolbarIcon = {L"arrow_down.ico", L"arrow_up.ico", L"property.ico", L"on.ico", L"help.ico", L"undo.ico"};
    t.ToolbarTip = {LevelText(level), LevelText(level), L" 各種設定 ", L" 透明化：On ", L" ﾍﾙﾌﾟ ", L" 初期値に戻す "};
    return t;
}

void SwitchEngine(SettingsRecord& settings, SettingsStore& store, ToolbarTables& tables) {
    const bool on = !EngineSwitchOn(settings.OptOn_Off);
    settings.OptOn_Off = FlagText(on);
    tables.ToolbarIcon[kOnOffSlot] = on ? L"on.ico" : L"off.ico";
    tables.ToolbarTip[kOnOffSlot] = on ? L" 透明化：On " : L" 透明化：Off ";
    store.WriteSetting(kConfig, L"OptOn_Off", settings.OptOn_Off);
}

}  // namespace vitrell
