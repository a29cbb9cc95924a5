#pragma once
// The process-wide records: the settings, the help files and the toolbar tables.
// One instance lives from Main to the end of the process; forms hold a reference to it.
#include <string>

#include "core/help.h"
#include "core/settings.h"
#include "core/toolbar_tables.h"

namespace vitrell {

struct AppContext {
    explicit AppContext(IRegistry& registry, IHelpViewers& helpViewers = NoHelpViewers())
        : Store(registry), Help(helpViewers) {}

    SettingsStore Store;
    SettingsRecord Settings;
    std::wstring HelpFilePath;
    std::wstring HtmlHelpFilePath;  // VITRELL.chm beside VITRELL.HLP
    HelpDesk Help;
    ToolbarTables Toolbar;
};

}  // namespace vitrell
