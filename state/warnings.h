// Warning and question boxes with the program's caption.
#pragma once

#include "sys/handles.h"

// Beep, then the numbered message with the warning icon. The owner may be
// null. Returns what the message box returns.
int show_warning(WindowHandle owner, int number);
// text + "\nよろしいですか?" with Yes and No; 1 for Yes, 0 for No or when
// there is no memory for the text.
int confirm_yes_no(WindowHandle owner, const char* text);
