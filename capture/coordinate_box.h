// The two coordinate boxes: small modal dialogs (no owner, so that the
// overlay keeps its input) that show a corner's coordinates, the colour
// under it and the constraints, nudge it, switch modes and end with a
// result that tells the overlay what to do next.
#pragma once

#include "state/app_state.h"

// Runs the box of `corner` (the large template with Flags 0x40) and
// returns its result: TopLeftBoxResult or BottomRightBoxResult values.
int coordinate_box_run(PickState corner);
