#pragma once
// A loaded settings dialog over fake controls, a fake main window and an in-memory registry.
#include <string>
#include <vector>

#include "core/app_context.h"
#include "settings_dialog/settings_dialog.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_settings_dialog.h"
#include "tests/fakes/fake_window_system.h"

namespace vitrell::testing {

inline const std::wstring kConfigKey = SettingsStore::SectionPath(kConfig);
inline const std::wstring kPositionKey = SettingsStore::SectionPath(kPosition);

struct DialogFixture {
    FakeRegistry registry;
    FakeHelpViewers help;
    AppContext app{registry, help};
    EventLog log;
    FakeDialogView view{log};
    FakeSettingsHost host{log};
    SettingsDialog dialog{app, host, view};

    // The settings as a first start leaves them, in memory and in the store.
    DialogFixture() {
        SettingsRecord& s = app.Settings;
        s.OptLogo = L"1";
        s.OptCent = L"0";
        s.OptTemae = L"1";
        s.OptJib = L"0";
        s.OptMBar = L"1";
        s.OptTBar = L"1";
        s.OptTBar2 = L"1";
        s.OptLAct = L"1";
        s.OptLATab = L"0";
        s.OptNin = L"1";
        s.OptTou = L"20";
        s.OptTou2 = L"0";
        app.HelpFilePath = L"C:\\Tools\\VITRELL\\VITRELL.HLP";
        app.HtmlHelpFilePath = L"C:\\Tools\\VITRELL\\VITRELL.chm";
        for (const auto& [key, value] : std::vector<std::pair<std::wstring, std::wstring>>{{L"OptLogo", s.OptLogo},
                                                                                           {L"OptTemae", s.OptTemae},
                                                                                           {L"OptJib", s.OptJib},
                                                                                           {L"OptMBar", s.OptMBar},
                                                                                           {L"OptTBar", s.OptTBar},
                                                                                           {L"OptTBar2", s.OptTBar2},
                                                                                           {L"OptLAct", s.OptLAct},
                                                                                           {L"OptLATab", s.OptLATab},
                                                                                           {L"OptNin", s.OptNin},
                                                                                           {L"OptTou", s.OptTou},
                                                                                           {L"OptTou2", s.OptTou2}})
            registry.Put(kConfigKey, key, value);
        registry.Put(kPositionKey, L"OptCent", s.OptCent);
    }

    // Loads the dialog, then forgets what loading logged and wrote.
    void Load() {
        dialog.Form_Load();
        log.clear();
        view.texts.clear();
        registry.writes.clear();
    }

    std::wstring Stored(const std::wstring& key, const std::wstring& name) {
        return registry.Get(key, name).value_or(L"<missing>");
    }
};

// Log lines joined for a readable failure message.
inline std::wstring Joined(const std::vector<std::wstring>& lines) {
    std::wstring all;
    for (const auto& line : lines)
        all += L"[" + line + L"] ";
    return all;
}

}  // namespace vitrell::testing
