// A coordinate box on real windows. Its colour sample on the real
// clipboard: both the text and the picture get there, or the copy says which
// message to show (what they hold is checked end to end); the clipboard's
// refusals are staged by standing in for SetClipboardData in this program's
// import table. A box run whole
// leaves the caption icon of a dialog opened before it alone.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "capture/coordinate_box.h"
#include "capture/selection.h"
#include "state/messages.h"
#include "tests/unit/test_files.h"
#include "ui/caption_icon.h"

namespace {

// The import table's slot for SetClipboardData (MinGW names it so), through
// which the box code linked in here calls the system.
using SetClipboardDataFn = HANDLE(WINAPI*)(UINT, HANDLE);
extern "C" SetClipboardDataFn __imp_SetClipboardData;

const SetClipboardDataFn real_set_clipboard_data = __imp_SetClipboardData;
UINT refused_format = 0;

HANDLE WINAPI refuse_one_format(UINT format, HANDLE data) {
    return format == refused_format ? nullptr : real_set_clipboard_data(format, data);
}

void set_clipboard_data_slot(SetClipboardDataFn fn) {
    DWORD access;
    VirtualProtect(&__imp_SetClipboardData, sizeof fn, PAGE_READWRITE, &access);
    __imp_SetClipboardData = fn;
    VirtualProtect(&__imp_SetClipboardData, sizeof fn, access, &access);
}

TEST(CoordinateBox, ColourSampleReachesTheClipboardWholeOrSaysWhichPartFailed) {
    HWND owner = CreateWindowA("Static", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const struct {
        UINT refused;
        int message;
    } cases[] = {{CF_TEXT, kMsgNoMemory}, {CF_DIB, kMsgClipboardImage}, {0, 0}};
    for (const auto& c : cases) {
        refused_format = c.refused;
        set_clipboard_data_slot(refuse_one_format);
        EXPECT_EQ(copy_colour_sample(owner, "123456", RGB(0x12, 0x34, 0x56)), c.message)
            << c.refused;
        set_clipboard_data_slot(real_set_clipboard_data);
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
    // The box is cancelled as soon as it is there.
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND box = g_app.capture.box_window) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(coordinate_box_run(kPickTopLeft), kTopLeftBoxCancel);
    KillTimer(nullptr, timer);
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(icon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    destroy_caption_icon();
    DestroyWindow(earlier);
    std::remove(ini.c_str());
}

}  // namespace
