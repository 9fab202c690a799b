// Path handling for Shift_JIS paths: a trail byte of a double-byte
// character can be 0x5C, so backslashes are found character by character.
// The same holds for every other byte from 0x40 up ("[", "]", "@" ...).
#pragma once

#include <cstddef>

// 1 for a CP932 lead byte (0x81-0x9F, 0xE0-0xFC).
int sjis_is_lead_byte(unsigned char c);
// The start of the last character of [start, end), stepping over
// double-byte characters from `start`; null for an empty range. A lead byte
// whose trail would lie at or past `end` counts as a character of its own.
const char* sjis_last_char(const char* start, const char* end);
// The last character of [start, end) that is the single byte `c` (never the
// second byte of a double-byte character), or null.
const char* sjis_find_last(const char* start, const char* end, char c);
// The n-th last character of [start, end) that is the single byte `c`
// (n = 1: the last), or null when there are fewer than n.
const char* sjis_find_nth_last(const char* start, const char* end, char c, int n);
// The last backslash that is a character of its own, or null.
const char* sjis_last_backslash(const char* path);
// Replaces everything after the last backslash of `path` by `name`, in
// place within `size` bytes. 0 when there is no backslash or it does not fit.
int path_replace_file_name(char* path, size_t size, const char* name);
// Appends `tail` within `size` bytes; 0 (path unchanged) when it does not fit.
int path_append(char* path, size_t size, const char* tail);
