#pragma once
// A main window form wired to in-memory fakes: the registry, its view, toolbar and tray sharing one call log, and
// the windows under the cursor. The unit tests' fixture and the main window's fuzz target both stand on it.
#include "core/app_context.h"
#include "mainwin/main_window.h"
#include "tests/fakes/fake_main_window.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_window_system.h"

namespace vitrell::testing {

struct MainWindowRig {
    FakeRegistry registry;
    FakeHelpViewers help;
    AppContext app{registry, help};
    CallLog log;
    FakeMainWindowView view{log};
    FakeToolbar toolbar{log};
    FakeTray tray{log};
    FakeWindowSystem windows;
    MainWindow form{app, view, toolbar, tray, windows};
};

}  // namespace vitrell::testing
