// The coordinate box's colour sample on the real clipboard: both the text
// and the picture get there, or the copy says which message to show. The
// clipboard's refusals are staged by standing in for SetClipboardData in
// this program's import table, which the box code linked in here calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "capture/coordinate_box.h"
#include "state/messages.h"

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
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name && !slot_;
             ++d)
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

TEST(ColourSample, BothReachTheClipboardOrTheMessageSaysWhichFailed) {
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
    // Nothing refused: the text and an 8x8 picture of the colour.
    ASSERT_TRUE(OpenClipboard(owner));
    HANDLE text = GetClipboardData(CF_TEXT);
    HANDLE picture = GetClipboardData(CF_DIB);
    const char* t = text ? static_cast<const char*>(GlobalLock(text)) : nullptr;
    const auto* h = picture ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(picture)) : nullptr;
    EXPECT_STREQ(t ? t : "", "123456");
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->biWidth, 8);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const BYTE*>(h + 1), "\x56\x34\x12", 3), 0);
    if (t) GlobalUnlock(text);
    GlobalUnlock(picture);
    CloseClipboard();
    DestroyWindow(owner);
}

}  // namespace
