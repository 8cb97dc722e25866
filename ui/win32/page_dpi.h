// The pixel density a page is drawn at, and sizes meant for 96 DPI scaled to it. The
// per-monitor functions exist from Windows 10 1607 on; before that the whole process runs
// at the system DPI, which the screen's device context reports.
#pragma once

#include <windows.h>

constexpr UINT kBaseDpi = 96;

UINT windowDpi(HWND window);
int scaleForDpi(int pixelsAt96, UINT dpi);
// GetSystemMetrics for the page's DPI (icon sizes, check boxes).
int systemMetricForDpi(int index, UINT dpi);
