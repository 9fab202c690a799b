// The coordinate boxes' and the aspect chooser's icons as the linked
// resources hold them: each has an image of its own at 16x16 (the size the
// program draws, so nothing is scaled from another size), 32-bit with an
// AND mask that agrees with its alpha and something to see; each ratio icon
// shows a rectangle nearer its own ratio than any other.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "resources/resource_ids.h"

namespace {

const int kIconIds[] = {
    IDI_BOX_0,         IDI_BOX_1,           IDI_BOX_2,           IDI_BOX_3,
    IDI_BOX_4,         IDI_BOX_5,           IDI_BOX_6,           IDI_BOX_7,
    IDI_ARROW_LEFT,    IDI_ARROW_RIGHT,     IDI_ARROW_UP,        IDI_ARROW_DOWN,
    IDI_PICK_TOP_LEFT, IDI_PICK_BOTTOM_RIGHT, IDI_DECIDE,        IDI_TO_BOTTOM_RIGHT,
    IDI_BACK_TO_TOP_LEFT, IDI_DROP_DOWN,    IDI_ASPECT_3_4,      IDI_ASPECT_2_3,
    IDI_ASPECT_1_1,    IDI_ASPECT_3_2,      IDI_ASPECT_4_3,      IDI_ASPECT_16_9,
};

struct Ratio {
    int id, w, h;
};
const Ratio kRatios[] = {
    {IDI_ASPECT_16_9, 16, 9}, {IDI_ASPECT_3_2, 3, 2}, {IDI_ASPECT_4_3, 4, 3},
    {IDI_ASPECT_1_1, 1, 1},   {IDI_ASPECT_3_4, 3, 4}, {IDI_ASPECT_2_3, 2, 3},
};

const BYTE* resource_bytes(int id, LPCSTR type, DWORD* size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    *size = found ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The alpha values (top row first) of the image that icon `id` offers for
// 16x16; empty unless that image is a 16x16 32-bit one whose AND mask
// agrees with its alpha, since systems that ignore alpha draw by the mask.
std::vector<int> alpha_16(int id) {
    DWORD size = 0;
    const BYTE* group = resource_bytes(id, MAKEINTRESOURCEA(14), &size);  // RT_GROUP_ICON
    const int image_id =
        group ? LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, 16, 16, 0) : 0;
    const BYTE* image = resource_bytes(image_id, MAKEINTRESOURCEA(3), &size);  // RT_ICON
    BITMAPINFOHEADER h;
    const DWORD mask_start = sizeof h + 16 * 16 * 4;
    if (!image || size < mask_start + 16 * 4) return {};
    std::memcpy(&h, image, sizeof h);
    if (h.biWidth != 16 || h.biHeight != 32 || h.biBitCount != 32) return {};
    std::vector<int> alpha(256);
    for (int i = 0; i < 256; ++i) {
        const int x = i % 16, row = 15 - i / 16;  // rows are stored bottom-up
        alpha[size_t(i)] = image[sizeof h + (row * 16 + x) * 4 + 3];
        const bool masked = image[mask_start + row * 4 + x / 8] & (0x80 >> (x % 8));
        if (masked != (alpha[size_t(i)] == 0)) return {};
    }
    return alpha;
}

// How far a width:height shown lies from a ratio, as the eye compares them.
double ratio_distance(double w, double h, const Ratio& r) {
    return std::fabs(std::log(w * r.h / (h * r.w)));
}

TEST(BoxIcons, Each16x16ImageHasItsMaskSomethingToSeeAndItsRatio) {
    for (int id : kIconIds) {
        const std::vector<int> alpha = alpha_16(id);
        ASSERT_EQ(alpha.size(), 256u) << id;
        int opaque = 0, left = 16, right = -1, top = 16, bottom = -1;
        for (int i = 0; i < 256; ++i) {
            if (!alpha[size_t(i)]) continue;
            opaque += alpha[size_t(i)] == 255;
            left = std::min(left, i % 16), right = std::max(right, i % 16);
            top = std::min(top, i / 16), bottom = std::max(bottom, i / 16);
        }
        EXPECT_GE(opaque, 8) << id;
        const double w = right - left + 1, h = bottom - top + 1;
        const Ratio* nearest = std::min_element(
            std::begin(kRatios), std::end(kRatios), [&](const Ratio& a, const Ratio& b) {
                return ratio_distance(w, h, a) < ratio_distance(w, h, b);
            });
        for (const Ratio& r : kRatios)
            EXPECT_TRUE(r.id != id || nearest->id == id) << r.w << ":" << r.h;
    }
}

}  // namespace
