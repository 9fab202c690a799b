// The arithmetic behind the overlay's drawing and the capture grab: which
// rectangles the marks invert, which magnifier cells are painted in which
// colour, what the covered display fills and copies, and which desktop
// area is grabbed under display scaling. Points are image coordinates
// (overlay client coordinates); rectangles are right/bottom exclusive.
#pragma once

#include <cstdint>

#include "image/dib.h"
#include "sys/handles.h"

constexpr int kMagnifierCells = 5;     // cells per row and column
constexpr int kMagnifierCellSize = 5;  // screen pixels per cell side at 96 DPI

// The magnifier's cell side at the overlay's DPI: it grows with the marks'
// window, while each cell still shows one screen pixel.
int overlay_magnifier_cell_for_dpi(int dpi);

// The locked 24-bit grabbed image as the drawing code reads it.
struct ImageView {
    const uint8_t* bits = nullptr;  // bottom-up rows
    int width = 0;
    int height = 0;
    int stride = 0;
};

// A SetDIBitsToDevice transfer from the whole image (first scan line 0,
// all rows): destination origin and size, source origin with y counted
// from the image's bottom row.
struct DibBlit {
    int dest_x;
    int dest_y;
    int width;
    int height;
    int src_x;
    int src_y;
};

struct MagnifierCell {
    PixelRect rect;
    uint32_t colour;  // COLORREF: red in the low byte
};

// What a cover painter does: fill `fills` with the background colour,
// then copy `blit` from the image when `has_blit`.
struct CoverPlan {
    PixelRect fills[5];
    int fill_count;
    int has_blit;
    DibBlit blit;
};

// The vertical and the horizontal line of the crosshair through p over a
// client area of width x height.
void overlay_crosshair_lines(PixelPoint p, int width, int height, PixelRect lines[2]);

// The frame's four edges (top, left, right, bottom) drawn from signed
// extents, normalised the way the system treats a negative extent: it
// reaches left or up from the origin and includes the origin's pixel. Every
// outline pixel lies in exactly one edge, so inverting all four toggles the
// one-pixel outline.
void overlay_frame_edges(PixelPoint tl, PixelPoint br, PixelRect edges[4]);

// The painted cells of the magnifier at p, `cell` pixels a side, in row
// order; cells whose image pixel lies outside the image are left out.
// Returns the number written.
int overlay_magnifier_cells(PixelPoint p, const ImageView& image,
                            MagnifierCell cells[kMagnifierCells * kMagnifierCells],
                            int cell = kMagnifierCellSize);

// The copy that puts the image back under the magnifier's square at p.
DibBlit overlay_magnifier_restore(PixelPoint p, int image_height, int cell = kMagnifierCellSize);

// The covered display while the top-left corner is chosen: a client area
// of width x height, the image `image_height` rows high.
CoverPlan overlay_cover_top_left(PixelPoint p, int width, int height, int image_height);
// The covered display while the bottom-right corner is chosen.
CoverPlan overlay_cover_rect(PixelPoint tl, PixelPoint br, int image_width, int image_height);

// The covered display as it stands after a paint: the picture inside
// `image` (image pixel (x, y) on client pixel (x, y)), the background colour
// everywhere else in the client area. `exact` is 0 when the full paint
// leaves some pixels as they were (a selection one pixel wide or high, a
// picture smaller than the client area): then only a full paint is right.
struct CoverShown {
    PixelRect image;
    int exact;
};
// What the full paints above leave on a client area of width x height.
CoverShown overlay_cover_top_left_shown(PixelPoint p, int width, int height, int image_width,
                                        int image_height);
CoverShown overlay_cover_rect_shown(PixelPoint tl, PixelPoint br, int width, int height,
                                    int image_width, int image_height);

// The repaint from one exact covered display to another: the bands that
// leave the picture are filled, the bands that join it are copied. A corner
// move of a few pixels touches a few rows or columns instead of the screen.
struct CoverDelta {
    PixelRect fills[4];
    int fill_count;
    DibBlit blits[4];
    int blit_count;
};
CoverDelta overlay_cover_delta(const PixelRect& from, const PixelRect& to, int image_height);

// The pixels of `a` that are not in `b` as at most four disjoint
// rectangles (full-width bands above and below, then the sides); returns
// how many.
int overlay_rect_subtract(const PixelRect& a, const PixelRect& b, PixelRect out[4]);

// A copy from the image limited to the image's pixels, the destination
// moved with the source, as SetDIBitsToDevice limits it; width or height 0
// when nothing is left.
DibBlit overlay_clip_blit(DibBlit b, int image_width, int image_height);

// One row of a 32-bit grab (B, G, R, unused) as 24-bit pixels.
void overlay_row_32_to_24(const uint8_t* from, uint8_t* to, int width);

// The desktop area grab_for_capture grabs for `screen` at a display scaling
// of `percent`, the part of it that lies on the desktop, and the size the
// grab is resized to (0 x 0 at 100 %, where the grab is used as it is).
// `desktop` is the desktop's rectangle as the system reports it to the
// program; under scaling the grab works in the display's own pixels, so
// the desktop's bounds are scaled the same way as the area.
struct GrabPlan {
    PixelRect area;  // both corners inclusive, desktop coordinates
    PixelRect clip;  // the desktop in the same coordinates, right/bottom exclusive
    int resize_width;
    int resize_height;
};
GrabPlan overlay_grab_plan(const PixelRect& screen, int percent, const PixelRect& desktop);

// The display scaling percentage the grab applies. The system scales the
// pixels only of a program that is not DPI-aware; a DPI-aware one sees the
// screen's own pixels and grabs them 1:1 (100) whatever `percent`, the
// Scaling setting, says. What the system tells: `context_awareness`, the
// awareness of the thread's DPI awareness context (0 unaware, 1 system,
// 2 per monitor; -1 where the system has no such contexts or gives an
// invalid one), else `process_aware`, IsProcessDPIAware (0 or 1; -1 where it
// is missing). Told nothing, the setting applies as the user made it.
int overlay_scaling_in_force(int percent, int context_awareness, int process_aware);
