#include "ui/dpi_scale.h"

#include <cstdint>

int scale_for_dpi(int value, int dpi) {
    if (dpi <= 0 || dpi == kBaseDpi) return value;
    const int64_t scaled = int64_t(value) * dpi;
    const int64_t half = kBaseDpi / 2;
    return int(scaled >= 0 ? (scaled + half) / kBaseDpi : -((-scaled + half) / kBaseDpi));
}

int icon_size_for_dpi(int dpi) { return scale_for_dpi(16, dpi); }
