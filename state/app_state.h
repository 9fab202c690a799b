// The one process-wide state record. Everything runs on one thread, so the
// window procedures read and write it directly.
#pragma once

#include <cstdint>

#include "sys/handles.h"
#include "sys/memblock.h"

// The grabbed screen picture (image/dib.h has the layout).
typedef MemBlock PackedDib;
struct DibHeader;

constexpr int kPathSize = 256;
constexpr int kBoxIconCount = 8;

// capture_flags: run-time state of capture mode, never saved.
enum CaptureFlag : uint32_t {
    kCaptureActive = 0x1,          // overlay shown
    kCaptureBoxOpen = 0x2,         // a coordinate box is open
    kCaptureOpenTopLeftBox = 0x4,  // open the top-left box at the next cursor update
    kCaptureOpenBottomRightBox = 0x8,
    kCaptureFixed = 0x10,          // moving the bottom-right corner moves the rectangle
    kCaptureAspectReleased = 0x20,
    kCaptureHorizontal = 0x40,     // wheel and direction indicator work left/right
    kCaptureExternalEdit = 0x100,  // the scrap editor runs the editor program
    kCaptureMenuOpen = 0x200,      // the tray menu is open
};

// Flags: the saved option bits (System/Flags).
enum OptionFlag : uint32_t {
    kFlagAutoOpenBox = 0x4,
    kFlagPrimaryOnly = 0x8,
    kFlagCoverMode = 0x20,
    kFlagLargeBoxes = 0x40,
    kFlagOutputClipboard = 0x80,
    kFlagOutputFile = 0x100,
    kFlagOutputBase64 = 0x200,
    kFlagSeparateBoxRects = 0x400,
    kFlagUseClipboardText = 0x800,
    kFlagTextRight = 0x1000,
    kFlagTextLeft = 0x2000,
    kFlagBase64ToScrap = 0x4000,
    kFlagFirstRunDone = 0x8000,
};
constexpr int kDefaultFlags = 1156;

// Direction codes shared by corner moves and the box arrow buttons.
enum Direction : int32_t {
    kDirUp = 1000,
    kDirDown = 1001,
    kDirLeft = 1002,
    kDirRight = 1003,
};

// Which corner the overlay is choosing.
enum PickState : int32_t {
    kPickNothing = 0,  // overlay shown, no corner placed yet
    kPickTopLeft = 1,
    kPickBottomRight = 2,
};

// Capture mode: the grabbed picture, the corners and the overlay's mouse
// state. The picture stays locked from the start of a capture to its end;
// capture_release_screen gives it back.
struct CaptureState {
    PixelRect screen_rect = {};  // grabbed and covered area, desktop coordinates
    PackedDib screen_image = nullptr;
    DibHeader* screen_header = nullptr;  // the locked picture
    uint8_t* screen_bits = nullptr;
    int screen_stride = 0;
    uint32_t capture_flags = 0;  // CaptureFlag bits
    PickState pick_state = kPickNothing;
    PixelPoint top_left = {};  // corners, inclusive, image coordinates
    PixelPoint bottom_right = {};
    int move_direction = kDirRight;
    WindowHandle draw_window = nullptr;
    WindowHandle box_window = nullptr;  // the open coordinate box
    uintptr_t click_timer = 0;
    PixelPoint press_point = {};
    int dragging = 0;
    PixelPoint drag_last = {};
    PixelRect overlay_rect = {};
    // A start or an output is under way; both can run the message pump
    // (resizing a picture), which must not start a second one.
    int busy = 0;
    // The colour under the open box's corner (COLORREF).
    uint32_t picked_colour = 0;
    // Where capture_release_screen puts the picture: the screen grab keeps
    // it for the next capture. Null: the picture is freed.
    void (*take_back_screen)(PackedDib picture) = nullptr;
};

// Capture flag bits that hold while something runs (the tray menu, the
// external edit): set for the scope and cleared when it ends, however it
// ends.
class CaptureFlagsHeld {
public:
    CaptureFlagsHeld(CaptureState* capture, uint32_t bits) : capture_(capture), bits_(bits) {
        capture_->capture_flags |= bits_;
    }
    ~CaptureFlagsHeld() { capture_->capture_flags &= ~bits_; }
    CaptureFlagsHeld(const CaptureFlagsHeld&) = delete;
    CaptureFlagsHeld& operator=(const CaptureFlagsHeld&) = delete;

private:
    CaptureState* capture_;
    uint32_t bits_;
};

// A start or an output under way (CaptureState::busy) for the scope, and
// over when it ends, however it ends: one that ran out of memory must not
// refuse every later capture.
class CaptureBusy {
public:
    explicit CaptureBusy(CaptureState* capture) : capture_(capture) { capture_->busy = 1; }
    ~CaptureBusy() { capture_->busy = 0; }
    CaptureBusy(const CaptureBusy&) = delete;
    CaptureBusy& operator=(const CaptureBusy&) = delete;

private:
    CaptureState* capture_;
};

// Unlocks the grabbed picture, if any, and hands it to take_back_screen
// (or frees it): the one way capture mode gives it back (its end, and the
// main window's destruction).
void capture_release_screen(CaptureState* capture);

struct AppState {
    // Shell handles.
    InstanceHandle instance = nullptr;
    WindowHandle main_window = nullptr;
    IconHandle tray_icon = nullptr;
    int hotkey_id = 0;
    IconHandle box_icons[kBoxIconCount] = {};
    int box_icon_side = 0;  // the side box_icons were loaded at; 0: none yet

    // Paths (Shift_JIS, NUL-terminated).
    char data_folder[kPathSize] = {};
    char ini_path[kPathSize] = {};
    char scrap_folder[kPathSize] = {};

    // Settings kept in memory.
    int flags = kDefaultFlags;
    int aspect = 0;
    int fixed_width = 0;
    int scaling_percent = 100;
    uint32_t background_colour = 0;  // COLORREF: red in the low byte
    int square = 0;

    CaptureState capture;

    // Linking.
    WindowHandle linked_window = nullptr;
    uint32_t linked_message = 0;
    int open_count = 0;

    // Menu guard.
    int menu_dismissed = 0;
    uint32_t menu_dismiss_tick = 0;

    // Tooltip hints: off while a menu or a small dialog of a box is up.
    int hints_enabled = 1;
};

extern AppState g_app;
