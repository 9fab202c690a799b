#include "app/main_window.h"

#include <shellapi.h>

#include <cstring>

#include "app/hotkey.h"
#include "app/shell_logic.h"
#include "app/startup.h"
#include "app/tray_menu.h"
#include "capture/input_filter.h"
#include "capture/overlay.h"
#include "capture/screen_grab.h"
#include "capture/selection.h"
#include "output/dispatcher.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/instance.h"
#include "state/messages.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "ui/dpi.h"
#include "ui/guarded_proc.h"

namespace {

// The notification-icon record; kept for the lifetime of the icon.
NOTIFYICONDATAA tray_data;

// Sent by the shell when the taskbar has been (re)created; a restarted
// shell has forgotten every icon.
UINT taskbar_created_message = 0;

LRESULT on_create(HWND window) {
    g_app.main_window = window;
    capture_attach(window);
    taskbar_created_message = RegisterWindowMessageA("TaskbarCreated");
    if (!tray_add()) PostMessageA(window, WM_CLOSE, 0, 0);
    // The first capture after the start then finds its memory ready.
    grab_prepare();
    grab_rest_arm(window);
    return 0;
}

LRESULT on_destroy() {
    capture_release_screen(&g_app.capture);
    grab_release_cache();
    tray_remove();
    PostQuitMessage(0);
    return 0;
}

void on_set_focus() {
    if (!g_app.capture.box_window) return;
    SetWindowPos(g_app.capture.box_window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    SetFocus(g_app.capture.box_window);
}

// Alt+F4 on the full-screen picture means "away with it": during a capture
// the close command ends the capture as Esc does, not the program. True
// when handled.
bool on_system_command(WPARAM command) {
    if ((command & 0xFFF0) != SC_CLOSE || !(g_app.capture.capture_flags & kCaptureActive))
        return false;
    capture_end();
    return true;
}

// Returns true when the message was consumed.
bool on_tray(HWND window, LPARAM mouse) {
    switch (tray_action(g_app.capture.capture_flags, uint32_t(mouse))) {
        case TrayAction::kStartCapture:
            PostMessageA(window, UM_START_CAPTURE, 0, 0);
            return true;
        case TrayAction::kMenu:
            // While the menu and its commands run, tray clicks and captures
            // wait (the editor wait keeps dispatching messages).
            {
                const CaptureFlagsHeld menu_open(&g_app.capture, kCaptureMenuOpen);
                tray_menu(window);
            }
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

// Shutdown and sign-out end the process after WM_ENDSESSION, without the
// message loop's end: the options kept in memory are saved here.
void on_end_session(WPARAM ending) {
    if (ending) startup_save_at_end(&g_app);
}

}  // namespace

int main_window_register(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = guarded_window_proc<main_window_proc>;
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
    // The notification area shows its icons at the system's DPI.
    g_app.tray_icon = load_icon_for_dpi(IDI_APP, system_dpi());
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

    hotkey_register_stored();
    return 1;
}

void tray_show_first_start_notice() {
    if (!tray_data.cbSize) return;
    // A copy: the record that adds the icon again after a shell restart
    // must not bring the notification back.
    NOTIFYICONDATAA note = tray_data;
    note.uFlags = NIF_INFO;
    note.dwInfoFlags = NIIF_INFO;
    note.uTimeout = 10000;  // only where the system does not choose the time
    std::strcpy(note.szInfoTitle, "Tambleは通知領域に常駐しています");
    std::strcpy(note.szInfo,
                "アイコンをクリックするとキャプチャーを始めます．"
                "ホットキーを設定するとホットキーでも始められます．"
                "メニューはアイコンの右クリックで開きます．");
    Shell_NotifyIconA(NIM_MODIFY, &note);
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
    hotkey_unregister();
}

// Each case either answers the message (return) or lets the default
// processing follow (break). Answers: 0 for what Windows asks of a window,
// TRUE to WM_QUERYENDSESSION, the result of UM_LINK_APP and UM_SET_SIZE for
// their senders, and 1 to UM_OUTPUT (the selection was taken). WM_SETFOCUS,
// WM_HOTKEY, a system command other than the capture's close and a tray
// callback the shell does not act on go on to DefWindowProcA.
LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    // Keys, the wheel and the other buttons become selection requests; a
    // message the filter has turned into one is done with.
    if (box_input_filter(message, wparam, window, lparam)) return 0;
    if (message == taskbar_created_message && message != 0) {
        tray_restore();
        return 0;
    }
    LRESULT result = 0;
    switch (message) {
        // The window itself.
        case WM_CREATE:
            return on_create(window);
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            return on_destroy();
        case WM_SETFOCUS:
            on_set_focus();
            break;
        case WM_SYSCOMMAND:
            if (on_system_command(wparam)) return 0;
            break;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            on_end_session(wparam);
            return 0;

        // The resident shell: hotkey, tray icon, other programs.
        case WM_HOTKEY:
            PostMessageA(window, UM_START_CAPTURE, 0, 0);
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

        // Capture mode: the window is the overlay.
        case UM_START_CAPTURE:
            capture_start(window);
            return 0;
        case UM_END_CAPTURE:
            capture_end();
            return 0;
        case UM_OUTPUT:
            output_selection(window);
            return 1;
        case WM_SETCURSOR:
            if (overlay_set_cursor(&result)) return result;
            break;
        case WM_PAINT:
            overlay_paint(window);
            return 0;
        case WM_DPICHANGED:
            overlay_dpi_changed(window);
            return 0;
        case WM_LBUTTONDOWN:
            overlay_left_button_down(window);
            return 0;
        case WM_LBUTTONUP:
            overlay_left_button_up();
            return 0;
        case WM_MOUSEMOVE:
            overlay_mouse_move(window);
            return 0;
        case WM_RBUTTONUP:
            overlay_right_button_up();
            return 0;
        case WM_TIMER:
            if (overlay_timer(window, wparam) || grab_rest_timer(window, wparam)) return 0;
            break;

        // Requests of the input filter, the boxes and the constraint menus.
        case UM_ADVANCE:
            selection_advance();
            return 0;
        case UM_MOVE_CORNER:
            selection_move_corner(int(wparam), int(lparam));
            return 0;
        case UM_SET_SIZE:
            return selection_set_size(int(wparam), int(lparam));
        case UM_TOGGLE_FIXED:
            selection_toggle_fixed();
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}
