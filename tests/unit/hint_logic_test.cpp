// The hints' timing with a made-up clock and pointer, their placement and
// their lines.
#include "ui/hint_logic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One tick over control 0, resting at (10, 10) unless told otherwise.
HintInput at(uint32_t now, PixelPoint p = PixelPoint{10, 10}, int hit = 0) {
    HintInput in{};
    in.enabled = true;
    in.now = now;
    in.cursor = p;
    in.hit = hit;
    in.uncovered = hit >= 0;
    return in;
}

TEST(HintTiming, RestDelayIsTwelveHundredMilliseconds) {
    HintClock c;
    hint_restart(&c, 0, PixelPoint{10, 10});
    EXPECT_EQ(hint_tick(&c, at(1100)).show, -1);
    EXPECT_EQ(hint_tick(&c, at(1199, PixelPoint{12, 8})).show, -1);  // within 2 pixels
    EXPECT_EQ(hint_tick(&c, at(1200)).show, 0);
    // Shown: moving inside the control keeps it.
    HintInput inside = at(1300, PixelPoint{40, 12});
    inside.inside_shown = true;
    const HintStep kept = hint_tick(&c, inside);
    EXPECT_FALSE(kept.hide);
    EXPECT_EQ(kept.show, -1);
}

TEST(HintTiming, MovesAndButtonsRestartTheWait) {
    HintClock c;
    hint_restart(&c, 0, PixelPoint{10, 10});
    hint_tick(&c, at(1000, PixelPoint{13, 10}));  // three pixels: the wait starts again
    EXPECT_EQ(hint_tick(&c, at(2100, PixelPoint{13, 10})).show, -1);
    EXPECT_EQ(hint_tick(&c, at(2200, PixelPoint{13, 10})).show, 0);
    // A held button hides the hint and restarts the wait.
    HintInput pressed = at(2300, PixelPoint{13, 10});
    pressed.button_down = true;
    EXPECT_TRUE(hint_tick(&c, pressed).hide);
    EXPECT_EQ(hint_tick(&c, at(3400, PixelPoint{13, 10})).show, -1);
    EXPECT_EQ(hint_tick(&c, at(3500, PixelPoint{13, 10})).show, 0);
    // Switched off (a menu is up): hidden, no hint until switched on again.
    HintInput off = at(3600, PixelPoint{13, 10});
    off.enabled = false;
    EXPECT_TRUE(hint_tick(&c, off).hide);
    EXPECT_EQ(hint_tick(&c, at(4700, PixelPoint{13, 10})).show, -1);
    EXPECT_EQ(hint_tick(&c, at(4800, PixelPoint{13, 10})).show, 0);
}

TEST(HintTiming, NextControlAtOnceNothingWhenCovered) {
    HintClock c;
    hint_restart(&c, 0, PixelPoint{10, 10});
    EXPECT_EQ(hint_tick(&c, at(1200)).show, 0);
    // Straight onto control 3: hidden and the next shown in the same tick.
    HintStep step = hint_tick(&c, at(1300, PixelPoint{60, 10}, 3));
    EXPECT_TRUE(step.hide);
    EXPECT_EQ(step.show, 3);
    // Off every control: hidden, and the wait starts where the pointer is.
    step = hint_tick(&c, at(1400, PixelPoint{90, 90}, -1));
    EXPECT_TRUE(step.hide);
    EXPECT_EQ(step.show, -1);
    // Another window over the control (or its dialog gone): no hint.
    HintInput covered = at(2700, PixelPoint{90, 90}, 1);
    covered.uncovered = false;
    EXPECT_EQ(hint_tick(&c, covered).show, -1);
    // Outside the dialog's client area (negative) never rests.
    hint_restart(&c, 0, PixelPoint{-5, 10});
    EXPECT_EQ(hint_tick(&c, at(5000, PixelPoint{-5, 10})).show, -1);
}

TEST(HintPlacement, BelowAboveAndPulledOntoTheMonitor) {
    const PixelRect monitor{0, 0, 1920, 1080};
    const PixelPoint origin{100, 200};
    // A 40 x 20 control at (10, 10): centre line at 20; below at 20 + 10 + 6.
    PixelPoint p = hint_position(PixelRect{10, 10, 50, 30}, 60, 18, origin, monitor);
    EXPECT_EQ(p.x, 100 + 30 - 30);
    EXPECT_EQ(p.y, 200 + 20 + 16);
    // Near the bottom: above the control.
    p = hint_position(PixelRect{10, 840, 50, 860}, 60, 18, origin, monitor);
    EXPECT_EQ(p.y, 200 + 850 - 16 - 18);
    // The bottom limit: yc + height + d must stay below the monitor's bottom.
    p = hint_position(PixelRect{10, 835, 50, 855}, 60, 18, origin, monitor);  // 1045 + 34 = 1079
    EXPECT_EQ(p.y, 1045 + 16);
    p = hint_position(PixelRect{10, 836, 50, 856}, 60, 18, origin, monitor);  // 1046 + 34 = 1080
    EXPECT_EQ(p.y, 1046 - 16 - 18);
    // Too wide for the space right of the centre: ends at the right edge.
    p = hint_position(PixelRect{1700, 10, 1740, 30}, 400, 18, origin, monitor);
    EXPECT_EQ(p.x, 1920 - 400);
}

TEST(HintLines, SplitRules) {
    using L = std::vector<std::string>;
    EXPECT_EQ(hint_lines("one"), (L{"one"}));
    EXPECT_EQ(hint_lines("a\n\nb"), (L{"a", "", "b"}));
    EXPECT_EQ(hint_lines("a\nb\n"), (L{"a", "b"}));
    EXPECT_EQ(hint_lines(""), (L{}));
    std::string many;
    for (int i = 0; i < 45; ++i) many += "x\n";
    EXPECT_EQ(hint_lines(many.c_str()).size(), 40u);
}

}  // namespace
