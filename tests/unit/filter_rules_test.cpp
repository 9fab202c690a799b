// The selection input filter's decisions: every key, the wheel and the
// mouse buttons, with and without an open box.
#include <gtest/gtest.h>

#include "state/app_state.h"
#include "state/window_messages.h"
#include "capture/filter_rules.h"

namespace {

constexpr uintptr_t kMain = 0x1000;
constexpr uintptr_t kBox = 0x2000;
constexpr uintptr_t kButton = 0x3000;

FilterInput input(uint32_t message, uintptr_t wparam, bool box_open, int pick_state = 1,
                  int aspect = 0, uint32_t flags = kCaptureActive) {
    FilterInput in{};
    in.message = message;
    in.wparam = wparam;
    in.window = box_open ? kBox : kMain;
    in.lparam = 0x00420017;
    in.main_window = kMain;
    in.box_window = box_open ? kBox : 0;
    in.pick_state = pick_state;
    in.aspect = aspect;
    in.capture_flags = flags;
    return in;
}

FilterInput key(uint32_t vk, bool box_open, int pick_state = 1, int aspect = 0) {
    return input(kMsgKeyUp, vk, box_open, pick_state, aspect);
}

struct Expect {
    bool handled;
    FilterTarget target;
    uint32_t message;
    intptr_t wparam;
    intptr_t lparam;
    uint32_t toggle;
    bool help;
};

void check(const FilterInput& in, const Expect& e, const char* what) {
    FilterAction a = filter_decide(in);
    SCOPED_TRACE(what);
    EXPECT_EQ(a.handled, e.handled);
    EXPECT_EQ(a.target, e.target);
    if (e.target != FilterTarget::kNone) {
        EXPECT_EQ(a.message, e.message);
        EXPECT_EQ(intptr_t(a.wparam), e.wparam);
        EXPECT_EQ(a.lparam, e.lparam);
    }
    EXPECT_EQ(a.toggle_flags, e.toggle);
    EXPECT_EQ(a.keyboard_help, e.help);
}

constexpr FilterTarget M = FilterTarget::kMain;
constexpr FilterTarget X = FilterTarget::kBox;
constexpr FilterTarget N = FilterTarget::kNone;

TEST(FilterKeys, MovesAndStepsWhereverTheFocusIs) {
    struct Case {
        const char* what;
        uint32_t vk;
        intptr_t steps;
        int direction;
    };
    const Case cases[] = {
        {"left arrow", kVkLeft, 0, kDirLeft},   {"L", 'L', 0, kDirLeft},
        {"up arrow", kVkUp, 0, kDirUp},         {"U", 'U', 0, kDirUp},
        {"right arrow", kVkRight, 0, kDirRight}, {"R", 'R', 0, kDirRight},
        {"down arrow", kVkDown, 0, kDirDown},   {"D", 'D', 0, kDirDown},
        {"1", '1', 1, 0},                       {"5", '5', 5, 0},
        {"9", '9', 9, 0},                       {"pad 1", kVkNumpad1, 1, 0},
        {"pad 3", kVkNumpad1 + 2, 3, 0},        {"pad 9", kVkNumpad9, 9, 0},
        {"Z reverses", 'Z', -1, 0},             {"pad minus reverses", kVkSubtract, -1, 0},
    };
    for (bool box : {false, true})
        for (const Case& c : cases)
            check(key(c.vk, box), {true, M, UM_MOVE_CORNER, c.steps, c.direction, 0, false},
                  c.what);
}

TEST(FilterKeys, BoxDependentKeys) {
    struct Case {
        const char* what;
        FilterInput in;
        Expect e;
    };
    const Case cases[] = {
        {"Esc, no box", key(kVkEscape, false), {true, M, UM_END_CAPTURE, 0, 0, 0, false}},
        {"Esc, box: its own cancel closes it", key(kVkEscape, true), {true, N, 0, 0, 0, 0, false}},
        {"Space, no box", key(kVkSpace, false), {true, M, UM_ADVANCE, 0, 0, 0, false}},
        {"Space, box decides", key(kVkSpace, true), {true, X, kMsgCommand, 1, 0, 0, false}},
        {"B, no box", key('B', false), {true, M, UM_TOGGLE_FIXED, 0, 0, 0, false}},
        {"B, box", key('B', true), {true, X, UM_TOGGLE_FIXED, 0, 0, 0, false}},
        {"pad plus, box", key(kVkAdd, true, 2), {true, X, UM_TOGGLE_FIXED, 0, 0, 0, false}},
        {"menu key, no box", key(kVkApps, false), {true, M, kMsgRButtonUp, 0, 0, 0, false}},
        {"menu key, box", key(kVkApps, true), {true, N, 0, 0, 0, 0, false}},
        {"F1", key(kVkF1, false), {true, N, 0, 0, 0, 0, true}},
        {"0xBF, box", key(kVkSlash, true), {true, N, 0, 0, 0, 0, true}},
    };
    for (const Case& c : cases) check(c.in, c.e, c.what);
}

TEST(FilterKeys, BackToTopLeftOnlyWhilePickingTheBottomRight) {
    for (uint32_t vk : {uint32_t('0'), uint32_t('C'), kVkNumpad0}) {
        check(key(vk, true, 2), {true, X, kMsgCommand, 1008, 0, 0, false}, "state 2, box");
        check(key(vk, false, 2), {true, M, kMsgRButtonUp, 0, 0, 0, false}, "state 2, no box");
        check(key(vk, true, 1), {false, N, 0, 0, 0, 0, false}, "top-left box open");
        check(key(vk, false, 1), {false, N, 0, 0, 0, 0, false}, "state 1, no box");
        check(key(vk, false, 0), {false, N, 0, 0, 0, 0, false}, "state 0");
    }
}

TEST(FilterKeys, AspectReleaseNeedsAnAspectAndTheBottomRight) {
    for (uint32_t vk : {uint32_t('A'), kVkMultiply}) {
        check(key(vk, true, 2, 3), {true, X, kMsgCommand, 1015, 0, 0, false}, "box");
        check(key(vk, false, 2, 3), {true, N, 0, 0, 0, kCaptureAspectReleased, false}, "no box");
        check(key(vk, false, 2, 0), {true, N, 0, 0, 0, 0, false}, "no aspect: handled, nothing");
        check(key(vk, true, 1, 3), {true, N, 0, 0, 0, 0, false}, "top-left: handled, nothing");
    }
}

TEST(FilterKeys, OnlyReleasesActAndOtherKeysPassThrough) {
    check(input(0x0100 /* WM_KEYDOWN */, 'L', false), {false, N, 0, 0, 0, 0, false}, "key down");
    check(input(0x0100, kVkEscape, true), {false, N, 0, 0, 0, 0, false}, "Esc down");
    check(input(0x0102 /* WM_CHAR */, '5', false), {false, N, 0, 0, 0, 0, false}, "char");
    for (uint32_t vk : {uint32_t('E'), uint32_t('X'), uint32_t(0x0D), uint32_t(0x09),
                        uint32_t(0x6E), uint32_t(0x71), uint32_t(0xBD)})
        check(key(vk, true, 2, 3), {false, N, 0, 0, 0, 0, false}, "other key");
}

TEST(FilterWheel, CountAndDirection) {
    struct Case {
        int delta;
        uint32_t flags;
        int count;
        int direction;
    };
    const Case cases[] = {
        {120, 0, 1, kDirUp},       {-120, 0, 1, kDirDown},
        {600, 0, 5, kDirUp},       {1500, 0, 9, kDirUp},
        {60, 0, 1, kDirUp},        {-60, 0, 1, kDirDown},
        {-359, 0, 2, kDirDown},    {-32768, 0, 9, kDirDown},
        {0, 0, 1, kDirDown},       {240, kCaptureHorizontal, 2, kDirLeft},
        {-240, kCaptureHorizontal, 2, kDirRight}, {0, kCaptureHorizontal, 1, kDirRight},
    };
    for (uint32_t message : {kMsgMouseWheel, kMsgOldWheel}) {
        for (const Case& c : cases) {
            // The key-state bits in the low word do not matter.
            uintptr_t wparam = (uintptr_t(uint16_t(int16_t(c.delta))) << 16) | 0x0008;
            for (bool box : {false, true})
                check(input(message, wparam, box, 2, 0, kCaptureActive | c.flags),
                      {true, M, UM_MOVE_CORNER, c.count, c.direction, 0, false}, "wheel");
        }
    }
}

TEST(FilterMouse, MiddleButtonSwitchesTheWheelAxis) {
    check(input(kMsgMButtonUp, 0, true), {true, X, kMsgCommand, 1014, 0, 0, false}, "box");
    check(input(kMsgMButtonUp, 0, false), {true, N, 0, 0, 0, kCaptureHorizontal, false}, "no box");
}

TEST(FilterMouse, RightButtonGoesToTheBoxButIsNotHandled) {
    FilterInput in = input(kMsgRButtonUp, 0, true);
    in.window = kMain;
    check(in, {false, X, UM_RCLICK_OVERLAY, intptr_t(kMain), 0x00420017, 0, false}, "overlay");
    in.window = kButton;
    check(in, {false, X, UM_RCLICK_CONTROL, intptr_t(kButton), 0x00420017, 0, false}, "control");
    in.window = kBox;
    check(in, {false, N, 0, 0, 0, 0, false}, "the box's own background");
    check(input(kMsgRButtonUp, 0, false), {false, N, 0, 0, 0, 0, false}, "no box");
}

TEST(FilterMouse, OtherMessagesAreNotHandled) {
    for (uint32_t message : {0x0200u, 0x0201u, 0x0202u, 0x0204u, 0x0207u, 0x0020u, 0x000Fu})
        check(input(message, 0, true), {false, N, 0, 0, 0, 0, false}, "other message");
}

}  // namespace
