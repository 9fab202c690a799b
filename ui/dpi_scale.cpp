#include "ui/dpi_scale.h"

#include <cstdint>

int scale_between_dpis(int value, int from, int to) {
    if (from <= 0 || to <= 0 || from == to) return value;
    const int64_t scaled = int64_t(value) * to;
    const int64_t half = from / 2;
    return int(scaled >= 0 ? (scaled + half) / from : -((-scaled + half) / from));
}

int icon_size_for_dpi(int dpi) { return scale_for_dpi(16, dpi); }
