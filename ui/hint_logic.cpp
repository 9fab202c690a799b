#include "ui/hint_logic.h"

#include <cstdlib>
#include <cstring>

void hint_restart(HintClock* clock, uint32_t now, PixelPoint cursor) {
    clock->index = -1;
    clock->rest_start = now;
    clock->rest = cursor;
}

HintStep hint_tick(HintClock* c, const HintInput& in) {
    HintStep step{false, -1};
    if (!in.enabled || in.button_down) {
        step.hide = c->index >= 0;
        c->index = -1;
        c->rest_start = in.now;
        return step;
    }
    const PixelPoint p = in.cursor;
    bool look = false;  // look for a control under the cursor now
    if (c->index < 0) {
        const bool resting = p.x >= 0 && p.y >= 0 && std::abs(p.x - c->rest.x) <= kHintTolerance &&
                             std::abs(p.y - c->rest.y) <= kHintTolerance;
        if (resting) {
            if (in.now - c->rest_start < kHintRestMs) return step;
            look = true;
        }
    } else {
        if (in.inside_shown) return step;
        // Leaving one control: the next one shows at once.
        step.hide = true;
        c->index = -1;
        look = true;
    }
    if (look && in.hit >= 0 && in.uncovered) {
        c->index = in.hit;
        step.show = in.hit;
        return step;
    }
    c->rest_start = in.now;
    c->rest = p;
    return step;
}

std::vector<std::string> hint_lines(const char* text) {
    std::vector<std::string> lines;
    const char* p = text ? text : "";
    while (*p && int(lines.size()) < kHintMaxLines) {
        const char* nl = std::strchr(p, '\n');
        if (!nl) {
            lines.emplace_back(p);
            break;
        }
        lines.emplace_back(p, size_t(nl - p));
        p = nl + 1;
    }
    return lines;
}

PixelPoint hint_position(const PixelRect& rect, int width, int height, PixelPoint origin,
                         const PixelRect& monitor, int gap) {
    const int h2 = (rect.bottom - rect.top) / 2;
    int x = rect.left + (rect.right - rect.left) / 2 - width / 2 + origin.x;
    const int yc = rect.top + h2 + origin.y;
    if (x + width > monitor.right) x = monitor.right - width;
    if (x < monitor.left) x = monitor.left;
    const int d = h2 + gap;
    const int y = yc + height + d < monitor.bottom ? yc + d : yc - d - height;
    return PixelPoint{x, y};
}
