// Monitor lookup with the system's monitor functions found at run time and
// a single-monitor fallback where they are missing.
#pragma once

#include <windows.h>

// The one monitor when the functions are absent.
constexpr uintptr_t kPseudoMonitor = 0x12340042;

// 1 when all seven monitor functions were found (looked up once).
int monitor_api_init();
// GetMonitorInfoA, or the pseudo monitor's record (size >= 40).
int monitor_info(HMONITOR monitor, MONITORINFO* record);
// Widens `rect` to include every monitor's rectangle.
void monitors_union(RECT* rect);
// The monitor rectangle that `rect` lies on most, else the primary one.
RECT monitor_rect_for(const RECT& rect);
// MonitorFromPoint / MonitorFromRect through the table (pseudo monitor
// when absent).
HMONITOR monitor_from_point(POINT point, DWORD flags);
HMONITOR monitor_from_rect(const RECT& rect, DWORD flags);
