#include "capture/selection.h"

#include <cstdlib>

#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/settings.h"
#include "state/window_messages.h"

namespace {

const SelectionOps* ops = nullptr;

bool same(PixelPoint a, PixelPoint b) { return a.x == b.x && a.y == b.y; }
PixelPoint plus(PixelPoint a, PixelPoint d) { return PixelPoint{a.x + d.x, a.y + d.y}; }

PixelPoint moved(PixelPoint p, int direction, int count) {
    switch (direction) {
        case kDirUp: return PixelPoint{p.x, p.y - count};
        case kDirDown: return PixelPoint{p.x, p.y + count};
        case kDirLeft: return PixelPoint{p.x - count, p.y};
        case kDirRight: return PixelPoint{p.x + count, p.y};
        default: return p;
    }
}

int reversed(int direction) {
    switch (direction) {
        case kDirUp: return kDirDown;
        case kDirDown: return kDirUp;
        case kDirLeft: return kDirRight;
        case kDirRight: return kDirLeft;
        default: return direction;
    }
}

// Shift turns a move by a quarter: up to left, down to right and back.
int turned(int direction) {
    switch (direction) {
        case kDirUp: return kDirLeft;
        case kDirDown: return kDirRight;
        case kDirLeft: return kDirUp;
        case kDirRight: return kDirDown;
        default: return direction;
    }
}

void refresh_box() { ops->post_box(UM_BOX_REFRESH, 0, 0); }

// Keeps the wheel axis in line with the last explicit direction.
void follow_axis(int direction) {
    bool horizontal = direction == kDirLeft || direction == kDirRight;
    bool vertical = direction == kDirUp || direction == kDirDown;
    bool axis = g_app.capture.capture_flags & kCaptureHorizontal;
    if ((horizontal && !axis) || (vertical && axis)) {
        if (selection_box_open())
            ops->post_box(kWmCommand, IDC_BOX_WHEEL, 0);
        else
            g_app.capture.capture_flags ^= kCaptureHorizontal;
    }
}

// The bottom-right corner follows p (cursor tracking and box clicks);
// false when it was refused and the cursor went back.
bool follow_bottom_right(PixelPoint p) {
    if (g_app.aspect > 0) {
        if (!aspect_adjust(&p)) {
            ops->set_cursor(g_app.capture.bottom_right);
            return false;
        }
        ops->set_cursor(p);
    }
    if (same(p, g_app.capture.bottom_right)) return false;
    if (p.x > g_app.capture.top_left.x && p.y > g_app.capture.top_left.y) {
        selection_apply_corners(g_app.capture.top_left, p);
        return true;
    }
    ops->set_cursor(g_app.capture.bottom_right);
    return false;
}

void back_to_top_left() {
    if (!selection_cover_mode()) {
        ops->draw_frame(g_app.capture.top_left, g_app.capture.bottom_right);
        ops->restore_magnifier(g_app.capture.bottom_right);
        g_app.capture.pick_state = kPickTopLeft;
        ops->set_cursor(g_app.capture.top_left);
        ops->draw_magnifier(g_app.capture.top_left);
        ops->draw_crosshair(g_app.capture.top_left);
    } else {
        g_app.capture.pick_state = kPickTopLeft;
        ops->set_cursor(g_app.capture.top_left);
        ops->paint_cover_top_left(g_app.capture.top_left);
    }
}

}  // namespace

void selection_set_ops(const SelectionOps* o) { ops = o; }

PixelRect selection_bounds() {
    const PixelRect& s = g_app.capture.screen_rect;
    return PixelRect{0, 0, s.right - s.left, s.bottom - s.top};
}

bool selection_box_open() { return (g_app.capture.capture_flags & kCaptureBoxOpen) != 0; }

bool selection_cover_mode() { return (g_app.flags & kFlagCoverMode) != 0; }

void selection_begin() {
    PixelRect b = selection_bounds();
    PixelPoint tl{settings_read_int(kSectionWindow, "x", 16),
                  settings_read_int(kSectionWindow, "y", 16)};
    g_app.capture.bottom_right = PixelPoint{tl.x + settings_read_int(kSectionWindow, "w", 64),
                                    tl.y + settings_read_int(kSectionWindow, "h", 64)};
    if (tl.x < b.left) tl.x = b.left;
    if (tl.x > b.right - 64) tl.x = b.right - 64;
    if (tl.y < b.top) tl.y = b.top;
    if (tl.y > b.bottom - 64) tl.y = b.bottom - 64;
    g_app.capture.top_left = tl;
}

SelectionValues selection_values(PixelPoint top_left, PixelPoint bottom_right) {
    return SelectionValues{top_left.x, top_left.y, bottom_right.x - top_left.x,
                           bottom_right.y - top_left.y};
}

void selection_save_corners(PixelPoint top_left, PixelPoint bottom_right) {
    const SelectionValues values = selection_values(top_left, bottom_right);
    settings_write_int(kSectionWindow, "x", values.x);
    settings_write_int(kSectionWindow, "y", values.y);
    settings_write_int(kSectionWindow, "w", values.w);
    settings_write_int(kSectionWindow, "h", values.h);
}

int aspect_ratio(int aspect, int* w, int* h) {
    static const int kPresets[7][2] = {{0, 0}, {16, 9}, {3, 2}, {4, 3}, {1, 1}, {3, 4}, {2, 3}};
    if (aspect <= 0 || aspect == 7) return 0;
    if (aspect < 7) {
        *w = kPresets[aspect][0];
        *h = kPresets[aspect][1];
        return 1;
    }
    *w = int16_t(uint32_t(aspect) >> 16);
    *h = int(uint32_t(aspect) & 0xFFFF);
    return *w == 0 || *h == 0 ? -1 : 1;
}

int aspect_adjust(PixelPoint* p) {
    if ((g_app.capture.capture_flags & kCaptureAspectReleased) || g_app.aspect <= 0) return 1;
    if (same(*p, g_app.capture.bottom_right)) return 0;
    const PixelPoint br = g_app.capture.bottom_right;
    bool horizontal = std::abs(p->x - br.x) > std::abs(p->y - br.y);
    int w = p->x - g_app.capture.top_left.x;
    int h = p->y - g_app.capture.top_left.y;
    if (w <= 0 && h <= 0) return 0;
    int rw = 0, rh = 0;
    int kind = aspect_ratio(g_app.aspect, &rw, &rh);
    if (kind < 0) return 0;
    if (kind == 0) return 1;
    if (horizontal)
        h = rh * (w + 1) / rw - 1;
    else
        w = rw * (h + 1) / rh - 1;
    *p = PixelPoint{g_app.capture.top_left.x + w, g_app.capture.top_left.y + h};
    return 1;
}

void selection_apply_top_left(PixelPoint p) {
    if (!selection_cover_mode()) {
        ops->draw_crosshair(g_app.capture.top_left);
        ops->restore_magnifier(g_app.capture.top_left);
        g_app.capture.top_left = p;
        ops->draw_magnifier(g_app.capture.top_left);
        ops->draw_crosshair(g_app.capture.top_left);
    } else {
        g_app.capture.top_left = p;
        ops->paint_cover_top_left(g_app.capture.top_left);
    }
}

void selection_apply_corners(PixelPoint tl, PixelPoint br) {
    if (!selection_cover_mode()) {
        ops->draw_frame(g_app.capture.top_left, g_app.capture.bottom_right);
        ops->restore_magnifier(g_app.capture.bottom_right);
        g_app.capture.top_left = tl;
        g_app.capture.bottom_right = br;
        ops->draw_magnifier(g_app.capture.bottom_right);
        ops->draw_frame(g_app.capture.top_left, g_app.capture.bottom_right);
    } else {
        g_app.capture.top_left = tl;
        g_app.capture.bottom_right = br;
        ops->paint_cover_rect(g_app.capture.top_left, g_app.capture.bottom_right);
    }
}

void selection_track_cursor() {
    if (g_app.capture.capture_flags & kCaptureOpenTopLeftBox) {
        g_app.capture.capture_flags &= ~uint32_t(kCaptureOpenTopLeftBox);
        ops->post_main(kWmRButtonUp, 0, 0);
    }
    if (g_app.capture.capture_flags & kCaptureOpenBottomRightBox) {
        g_app.capture.capture_flags &= ~uint32_t(kCaptureOpenBottomRightBox);
        ops->post_main(kWmRButtonUp, 0, 0);
    }
    ops->hide_cursor();
    PixelPoint p;
    if (!ops->cursor(&p)) return;
    switch (g_app.capture.pick_state) {
        case kPickNothing:
            g_app.capture.top_left = p;
            if (!selection_cover_mode())
                ops->draw_crosshair(g_app.capture.top_left);
            else
                ops->paint_cover_top_left(g_app.capture.top_left);
            g_app.capture.pick_state = kPickTopLeft;
            break;
        case kPickTopLeft:
            if (!same(p, g_app.capture.top_left)) selection_apply_top_left(p);
            break;
        case kPickBottomRight:
            follow_bottom_right(p);
            break;
    }
}

void selection_advance() {
    if (selection_box_open()) {
        ops->hide_cursor();
        PixelPoint p;
        if (!ops->cursor(&p)) return;
        if (g_app.capture.pick_state == kPickTopLeft) {
            if (same(p, g_app.capture.top_left)) return;
            selection_apply_top_left(p);
        } else if (g_app.capture.pick_state == kPickBottomRight) {
            if (g_app.capture.capture_flags & kCaptureFixed) {
                const PixelPoint br = g_app.capture.bottom_right;
                PixelPoint d{p.x - br.x, p.y - br.y};
                if (d.x == 0 && d.y == 0) return;
                PixelPoint tl = plus(g_app.capture.top_left, d);
                PixelRect b = selection_bounds();
                if (tl.x < b.left || tl.y < b.top) return;
                selection_apply_corners(tl, p);
            } else if (!follow_bottom_right(p)) {
                return;
            }
        } else {
            return;
        }
        refresh_box();
        return;
    }
    if (g_app.capture.pick_state == kPickTopLeft) {
        g_app.capture.capture_flags &= ~uint32_t(kCaptureAspectReleased);
        g_app.capture.pick_state = kPickBottomRight;
        PixelPoint& br = g_app.capture.bottom_right;
        const PixelPoint& tl = g_app.capture.top_left;
        if (br.x < tl.x) br.x = tl.x + 16;
        if (br.y < tl.y) br.y = tl.y + 16;
        PixelRect b = selection_bounds();
        if (br.x < b.left) br.x = b.left;
        if (br.x > b.right - 1) br.x = b.right - 1;
        if (br.y < b.top) br.y = b.top;
        if (br.y > b.bottom - 1) br.y = b.bottom - 1;
        if (!selection_cover_mode()) {
            ops->draw_crosshair(tl);
            ops->restore_magnifier(tl);
            ops->set_cursor(br);
            ops->restore_magnifier(br);
            ops->draw_frame(tl, br);
        } else {
            ops->paint_cover_rect(tl, br);
        }
    } else if (g_app.capture.pick_state == kPickBottomRight) {
        ops->post_main(UM_OUTPUT, 0, 0);
    }
}

void selection_move_corner(int count, int direction) {
    if (count < 0) {
        g_app.capture.move_direction = reversed(g_app.capture.move_direction);
        count = 1;
    } else if (count == 0) {
        count = 1;
    } else if (count > 9) {
        count = 9;
    }
    if (direction == 0) {
        direction = g_app.capture.move_direction;
    } else {
        g_app.capture.move_direction = direction;
        follow_axis(direction);
    }
    if (ops->shift_down()) direction = turned(direction);

    PixelRect b = selection_bounds();
    const PixelPoint tl = g_app.capture.top_left;
    const PixelPoint br = g_app.capture.bottom_right;
    if (g_app.capture.pick_state == kPickTopLeft) {
        PixelPoint p = moved(tl, direction, count);
        if (p.x < b.left || p.x > b.right || p.y < b.top || p.y > b.bottom) return;
        if (same(p, tl)) return;
        selection_apply_top_left(p);
    } else if (g_app.capture.pick_state == kPickBottomRight &&
               (g_app.capture.capture_flags & kCaptureFixed)) {
        PixelPoint ntl = moved(tl, direction, count);
        PixelPoint nbr = moved(br, direction, count);
        if (ntl.x < b.left || nbr.x > b.right || ntl.y < b.top || nbr.y > b.bottom) return;
        if (same(nbr, br)) return;
        selection_apply_corners(ntl, nbr);
    } else if (g_app.capture.pick_state == kPickBottomRight) {
        PixelPoint p = moved(br, direction, count);
        if (g_app.aspect > 0 && !aspect_adjust(&p)) return;
        if (p.x < tl.x || p.x > b.right || p.y < tl.y || p.y > b.bottom) return;
        if (same(p, br)) return;
        selection_apply_corners(tl, p);
    } else {
        return;
    }
    refresh_box();
}

int selection_set_size(int dw, int dh) {
    PixelPoint p{g_app.capture.top_left.x + dw, g_app.capture.top_left.y + dh};
    if (same(p, g_app.capture.bottom_right)) return 1;
    PixelRect b = selection_bounds();
    const PixelPoint tl = g_app.capture.top_left;
    if (p.x <= tl.x || p.y <= tl.y || p.x >= b.right || p.y >= b.bottom)
        return 1;
    selection_apply_corners(g_app.capture.top_left, p);
    refresh_box();
    return 1;
}

void selection_toggle_fixed() {
    if (g_app.capture.pick_state == kPickBottomRight) g_app.capture.capture_flags ^= kCaptureFixed;
}

void selection_drag_by(PixelPoint d) {
    PixelRect b = selection_bounds();
    if (g_app.capture.pick_state == kPickTopLeft) {
        PixelPoint p = plus(g_app.capture.top_left, d);
        if (p.x < b.left || p.x >= b.right || p.y < b.top || p.y >= b.bottom) return;
        selection_apply_top_left(p);
    } else if (g_app.capture.pick_state == kPickBottomRight &&
               (g_app.capture.capture_flags & kCaptureFixed)) {
        PixelPoint tl = plus(g_app.capture.top_left, d);
        if (tl.x < b.left || tl.y < b.top) return;
        selection_apply_corners(tl, plus(g_app.capture.bottom_right, d));
    } else if (g_app.capture.pick_state == kPickBottomRight) {
        PixelPoint p = plus(g_app.capture.bottom_right, d);
        if (g_app.aspect > 0) {
            if (!aspect_adjust(&p)) {
                g_app.capture.drag_last = g_app.capture.bottom_right;
                ops->set_cursor(g_app.capture.bottom_right);
                return;
            }
            g_app.capture.drag_last = p;
            ops->set_cursor(p);
        }
        if (same(p, g_app.capture.bottom_right)) return;
        if (p.x <= g_app.capture.top_left.x || p.y <= g_app.capture.top_left.y) {
            g_app.capture.drag_last = g_app.capture.bottom_right;
            ops->set_cursor(g_app.capture.bottom_right);
            return;
        }
        selection_apply_corners(g_app.capture.top_left, p);
    } else {
        return;
    }
    refresh_box();
}

void selection_top_left_box_result(TopLeftBoxResult result) {
    switch (result) {
        case kTopLeftBoxCancel:
            ops->post_main(UM_END_CAPTURE, 0, 0);
            break;
        case kTopLeftBoxKeepChoosing:
            ops->set_cursor(g_app.capture.top_left);
            break;
        case kTopLeftBoxDecided:
            if (g_app.fixed_width > 0) {
                if (g_app.aspect > 0) {
                    g_app.capture.bottom_right = g_app.capture.top_left;
                    const PixelPoint tl = g_app.capture.top_left;
                    PixelPoint p{tl.x + g_app.fixed_width - 1, tl.y + 1};
                    if (aspect_adjust(&p)) {
                        g_app.capture.bottom_right = p;
                        ops->set_cursor(p);
                    }
                } else {
                    g_app.capture.bottom_right.x = g_app.capture.top_left.x + g_app.fixed_width - 1;
                }
            }
            if (g_app.flags & kFlagAutoOpenBox)
                g_app.capture.capture_flags |= kCaptureOpenBottomRightBox;
            selection_advance();
            break;
    }
}

void selection_bottom_right_box_result(BottomRightBoxResult result) {
    switch (result) {
        case kBottomRightBoxCancel:
            ops->post_main(UM_END_CAPTURE, 0, 0);
            break;
        case kBottomRightBoxBackToTopLeft:
            back_to_top_left();
            if (g_app.flags & kFlagAutoOpenBox)
                g_app.capture.capture_flags |= kCaptureOpenTopLeftBox;
            break;
        case kBottomRightBoxKeepChoosing:
            ops->set_cursor(g_app.capture.bottom_right);
            break;
        case kBottomRightBoxOutput:
            ops->post_main(UM_OUTPUT, 0, 0);
            break;
    }
}

ClickAction selection_click_press(PixelPoint at) {
    g_app.capture.press_point = at;
    if (!g_app.capture.click_timer) {
        g_app.capture.click_timer = kClickTimerId;
        return ClickAction::kStartTimer;
    }
    g_app.capture.click_timer = 0;
    return ClickAction::kBoxOk;
}

ClickAction selection_click_timer(bool button_down) {
    if (!g_app.capture.click_timer) return ClickAction::kNone;
    g_app.capture.click_timer = 0;
    return button_down ? ClickAction::kStartDrag : ClickAction::kAdvance;
}

ClickAction selection_click_move(PixelPoint at, bool button_down) {
    if (!g_app.capture.click_timer || g_app.capture.dragging) return ClickAction::kNone;
    const PixelPoint pressed = g_app.capture.press_point;
    if (std::abs(at.x - pressed.x) <= 2 && std::abs(at.y - pressed.y) <= 2)
        return ClickAction::kNone;
    if (!button_down) return ClickAction::kNone;
    g_app.capture.click_timer = 0;
    return ClickAction::kStartDrag;
}

void selection_click_stop() {
    g_app.capture.click_timer = 0;
    g_app.capture.dragging = 0;
}
