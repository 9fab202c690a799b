#include "app/main_window.h"

#include <shellapi.h>

#include <cstring>

#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "app/shell_logic.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "capture/input_filter.h"
#include "app/tray_menu.h"
#include "capture/overlay.h"
#include "resources/resource_ids.h"

namespace {

// The notification-icon record; kept for the lifetime of the icon.
NOTIFYICONDATAA tray_data;

// Sent by the shell when the taskbar has been (re)created; a restarted
// shell has forgotten every icon.
UINT taskbar_created_message = 0;

LRESULT on_create(HWND window) {
    g_app.main_window = window;
    taskbar_created_message = RegisterWindowMessageA("TaskbarCreated");
    if (!tray_add()) PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT on_destroy() {
    if (g_app.screen_image) {
        if (g_app.screen_header) mem_unlock(g_app.screen_image);
        mem_free(g_app.screen_image);
        g_app.screen_image = nullptr;
        g_app.screen_header = nullptr;
        g_app.screen_bits = nullptr;
    }
    tray_remove();
    PostQuitMessage(0);
    return 0;
}

void on_set_focus() {
    if (!g_app.box_window) return;
    SetWindowPos(g_app.box_window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetFocus(g_app.box_window);
}

// Returns true when the message was consumed.
bool on_tray(HWND window, LPARAM mouse) {
    switch (tray_action(g_app.capture_flags, uint32_t(mouse))) {
        case TrayAction::kStartCapture:
            PostMessageA(window, UM_START_CAPTURE, 0, 0);
            return true;
        case TrayAction::kMenu:
            // While the menu and its commands run, tray clicks and captures
            // wait (the editor wait keeps dispatching messages).
            g_app.capture_flags |= kCaptureMenuOpen;
            tray_menu(window);
            g_app.capture_flags &= ~uint32_t(kCaptureMenuOpen);
            return true;
        case TrayAction::kDefault:
            break;
    }
    return false;
}

LRESULT on_link_app(WPARAM wparam, LPARAM lparam) {
    HWND app_window = reinterpret_cast<HWND>(wparam);
    bool alive = lparam != 0 && app_window && IsWindow(app_window);
    return link_app(&g_app, app_window, uint32_t(lparam), alive);
}

void on_close_request(HWND window) {
    if (close_request(&g_app)) PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace

int main_window_register(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = main_window_proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    wc.lpszClassName = kMainClassName;
    return RegisterClassA(&wc) ? 1 : 0;
}

HWND main_window_create(HINSTANCE instance, const RECT& area) {
    return CreateWindowExA(WS_EX_TOPMOST, kMainClassName, "", WS_POPUP, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                           instance, nullptr);
}

int tray_add() {
    HDC dc = GetDC(g_app.main_window);
    int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(g_app.main_window, dc);
    if (depth < 16) {
        show_warning(g_app.main_window, kMsgIndexedColour);
        return 0;
    }

    std::memset(&tray_data, 0, sizeof tray_data);
    g_app.tray_icon = static_cast<HICON>(
        LoadImageA(g_app.instance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 16, 16, 0));
    tray_data.cbSize = sizeof tray_data;
    tray_data.hWnd = g_app.main_window;
    tray_data.uID = IDI_APP;
    tray_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_data.uCallbackMessage = UM_TRAY;
    tray_data.hIcon = g_app.tray_icon;
    std::strcpy(tray_data.szTip, "Tamble");
    if (!Shell_NotifyIconA(NIM_ADD, &tray_data)) {
        show_warning(g_app.main_window, kMsgTrayFailed);
        return 0;
    }

    int vk = settings_read_int(kSectionOption, "HotkeyVK", 0);
    int mod = settings_read_int(kSectionOption, "HotkeyMOD", 0);
    if (hotkey_wanted(vk, mod) && RegisterHotKey(g_app.main_window, kHotkeyId, UINT(mod), UINT(vk)))
        g_app.hotkey_id = kHotkeyId;
    return 1;
}

void tray_restore() {
    if (tray_data.cbSize) Shell_NotifyIconA(NIM_ADD, &tray_data);
}

void tray_remove() {
    Shell_NotifyIconA(NIM_DELETE, &tray_data);
    tray_data.cbSize = 0;
    if (g_app.tray_icon) {
        DestroyIcon(g_app.tray_icon);
        g_app.tray_icon = nullptr;
    }
    if (g_app.hotkey_id) {
        UnregisterHotKey(g_app.main_window, g_app.hotkey_id);
        g_app.hotkey_id = 0;
    }
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // Keys, the wheel and the other buttons become selection requests; the
    // main window goes on with the message whatever the filter did.
    box_input_filter(message, wparam, window, lparam);
    LRESULT result;
    if (overlay_handle_message(window, message, wparam, lparam, &result)) return result;
    if (message == taskbar_created_message && message != 0) {
        tray_restore();
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            return on_create(window);
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            return on_destroy();
        case WM_HOTKEY:
            PostMessageA(window, UM_START_CAPTURE, 0, 0);
            break;
        case WM_SETFOCUS:
            on_set_focus();
            break;
        case UM_TRAY:
            if (on_tray(window, lparam)) return 0;
            break;
        case UM_LINK_APP:
            return on_link_app(wparam, lparam);
        case UM_OPEN:
            open_request(&g_app);
            return 0;
        case UM_CLOSE:
            on_close_request(window);
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
