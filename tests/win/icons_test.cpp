// The coordinate boxes' and the aspect-ratio panel's icons load from the
// linked resources as 16x16 icons, the size their buttons draw.
#include <windows.h>

#include <gtest/gtest.h>

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

SIZE bitmap_size(HBITMAP bitmap) {
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info)) return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

TEST(BoxIcons, EveryIconLoadsAt16x16) {
    for (int id : kIconIds) {
        SCOPED_TRACE(id);
        HICON icon = static_cast<HICON>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        SIZE colour = bitmap_size(info.hbmColor);
        SIZE mask = bitmap_size(info.hbmMask);
        EXPECT_EQ(colour.cx, 16);
        EXPECT_EQ(colour.cy, 16);
        EXPECT_EQ(mask.cx, 16);
        EXPECT_EQ(mask.cy, 16);  // a colour icon's mask is not doubled
        if (info.hbmColor) DeleteObject(info.hbmColor);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
