// The coordinate boxes' and the aspect chooser's icons as the linked
// resources hold them: each has an image of its own at 16x16 (the size the
// program draws, so nothing is scaled from another size), 32-bit with an
// AND mask that agrees with its alpha and something to see; each ratio icon
// shows a rectangle in the proportions of its own ratio.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
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

// An icon group and its entries as resources store them.
#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bits;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

const BYTE* resource_bytes(int id, LPCSTR type, DWORD* size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    *size = found ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

// The 16x16 image of icon group `id` as top-down alpha values; empty when
// the group has no valid 16x16 32-bit image with its mask.
std::vector<int> alpha_16(int id) {
    DWORD size = 0;
    const BYTE* group = resource_bytes(id, MAKEINTRESOURCEA(14), &size);  // RT_GROUP_ICON
    if (!group || size < 6) return {};
    const WORD count = *reinterpret_cast<const WORD*>(group + 4);
    if (size < 6 + count * sizeof(GroupEntry)) return {};
    for (WORD i = 0; i < count; ++i) {
        GroupEntry e;
        std::memcpy(&e, group + 6 + i * sizeof e, sizeof e);
        if (e.width != 16 || e.height != 16) continue;
        const BYTE* image = resource_bytes(e.id, MAKEINTRESOURCEA(3), &size);  // RT_ICON
        BITMAPINFOHEADER h;
        const DWORD colour_bytes = 16 * 16 * 4, mask_bytes = 16 * 4;
        if (!image || size < sizeof h + colour_bytes + mask_bytes) return {};
        std::memcpy(&h, image, sizeof h);
        if (h.biWidth != 16 || h.biHeight != 32 || h.biBitCount != 32) return {};
        std::vector<int> alpha(256);
        for (int y = 0; y < 16; ++y) {
            const BYTE* row = image + sizeof h + (15 - y) * 64;
            const BYTE* mask = image + sizeof h + colour_bytes + (15 - y) * 4;
            for (int x = 0; x < 16; ++x) {
                alpha[size_t(y * 16 + x)] = row[x * 4 + 3];
                // Systems that ignore alpha draw through the mask: it must agree.
                const bool masked = mask[x / 8] & (0x80 >> (x % 8));
                if (masked != (row[x * 4 + 3] == 0)) return {};
            }
        }
        return alpha;
    }
    return {};
}

TEST(BoxIcons, EachHoldsA16x16ImageWithAMatchingMaskAndSomethingToSee) {
    for (int id : kIconIds) {
        const std::vector<int> alpha = alpha_16(id);
        ASSERT_EQ(alpha.size(), 256u) << id;
        int opaque = 0;
        for (int a : alpha) opaque += a == 255;
        EXPECT_GE(opaque, 8) << id;
    }
}

TEST(BoxIcons, EachRatioIconIsNearestToItsOwnRatio) {
    for (const Ratio& r : kRatios) {
        const std::vector<int> alpha = alpha_16(r.id);
        ASSERT_EQ(alpha.size(), 256u) << r.id;
        int left = 16, right = -1, top = 16, bottom = -1;
        for (int i = 0; i < 256; ++i)
            if (alpha[size_t(i)]) {
                left = std::min(left, i % 16), right = std::max(right, i % 16);
                top = std::min(top, i / 16), bottom = std::max(bottom, i / 16);
            }
        ASSERT_GE(right, left) << r.id;
        const double shown = std::log(double(right - left + 1) / (bottom - top + 1));
        const Ratio* nearest = &kRatios[0];
        for (const Ratio& o : kRatios)
            if (std::fabs(shown - std::log(double(o.w) / o.h)) <
                std::fabs(shown - std::log(double(nearest->w) / nearest->h)))
                nearest = &o;
        EXPECT_EQ(nearest->id, r.id) << r.w << ":" << r.h;
    }
}

}  // namespace
