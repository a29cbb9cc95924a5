#pragma once
// A main window form over in-memory fakes, with the settings start-up would leave on a first run.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/main_window_rig.h"

namespace vitrell::testing {

class MainWindowFixture : public ::testing::Test, protected MainWindowRig {
  protected:
    MainWindowFixture() {
        SettingsRecord& s = app.Settings;
        s.OptTBar = L"1";
        s.OptMBar = L"1";
        s.OptCent = L"0";
        s.T_Top = L"2000";
        s.T_Left = L"1000";
        s.OptTemae = L"1";
        s.OptNin = L"1";
        s.OptTou = L"20";
        s.OptTou2 = L"0";
        s.OptOn_Off = L"0";
        s.OptWinS = L"0";
        app.HelpFilePath = L"C:\\VITRELL\\VITRELL.HLP";
        app.HtmlHelpFilePath = L"C:\\VITRELL\\VITRELL.chm";
        app.Toolbar = InitialToolbarTables(s.OptTou);
    }

    std::optional<std::wstring> Stored(std::wstring_view section, std::wstring_view key) {
        return registry.Get(SettingsStore::SectionPath(section), key);
    }
    // The texts written under `key`, in order.
    std::vector<std::wstring> WritesOf(std::wstring_view key) const {
        std::vector<std::wstring> out;
        for (const auto& w : registry.writes)
            if (w.name == key)
                out.push_back(w.text);
        return out;
    }
    // Names of the values written, in order.
    std::vector<std::wstring> WrittenNames() const {
        std::vector<std::wstring> out;
        for (const auto& w : registry.writes)
            out.push_back(w.name);
        return out;
    }
    bool Logged(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    size_t Count(const std::string& entry) const { return std::count(log.begin(), log.end(), entry); }
    std::vector<std::string> LogFrom(size_t start) const { return {log.begin() + start, log.end()}; }
};

}  // namespace vitrell::testing
