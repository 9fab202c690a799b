// The constraint texts, the size menu built from the size history, the
// dialogs' number rules and what the boxes show and copy.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "capture/box_logic.h"
#include "capture/constraints.h"
#include "image/dib.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/settings.h"

namespace {

TEST(ConstraintTexts, AspectAndWidth) {
    EXPECT_EQ(aspect_text(0), "フリー");
    EXPECT_EQ(aspect_text(1), "16/9");
    EXPECT_EQ(aspect_text(6), "2/3");
    EXPECT_EQ(aspect_text(320 * 65536 + 240), "320/240");
    EXPECT_EQ(aspect_text(-1), "");
    EXPECT_EQ(width_text(0), "フリー");
    EXPECT_EQ(width_text(640), "640");
    EXPECT_EQ(custom_aspect(320, 240), 320 * 65536 + 240);
}

TEST(ConstraintTexts, TypedNumbersAndTheirRange) {
    struct Case { const char* text; long long value; bool ok; };
    const Case cases[] = {
        {"15", 15, false}, {"16", 16, true}, {"1500", 1500, true},
        {"2000", 2000, true}, {"2001", 2001, false},
        {"", -1, false}, {"12a", -1, false}, {"-20", -1, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parse_unsigned(c.text), c.value) << c.text;
        EXPECT_EQ(constraint_value_ok(parse_unsigned(c.text)), c.ok) << c.text;
    }
}

std::vector<std::string> labels(const std::vector<MenuEntry>& menu) {
    std::vector<std::string> out;
    for (const MenuEntry& e : menu)
        out.push_back(e.separator ? "-" : std::to_string(e.id) + ":" + e.text + (e.checked ? "*" : ""));
    return out;
}

TEST(SizeMenu, EntriesFromTheHistoryThenTheCommands) {
    using L = std::vector<std::string>;
    EXPECT_EQ(labels(size_menu_entries("640,480@100,100", 0, 0)),
              (L{"1:640,480", "2:100,100", "4:矩形サイズを入力する", "-", "5:矩形サイズを固定する",
                 "-", "7:現在の矩形サイズを次回再現する", "-", "0:メニューを閉じる"}));
    // The list ends at its first gap; with an aspect the lock item comes in,
    // checked while the aspect holds.
    EXPECT_EQ(labels(size_menu_entries("640,480@@100,100", 1, kCaptureFixed)),
              (L{"1:640,480", "3:矩形サイズを入力する", "-", "4:矩形サイズを固定する*",
                 "5:縦横比を固定する*", "-", "6:現在の矩形サイズを次回再現する", "-",
                 "0:メニューを閉じる"}));
    EXPECT_EQ(labels(size_menu_entries("1,1", 1, kCaptureAspectReleased))[4], "5:縦横比を固定する");
    EXPECT_TRUE(size_menu_entries("", 0, 0).empty());
    EXPECT_TRUE(size_menu_entries("@640,480", 0, 0).empty());
}

TEST(SizeMenu, ChoicesAndRequests) {
    int entry = -1;
    EXPECT_EQ(size_menu_choice(2, 2, &entry), SizeMenuChoice::kEntry);
    EXPECT_EQ(entry, 1);
    EXPECT_EQ(size_menu_choice(3, 2, &entry), SizeMenuChoice::kNone);  // n+1 is not used
    EXPECT_EQ(size_menu_choice(4, 2, &entry), SizeMenuChoice::kTypeSize);
    EXPECT_EQ(size_menu_choice(5, 2, &entry), SizeMenuChoice::kToggleFixed);
    EXPECT_EQ(size_menu_choice(6, 2, &entry), SizeMenuChoice::kToggleAspect);
    EXPECT_EQ(size_menu_choice(7, 2, &entry), SizeMenuChoice::kRememberSize);
    EXPECT_EQ(size_menu_choice(0, 2, &entry), SizeMenuChoice::kNone);
    int dw = 0, dh = 0;
    ASSERT_EQ(size_entry_request(size_history_entry("640,480@100,100", 0), &dw, &dh), 1);
    EXPECT_EQ(dw, 639);
    EXPECT_EQ(dh, 479);
    EXPECT_EQ(size_entry_request("640x480", &dw, &dh), 0);
}

TEST(RememberSize, BothSidesSixteenToTwoThousand) {
    struct Case { int w, h; bool ok; };
    const Case cases[] = {{15, 100, false}, {16, 2000, true}, {2000, 16, true}, {2001, 100, false},
                          {100, 2001, false}};
    for (const Case& c : cases) {
        int aspect = -1, width = -1;
        const int ok = remembered_size(PixelPoint{10, 10}, PixelPoint{10 + c.w - 1, 10 + c.h - 1},
                                       &aspect, &width);
        EXPECT_EQ(ok, c.ok ? 1 : 0) << c.w << "x" << c.h;
        if (c.ok) {
            EXPECT_EQ(aspect, c.w * 65536 + c.h);
            EXPECT_EQ(width, c.w);
        }
    }
}

TEST(AspectChooser, ButtonsAndValues) {
    EXPECT_EQ(chooser_button_for(0), IDC_CHOOSER_FREE);
    EXPECT_EQ(chooser_button_for(1), IDC_CHOOSER_16_9);
    EXPECT_EQ(chooser_button_for(6), IDC_CHOOSER_2_3);
    EXPECT_EQ(chooser_button_for(7), IDC_CHOOSER_CUSTOM);
    EXPECT_EQ(chooser_button_for(320 * 65536 + 240), IDC_CHOOSER_CUSTOM);
    for (int aspect = 0; aspect <= 6; ++aspect)
        EXPECT_EQ(chooser_preset_for(chooser_button_for(aspect)), aspect);
    EXPECT_EQ(chooser_preset_for(IDC_CHOOSER_CUSTOM), -1);
}

TEST(BoxLogic, PixelColourAndSample) {
    // A 3x2 bottom-up picture; the pixel at (2, 0) (top row) is r12 g34 b56.
    uint8_t bits[2 * 12] = {};
    uint8_t* top_row = bits + 12;
    top_row[6] = 0x56;
    top_row[7] = 0x34;
    top_row[8] = 0x12;
    ImageView image;
    image.bits = bits;
    image.width = 3;
    image.height = 2;
    image.stride = 12;
    uint32_t colour = 0xABCDEF;
    ASSERT_EQ(image_pixel(image, PixelPoint{2, 0}, &colour), 1);
    EXPECT_EQ(colour_text(colour), "123456");
    uint32_t kept = 0xABCDEF;
    for (PixelPoint p : {PixelPoint{3, 0}, PixelPoint{0, 2}, PixelPoint{-1, 0}})
        EXPECT_EQ(image_pixel(image, p, &kept), 0);
    EXPECT_EQ(kept, 0xABCDEFu);

    uint8_t block[kColourSampleBlockSize];
    colour_sample_dib(colour, block);
    DibHeader h;
    std::memcpy(&h, block, sizeof h);
    EXPECT_EQ(h.biWidth, 8);
    EXPECT_EQ(h.biHeight, 8);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biXPelsPerMeter, 3780);
    EXPECT_EQ(h.biYPelsPerMeter, 3780);
    EXPECT_EQ(h.biSizeImage, 0u);
    const uint8_t* last = block + 40 + 63 * 3;
    EXPECT_EQ(last[0], 0x56);
    EXPECT_EQ(last[1], 0x34);
    EXPECT_EQ(last[2], 0x12);
    EXPECT_EQ(block[40 + 64 * 3], 0);
}

TEST(BoxLogic, TextsAndRectangleKeys) {
    EXPECT_EQ(point_text(PixelPoint{-3, 7}), "-3,7");
    EXPECT_EQ(size_text(PixelPoint{10, 10}, PixelPoint{649, 489}), "640,480");
    EXPECT_STREQ(box_rect_key(false, kFlagSeparateBoxRects), "DialogRect");
    EXPECT_STREQ(box_rect_key(true, kFlagSeparateBoxRects), "DialogRect2");
    EXPECT_STREQ(box_rect_key(true, 0), "DialogRect");
}

}  // namespace
