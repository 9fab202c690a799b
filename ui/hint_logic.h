// The hints' timing and placement, apart from the window system: when a
// hint shows, goes, or moves to the next control, where its window goes,
// and how its text splits into lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sys/handles.h"

constexpr uint32_t kHintRestMs = 1200;
constexpr int kHintTolerance = 2;   // pixels in x and in y
constexpr int kHintMargin = 3;      // inside the border, every side
constexpr int kHintGap = 6;         // beyond half the control's height
constexpr int kHintMaxLines = 40;

// What the hinting keeps between ticks (coordinates: the owner dialog's
// client area).
struct HintClock {
    int index = -1;           // the entry shown, -1 while waiting
    uint32_t rest_start = 0;  // ms
    PixelPoint rest = {};
};

// One tick's view of the world.
struct HintInput {
    bool enabled;      // hints_enabled
    bool button_down;  // left or right mouse button
    uint32_t now;      // ms since system start
    PixelPoint cursor; // owner client coordinates
    // The first entry whose rectangle holds the cursor (-1: none), and
    // whether the window under the cursor is that control or the owner.
    int hit;
    bool uncovered;
    // The shown entry's rectangle holds the cursor.
    bool inside_shown;
};

struct HintStep {
    bool hide;  // destroy the shown hint
    int show;   // entry to show, -1 for none
};

// Starts waiting afresh at `cursor` (a table was attached).
void hint_restart(HintClock* clock, uint32_t now, PixelPoint cursor);
HintStep hint_tick(HintClock* clock, const HintInput& in);

// The hint text's lines: split at "\n", at most 40; an empty line between
// others counts, an empty last one after a final "\n" does not.
std::vector<std::string> hint_lines(const char* text);

// Where a hint of width x height goes for a control at `rect` (owner
// client coordinates): centred under it, or above when it would pass the
// monitor's bottom; pulled left onto the monitor. `origin` is the client
// area's top-left on the screen; the result is in screen coordinates. `gap`
// is kHintGap at the owner's DPI.
PixelPoint hint_position(const PixelRect& rect, int width, int height, PixelPoint origin,
                         const PixelRect& monitor, int gap = kHintGap);
