// Capture mode on the main window: start and end, and the window messages
// of the overlay. The selection logic itself is in capture/selection.h.
#pragma once

#include <windows.h>

// UM_START_CAPTURE.
void start_capture(HWND window);
// Leaves capture mode: frees the grabbed image and hides the overlay.
void end_capture();

// The overlay's share of the main window procedure. Returns true when the
// message was handled, with the result in *result.
bool overlay_handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                            LRESULT* result);

// The coordinate boxes plug in here: runs the box for the corner being
// chosen (1 top-left, 2 bottom-right) and returns its result, or
// kNoBoxResult when no box can be shown.
typedef int (*BoxRunner)(int corner);
constexpr int kNoBoxResult = -100;
void overlay_set_box_runner(BoxRunner runner);
