// The DPI a window is drawn for, and the system metrics at a DPI. Windows 10
// (1607 on) answers per window and per DPI; older Windows has one system DPI,
// which is then what both give. The newer functions are looked up in user32 at
// run time, so the program still starts on Windows 7.
#pragma once

#include <windows.h>

// GetDpiForWindow, or the screen's LOGPIXELSX; 96 when neither answers.
int WindowDpi(HWND window);

// GetSystemMetricsForDpi(index, dpi), or GetSystemMetrics(index).
int SystemMetricForDpi(int index, int dpi);
