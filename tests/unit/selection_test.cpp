// The selection state machine through a recording stand-in for the screen.
#include "capture/selection.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "state/settings.h"
#include "state/window_messages.h"
#include "tests/unit/test_files.h"

namespace {

std::vector<std::string> calls;
PixelPoint fake_cursor;
bool fake_cursor_known = true;
bool fake_shift = false;

std::string pt(PixelPoint p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
void log(const std::string& s) { calls.push_back(s); }

const SelectionOps kRecordingOps = {
    [](PixelPoint p) { log("cross " + pt(p)); },
    [](PixelPoint a, PixelPoint b) { log("frame " + pt(a) + " " + pt(b)); },
    [](PixelPoint p) { log("mag " + pt(p)); },
    [](PixelPoint p) { log("restore " + pt(p)); },
    [](PixelPoint p) { log("cover " + pt(p)); },
    [](PixelPoint a, PixelPoint b) { log("cover " + pt(a) + " " + pt(b)); },
    [](PixelPoint* p) { *p = fake_cursor; return fake_cursor_known; },
    [](PixelPoint p) {
        fake_cursor = p;
        log("cursor " + pt(p));
    },
    []() {},
    []() { return fake_shift; },
    [](uint32_t m, uintptr_t w, intptr_t l) {
        log("main " + std::to_string(m) + " " + std::to_string(w) + " " + std::to_string(l));
    },
    [](uint32_t m, uintptr_t w, intptr_t l) {
        if (g_app.capture.box_window)
            log("box " + std::to_string(m) + " " + std::to_string(w) + " " + std::to_string(l));
    },
};

using Calls = std::vector<std::string>;

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_app = AppState();
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s",
                      test_temp_path("selection.ini").c_str());
        std::remove(g_app.ini_path);
        g_app.capture.screen_rect = PixelRect{0, 0, 1920, 1080};
        g_app.capture.capture_flags = kCaptureActive;
        selection_set_ops(&kRecordingOps);
        calls.clear();
        fake_shift = false;
        fake_cursor_known = true;
    }
    void TearDown() override {
        std::remove(g_app.ini_path);
        g_app = AppState();
    }
    // Top-left confirmed at tl, bottom-right at br, state 2, no box.
    void in_state2(PixelPoint tl, PixelPoint br) {
        g_app.capture.pick_state = kPickBottomRight;
        g_app.capture.top_left = tl;
        g_app.capture.bottom_right = br;
        calls.clear();
    }
};

TEST_F(SelectionTest, BeginUsesSavedCornersAndClampsTheTopLeft) {
    selection_begin();
    EXPECT_EQ(pt(g_app.capture.top_left), "16,16");
    EXPECT_EQ(pt(g_app.capture.bottom_right), "80,80");

    settings_write_int("Window", "x", 1900);
    settings_write_int("Window", "y", -40);
    settings_write_int("Window", "w", 99);
    selection_begin();
    EXPECT_EQ(pt(g_app.capture.top_left), "1856,0");
    EXPECT_EQ(pt(g_app.capture.bottom_right), "1999,24");  // not clamped

    // Monitors left of the primary: corners stay image coordinates.
    g_app.capture.screen_rect = PixelRect{-1920, -200, 1920, 1080};
    EXPECT_EQ(selection_bounds().right, 3840);
    EXPECT_EQ(selection_bounds().bottom, 1280);
    selection_begin();
    EXPECT_EQ(pt(g_app.capture.top_left), "1900,0");
}

TEST_F(SelectionTest, AspectArithmetic) {
    g_app.capture.top_left = {100, 100};
    g_app.capture.bottom_right = {150, 150};
    struct Case { int aspect; PixelPoint p; bool ok; PixelPoint want; };
    const Case cases[] = {
        {1, {259, 152}, true, {259, 189}},    // 16:9, w + 1 = 160 → h + 1 = 90
        {3, {152, 199}, true, {232, 199}},    // 4:3 vertical, h + 1 = 100 → w + 1 = 133
        {5, {252, 151}, true, {252, 303}},    // 3:4 horizontal: 153 wide → 204 high
        {5, {151, 299}, true, {249, 299}},    // 3:4 vertical: 200 high → 150 wide
        {4, {160, 160}, true, {160, 160}},    // tie counts as vertical
        {7, {300, 120}, true, {300, 120}},    // no constraint
        {int(0x00100000), {300, 120}, false, {300, 120}},  // custom with zero height
        {int(0x00020001), {300, 151}, true, {300, 199}},   // custom 2:1: 201 wide → 100 high
        {1, {150, 150}, false, {150, 150}},   // unchanged corner
        {1, {90, 90}, false, {90, 90}},       // crossed the top-left
    };
    for (const Case& c : cases) {
        g_app.aspect = c.aspect;
        PixelPoint p = c.p;
        EXPECT_EQ(aspect_adjust(&p), c.ok ? 1 : 0) << c.aspect << " " << pt(c.p);
        if (c.ok) {
            EXPECT_EQ(pt(p), pt(c.want)) << c.aspect << " " << pt(c.p);
        }
    }
    g_app.aspect = 1;
    g_app.capture.capture_flags |= kCaptureAspectReleased;
    PixelPoint p{300, 120};
    EXPECT_EQ(aspect_adjust(&p), 1);
    EXPECT_EQ(pt(p), "300,120");
}

TEST_F(SelectionTest, RedrawOrderInBothModes) {
    g_app.capture.top_left = {10, 10};
    selection_apply_top_left({12, 13});
    EXPECT_EQ(calls, (Calls{"cross 10,10", "restore 10,10", "mag 12,13", "cross 12,13"}));
    calls.clear();
    g_app.capture.bottom_right = {50, 60};
    selection_apply_corners({12, 13}, {55, 66});
    EXPECT_EQ(calls, (Calls{"frame 12,13 50,60", "restore 50,60", "mag 55,66",
                            "frame 12,13 55,66"}));
    g_app.flags |= kFlagCoverMode;
    calls.clear();
    selection_apply_top_left({1, 2});
    selection_apply_corners({1, 2}, {3, 4});
    EXPECT_EQ(calls, (Calls{"cover 1,2", "cover 1,2 3,4"}));
}

TEST_F(SelectionTest, CursorTrackingEntersStateOneAndOpensBoxes) {
    g_app.capture.capture_flags |= kCaptureOpenTopLeftBox;
    fake_cursor = {16, 16};
    selection_track_cursor();
    EXPECT_EQ(g_app.capture.pick_state, kPickTopLeft);
    EXPECT_EQ(calls, (Calls{"main 517 0 0", "cross 16,16"}));
    EXPECT_FALSE(g_app.capture.capture_flags & kCaptureOpenTopLeftBox);
    calls.clear();
    selection_track_cursor();  // same place: nothing to redraw
    EXPECT_TRUE(calls.empty());
    fake_cursor = {20, 30};
    selection_track_cursor();
    EXPECT_EQ(pt(g_app.capture.top_left), "20,30");
}

TEST_F(SelectionTest, AnUnknownCursorPositionMovesNoCorner) {
    fake_cursor_known = false;  // a locked or secure desktop
    fake_cursor = {16, 16};
    g_app.capture.capture_flags |= kCaptureBoxOpen;
    for (PickState state : {kPickNothing, kPickTopLeft, kPickBottomRight}) {
        in_state2({100, 100}, {200, 200});
        g_app.capture.pick_state = state;
        selection_track_cursor();
        selection_advance();
        EXPECT_EQ(pt(g_app.capture.top_left) + " " + pt(g_app.capture.bottom_right), "100,100 200,200");
        EXPECT_EQ(g_app.capture.pick_state, state);
        EXPECT_TRUE(calls.empty());
    }
}

TEST_F(SelectionTest, BottomRightFollowsOnlyBelowRightOfTopLeft) {
    in_state2({100, 100}, {200, 200});
    fake_cursor = {90, 250};
    selection_track_cursor();
    EXPECT_EQ(calls, (Calls{"cursor 200,200"}));
    calls.clear();
    fake_cursor = {259, 150};
    g_app.aspect = 1;
    selection_track_cursor();
    EXPECT_EQ(pt(g_app.capture.bottom_right), "259,189");
    EXPECT_EQ(calls.front(), "cursor 259,189");
}

TEST_F(SelectionTest, AdvanceWithoutBoxConfirmsTheTopLeft) {
    g_app.capture.pick_state = kPickTopLeft;
    g_app.capture.top_left = {1910, 500};
    g_app.capture.bottom_right = {300, 700};
    g_app.capture.capture_flags |= kCaptureAspectReleased;
    selection_advance();
    EXPECT_EQ(g_app.capture.pick_state, kPickBottomRight);
    EXPECT_FALSE(g_app.capture.capture_flags & kCaptureAspectReleased);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "1919,700");  // tl.x + 16, clamped
    EXPECT_EQ(calls, (Calls{"cross 1910,500", "restore 1910,500", "cursor 1919,700",
                            "restore 1919,700", "frame 1910,500 1919,700"}));
    calls.clear();
    selection_advance();
    EXPECT_EQ(calls, (Calls{"main 1052 0 0"}));  // UM_OUTPUT
}

TEST_F(SelectionTest, MoveCornerCountsDirectionsAndShift) {
    g_app.capture.pick_state = kPickTopLeft;
    g_app.capture.top_left = {100, 100};
    selection_move_corner(3, 0);
    EXPECT_EQ(pt(g_app.capture.top_left), "103,100");
    selection_move_corner(-1, 0);  // Z: one back, and left is now the direction
    EXPECT_EQ(pt(g_app.capture.top_left), "102,100");
    EXPECT_EQ(g_app.capture.move_direction, kDirLeft);
    selection_move_corner(40, 0);
    EXPECT_EQ(pt(g_app.capture.top_left), "93,100");
    fake_shift = true;
    selection_move_corner(0, kDirUp);  // Shift turns up into left
    EXPECT_EQ(pt(g_app.capture.top_left), "92,100");
    EXPECT_EQ(g_app.capture.move_direction, kDirUp);
    fake_shift = false;
    // Off the screen is refused.
    g_app.capture.top_left = {0, 0};
    calls.clear();
    selection_move_corner(1, kDirLeft);
    EXPECT_EQ(pt(g_app.capture.top_left), "0,0");
    EXPECT_TRUE(calls.empty());
}

TEST_F(SelectionTest, MoveCornerKeepsTheWheelAxisInStep) {
    g_app.capture.pick_state = kPickTopLeft;
    g_app.capture.top_left = {100, 100};
    selection_move_corner(0, kDirRight);
    EXPECT_TRUE(g_app.capture.capture_flags & kCaptureHorizontal);
    selection_move_corner(0, kDirDown);
    EXPECT_FALSE(g_app.capture.capture_flags & kCaptureHorizontal);
    // With a box open the box toggles the bit (and its icon).
    g_app.capture.box_window = reinterpret_cast<WindowHandle>(0x10);
    g_app.capture.capture_flags |= kCaptureBoxOpen;
    calls.clear();
    selection_move_corner(0, kDirLeft);
    EXPECT_FALSE(g_app.capture.capture_flags & kCaptureHorizontal);
    EXPECT_EQ(calls.front(), "box 273 1014 0");
    EXPECT_EQ(calls.back(), "box 1071 0 0");  // UM_BOX_REFRESH
}

TEST_F(SelectionTest, BottomRightMovesAndFixedRectangle) {
    in_state2({100, 100}, {200, 200});
    selection_move_corner(5, kDirLeft);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "195,200");
    g_app.capture.bottom_right = {101, 200};
    selection_move_corner(2, kDirLeft);  // would cross the top-left
    EXPECT_EQ(pt(g_app.capture.bottom_right), "101,200");
    g_app.capture.capture_flags |= kCaptureFixed;
    g_app.capture.bottom_right = {1918, 200};
    selection_move_corner(2, kDirRight);
    EXPECT_EQ(pt(g_app.capture.top_left), "102,100");
    EXPECT_EQ(pt(g_app.capture.bottom_right), "1920,200");  // right edge itself is allowed
    selection_move_corner(1, kDirRight);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "1920,200");
    // Dragging a fixed rectangle may push it past the edge.
    selection_drag_by({30, 0});
    EXPECT_EQ(pt(g_app.capture.bottom_right), "1950,200");
    selection_toggle_fixed();
    EXPECT_FALSE(g_app.capture.capture_flags & kCaptureFixed);
}

TEST_F(SelectionTest, SetSizeStaysInsideTheScreen) {
    in_state2({100, 100}, {200, 200});
    EXPECT_EQ(selection_set_size(639, 479), 1);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "739,579");
    selection_set_size(1900, 10);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "739,579");
    selection_set_size(0, 10);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "739,579");
}

TEST_F(SelectionTest, TopLeftBoxConfirmAppliesTheFixedWidth) {
    g_app.capture.pick_state = kPickTopLeft;
    g_app.capture.top_left = {100, 100};
    g_app.capture.bottom_right = {150, 400};
    g_app.fixed_width = 200;
    selection_top_left_box_result(kTopLeftBoxDecided);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "299,400");
    EXPECT_EQ(g_app.capture.pick_state, kPickBottomRight);
    EXPECT_TRUE(g_app.capture.capture_flags & kCaptureOpenBottomRightBox);  // default Flags

    g_app = AppState();
    g_app.capture.screen_rect = PixelRect{0, 0, 1920, 1080};
    g_app.flags = 0;
    g_app.capture.pick_state = kPickTopLeft;
    g_app.capture.top_left = {100, 100};
    g_app.fixed_width = 160;
    g_app.aspect = 1;
    selection_top_left_box_result(kTopLeftBoxDecided);
    EXPECT_EQ(pt(g_app.capture.bottom_right), "259,189");
    EXPECT_FALSE(g_app.capture.capture_flags & kCaptureOpenBottomRightBox);
}

TEST_F(SelectionTest, BottomRightBoxResults) {
    in_state2({10, 10}, {50, 50});
    selection_bottom_right_box_result(kBottomRightBoxBackToTopLeft);
    EXPECT_EQ(g_app.capture.pick_state, kPickTopLeft);
    EXPECT_EQ(calls, (Calls{"frame 10,10 50,50", "restore 50,50", "cursor 10,10", "mag 10,10",
                            "cross 10,10"}));
    EXPECT_TRUE(g_app.capture.capture_flags & kCaptureOpenTopLeftBox);
    calls.clear();
    selection_bottom_right_box_result(kBottomRightBoxOutput);
    selection_bottom_right_box_result(kBottomRightBoxCancel);
    EXPECT_EQ(calls, (Calls{"main 1052 0 0", "main 1053 0 0"}));
}

}  // namespace

namespace {

// One click with a box open moves the corner; two within the click time
// act as the box's OK; a timer that outlives its box or capture does nothing.
TEST_F(SelectionTest, ClicksWithABoxOpen) {
    using A = ClickAction;
    // Single click: press, then the timer runs out with the button up.
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kStartTimer);
    EXPECT_EQ(selection_click_timer(false), A::kAdvance);
    EXPECT_EQ(selection_click_timer(false), A::kNone);  // a late timer message
    // Double click.
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kStartTimer);
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kBoxOk);
    EXPECT_EQ(selection_click_timer(false), A::kNone);
    // Press and hold, or a held button moved more than two pixels: a drag.
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kStartTimer);
    EXPECT_EQ(selection_click_move(PixelPoint{7, 7}, true), A::kNone);
    EXPECT_EQ(selection_click_move(PixelPoint{8, 5}, false), A::kNone);
    EXPECT_EQ(selection_click_move(PixelPoint{8, 5}, true), A::kStartDrag);
    selection_click_stop();
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kStartTimer);
    EXPECT_EQ(selection_click_timer(true), A::kStartDrag);
    // The box closed (or Esc, or an output) between the press and the timer.
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kStartTimer);
    selection_click_stop();
    EXPECT_EQ(selection_click_timer(false), A::kNone);
    EXPECT_EQ(selection_click_press(PixelPoint{5, 5}), A::kStartTimer);  // not an OK
}

}  // namespace
