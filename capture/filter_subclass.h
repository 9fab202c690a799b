// Controls of the coordinate boxes are subclassed so that the selection
// input filter sees their keys and mouse buttons too. There are thirteen
// slots, one per subclass procedure, each remembering its control's
// previous procedure.
#pragma once

#include <windows.h>

constexpr int kFilterSubclassSlots = 13;

// Subclasses `control` with the procedure of the first free slot. 1 on
// success, 0 when the control is missing or every slot is taken.
int filter_subclass_install(HWND control);
// Gives every subclassed control its previous procedure back and frees
// all slots (the box does this when it closes).
void filter_subclass_restore_all();
