// The clipboard's text (CF_TEXT) as the outputs and the text edit use it.
#pragma once

#include <windows.h>

// A heap copy (std::free) of the clipboard's text, read only within the
// data's own block (a text without its NUL is cut at the block's end); null
// when there is none or it is empty. *opened is 0 when the clipboard could
// not be opened.
char* clipboard_copy_text(HWND owner, int* opened);

// Replaces the clipboard's content by `text` as CF_TEXT. 0 on success,
// else the number of the message to show: 14 when the clipboard cannot be
// opened, 20 when there is no memory for the text.
int clipboard_put_text(HWND owner, const char* text);
