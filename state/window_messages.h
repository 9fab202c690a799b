// Every custom window message and timer of the program's windows.
#pragma once

#include <cstdint>

constexpr uint32_t kWmUser = 0x0400;

constexpr uint32_t UM_START_CAPTURE = kWmUser + 22;        // 1046
constexpr uint32_t UM_OUTPUT = kWmUser + 28;               // 1052
constexpr uint32_t UM_END_CAPTURE = kWmUser + 29;          // 1053
constexpr uint32_t UM_TOGGLE_FIXED = kWmUser + 32;         // 1056
constexpr uint32_t UM_MOVE_CORNER = kWmUser + 41;          // 1065
constexpr uint32_t UM_BOX_REFRESH = kWmUser + 47;          // 1071
constexpr uint32_t UM_ADVANCE = kWmUser + 52;              // 1076
constexpr uint32_t UM_RCLICK_CONTROL = kWmUser + 55;       // 1079
constexpr uint32_t UM_SET_SIZE = kWmUser + 57;             // 1081
constexpr uint32_t UM_RCLICK_OVERLAY = kWmUser + 58;       // 1082
constexpr uint32_t UM_SCRAP_EXTERNAL_EDIT = kWmUser + 59;  // 1083
constexpr uint32_t UM_LINK_APP = kWmUser + 79;             // 1103
constexpr uint32_t UM_TRAY = kWmUser + 100;                // 1124
constexpr uint32_t UM_OPEN = kWmUser + 101;                // 1125
constexpr uint32_t UM_CLOSE = kWmUser + 102;               // 1126
// A window lays itself out again after the system scaled it for a new DPI.
constexpr uint32_t UM_DPI_LAYOUT = kWmUser + 103;          // 1127

// Timers.
constexpr uintptr_t kClickTimerId = 120;  // main window, during a capture
constexpr uint32_t kClickTimerMs = 500;
// Main window, armed when a capture ends: the kept screen memory goes when
// it fires (System/RestSeconds, 1 to 3600; tests shorten it).
constexpr uintptr_t kRestTimerId = 121;
constexpr int kRestSeconds = 60;
constexpr uintptr_t kPopupTimerId = 1;    // aspect popup and notice dialog
constexpr uint32_t kPopupTimerMs = 500;
constexpr uint32_t kHintTimerMs = 100;    // tooltip hints (thread timer)

// The global hotkey's id while registered.
constexpr int kHotkeyId = 322;

// The main window's class name; a running copy is found by it.
extern const char kMainClassName[];
