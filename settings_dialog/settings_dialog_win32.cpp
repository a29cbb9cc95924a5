#include "settings_dialog/settings_dialog_win32.h"

namespace vitrell {

// Placeholder until the dialog exists.
void ShowSettingsDialog(AppContext&, ISettingsHost&, bool) {}

void CloseSettingsDialog() {}

}  // namespace vitrell
