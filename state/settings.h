// The settings store: typed reads and writes of tamble.ini (g_app.ini_path).
#pragma once

#include "sys/handles.h"

// Section names as they stand in the file.
extern const char kSectionSystem[];
extern const char kSectionWindow[];
extern const char kSectionOption[];
extern const char kSectionOutput[];
extern const char kSectionCustom[];

// atoi as the Windows runtime documents it: leading blanks, an optional
// sign, then digits; 0 when there is no number; saturated on overflow.
int settings_atoi(const char* text);
// A dialog's number field: the value of a text of digits only (capped far
// above any field's range), or -1 for anything else, the empty text too.
long long parse_unsigned(const char* text);

// Reads through a 16-byte buffer (15 characters seen) with the default
// printed as its text, then converts with settings_atoi.
int settings_read_int(const char* section, const char* key, int def);
void settings_write_int(const char* section, const char* key, int value);

// "left,top,right,bottom" in section Window; all zeros unless four
// comma-separated fields are there.
void settings_read_rect(const char* key, PixelRect* rect);
void settings_write_rect(const char* key, const PixelRect& rect);
// The rect rule on a text, for callers and tests.
void settings_parse_rect(const char* text, PixelRect* rect);

// Text keys: empty default, buffer size chosen by the caller.
int settings_read_string(const char* section, const char* key, char* out, int size);
void settings_write_string(const char* section, const char* key, const char* value);

// Start-up normalisations of the kept values.
int settings_normalise_scaling(int percent);
int settings_normalise_square(int square);

// Loads Flags, Aspect, Width, Scaling, BackGroundColor and Square into g_app.
void settings_load_kept();
