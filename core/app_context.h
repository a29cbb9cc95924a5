#pragma once
// The process-wide records: the settings, the help-file path and the toolbar tables.
// One instance lives from Main to the end of the process; forms hold a reference to it.
#include <string>

#include "core/settings.h"
#include "core/toolbar_tables.h"

namespace vitrell {

struct AppContext {
    explicit AppContext(IRegistry& registry) : Store(registry) {}

    SettingsStore Store;
    SettingsRecord Settings;
    std::wstring HelpFilePath;
    ToolbarTables Toolbar;
};

}  // namespace vitrell
