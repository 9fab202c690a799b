// Lengths at a window's DPI.
#include <gtest/gtest.h>

#include <tuple>

#include "ui/dpi_scale.h"

TEST(DpiScale, LengthsAtTheCommonScales) {
    for (auto [value, dpi, scaled] : std::initializer_list<std::tuple<int, int, int>>{
             {12, 96, 12},  {12, 120, 15}, {12, 144, 18}, {12, 192, 24},  // the hint's font
             {5, 120, 6},   {5, 144, 8},   {3, 144, 5},   {1, 120, 1},    // halves round up
             {-20, 144, -30}, {-5, 144, -8},                              // and away from zero
             {60, 0, 60},   {60, -1, 60},                                 // DPI unknown: as at 96
             {1 << 24, 192, 1 << 25},                                     // no overflow on the way
         })
        EXPECT_EQ(scale_for_dpi(value, dpi), scaled) << value << " at " << dpi;
}
