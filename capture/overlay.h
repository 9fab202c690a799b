// Capture mode on the main window: start and end, and the window messages
// of the overlay. The selection logic itself is in capture/selection.h.
#pragma once

#include <windows.h>

#include "state/app_state.h"

// Makes `window` (the main window) the overlay: the selection draws on it
// from now on, before any message can ask for a move.
void capture_attach(HWND window);
// UM_START_CAPTURE; refused while a capture, the tray menu, or a start or
// an output is under way.
void capture_start(HWND window);
// UM_END_CAPTURE and every other end of capture mode: gives the grabbed
// picture back and hides the overlay.
void capture_end();

// The overlay's handlers of the main window's messages.
// WM_SETCURSOR: true when handled, with the result in *result; false for
// the default processing (a box is open).
bool overlay_set_cursor(LRESULT* result);
void overlay_paint(HWND window);
// WM_DPICHANGED: the overlay keeps covering every monitor, whatever their
// DPI (the rectangle the system suggests would fit it to one), and is
// painted again, its marks at the new size.
void overlay_dpi_changed(HWND window);
// A click decides the corner. With a box open (the overlay is then
// inactive, so the click also brings WM_MOUSEACTIVATE, which does not count)
// one click moves the corner there and a second within the click time acts
// as the box's OK.
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
