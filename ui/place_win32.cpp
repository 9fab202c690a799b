#include "ui/place.h"

#include "state/settings.h"
#include "ui/monitors.h"
#include "ui/placement.h"

namespace {

// The work area of `monitor` (without the taskbar), else the screen.
PixelRect work_area(HMONITOR monitor) {
    MONITORINFO info;
    info.cbSize = sizeof info;
    RECT m = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (monitor_info(monitor, &info)) m = info.rcWork;
    return PixelRect{m.left, m.top, m.right, m.bottom};
}

PixelRect window_rect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return PixelRect{r.left, r.top, r.right, r.bottom};
}

// Moves `window` to `at`. A window that changes monitors may come there at
// another DPI, which the system answers by resizing it: it is then pulled
// into the work area once more at the size it has there.
void move_within(HWND window, PixelPoint at, const PixelRect& area) {
    const PixelRect before = window_rect(window);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    const PixelRect after = window_rect(window);
    if (after.right - after.left == before.right - before.left &&
        after.bottom - after.top == before.bottom - before.top)
        return;
    const PixelPoint again = placement_saved(after, area);
    SetWindowPos(window, nullptr, again.x, again.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

}  // namespace

void place_at_cursor(HWND window) {
    RECT r;
    POINT c;
    if (!GetWindowRect(window, &r) || !GetCursorPos(&c)) return;
    const PixelRect area = work_area(monitor_from_point(c, MONITOR_DEFAULTTOPRIMARY));
    move_within(window,
                placement_at_cursor(PixelRect{r.left, r.top, r.right, r.bottom},
                                    PixelPoint{c.x, c.y}, area),
                area);
}

void place_saved_or_at_cursor(HWND window, const char* key) {
    PixelRect saved;
    settings_read_rect(key, &saved);
    if (placement_rect_empty(saved)) {
        place_at_cursor(window);
        return;
    }
    const PixelRect area = work_area(monitor_from_rect(
        RECT{saved.left, saved.top, saved.right, saved.bottom}, MONITOR_DEFAULTTOPRIMARY));
    move_within(window, placement_saved(saved, area), area);
}

void save_window_rect(HWND window, const char* key) {
    RECT r;
    if (GetWindowRect(window, &r))
        settings_write_rect(key, PixelRect{r.left, r.top, r.right, r.bottom});
}
