#include "ui/place.h"

#include "state/settings.h"
#include "ui/monitors.h"
#include "ui/placement.h"

void place_at_cursor(HWND window) {
    RECT r;
    POINT c;
    if (!GetWindowRect(window, &r) || !GetCursorPos(&c)) return;
    MONITORINFO info;
    info.cbSize = sizeof info;
    RECT m = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor_info(monitor_from_point(c, MONITOR_DEFAULTTOPRIMARY), &info)) m = info.rcMonitor;
    PixelPoint at = placement_at_cursor(PixelRect{r.left, r.top, r.right, r.bottom},
                                        PixelPoint{c.x, c.y},
                                        PixelRect{m.left, m.top, m.right, m.bottom});
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void place_saved_or_at_cursor(HWND window, const char* key) {
    PixelRect saved;
    settings_read_rect(key, &saved);
    if (placement_rect_empty(saved)) {
        place_at_cursor(window);
        return;
    }
    RECT m = monitor_rect_for(RECT{saved.left, saved.top, saved.right, saved.bottom});
    PixelPoint at = placement_saved(saved, PixelRect{m.left, m.top, m.right, m.bottom});
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void save_window_rect(HWND window, const char* key) {
    RECT r;
    if (GetWindowRect(window, &r))
        settings_write_rect(key, PixelRect{r.left, r.top, r.right, r.bottom});
}
