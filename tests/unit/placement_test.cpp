// Placing windows at the cursor and back at saved rectangles.
#include <gtest/gtest.h>

#include "ui/placement.h"

namespace {

const PixelRect kMonitor = {0, 0, 1920, 1080};
const PixelRect kRightMonitor = {1920, 0, 3840, 1080};

TEST(PlaceAtCursor, CentresAndPullsInsideTheMonitor) {
    struct Case {
        const char* what;
        PixelRect window;  // only the size counts
        PixelPoint cursor;
        PixelRect monitor;
        PixelPoint at;
    };
    const Case cases[] = {
        {"centred", {5, 5, 105, 55}, {500, 400}, kMonitor, {450, 375}},
        {"odd size truncates", {0, 0, 101, 51}, {500, 400}, kMonitor, {450, 375}},
        {"near the right edge flush", {0, 0, 200, 100}, {1900, 500}, kMonitor, {1720, 450}},
        {"near the left edge", {0, 0, 200, 100}, {10, 500}, kMonitor, {0, 450}},
        {"near the top", {0, 0, 200, 100}, {500, 3}, kMonitor, {400, 0}},
        {"near the bottom flush", {0, 0, 200, 100}, {500, 1079}, kMonitor, {400, 980}},
        {"wider than the monitor: left edge", {0, 0, 2500, 100}, {1000, 500}, kMonitor, {0, 450}},
        {"taller than the monitor: bottom edge", {0, 0, 100, 1500}, {500, 500}, kMonitor,
         {450, -420}},
        {"second monitor, right edge", {0, 0, 300, 100}, {3830, 500}, kRightMonitor, {3540, 450}},
        {"second monitor, left edge", {0, 0, 300, 100}, {1925, 500}, kRightMonitor, {1920, 450}},
        {"monitor above the origin", {0, 0, 100, 100}, {50, -1070}, {0, -1080, 1920, 0},
         {0, -1080}},
    };
    for (const Case& c : cases) {
        PixelPoint at = placement_at_cursor(c.window, c.cursor, c.monitor);
        EXPECT_EQ(at.x, c.at.x) << c.what;
        EXPECT_EQ(at.y, c.at.y) << c.what;
    }
}

TEST(PlaceSaved, KeepsTheSavedCornerInsideTheMonitor) {
    struct Case {
        const char* what;
        PixelRect saved;
        PixelRect monitor;
        PixelPoint at;
    };
    const Case cases[] = {
        {"inside stays", {100, 200, 300, 260}, kMonitor, {100, 200}},
        {"past the right edge", {1800, 200, 2000, 260}, kMonitor, {1720, 200}},
        {"past the bottom edge", {100, 1050, 300, 1110}, kMonitor, {100, 1020}},
        {"left of the monitor", {-50, 200, 150, 260}, kMonitor, {0, 200}},
        {"above the monitor", {100, -30, 300, 30}, kMonitor, {100, 0}},
        // Unlike placement at the cursor, the top edge wins here.
        {"taller than the monitor: top edge", {100, 100, 300, 1500}, kMonitor, {100, 0}},
        {"wider than the monitor: left edge", {100, 100, 2100, 160}, kMonitor, {0, 100}},
        {"on the second monitor", {3700, 10, 3900, 70}, kRightMonitor, {3640, 10}},
        // A damaged value must not overflow on its way in.
        {"extreme values", {-2147483647, -2147483647, 2147483647, 2147483647}, kMonitor, {0, 0}},
    };
    for (const Case& c : cases) {
        PixelPoint at = placement_saved(c.saved, c.monitor);
        EXPECT_EQ(at.x, c.at.x) << c.what;
        EXPECT_EQ(at.y, c.at.y) << c.what;
    }
}

TEST(PlaceSaved, RectanglesWithoutAreaMeanNoSavedPosition) {
    EXPECT_TRUE(placement_rect_empty(PixelRect{0, 0, 0, 0}));
    EXPECT_TRUE(placement_rect_empty(PixelRect{10, 20, 10, 40}));
    EXPECT_TRUE(placement_rect_empty(PixelRect{10, 20, 30, 20}));
    EXPECT_TRUE(placement_rect_empty(PixelRect{30, 20, 10, 40}));
    EXPECT_FALSE(placement_rect_empty(PixelRect{10, 20, 30, 40}));
    EXPECT_FALSE(placement_rect_empty(PixelRect{-30, -20, -10, -5}));
}

}  // namespace
