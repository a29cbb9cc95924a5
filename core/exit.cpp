#include "core/exit.h"

#include "core/text.h"

namespace vitrell {

void ExitApplication(AppContext& app, IExitHost& host) {
    const RectTwips rect = host.MainWindowRect();
    // The position goes to the store only; the record keeps what start-up read.
    app.Store.WriteSetting(kPosition, L"T_Top", SingleText(static_cast<float>(rect.top)));
    app.Store.WriteSetting(kPosition, L"T_Left", SingleText(static_cast<float>(rect.left)));

    // Stored inverted: the toggle the main window makes while loading brings this state back.
    app.Store.Set(app.Settings.OptOn_Off, kConfig, L"OptOn_Off", FlagText(!EngineSwitchOn(app.Settings.OptOn_Off)));

    app.Help.CloseAll();  // the help windows the program opened go with it
    host.CloseSettingsDialog();
    host.UnloadMainWindow();
}

}  // namespace vitrell
