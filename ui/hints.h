// Hints: the program's own tooltips. A dialog attaches its table when it
// opens; a process-wide 100 ms timer then shows a control's hint in a small
// "NR ToolHint" window once the pointer has rested on it for 1.2 s.
#pragma once

#include <windows.h>

struct HintEntry {
    int control;
    const char* text;  // lines separated by "\n"
};

// `table` ends with an entry whose control is 0; it must outlive the
// dialog. The dialog that attached last owns the hints.
void attach_hints(HWND dialog, const HintEntry* table);
// Destroys a shown hint.
void hide_hint();
// A dialog with hints closes: hides the hint and, when it owns the hints,
// forgets its table.
void detach_hints(HWND dialog);

// No hint shows while a menu, a chooser or a small dialog of a window runs:
// hints are off for the scope and on again when it ends, however it ends.
class HintsOff {
public:
    HintsOff();
    ~HintsOff();
    HintsOff(const HintsOff&) = delete;
    HintsOff& operator=(const HintsOff&) = delete;
};
