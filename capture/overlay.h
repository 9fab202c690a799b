// Capture mode on the main window: start and end, and the window messages
// of the overlay. The selection logic itself is in capture/selection.h.
#pragma once

#include <windows.h>

#include "state/app_state.h"

// UM_START_CAPTURE.
void capture_start(HWND window);
// UM_END_CAPTURE and every other end of capture mode: gives the grabbed
// picture back and hides the overlay.
void capture_end();

// The overlay's handlers of the main window's messages.
// WM_SETCURSOR: true when handled, with the result in *result; false for
// the default processing (a box is open).
bool overlay_set_cursor(LRESULT* result);
void overlay_paint(HWND window);
// WM_MOUSEACTIVATE; the default processing follows.
void overlay_mouse_activate(HWND window, LPARAM lparam);
// A click decides the corner, or with a box open starts the click timer.
void overlay_left_button_down(HWND window);
void overlay_left_button_up();
void overlay_mouse_move(HWND window);
// WM_RBUTTONUP: runs the coordinate box of the corner being chosen.
void overlay_right_button_up();
// WM_TIMER: true when it was the click timer.
bool overlay_timer(HWND window, WPARAM id);

// The coordinate boxes plug in here: runs the box for the corner being
// chosen (1 top-left, 2 bottom-right) and returns its result, or
// kNoBoxResult when no box can be shown.
typedef int (*BoxRunner)(PickState corner);
constexpr int kNoBoxResult = -100;
void overlay_set_box_runner(BoxRunner runner);
