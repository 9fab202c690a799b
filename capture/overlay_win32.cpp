// Capture mode on the main window: the overlay's messages translated into
// calls of the selection logic, and the logic's requests into Win32 calls.
#include "capture/overlay.h"

#include <cstdlib>

#include "capture/overlay_draw.h"
#include "capture/screen_grab.h"
#include "capture/selection.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/window_messages.h"

namespace {

BoxRunner box_runner = nullptr;

// The cursor in image coordinates: the desktop position less the origin of
// the grabbed area (negative when monitors lie left of or above the primary).
// False while the position is unknown (a locked or secure desktop).
bool cursor_in_image(PixelPoint* at) {
    POINT p;
    if (!GetCursorPos(&p)) return false;
    *at = PixelPoint{p.x - g_app.capture.screen_rect.left, p.y - g_app.capture.screen_rect.top};
    return true;
}

void set_cursor_in_image(PixelPoint p) {
    SetCursorPos(p.x + g_app.capture.screen_rect.left, p.y + g_app.capture.screen_rect.top);
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
    if (g_app.capture.box_window) PostMessageA(g_app.capture.box_window, message, wparam, lparam);
}

const SelectionOps kWin32Ops = {
    draw_crosshair,   draw_frame,     draw_magnifier, restore_magnifier, paint_cover_top_left,
    paint_cover_rect, cursor_in_image, set_cursor_in_image, hide_cursor, shift_down,
    post_main,        post_box,
};

void start_dragging(HWND window) {
    if (g_app.capture.dragging) return;
    RECT r;
    GetWindowRect(window, &r);
    g_app.capture.overlay_rect = PixelRect{r.left, r.top, r.right, r.bottom};
    POINT c;
    if (!GetCursorPos(&c) || !cursor_in_image(&g_app.capture.drag_last)) return;
    g_app.capture.dragging = c.x >= r.left && c.x <= r.right && c.y >= r.top && c.y <= r.bottom;
}

// Carries out what the click logic decided.
void act_on_click(HWND window, ClickAction action) {
    switch (action) {
        case ClickAction::kNone:
            break;
        case ClickAction::kStartTimer:
            SetTimer(window, kClickTimerId, kClickTimerMs, nullptr);
            break;
        case ClickAction::kBoxOk:
            KillTimer(window, kClickTimerId);
            post_box(kWmCommand, IDC_BOX_DECIDE, 0);
            break;
        case ClickAction::kAdvance:
            KillTimer(window, kClickTimerId);
            post_main(UM_ADVANCE, 0, 0);
            break;
        case ClickAction::kStartDrag:
            KillTimer(window, kClickTimerId);
            start_dragging(window);
            break;
    }
}

void stop_click_tracking() {
    if (g_app.capture.draw_window) KillTimer(g_app.capture.draw_window, kClickTimerId);
    selection_click_stop();
}

}  // namespace

// Runs the box of the current corner when one can be shown.
void overlay_right_button_up() {
    if (selection_box_open() || !g_app.capture.screen_image) return;
    const PickState corner = g_app.capture.pick_state;
    if (corner != kPickTopLeft && corner != kPickBottomRight) return;
    int result = box_runner ? box_runner(corner) : kNoBoxResult;
    if (result == kNoBoxResult) return;
    stop_click_tracking();
    if (corner == kPickTopLeft)
        selection_top_left_box_result(TopLeftBoxResult(result));
    else
        selection_bottom_right_box_result(BottomRightBoxResult(result));
}

bool overlay_set_cursor(LRESULT* result) {
    *result = 0;
    if (selection_box_open()) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        return false;
    }
    if (!g_app.capture.screen_image) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        *result = 0;
        return true;
    }
    selection_track_cursor();
    *result = 1;
    return true;
}

void overlay_paint(HWND window) {
    // The marks are drawn by inversion through a window DC that is not
    // clipped to the update region; repaint the whole picture so that they
    // are drawn exactly once over it.
    RECT update, client;
    if (GetUpdateRect(window, &update, FALSE) && GetClientRect(window, &client) &&
        !EqualRect(&update, &client))
        InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    overlay_draw_forget();
    if (g_app.capture.screen_image) {
        if (!selection_cover_mode()) {
            paint_picture(ps.hdc, ps.rcPaint);
            if (g_app.capture.pick_state == kPickTopLeft) draw_crosshair(g_app.capture.top_left);
            if (g_app.capture.pick_state == kPickBottomRight)
                draw_frame(g_app.capture.top_left, g_app.capture.bottom_right);
        } else {
            if (g_app.capture.pick_state == kPickTopLeft)
                paint_cover_top_left(g_app.capture.top_left);
            if (g_app.capture.pick_state == kPickBottomRight)
                paint_cover_rect(g_app.capture.top_left, g_app.capture.bottom_right);
        }
    }
    EndPaint(window, &ps);
}

void overlay_dpi_changed(HWND window) { InvalidateRect(window, nullptr, FALSE); }

bool overlay_timer(HWND window, WPARAM id) {
    if (id != kClickTimerId) return false;
    act_on_click(window, selection_click_timer(left_button_down()));
    return true;
}

void overlay_left_button_down(HWND window) {
    PixelPoint p;
    if (!selection_box_open())
        post_main(UM_ADVANCE, 0, 0);
    else if (cursor_in_image(&p))
        act_on_click(window, selection_click_press(p));
}

void overlay_left_button_up() { g_app.capture.dragging = 0; }

void overlay_mouse_move(HWND window) {
    PixelPoint p;
    if ((!g_app.capture.click_timer && !g_app.capture.dragging) || !cursor_in_image(&p)) return;
    if (g_app.capture.click_timer && !g_app.capture.dragging) {
        act_on_click(window, selection_click_move(p, left_button_down()));
        return;
    }
    if (!left_button_down()) {
        g_app.capture.dragging = 0;
        return;
    }
    PixelPoint d{p.x - g_app.capture.drag_last.x, p.y - g_app.capture.drag_last.y};
    g_app.capture.drag_last = p;
    if (d.x || d.y) selection_drag_by(d);
}

void overlay_set_box_runner(BoxRunner runner) { box_runner = runner; }

void capture_attach(HWND window) {
    selection_set_ops(&kWin32Ops);
    g_app.capture.draw_window = window;
    g_app.capture.take_back_screen = grab_take_back;
}

void capture_start(HWND window) {
    CaptureState& capture = g_app.capture;
    if ((capture.capture_flags & (kCaptureActive | kCaptureMenuOpen)) || capture.screen_image ||
        capture.busy)
        return;
    update_screen_rect();
    const PixelRect& s = capture.screen_rect;
    SetWindowPos(window, nullptr, s.left, s.top, s.right - s.left, s.bottom - s.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    selection_begin();
    overlay_draw_forget();
    set_cursor_in_image(capture.top_left);
    capture.pick_state = kPickNothing;
    if (g_app.flags & kFlagAutoOpenBox) capture.capture_flags |= kCaptureOpenTopLeftBox;
    capture.draw_window = window;
    {
        const CaptureBusy grabbing(&capture);
        capture.screen_image = grab_for_capture();
    }
    if (!capture.screen_image) {
        grab_rest_arm(window);  // the grab may have made the kept memory anew
        return;
    }
    capture.capture_flags |= kCaptureActive;
    capture.screen_header = static_cast<DibHeader*>(mem_lock(capture.screen_image));
    capture.screen_bits = capture.screen_header ? dib_bits_ptr(capture.screen_header) : nullptr;
    capture.screen_stride =
        capture.screen_header ? int(dib_stride(capture.screen_header->biWidth, 24)) : 0;
    ShowWindow(window, SW_RESTORE);
}

void capture_end() {
    g_app.capture.capture_flags &= ~uint32_t(kCaptureActive);
    stop_click_tracking();
    capture_release_screen(&g_app.capture);
    ShowWindow(g_app.main_window, SW_HIDE);
    grab_rest_arm(g_app.main_window);
}
