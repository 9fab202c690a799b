// Capture mode on the main window: the overlay's messages translated into
// calls of the selection logic, and the logic's requests into Win32 calls.
#include "capture/overlay.h"

#include <cstdlib>

#include "state/app_state.h"
#include "state/window_messages.h"
#include "capture/overlay_draw.h"
#include "capture/screen_grab.h"
#include "capture/selection.h"
#include "image/dib_draw.h"
#include "output/dispatcher.h"

namespace {

BoxRunner box_runner = nullptr;

// The cursor in image coordinates: the desktop position less the origin of
// the grabbed area (negative when monitors lie left of or above the primary).
PixelPoint cursor_in_image() {
    POINT p;
    GetCursorPos(&p);
    return PixelPoint{p.x - g_app.screen_rect.left, p.y - g_app.screen_rect.top};
}

void set_cursor_in_image(PixelPoint p) {
    SetCursorPos(p.x + g_app.screen_rect.left, p.y + g_app.screen_rect.top);
}

void hide_cursor() { SetCursor(nullptr); }

bool shift_down() { return GetAsyncKeyState(VK_SHIFT) < 0; }

bool left_button_down() {
    int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return GetAsyncKeyState(button) < 0;
}

void post_main(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    PostMessageA(g_app.main_window, message, wparam, lparam);
}

void post_box(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (g_app.box_window) PostMessageA(g_app.box_window, message, wparam, lparam);
}

const SelectionOps kWin32Ops = {
    draw_crosshair,   draw_frame,     draw_magnifier, restore_magnifier, paint_cover_top_left,
    paint_cover_rect, cursor_in_image, set_cursor_in_image, hide_cursor, shift_down,
    post_main,        post_box,
};

// Runs the box of the current corner when one can be shown.
void on_right_button_up() {
    if (selection_box_open() || !g_app.screen_image) return;
    int corner = g_app.pick_state;
    if (corner != 1 && corner != 2) return;
    int result = box_runner ? box_runner(corner) : kNoBoxResult;
    if (result == kNoBoxResult) return;
    if (corner == 1)
        top_left_box_result(result);
    else
        bottom_right_box_result(result);
}

// WM_SETCURSOR: true when handled with *result.
bool on_set_cursor(LRESULT* result) {
    if (selection_box_open()) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
        return false;
    }
    if (!g_app.screen_image) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
        *result = 0;
        return true;
    }
    selection_track_cursor();
    *result = 1;
    return true;
}

void on_paint(HWND window) {
    // The marks are drawn by inversion through a window DC that is not
    // clipped to the update region; repaint the whole picture so that they
    // are drawn exactly once over it.
    RECT update, client;
    if (GetUpdateRect(window, &update, FALSE) && GetClientRect(window, &client) &&
        !EqualRect(&update, &client))
        InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    if (g_app.screen_image) {
        if (!selection_cover_mode()) {
            dib_draw(&ps, g_app.screen_image);
            if (g_app.pick_state == 1) draw_crosshair(g_app.top_left);
            if (g_app.pick_state == 2) draw_frame(g_app.top_left, g_app.bottom_right);
        } else {
            if (g_app.pick_state == 1) paint_cover_top_left(g_app.top_left);
            if (g_app.pick_state == 2) paint_cover_rect(g_app.top_left, g_app.bottom_right);
        }
    }
    EndPaint(window, &ps);
}

// A left press on the overlay while a box is open: a second press within
// the click time acts as the box's OK.
void on_press(HWND window) {
    g_app.press_point = cursor_in_image();
    if (!g_app.click_timer) {
        g_app.click_timer = SetTimer(window, kClickTimerId, kClickTimerMs, nullptr);
    } else {
        KillTimer(window, kClickTimerId);
        g_app.click_timer = 0;
        post_box(kWmCommand, kBoxOk, 0);
    }
}

void start_dragging(HWND window) {
    if (g_app.dragging) return;
    RECT r;
    GetWindowRect(window, &r);
    g_app.overlay_rect = PixelRect{r.left, r.top, r.right, r.bottom};
    POINT c;
    GetCursorPos(&c);
    g_app.drag_last = cursor_in_image();
    g_app.dragging = c.x >= r.left && c.x <= r.right && c.y >= r.top && c.y <= r.bottom;
}

void on_click_timer(HWND window) {
    KillTimer(window, kClickTimerId);
    g_app.click_timer = 0;
    if (left_button_down())
        start_dragging(window);
    else
        post_main(UM_ADVANCE, 0, 0);
}

void on_mouse_move(HWND window) {
    if (g_app.click_timer && !g_app.dragging) {
        PixelPoint p = cursor_in_image();
        if (std::abs(p.x - g_app.press_point.x) <= 2 && std::abs(p.y - g_app.press_point.y) <= 2)
            return;
        if (!left_button_down()) return;
        KillTimer(window, kClickTimerId);
        g_app.click_timer = 0;
        start_dragging(window);
        return;
    }
    if (!g_app.dragging) return;
    if (!left_button_down()) {
        g_app.dragging = 0;
        return;
    }
    PixelPoint p = cursor_in_image();
    PixelPoint d{p.x - g_app.drag_last.x, p.y - g_app.drag_last.y};
    g_app.drag_last = p;
    if (d.x || d.y) drag_by(d);
}

}  // namespace

void overlay_set_box_runner(BoxRunner runner) { box_runner = runner; }

void start_capture(HWND window) {
    if ((g_app.capture_flags & (kCaptureActive | kCaptureMenuOpen)) || g_app.screen_image) return;
    selection_set_ops(&kWin32Ops);
    update_screen_rect();
    const PixelRect& s = g_app.screen_rect;
    SetWindowPos(window, nullptr, s.left, s.top, s.right - s.left, s.bottom - s.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    selection_begin();
    set_cursor_in_image(g_app.top_left);
    g_app.pick_state = 0;
    if (g_app.flags & kFlagAutoOpenBox) g_app.capture_flags |= kCaptureOpenTopLeftBox;
    g_app.draw_window = window;
    g_app.screen_image = grab_for_capture();
    if (!g_app.screen_image) return;
    g_app.capture_flags |= kCaptureActive;
    g_app.screen_header = static_cast<DibHeader*>(mem_lock(g_app.screen_image));
    g_app.screen_bits = g_app.screen_header ? dib_bits_ptr(g_app.screen_header) : nullptr;
    g_app.screen_stride =
        g_app.screen_header ? int(dib_stride(g_app.screen_header->biWidth, 24)) : 0;
    ShowWindow(window, SW_RESTORE);
}

void end_capture() {
    g_app.capture_flags &= ~uint32_t(kCaptureActive);
    if (g_app.screen_header) {
        mem_unlock(g_app.screen_image);
        g_app.screen_header = nullptr;
        g_app.screen_bits = nullptr;
    }
    if (g_app.screen_image) {
        mem_free(g_app.screen_image);
        g_app.screen_image = nullptr;
    }
    ShowWindow(g_app.main_window, SW_HIDE);
}

bool overlay_handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT* result) {
    *result = 0;
    switch (message) {
        case WM_SETCURSOR:
            return on_set_cursor(result);
        case WM_PAINT:
            on_paint(window);
            return true;
        case WM_MOUSEACTIVATE:
            if (selection_box_open() && HIWORD(lparam) == WM_LBUTTONDOWN) on_press(window);
            return false;
        case WM_LBUTTONDOWN:
            if (!selection_box_open())
                post_main(UM_ADVANCE, 0, 0);
            else
                on_press(window);
            return true;
        case WM_LBUTTONUP:
            g_app.dragging = 0;
            return true;
        case WM_MOUSEMOVE:
            on_mouse_move(window);
            return true;
        case WM_RBUTTONUP:
            on_right_button_up();
            return true;
        case WM_TIMER:
            if (wparam != kClickTimerId) return false;
            on_click_timer(window);
            return true;
        case UM_START_CAPTURE:
            start_capture(window);
            return true;
        case UM_OUTPUT:
            output_selection(window);
            *result = 1;
            return true;
        case UM_END_CAPTURE:
            end_capture();
            return true;
        case UM_ADVANCE:
            advance();
            return true;
        case UM_MOVE_CORNER:
            move_corner(int(wparam), int(lparam));
            return true;
        case UM_SET_SIZE:
            *result = set_size(int(wparam), int(lparam));
            return true;
        case UM_TOGGLE_FIXED:
            toggle_fixed();
            return true;
    }
    return false;
}
