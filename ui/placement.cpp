#include "ui/placement.h"

#include <cstdint>

// The saved rectangle comes from the settings file, so sums are taken in
// 64 bits: a damaged value must not overflow on its way into the monitor.

PixelPoint placement_at_cursor(const PixelRect& window, PixelPoint cursor,
                               const PixelRect& monitor) {
    int64_t w = int64_t(window.right) - window.left;
    int64_t h = int64_t(window.bottom) - window.top;
    int64_t x = cursor.x - w / 2;
    if (x + w > monitor.right) x = monitor.right - w;
    if (x < monitor.left) x = monitor.left;
    int64_t y = cursor.y - h / 2;
    if (y < monitor.top) y = monitor.top;
    if (y + h > monitor.bottom) y = monitor.bottom - h;
    return PixelPoint{int32_t(x), int32_t(y)};
}

PixelPoint placement_saved(const PixelRect& saved, const PixelRect& monitor) {
    int64_t w = int64_t(saved.right) - saved.left;
    int64_t h = int64_t(saved.bottom) - saved.top;
    int64_t x = saved.left;
    if (x + w > monitor.right) x = monitor.right - w;
    if (x < monitor.left) x = monitor.left;
    int64_t y = saved.top;
    if (y + h > monitor.bottom) y = monitor.bottom - h;
    if (y < monitor.top) y = monitor.top;
    return PixelPoint{int32_t(x), int32_t(y)};
}

bool placement_rect_empty(const PixelRect& rect) {
    return rect.right <= rect.left || rect.bottom <= rect.top;
}
