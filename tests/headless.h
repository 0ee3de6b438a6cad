#pragma once

// Widget tests run headless and apart from the desktop's theme, whose plugin
// may want a display, when run by hand as under ctest. Call from initMain().

#include <QtGlobal>

inline void runHeadless()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QPA_PLATFORMTHEME", "");
}
