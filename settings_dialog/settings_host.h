#pragma once
// What the settings dialog reaches in the main window.
#include "platform/monitors.h"

namespace vitrell {

class ISettingsHost {
  public:
    virtual ~ISettingsHost() = default;
    virtual void ApplyWindowLayout(bool toolbarShown, bool menuBarShown) = 0;
    virtual RectTwips MainWindowRect() = 0;  // left, top, width, height
    virtual void MoveMainWindow(double left, double top) = 0;
    virtual RectTwips MainWindowMonitor() = 0;  // the whole monitor that holds the main window
    virtual void CustomizeToolbar() = 0;        // the toolbar's own customise dialog
    virtual void SaveToolbar() = 0;             // under the settings key, "Config", "Toolbar"
};

}  // namespace vitrell
