#pragma once
// Main: everything that happens before the message loop.
#include <string>

#include "core/app_context.h"
#include "platform/monitors.h"

namespace vitrell {

// What start-up needs of the system.
class IStartupHost {
  public:
    virtual ~IStartupHost() = default;
    // Marks this session as running the program; false when another copy already holds the mark.
    virtual bool FirstCopy() = 0;
    virtual void ShowRunningCopy() = 0;  // asks the copy that holds the mark to show its main window
    virtual std::wstring ApplicationFolder() = 0;
    virtual void ChangeDirectory(const std::wstring& folder) = 0;
    virtual SizeTwips ScreenSize() = 0;  // the primary monitor's
    virtual MonitorList Monitors() = 0;
    virtual void ShowSplashModal() = 0;             // returns when the splash has closed
    virtual void ShowMainWindow(bool visible) = 0;  // loads it; shows it unless visible is false
};

inline constexpr double kDefaultWindowWidthTwips = 1640;
inline constexpr double kDefaultWindowHeightTwips = 620;

// (screen − window) / 2, ties to even. Kept in a wide integer: a very large screen must not overflow.
long long PositionDefault(double screenTwips, double windowTwips);

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// False when another copy of the program runs in this session: it has been asked to show its main window, and
// nothing was read from or written to the store.
bool Main(AppContext& app, IStartupHost& host);

}  // namespace vitrell
