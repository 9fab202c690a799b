#include "capture/box_logic.h"

#include <cstdio>
#include <cstring>

#include "image/dib.h"
#include "state/app_state.h"

std::string point_text(PixelPoint p) {
    char text[32];
    std::snprintf(text, sizeof text, "%d,%d", int(p.x), int(p.y));
    return text;
}

std::string size_text(PixelPoint top_left, PixelPoint bottom_right) {
    return point_text(PixelPoint{bottom_right.x - top_left.x + 1, bottom_right.y - top_left.y + 1});
}

int image_pixel(const ImageView& image, PixelPoint p, uint32_t* colour) {
    if (!image.bits || p.x < 0 || p.y < 0 || p.x >= image.width || p.y >= image.height) return 0;
    const uint8_t* px =
        image.bits + size_t(image.height - 1 - p.y) * size_t(image.stride) + size_t(p.x) * 3;
    *colour = uint32_t(px[2]) | uint32_t(px[1]) << 8 | uint32_t(px[0]) << 16;
    return 1;
}

std::string colour_text(uint32_t colour) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", unsigned(colour & 0xFF),
                  unsigned(colour >> 8 & 0xFF), unsigned(colour >> 16 & 0xFF));
    return text;
}

void colour_sample_dib(uint32_t colour, uint8_t block[kColourSampleBlockSize]) {
    std::memset(block, 0, kColourSampleBlockSize);
    DibHeader header = {};
    header.biSize = sizeof header;
    header.biWidth = kColourSampleSide;
    header.biHeight = kColourSampleSide;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biXPelsPerMeter = kColourSamplePixelsPerMetre;
    header.biYPelsPerMeter = kColourSamplePixelsPerMetre;
    std::memcpy(block, &header, sizeof header);
    uint8_t* px = block + sizeof header;
    for (int i = 0; i < kColourSampleSide * kColourSampleSide; ++i, px += 3) {
        px[0] = uint8_t(colour >> 16);  // blue
        px[1] = uint8_t(colour >> 8);   // green
        px[2] = uint8_t(colour);        // red
    }
}

const char* box_rect_key(bool bottom_right, int flags) {
    return bottom_right && (flags & kFlagSeparateBoxRects) ? "DialogRect2" : "DialogRect";
}
