// Path handling for Shift_JIS paths: a trail byte of a double-byte
// character can be 0x5C, so backslashes are found character by character.
#pragma once

#include <cstddef>

// 1 for a CP932 lead byte (0x81-0x9F, 0xE0-0xFC).
int sjis_is_lead_byte(unsigned char c);
// The last backslash that is a character of its own, or null.
const char* sjis_last_backslash(const char* path);
// Replaces everything after the last backslash of `path` by `name`, in
// place within `size` bytes. 0 when there is no backslash or it does not fit.
int path_replace_file_name(char* path, size_t size, const char* name);
// Appends `tail` within `size` bytes; 0 (path unchanged) when it does not fit.
int path_append(char* path, size_t size, const char* tail);
