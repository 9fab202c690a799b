#include "capture/input_filter.h"

#include "state/app_state.h"
#include "capture/filter_rules.h"
#include "ui/notice.h"

int box_input_filter(UINT message, WPARAM wparam, HWND window, LPARAM lparam) {
    FilterInput in;
    in.message = message;
    in.wparam = wparam;
    in.window = reinterpret_cast<uintptr_t>(window);
    in.lparam = lparam;
    in.main_window = reinterpret_cast<uintptr_t>(g_app.main_window);
    in.box_window = reinterpret_cast<uintptr_t>(g_app.capture.box_window);
    in.pick_state = g_app.capture.pick_state;
    in.aspect = g_app.aspect;
    in.capture_flags = g_app.capture.capture_flags;
    FilterAction action = filter_decide(in);

    g_app.capture.capture_flags ^= action.toggle_flags;
    HWND to = action.target == FilterTarget::kMain  ? g_app.main_window
              : action.target == FilterTarget::kBox ? g_app.capture.box_window
                                                    : nullptr;
    if (to) PostMessageA(to, action.message, action.wparam, action.lparam);
    if (action.keyboard_help)
        show_keyboard_help(g_app.capture.box_window ? g_app.capture.box_window : g_app.main_window);
    return action.handled ? 1 : 0;
}
