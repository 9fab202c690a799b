// What the selection input filter does with one message, apart from the
// window system: which request it posts to whom, which mode bits it flips,
// whether the keyboard help opens and whether the caller stops there.
#pragma once

#include <cstdint>

// Window messages and virtual keys the filter looks at (the Win32 values).
constexpr uint32_t kMsgKeyUp = 0x0101;
constexpr uint32_t kMsgCommand = 0x0111;
constexpr uint32_t kMsgRButtonUp = 0x0205;
constexpr uint32_t kMsgMButtonUp = 0x0208;
constexpr uint32_t kMsgMouseWheel = 0x020A;
// An older wheel message some mouse drivers send; treated as the wheel.
constexpr uint32_t kMsgOldWheel = 0xCE00;

constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kVkSpace = 0x20;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkUp = 0x26;
constexpr uint32_t kVkRight = 0x27;
constexpr uint32_t kVkDown = 0x28;
constexpr uint32_t kVkApps = 0x5D;
constexpr uint32_t kVkNumpad0 = 0x60;
constexpr uint32_t kVkNumpad1 = 0x61;
constexpr uint32_t kVkNumpad9 = 0x69;
constexpr uint32_t kVkMultiply = 0x6A;
constexpr uint32_t kVkAdd = 0x6B;
constexpr uint32_t kVkSubtract = 0x6D;
constexpr uint32_t kVkF1 = 0x70;
constexpr uint32_t kVkSlash = 0xBF;  // "/" or "?" on most layouts

// One step of a corner move, and "reverse the last direction".
constexpr intptr_t kMoveOneStep = 0;
constexpr intptr_t kMoveReverse = -1;

struct FilterInput {
    uint32_t message;
    uintptr_t wparam;
    uintptr_t window;  // the window the message arrived at
    intptr_t lparam;
    uintptr_t main_window;
    uintptr_t box_window;  // 0 when no box is open
    int pick_state;
    int aspect;
    uint32_t capture_flags;
};

enum class FilterTarget { kNone, kMain, kBox };

struct FilterAction {
    bool handled;          // the caller returns at once
    FilterTarget target;   // where `message` is posted, if anywhere
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
    uint32_t toggle_flags;  // capture_flags bits to flip
    bool keyboard_help;     // open the keyboard help (box as owner if open)
};

FilterAction filter_decide(const FilterInput& in);

// The wheel's corner move: count 1..9 from a delta in units of 120, and a
// direction along the current wheel axis.
int filter_wheel_count(int delta);
int filter_wheel_direction(int delta, uint32_t capture_flags);
