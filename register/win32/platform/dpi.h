#pragma once

#include <windows.h>

// DPI look-ups that also run where the per-monitor functions are missing:
// those came with Windows 10 1607, and importing them statically stops the
// program from starting on Windows 7, 8.1 and early Windows 10. There the
// program is system-DPI aware, so the system's DPI is the window's.
UINT WindowDpi(HWND window);
int SystemMetricForDpi(int index, UINT dpi);
// The font of message boxes, at the given DPI.
LOGFONTW MessageFontForDpi(UINT dpi);
// The work area of the monitor a window is on, or nearest to.
RECT WorkAreaNear(HWND window);
