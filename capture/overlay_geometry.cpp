#include "capture/overlay_geometry.h"

#include <cstring>

#include <algorithm>

#include "ui/dpi_scale.h"

namespace {

// A fill from origin and signed extents. A negative extent covers the
// origin's pixel and the pixels before it, as the system's block transfers
// treat it.
PixelRect signed_fill(int x, int y, int width, int height) {
    PixelRect r;
    if (width >= 0) {
        r.left = x;
        r.right = x + width;
    } else {
        r.left = x + width + 1;
        r.right = x + 1;
    }
    if (height >= 0) {
        r.top = y;
        r.bottom = y + height;
    } else {
        r.top = y + height + 1;
        r.bottom = y + 1;
    }
    return r;
}

// Empty or inverted rectangles are dropped: the system would normalise an
// inverted one and paint it.
void add_fill(CoverPlan* plan, int left, int top, int right, int bottom) {
    if (left < right && top < bottom) plan->fills[plan->fill_count++] = PixelRect{left, top, right, bottom};
}

int scale_coordinate(int v, int percent) {
    return static_cast<int>(static_cast<int64_t>(v) * percent / 100);
}

}  // namespace

void overlay_crosshair_lines(PixelPoint p, int width, int height, PixelRect lines[2]) {
    lines[0] = PixelRect{p.x, 0, p.x + 1, height};
    lines[1] = PixelRect{0, p.y, width, p.y + 1};
}

void overlay_frame_edges(PixelPoint tl, PixelPoint br, PixelRect edges[4]) {
    edges[0] = signed_fill(tl.x, tl.y, br.x - tl.x, 1);
    edges[1] = signed_fill(tl.x, br.y, 1, tl.y - br.y);
    edges[2] = signed_fill(br.x, tl.y, 1, br.y - tl.y);
    edges[3] = signed_fill(br.x, br.y, tl.x - br.x, 1);
}

int overlay_magnifier_cell_for_dpi(int dpi) { return scale_for_dpi(kMagnifierCellSize, dpi); }

int overlay_magnifier_cells(PixelPoint p, const ImageView& image,
                            MagnifierCell cells[kMagnifierCells * kMagnifierCells], int cell) {
    int count = 0;
    if (!image.bits) return 0;
    const int half = kMagnifierCells * cell / 2;
    for (int i = 0; i < kMagnifierCells; ++i) {
        const int y = p.y + i - kMagnifierCells / 2;
        if (y < 0 || y >= image.height) continue;
        const uint8_t* row = image.bits + static_cast<size_t>(image.height - 1 - y) * image.stride;
        const int top = p.y - half + cell * i;
        for (int j = 0; j < kMagnifierCells; ++j) {
            const int x = p.x + j - kMagnifierCells / 2;
            if (x < 0 || x >= image.width) continue;
            const uint8_t* px = row + 3 * static_cast<size_t>(x);
            const int left = p.x - half + cell * j;
            MagnifierCell& out = cells[count++];
            out.rect = PixelRect{left, top, left + cell, top + cell};
            out.colour = uint32_t(px[2]) | uint32_t(px[1]) << 8 | uint32_t(px[0]) << 16;
        }
    }
    return count;
}

DibBlit overlay_magnifier_restore(PixelPoint p, int image_height, int cell) {
    const int size = kMagnifierCells * cell;
    const int left = p.x - size / 2;
    const int top = p.y - size / 2;
    return DibBlit{left, top, size, size, left, image_height - top - size};
}

CoverPlan overlay_cover_top_left(PixelPoint p, int width, int height, int image_height) {
    CoverPlan plan{};
    if (p.x > 0 && p.y > 0) add_fill(&plan, 0, 0, p.x, p.y);
    if (p.y > 0) add_fill(&plan, p.x, 0, width, p.y);
    if (p.x > 0) add_fill(&plan, 0, p.y, p.x, height);
    if (p.x < width && p.y < height) {
        plan.has_blit = 1;
        // The source starts as many rows above the image's bottom row as the
        // image is taller than the client area, so image row p.y lands on
        // client row p.y: one row at 100 %, none for a resized grab.
        plan.blit = DibBlit{p.x, p.y, width - p.x, height - p.y, p.x, image_height - height};
    }
    return plan;
}

CoverPlan overlay_cover_rect(PixelPoint tl, PixelPoint br, int image_width, int image_height) {
    CoverPlan plan{};
    const int w = image_width;
    const int h = image_height;
    if (tl.x > 0 && tl.y > 0) add_fill(&plan, 0, 0, tl.x, tl.y);
    if (tl.y > 0) add_fill(&plan, tl.x, 0, w, tl.y);
    if (tl.x > 0) add_fill(&plan, 0, tl.y, tl.x, h);
    if (tl.x < w && tl.y < h && tl.x < br.x && tl.y < br.y) {
        plan.has_blit = 1;
        plan.blit = DibBlit{tl.x, tl.y, br.x - tl.x + 1, br.y - tl.y + 1, tl.x, h - br.y - 1};
    }
    const int x2 = br.x + 1;
    const int y2 = br.y + 1;
    if (tl.x < x2 && y2 < h) add_fill(&plan, tl.x, y2, w, h);
    if (x2 < w && tl.y < y2) add_fill(&plan, x2, tl.y, w, y2);
    return plan;
}

namespace {

PixelRect intersect(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    if (r.left >= r.right || r.top >= r.bottom) r = PixelRect{0, 0, 0, 0};
    return r;
}

bool empty(const PixelRect& r) { return r.left >= r.right || r.top >= r.bottom; }

}  // namespace

CoverShown overlay_cover_top_left_shown(PixelPoint p, int width, int height, int image_width,
                                        int image_height) {
    CoverShown shown{};
    const PixelRect client{0, 0, width, height};
    shown.image = intersect(PixelRect{p.x, p.y, width, height}, client);
    // A picture narrower or lower than the client area leaves a strip unpainted.
    shown.exact = image_width >= width && image_height >= height;
    return shown;
}

CoverShown overlay_cover_rect_shown(PixelPoint tl, PixelPoint br, int width, int height,
                                    int image_width, int image_height) {
    CoverShown shown{};
    const PixelRect client{0, 0, width, height};
    shown.image = intersect(PixelRect{tl.x, tl.y, br.x + 1, br.y + 1}, client);
    // A selection one pixel wide or high is not copied and its pixels keep
    // what was there; a corner left of or above the image fills nothing there.
    shown.exact = tl.x >= 0 && tl.y >= 0 && tl.x < br.x && tl.y < br.y &&
                  image_width >= width && image_height >= height;
    return shown;
}

int overlay_rect_subtract(const PixelRect& a, const PixelRect& b, PixelRect out[4]) {
    if (empty(a)) return 0;
    const PixelRect common = intersect(a, b);
    if (empty(common)) {
        out[0] = a;
        return 1;
    }
    int n = 0;
    if (a.top < common.top) out[n++] = PixelRect{a.left, a.top, a.right, common.top};
    if (common.bottom < a.bottom) out[n++] = PixelRect{a.left, common.bottom, a.right, a.bottom};
    if (a.left < common.left) out[n++] = PixelRect{a.left, common.top, common.left, common.bottom};
    if (common.right < a.right) out[n++] = PixelRect{common.right, common.top, a.right, common.bottom};
    return n;
}

CoverDelta overlay_cover_delta(const PixelRect& from, const PixelRect& to, int image_height) {
    CoverDelta delta{};
    delta.fill_count = overlay_rect_subtract(from, to, delta.fills);
    PixelRect joined[4];
    delta.blit_count = overlay_rect_subtract(to, from, joined);
    for (int i = 0; i < delta.blit_count; ++i) {
        const PixelRect& r = joined[i];
        delta.blits[i] = DibBlit{r.left, r.top, r.right - r.left, r.bottom - r.top, r.left,
                                 image_height - r.bottom};
    }
    return delta;
}

DibBlit overlay_clip_blit(DibBlit b, int image_width, int image_height) {
    // Source rows counted from the image's top, as the destination's are.
    const int top = image_height - b.src_y - b.height;
    const int dx0 = std::max(0, -b.src_x), dy0 = std::max(0, -top);
    const int dx1 = std::max(0, b.src_x + b.width - image_width);
    const int dy1 = std::max(0, top + b.height - image_height);
    DibBlit c = b;
    c.width = std::max(0, b.width - dx0 - dx1);
    c.height = std::max(0, b.height - dy0 - dy1);
    if (c.width == 0 || c.height == 0) {
        c.width = c.height = 0;
        return c;
    }
    c.dest_x += dx0;
    c.src_x += dx0;
    c.dest_y += dy0;
    c.src_y += dy1;
    return c;
}

void overlay_row_32_to_24(const uint8_t* from, uint8_t* to, int width) {
    // Four pixels at a time as three 32-bit words (little-endian, as every
    // Windows machine is): a capture start converts the whole screen.
    int x = 0;
    for (; x + 4 <= width; x += 4, from += 16, to += 12) {
        uint32_t p[4];
        std::memcpy(p, from, sizeof p);
        const uint32_t w[3] = {(p[0] & 0xFFFFFFu) | (p[1] << 24),
                               ((p[1] >> 8) & 0xFFFFu) | (p[2] << 16),
                               ((p[2] >> 16) & 0xFFu) | (p[3] << 8)};
        std::memcpy(to, w, sizeof w);
    }
    for (; x < width; ++x, from += 4, to += 3) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
}

GrabPlan overlay_grab_plan(const PixelRect& screen, int percent, const PixelRect& desktop) {
    GrabPlan plan{};
    if (percent == 100) {
        plan.area = screen;
        plan.clip = desktop;
        return plan;
    }
    auto scaled = [percent](const PixelRect& r) {
        return PixelRect{scale_coordinate(r.left, percent), scale_coordinate(r.top, percent),
                         scale_coordinate(r.right, percent), scale_coordinate(r.bottom, percent)};
    };
    plan.area = scaled(screen);
    // Truncated like the area: a source reaching past the display's edge
    // makes some drivers copy nothing at all.
    plan.clip = scaled(desktop);
    plan.resize_width = screen.right - screen.left;
    plan.resize_height = screen.bottom - screen.top;
    return plan;
}

int overlay_scaling_in_force(int percent, int context_awareness, int process_aware) {
    const int aware = context_awareness >= 0 ? context_awareness : process_aware;
    return aware > 0 ? 100 : percent;
}
