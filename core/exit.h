#pragma once
// ExitApplication: the one way the program ends normally.
#include "core/app_context.h"
#include "platform/twips.h"

namespace vitrell {

class IExitHost {
  public:
    virtual ~IExitHost() = default;
    virtual RectTwips MainWindowRect() = 0;  // outer edges of the main window, shown or hidden
    virtual void CloseSettingsDialog() = 0;  // nothing when it is not open
    virtual void UnloadMainWindow() = 0;     // asks no question; the process ends after it
};

void ExitApplication(AppContext& app, IExitHost& host);

}  // namespace vitrell
