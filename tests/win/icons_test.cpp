// The coordinate boxes' and the aspect chooser's icons as the linked
// resources hold them: a 16x16 32-bit image of their own (nothing scaled), an
// AND mask that agrees with the alpha, and something to see.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

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

const BYTE* resource_bytes(int id, LPCSTR type, DWORD* size) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    *size = found ? SizeofResource(module, found) : 0;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    return loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
}

TEST(BoxIcons, Each16x16ImageHasItsMaskAndSomethingToSee) {
    for (int id : kIconIds) {
        SCOPED_TRACE(id);
        DWORD size = 0;
        const BYTE* group = resource_bytes(id, MAKEINTRESOURCEA(14), &size);  // RT_GROUP_ICON
        const int image_id = group ? LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group), TRUE, 16, 16, 0) : 0;
        const BYTE* image = resource_bytes(image_id, MAKEINTRESOURCEA(3), &size);  // RT_ICON
        BITMAPINFOHEADER h = {};
        const DWORD mask_start = sizeof h + 16 * 16 * 4;
        ASSERT_TRUE(image && size >= mask_start + 16 * 4);
        std::memcpy(&h, image, sizeof h);
        ASSERT_TRUE(h.biWidth == 16 && h.biHeight == 32 && h.biBitCount == 32);
        int opaque = 0;
        for (int i = 0; i < 256; ++i) {
            const int x = i % 16, row = 15 - i / 16;  // rows are stored bottom-up
            const int alpha = image[sizeof h + (row * 16 + x) * 4 + 3];
            // Systems that ignore alpha draw by the mask.
            ASSERT_EQ(bool(image[mask_start + row * 4 + x / 8] & (0x80 >> (x % 8))), alpha == 0) << i;
            opaque += alpha == 255;
        }
        EXPECT_GE(opaque, 8);
    }
}

}  // namespace
