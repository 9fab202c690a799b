// A coordinate box on real windows: its colour sample reaches the clipboard
// whole or says which part failed, and it leaves alone the caption icon of a
// dialog opened before it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <utility>

#include "capture/coordinate_box.h"
#include "capture/selection.h"
#include "state/messages.h"
#include "tests/unit/test_files.h"
#include "tests/win/import_slot.h"
#include "tests/win/modal_driver.h"
#include "ui/caption_icon.h"

namespace {

// The clipboard's refusals, staged through SetClipboardData's import slot.
using SetClipboardDataFn = HANDLE(WINAPI*)(UINT, HANDLE);
extern "C" SetClipboardDataFn __imp_SetClipboardData;
const SetClipboardDataFn real_set_clipboard_data = __imp_SetClipboardData;
UINT refused_format = 0;

TEST(CoordinateBox, ColourSampleReachesTheClipboardWholeOrSaysWhichPartFailed) {
    HWND owner = CreateWindowA("Static", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    {
        const ImportSlot<SetClipboardDataFn> refusing(
            &__imp_SetClipboardData, [](UINT format, HANDLE data) {
                return format == refused_format ? nullptr : real_set_clipboard_data(format, data);
            });
        for (auto [refused, message] :
             {std::pair<UINT, int>{CF_TEXT, kMsgNoMemory}, {CF_DIB, kMsgClipboardImage}, {0, 0}}) {
            refused_format = refused;
            EXPECT_EQ(copy_colour_sample(owner, "123456", RGB(0x12, 0x34, 0x56)), message)
                << refused;
        }
    }
    DestroyWindow(owner);
}

TEST(CoordinateBox, LeavesTheCaptionIconOfAnEarlierDialogAlone) {
    const std::string ini = test_temp_path("tamble.ini");
    std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", ini.c_str());
    HWND earlier = CreateWindowA("Static", "", WS_CAPTION, 0, 0, 99, 99, nullptr, nullptr,
                                 nullptr, nullptr);
    set_caption_icon(earlier);
    const HICON icon = HICON(SendMessageA(earlier, WM_GETICON, ICON_SMALL, 0));
    modal_drive([](DWORD) {
        if (HWND box = g_app.capture.box_window) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_EQ(coordinate_box_run(kPickTopLeft), kTopLeftBoxCancel);
    modal_stop_all();
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    destroy_caption_icon();
    DestroyWindow(earlier);
    std::remove(ini.c_str());
}

}  // namespace
