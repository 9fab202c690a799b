// Lengths at a window's DPI.
#include <gtest/gtest.h>

#include <utility>

#include "ui/dpi_scale.h"

namespace {

TEST(DpiScale, LengthsAndIconSidesAtTheCommonScales) {
    struct Row {
        int value, dpi, scaled;
    };
    const Row rows[] = {
        {12, 96, 12},  {12, 120, 15}, {12, 144, 18}, {12, 192, 24},  // the hint's font
        {5, 120, 6},   {5, 144, 8},   {3, 144, 5},   {1, 120, 1},    // halves round up
        {-20, 144, -30}, {-5, 144, -8},                              // and away from zero
        {60, 0, 60},   {60, -1, 60},                                 // DPI unknown: as at 96
        {1 << 24, 192, 1 << 25},                                     // no overflow on the way
    };
    for (const Row& r : rows)
        EXPECT_EQ(scale_for_dpi(r.value, r.dpi), r.scaled) << r.value << " at " << r.dpi;
    for (auto [dpi, side] : {std::pair{96, 16}, {120, 20}, {144, 24}, {192, 32}})
        EXPECT_EQ(icon_size_for_dpi(dpi), side) << dpi;
}

}  // namespace
