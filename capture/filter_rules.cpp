#include "capture/filter_rules.h"

#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/window_messages.h"

namespace {

FilterAction not_handled() { return FilterAction{}; }

FilterAction handled() {
    FilterAction a{};
    a.handled = true;
    return a;
}

FilterAction post(FilterTarget target, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    FilterAction a = handled();
    a.target = target;
    a.message = message;
    a.wparam = wparam;
    a.lparam = lparam;
    return a;
}

FilterAction move_corner(intptr_t steps, int direction) {
    return post(FilterTarget::kMain, UM_MOVE_CORNER, uintptr_t(steps), direction);
}

FilterAction box_command(int id) { return post(FilterTarget::kBox, kMsgCommand, uintptr_t(id), 0); }

FilterAction toggle(uint32_t bits) {
    FilterAction a = handled();
    a.toggle_flags = bits;
    return a;
}

FilterAction on_key_up(const FilterInput& in) {
    bool box = in.box_window != 0;
    uint32_t key = uint32_t(in.wparam);
    if (key >= '1' && key <= '9') return move_corner(key - '0', 0);
    if (key >= kVkNumpad1 && key <= kVkNumpad9) return move_corner(key - kVkNumpad0, 0);
    switch (key) {
        case kVkEscape:
            // An open box ends itself through its own cancel handling.
            return box ? handled() : post(FilterTarget::kMain, UM_END_CAPTURE, 0, 0);
        case kVkSpace:
            return box ? box_command(IDC_BOX_DECIDE) : post(FilterTarget::kMain, UM_ADVANCE, 0, 0);
        case kVkLeft:
        case 'L':
            return move_corner(kMoveOneStep, kDirLeft);
        case kVkUp:
        case 'U':
            return move_corner(kMoveOneStep, kDirUp);
        case kVkRight:
        case 'R':
            return move_corner(kMoveOneStep, kDirRight);
        case kVkDown:
        case 'D':
            return move_corner(kMoveOneStep, kDirDown);
        case 'Z':
        case kVkSubtract:
            return move_corner(kMoveReverse, 0);
        case '0':
        case 'C':
        case kVkNumpad0:
            if (in.pick_state != kPickBottomRight) return not_handled();
            return box ? box_command(IDC_BOX_BACK) : post(FilterTarget::kMain, kMsgRButtonUp, 0, 0);
        case 'A':
        case kVkMultiply:
            if (in.pick_state != kPickBottomRight || in.aspect <= 0) return handled();
            return box ? box_command(IDC_BOX_ASPECT_RELEASE) : toggle(kCaptureAspectReleased);
        case 'B':
        case kVkAdd:
            return post(box ? FilterTarget::kBox : FilterTarget::kMain, UM_TOGGLE_FIXED, 0, 0);
        case kVkApps:
            return box ? handled() : post(FilterTarget::kMain, kMsgRButtonUp, 0, 0);
        case kVkF1:
        case kVkSlash: {
            FilterAction a = handled();
            a.keyboard_help = true;
            return a;
        }
    }
    return not_handled();
}

// A right click elsewhere than on the box goes to the box, which decides;
// the window's own processing still runs.
FilterAction on_right_button_up(const FilterInput& in) {
    if (in.box_window == 0 || in.window == in.box_window) return not_handled();
    FilterAction a = not_handled();
    a.target = FilterTarget::kBox;
    a.message = in.window == in.main_window ? UM_RCLICK_OVERLAY : UM_RCLICK_CONTROL;
    a.wparam = in.window;
    a.lparam = in.lparam;
    return a;
}

}  // namespace

int filter_wheel_count(int delta) {
    int count = (delta < 0 ? -delta : delta) / 120;
    if (count == 0) return 1;
    return count > 9 ? 9 : count;
}

int filter_wheel_direction(int delta, uint32_t capture_flags) {
    if (capture_flags & kCaptureHorizontal) return delta > 0 ? kDirLeft : kDirRight;
    return delta > 0 ? kDirUp : kDirDown;
}

FilterAction filter_decide(const FilterInput& in) {
    switch (in.message) {
        case kMsgKeyUp:
            return on_key_up(in);
        case kMsgRButtonUp:
            return on_right_button_up(in);
        case kMsgMButtonUp:
            return in.box_window ? box_command(IDC_BOX_WHEEL) : toggle(kCaptureHorizontal);
        case kMsgMouseWheel:
        case kMsgOldWheel: {
            int delta = int16_t(uint16_t(in.wparam >> 16));
            return move_corner(filter_wheel_count(delta),
                               filter_wheel_direction(delta, in.capture_flags));
        }
    }
    return not_handled();
}
