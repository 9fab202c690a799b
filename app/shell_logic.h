// Decisions of the resident shell, apart from the window system: what a
// start does with its command line, the "/open"-"/close" count, linked
// applications and tray clicks.
#pragma once

#include <cstdint>

#include "state/app_state.h"
#include "state/window_messages.h"

enum class StartAction {
    kPostOpen,    // a copy runs: forward "/open" and exit
    kPostClose,   // a copy runs: forward "/close" and exit
    kOpenReadme,  // show the read-me and exit
    kExit,        // nothing to do
    kRunOpened,   // start, with open_count 1
    kRun,         // start normally
};

// Switches are substrings, tested in the order "/open", "/close", "/first".
StartAction start_action(bool copy_running, const char* command_line);

// "/open": one more outstanding request.
void open_request(AppState* app);
// "/close": returns 1 when the count reached 0 now and the program must end.
int close_request(AppState* app);

// A linked application registers (message != 0) or unlinks (message 0).
// Returns the result the sender gets: 1 taken, 0 refused.
int link_app(AppState* app, WindowHandle window, uint32_t message, bool window_alive);

enum class TrayAction { kDefault, kStartCapture, kMenu };
// What a tray callback does for mouse message `mouse` (WM_LBUTTONUP 0x202,
// WM_RBUTTONUP 0x205) in the current capture state.
TrayAction tray_action(uint32_t capture_flags, uint32_t mouse);

// The hotkey is registered only when both settings are nonzero.
bool hotkey_wanted(int vk, int modifiers);
