// The settings file: an INI file read and written key by key.
//
// On Windows these are exactly GetPrivateProfileStringA and
// WritePrivateProfileStringA. The portable version keeps their observable
// behaviour for what the program does: a missing file, section or key gives
// the default; every read sees the last write (nothing is cached); section
// and key names match without regard to ASCII case; values lose surrounding
// blanks and one pair of enclosing quotes.
#pragma once

// Copies the value (or `def`) into `out` of `size` bytes, cut to size - 1
// characters and NUL-terminated; returns the number of characters copied.
int profile_get_string(const char* section, const char* key, const char* def, char* out,
                       int size, const char* path);

// Writes key=value into the section, adding the file, the section or the key
// as needed. Returns 1 on success, 0 on failure.
int profile_write_string(const char* section, const char* key, const char* value,
                         const char* path);
