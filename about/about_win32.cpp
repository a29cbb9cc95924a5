#include "about/about_win32.h"

namespace vitrell {

// Placeholders until the two windows exist.
void ShowSplashModal(HINSTANCE) {}

void ShowVersionBoxModal(HINSTANCE, AppContext&) {}

}  // namespace vitrell
