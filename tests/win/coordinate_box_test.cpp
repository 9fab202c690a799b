// A coordinate box on real windows. Its colour sample on the real
// clipboard: both the text and the picture get there, or the copy says which
// message to show (what they hold is checked end to end); the clipboard's
// refusals are staged by standing in for SetClipboardData in this program's
// import table, which the box code linked in here calls. A box run whole
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

using SetClipboardDataFn = HANDLE(WINAPI*)(UINT, HANDLE);
const SetClipboardDataFn real_set_clipboard_data = reinterpret_cast<SetClipboardDataFn>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetClipboardData")));
UINT refused_format = 0;

HANDLE WINAPI refuse_one_format(UINT format, HANDLE data) {
    return format == refused_format ? nullptr : real_set_clipboard_data(format, data);
}

// Points this program's import of `real` at `replacement` for the scope.
class ImportStandIn {
public:
    ImportStandIn(void* real, void* replacement) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
        for (; d->Name && !slot_; ++d)
            for (auto* t = reinterpret_cast<ULONG_PTR*>(base + d->FirstThunk); *t && !slot_; ++t)
                if (*t == ULONG_PTR(real)) slot_ = t;
        if (slot_) saved_ = write(ULONG_PTR(replacement));
    }
    ~ImportStandIn() {
        if (slot_) write(saved_);
    }
    bool applied() const { return slot_ != nullptr; }

private:
    ULONG_PTR write(ULONG_PTR value) {
        DWORD access;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &access);
        const ULONG_PTR old = *slot_;
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, access, &access);
        return old;
    }
    ULONG_PTR* slot_ = nullptr;
    ULONG_PTR saved_ = 0;
};

TEST(CoordinateBox, ColourSampleReachesTheClipboardWholeOrSaysWhichPartFailed) {
    HWND owner = CreateWindowA("Static", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const struct {
        UINT refused;
        int message;
    } cases[] = {{CF_TEXT, kMsgNoMemory}, {CF_DIB, kMsgClipboardImage}, {0, 0}};
    for (const auto& c : cases) {
        refused_format = c.refused;
        ImportStandIn stand_in(reinterpret_cast<void*>(real_set_clipboard_data),
                               reinterpret_cast<void*>(refuse_one_format));
        ASSERT_TRUE(stand_in.applied());
        EXPECT_EQ(copy_colour_sample(owner, "123456", RGB(0x12, 0x34, 0x56)), c.message)
            << c.refused;
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
