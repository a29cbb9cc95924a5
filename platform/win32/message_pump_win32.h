#pragma once
// The thread's one message pump, for the main loop, the modal loops and DoEvents alike. Each message passes the
// pre-translate step (platform/pre_translate.h) before it is translated and dispatched.
#include <windows.h>

#include <functional>
#include <vector>

namespace vitrell {

// Adds a translator to the pre-translate step; the number takes it out again.
int AddPreTranslator(std::function<bool(MSG&)> translator);
void RemovePreTranslator(int id);
// A window whose controls take Tab and access keys (IsDialogMessage), as a translator.
int AddDialogNavigation(HWND dialog);

// Until WM_QUIT; returns its exit code.
int RunMessageLoop();
// Until `window` is destroyed, with every other enabled window of the thread disabled meanwhile. A WM_QUIT that
// comes meanwhile is passed on to the loop outside.
void RunModal(HWND window);
// The messages waiting now, at most a thousand of them; false when a WM_QUIT came (passed on to the loop outside).
bool DoEvents();

// The top-level windows of this thread that take input now.
std::vector<HWND> EnabledThreadWindows();

}  // namespace vitrell
