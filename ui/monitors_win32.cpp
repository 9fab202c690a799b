#include "ui/monitors.h"

#include <cstring>

#include "ui/geometry.h"

namespace {

struct MonitorApi {
    bool looked_up = false;
    bool present = false;
    int(WINAPI* get_system_metrics)(int) = nullptr;
    HMONITOR(WINAPI* from_window)(HWND, DWORD) = nullptr;
    HMONITOR(WINAPI* from_rect)(LPCRECT, DWORD) = nullptr;
    HMONITOR(WINAPI* from_point)(POINT, DWORD) = nullptr;
    BOOL(WINAPI* enum_monitors)(HDC, LPCRECT, MONITORENUMPROC, LPARAM) = nullptr;
    BOOL(WINAPI* get_info)(HMONITOR, LPMONITORINFO) = nullptr;
    BOOL(WINAPI* enum_devices)(LPCSTR, DWORD, PDISPLAY_DEVICEA, DWORD) = nullptr;
};
MonitorApi api;

template <typename F>
void bind(HMODULE user32, const char* name, F* slot) {
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

HMONITOR pseudo_monitor() { return reinterpret_cast<HMONITOR>(kPseudoMonitor); }

RECT pseudo_rect() {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

BOOL CALLBACK widen_callback(HMONITOR, HDC, LPRECT monitor_rect, LPARAM acc) {
    RECT* r = reinterpret_cast<RECT*>(acc);
    PixelRect a{r->left, r->top, r->right, r->bottom};
    rect_widen(&a, PixelRect{monitor_rect->left, monitor_rect->top, monitor_rect->right,
                             monitor_rect->bottom});
    *r = RECT{a.left, a.top, a.right, a.bottom};
    return TRUE;
}

}  // namespace

int monitor_api_init() {
    if (!api.looked_up) {
        api.looked_up = true;
        HMODULE user32 = GetModuleHandleA("USER32");
        if (user32) {
            bind(user32, "GetSystemMetrics", &api.get_system_metrics);
            bind(user32, "MonitorFromWindow", &api.from_window);
            bind(user32, "MonitorFromRect", &api.from_rect);
            bind(user32, "MonitorFromPoint", &api.from_point);
            bind(user32, "EnumDisplayMonitors", &api.enum_monitors);
            bind(user32, "GetMonitorInfoA", &api.get_info);
            bind(user32, "EnumDisplayDevicesA", &api.enum_devices);
        }
        api.present = api.get_system_metrics && api.from_window && api.from_rect &&
                      api.from_point && api.enum_monitors && api.get_info && api.enum_devices;
    }
    return api.present ? 1 : 0;
}

int monitor_info(HMONITOR monitor, MONITORINFO* record) {
    if (monitor_api_init()) return api.get_info(monitor, record) ? 1 : 0;
    if (monitor != pseudo_monitor() || record->cbSize < sizeof(MONITORINFO)) return 0;
    RECT work;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) return 0;
    record->rcMonitor = pseudo_rect();
    record->rcWork = work;
    record->dwFlags = MONITORINFOF_PRIMARY;
    if (record->cbSize >= sizeof(MONITORINFOEXA))
        std::strcpy(reinterpret_cast<MONITORINFOEXA*>(record)->szDevice, "DISPLAY");
    return 1;
}

void monitors_union(RECT* rect) {
    if (monitor_api_init()) {
        api.enum_monitors(nullptr, nullptr, widen_callback, reinterpret_cast<LPARAM>(rect));
    } else {
        RECT r = pseudo_rect();
        widen_callback(pseudo_monitor(), nullptr, &r, reinterpret_cast<LPARAM>(rect));
    }
}

HMONITOR monitor_from_point(POINT point, DWORD flags) {
    return monitor_api_init() ? api.from_point(point, flags) : pseudo_monitor();
}

HMONITOR monitor_from_rect(const RECT& rect, DWORD flags) {
    return monitor_api_init() ? api.from_rect(&rect, flags) : pseudo_monitor();
}

RECT monitor_rect_for(const RECT& rect) {
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (monitor_info(monitor_from_rect(rect, MONITOR_DEFAULTTOPRIMARY), &info))
        return info.rcMonitor;
    return pseudo_rect();
}
