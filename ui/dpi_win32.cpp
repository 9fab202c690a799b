#include "ui/dpi.h"

#include "state/instance.h"
#include "ui/dpi_scale.h"

namespace {

struct DpiApi {
    bool looked_up = false;
    UINT(WINAPI* for_window)(HWND) = nullptr;
    UINT(WINAPI* for_system)() = nullptr;
    int(WINAPI* metrics_for_dpi)(int, UINT) = nullptr;
};
DpiApi api;

template <typename F>
void bind(HMODULE user32, const char* name, F* slot) {
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

const DpiApi& dpi_api() {
    if (!api.looked_up) {
        api.looked_up = true;
        if (HMODULE user32 = GetModuleHandleA("USER32")) {
            bind(user32, "GetDpiForWindow", &api.for_window);
            bind(user32, "GetDpiForSystem", &api.for_system);
            bind(user32, "GetSystemMetricsForDpi", &api.metrics_for_dpi);
        }
    }
    return api;
}

int dc_dpi(HWND window) {
    HDC dc = GetDC(window);
    if (!dc) return kBaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int window_dpi(HWND window) {
    if (dpi_api().for_window && window) {
        if (const UINT dpi = api.for_window(window)) return int(dpi);
    }
    return dc_dpi(window);
}

int system_dpi() {
    if (dpi_api().for_system) {
        if (const UINT dpi = api.for_system()) return int(dpi);
    }
    return dc_dpi(nullptr);
}

HICON load_icon_for_dpi(int id, int dpi) {
    const int side = icon_size_for_dpi(dpi);
    return static_cast<HICON>(
        LoadImageA(app_instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, side, side, 0));
}

int small_icon_metric(int dpi) {
    if (dpi_api().metrics_for_dpi) {
        if (const int side = api.metrics_for_dpi(SM_CXSMICON, UINT(dpi))) return side;
    }
    return dpi == system_dpi() ? GetSystemMetrics(SM_CXSMICON) : icon_size_for_dpi(dpi);
}

