// Lengths that the program draws or measures itself, at a window's DPI.
// The figures in the code are for 96 DPI (100 %); at 96 they stay as they
// are.
#pragma once

constexpr int kBaseDpi = 96;

// `value`, a length at DPI `from`, at DPI `to`, rounded to the nearest pixel,
// halves away from zero; unchanged when either DPI is not known (0 or less).
int scale_between_dpis(int value, int from, int to);
// `value` (a length at 96 DPI) at `dpi`. A DPI that is not known counts as 96.
inline int scale_for_dpi(int value, int dpi) { return scale_between_dpis(value, kBaseDpi, dpi); }

// The side of the program's small icons at `dpi`: 16 at 96, 20 at 120, 24
// at 144, 32 at 192.
int icon_size_for_dpi(int dpi);
