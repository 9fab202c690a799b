// The selection state machine of a capture: corners, moves, constraints
// and the order of the redraw steps. It works on g_app and reaches the
// screen, the cursor and the message queue only through SelectionOps, so
// the whole logic runs (and is tested) without the window system.
//
// Corners and cursor positions are image coordinates: image pixel (0, 0)
// is the top-left pixel of screen_rect, whatever the desktop origin.
#pragma once

#include <cstdint>

#include "image/dib.h"
#include "sys/handles.h"

struct SelectionOps {
    void (*draw_crosshair)(PixelPoint p);
    void (*draw_frame)(PixelPoint tl, PixelPoint br);
    void (*draw_magnifier)(PixelPoint p);
    void (*restore_magnifier)(PixelPoint p);
    void (*paint_cover_top_left)(PixelPoint p);
    void (*paint_cover_rect)(PixelPoint tl, PixelPoint br);
    // The cursor's position; false while it is unknown (a locked or secure
    // desktop), when the step that wanted it is skipped.
    bool (*cursor)(PixelPoint* p);
    void (*set_cursor)(PixelPoint p);
    void (*hide_cursor)();
    bool (*shift_down)();
    // Posts to the main window, or to the open box (nothing when none).
    void (*post_main)(uint32_t message, uintptr_t wparam, intptr_t lparam);
    void (*post_box)(uint32_t message, uintptr_t wparam, intptr_t lparam);
};

void selection_set_ops(const SelectionOps* ops);

// Standard window messages the logic posts.
constexpr uint32_t kWmCommand = 0x0111;
constexpr uint32_t kWmRButtonUp = 0x0205;

// screen_rect moved to the image origin: (0, 0, width, height).
PixelRect selection_bounds();
bool selection_box_open();
bool selection_cover_mode();

// Start of a capture: corners from the saved position and size, the
// top-left clamped into the screen. The caller puts the cursor on top_left.
void selection_begin();

// What section Window keeps of a selection for the next capture's start.
struct SelectionValues {
    int x;  // top-left corner
    int y;
    int w;  // pixel size minus one
    int h;
};
SelectionValues selection_values(PixelPoint top_left, PixelPoint bottom_right);
// Writes them as x, y, w and h.
void selection_save_corners(PixelPoint top_left, PixelPoint bottom_right);

// Width:height of an aspect setting: 1 with the ratio, 0 for no constraint,
// -1 for a custom value with a zero side (every movement is refused).
int aspect_ratio(int aspect, int* w, int* h);
int aspect_adjust(PixelPoint* p);

void selection_apply_top_left(PixelPoint p);
void selection_apply_corners(PixelPoint tl, PixelPoint br);

// WM_SETCURSOR while capturing with no box open.
void selection_track_cursor();
// UM_ADVANCE.
void selection_advance();
// UM_MOVE_CORNER.
void selection_move_corner(int count, int direction);
// UM_SET_SIZE; 1.
int selection_set_size(int dw, int dh);
// UM_TOGGLE_FIXED.
void selection_toggle_fixed();
// A drag step of d pixels (press-and-hold with a box open).
void selection_drag_by(PixelPoint d);

// The overlay's left button while a box is open. The overlay is inactive
// then: one physical click brings WM_MOUSEACTIVATE and WM_LBUTTONDOWN, and
// only the button press counts. A press starts the click timer; a second
// press before it runs out acts as the box's OK; when it runs out, a held
// button starts a drag, a released one moves the corner to the cursor.
enum class ClickAction {
    kNone,
    kStartTimer,  // set the click timer
    kBoxOk,       // kill the timer, post OK to the box
    kAdvance,     // post UM_ADVANCE (the corner goes to the cursor)
    kStartDrag,
};
ClickAction selection_click_press(PixelPoint at);
ClickAction selection_click_timer(bool button_down);
// A pointer move while the timer runs: a held button that left the press
// point by more than two pixels starts a drag at once.
ClickAction selection_click_move(PixelPoint at, bool button_down);
// Ends a pending click and a drag: they belong to the box or the capture
// that was there when they began. (A timer message still in the queue is
// then ignored.)
void selection_click_stop();

// What the coordinate boxes end with (other values are ignored).
enum TopLeftBoxResult : int {
    kTopLeftBoxCancel = -1,       // end the capture without output
    kTopLeftBoxKeepChoosing = 0,  // closed: go on with the mouse
    kTopLeftBoxDecided = 1,       // the top-left corner is decided
};
enum BottomRightBoxResult : int {
    kBottomRightBoxCancel = -1,
    kBottomRightBoxBackToTopLeft = 0,
    kBottomRightBoxKeepChoosing = 1,
    kBottomRightBoxOutput = 2,  // the rectangle is decided
};

// What the overlay does with the boxes' results.
void selection_top_left_box_result(TopLeftBoxResult result);
void selection_bottom_right_box_result(BottomRightBoxResult result);
