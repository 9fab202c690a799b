// The two coordinate boxes: small modal dialogs (no owner, so that the
// overlay keeps its input) that show a corner's coordinates, the colour
// under it and the constraints, nudge it, switch modes and end with a
// result that tells the overlay what to do next.
#pragma once

#include <cstdint>

#include "state/app_state.h"
#include "sys/handles.h"

// Runs the box of `corner` (the large template with Flags 0x40) and
// returns its result: TopLeftBoxResult or BottomRightBoxResult values.
int coordinate_box_run(PickState corner);

// Puts a colour sample on the clipboard: `text` (at most 15 characters) as
// CF_TEXT and an 8x8 picture of `colour` as CF_DIB. 0 when both are there,
// else the number of the message to show: 14 when the clipboard cannot be
// opened, 20 when the text cannot be put there, 7 when the picture cannot.
int copy_colour_sample(WindowHandle owner, const char* text, uint32_t colour);
