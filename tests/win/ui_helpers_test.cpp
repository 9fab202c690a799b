// The shared dialogs and helpers on real windows under Wine: templates from
// the linked resources, the notice's auto-close, the keyboard help, the
// start options with their saved position, the colour chooser, the swatch,
// the caption icon and placement at the cursor.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "state/app_state.h"
#include "state/settings.h"
#include "resources/resource_ids.h"
#include "tests/unit/test_files.h"
#include "tests/win/import_slot.h"
#include "tests/win/modal_driver.h"
#include "ui/caption_icon.h"
#include "ui/colour.h"
#include "ui/notice.h"
#include "ui/notice_layout.h"
#include "ui/place.h"
#include "ui/popup_menu.h"
#include "ui/start_options.h"

namespace {

// Watches the thread's dialogs: when one opens and when it starts to hide.
// Under Xvfb without a window manager, hiding a window waits up to two
// seconds for the X server, so closing is timed by the hide request, not by
// the return of the modal call.
struct Watch {
    HWND dialog = nullptr;
    DWORD opened = 0;
    DWORD hidden = 0;
    HHOOK hook = nullptr;
};
Watch watch;

LRESULT CALLBACK watch_proc(int code, WPARAM wparam, LPARAM lparam) {
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION) {
        if (m->message == WM_INITDIALOG && !watch.dialog) {
            watch.dialog = m->hwnd;
            watch.opened = GetTickCount();
        } else if (m->message == WM_WINDOWPOSCHANGING && m->hwnd == watch.dialog &&
                   !watch.hidden &&
                   (reinterpret_cast<const WINDOWPOS*>(m->lParam)->flags & SWP_HIDEWINDOW)) {
            watch.hidden = GetTickCount();
        }
    }
    return CallNextHookEx(watch.hook, code, wparam, lparam);
}

void start_watch() {
    watch = Watch();
    watch.hook = SetWindowsHookExA(WH_CALLWNDPROC, watch_proc, nullptr, GetCurrentThreadId());
}

void stop_watch() {
    if (watch.hook) UnhookWindowsHookEx(watch.hook);
    watch.hook = nullptr;
}

HWND find_dialog(const char* caption) { return thread_window("#32770", caption); }

std::string window_text(HWND w) {
    char buf[1024] = {};
    GetWindowTextA(w, buf, sizeof buf);
    return buf;
}

// The pixel size of a template's dialog units, from the dialog itself.
RECT dialog_units(HWND dialog, int w, int h) {
    RECT r = {0, 0, w, h};
    MapDialogRect(dialog, &r);
    return r;
}

INT_PTR CALLBACK plain_proc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

HWND open_template(int id) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, plain_proc,
                              0);
}

void centre_cursor() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
}

class UiHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        g_app.instance = GetModuleHandleA(nullptr);
        g_app.main_window = nullptr;
        g_app.capture.box_window = nullptr;
        ini_ = test_temp_path("tamble.ini");
        std::remove(ini_.c_str());
        std::snprintf(g_app.ini_path, sizeof g_app.ini_path, "%s", ini_.c_str());
        centre_cursor();
    }
    void TearDown() override {
        modal_stop_all();
        stop_watch();
        std::remove(ini_.c_str());
    }
    std::string ini_;
};

TEST_F(UiHelpers, NoticeTemplateHasItsControls) {
    HWND d = open_template(IDD_NOTICE);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(window_text(d), "ダイアログ - Tamble");
    LONG style = GetWindowLongA(d, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    RECT client, want = dialog_units(d, 103, 44);
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);

    HWND edit = GetDlgItem(d, IDC_NOTICE_TEXT);
    ASSERT_NE(edit, nullptr);
    char cls[32] = {};
    GetClassNameA(edit, cls, sizeof cls);
    EXPECT_STREQ(cls, "Edit");
    LONG es = GetWindowLongA(edit, GWL_STYLE);
    EXPECT_TRUE(es & ES_MULTILINE);
    EXPECT_TRUE(es & ES_READONLY);
    HWND button = GetDlgItem(d, IDCANCEL);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(window_text(button), "閉じる");
    RECT b;
    GetWindowRect(button, &b);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&b), 2);
    RECT bw = dialog_units(d, 27, 23);
    EXPECT_EQ(b.left, bw.right);
    EXPECT_EQ(b.top, bw.bottom);
    DestroyWindow(d);
}

TEST_F(UiHelpers, StartOptionsTemplateHasItsButtons) {
    HWND d = open_template(IDD_START_OPTIONS);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(window_text(d), "起動オプション - Tamble");
    RECT client, want = dialog_units(d, 125, 28);
    GetClientRect(d, &client);
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);
    const int icon_buttons[][2] = {{IDOK, 7}, {IDC_START_DELAY3, 26}, {IDC_START_DELAY5, 45}};
    for (const auto& ib : icon_buttons) {
        HWND b = GetDlgItem(d, ib[0]);
        ASSERT_NE(b, nullptr) << ib[0];
        EXPECT_TRUE(GetWindowLongA(b, GWL_STYLE) & BS_ICON) << ib[0];
        RECT r, at = dialog_units(d, ib[1], 7), size = dialog_units(d, 14, 14);
        GetWindowRect(b, &r);
        MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, at.right) << ib[0];
        EXPECT_EQ(r.right - r.left, size.right) << ib[0];
    }
    EXPECT_EQ(window_text(GetDlgItem(d, IDCANCEL)), "キャンセル");
    DestroyWindow(d);
}

TEST_F(UiHelpers, NoticeClosesSoonAfterTheCursorLeavesAndGrowsForItsLines) {
    // The template's own geometry, for the expected layout.
    HWND t = open_template(IDD_NOTICE);
    ASSERT_NE(t, nullptr);
    RECT tw, te;
    GetWindowRect(t, &tw);
    HWND field = GetDlgItem(t, IDC_NOTICE_TEXT);
    GetWindowRect(field, &te);
    const char* text = "一行目\r\nずっと長い二行目のテキスト\r\n三";
    const char* longest = "ずっと長い二行目のテキスト";
    // Measured in the font the field shows it in, so that the line is whole.
    HDC dc = GetDC(field);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(field, WM_GETFONT, 0, 0)));
    SIZE shown = {};
    GetTextExtentPoint32A(dc, longest, int(std::strlen(longest)), &shown);
    SelectObject(dc, old);
    ReleaseDC(field, dc);
    DestroyWindow(t);
    ASSERT_GT(shown.cx, 0);

    RECT seen = {};
    bool under_cursor = false;
    DWORD moved = 0;
    modal_drive([&](DWORD) {
        HWND n = find_dialog("キャプチャー - Tamble");
        if (!n) return true;
        GetWindowRect(n, &seen);
        POINT c;
        GetCursorPos(&c);
        under_cursor = PtInRect(&seen, c);
        SetCursorPos(seen.right + 40, seen.bottom + 40);
        moved = GetTickCount();
        return false;
    });
    start_watch();
    EXPECT_EQ(show_notice(nullptr, "キャプチャー - Tamble", text), -1);
    DWORD returned = GetTickCount();
    ASSERT_TRUE(moved && watch.hidden);
    EXPECT_TRUE(under_cursor);  // opened centred on the cursor
    // Closed at the first tick after the cursor left, long before 3.5 s.
    EXPECT_LT(watch.hidden - moved, 1100u);
    EXPECT_LT(watch.hidden - watch.opened, 1600u);
    EXPECT_LT(returned - watch.hidden, 3000u);
    int eh = te.bottom - te.top;
    EXPECT_EQ(seen.right - seen.left, shown.cx + 60);
    EXPECT_EQ(seen.bottom - seen.top, (tw.bottom - tw.top) + (2 * 2 * eh) / 3);
}

TEST_F(UiHelpers, NoticeUnderTheCursorClosesAtTheSeventhTick) {
    // Keep the cursor on the notice, whatever late pointer events say.
    modal_drive([](DWORD ms) {
        HWND n = find_dialog("キャプチャー - Tamble");
        RECT r;
        if (n && GetWindowRect(n, &r)) SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return ms < 6000;
    });
    start_watch();
    EXPECT_EQ(show_notice(nullptr, "キャプチャー - Tamble", "保存しました．"), -1);
    DWORD returned = GetTickCount();
    ASSERT_TRUE(watch.hidden);
    EXPECT_GE(watch.hidden - watch.opened, 3400u);
    EXPECT_LT(watch.hidden - watch.opened, 4300u);
    EXPECT_LT(returned - watch.hidden, 3000u);
    modal_stop_all();
}

TEST_F(UiHelpers, KeyboardHelpStaysUntilClosed) {
    bool open_late = false;
    std::string caption, text;
    modal_drive([&](DWORD ms) {
        HWND h = find_dialog(kKeyboardHelpCaption);
        if (!h) return ms < 2000;
        if (caption.empty()) {
            caption = window_text(h);
            char buf[1024] = {};
            GetDlgItemTextA(h, IDC_NOTICE_TEXT, buf, sizeof buf);
            text = buf;
            SetCursorPos(0, 0);  // far off it: a notice would close now
            return true;
        }
        if (ms < 3800) return true;
        open_late = IsWindowVisible(h);
        PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        return false;
    });
    DWORD t0 = GetTickCount();
    show_keyboard_help(nullptr);
    DWORD elapsed = GetTickCount() - t0;
    EXPECT_EQ(caption, kKeyboardHelpCaption);
    EXPECT_EQ(text, kKeyboardHelpText);
    EXPECT_TRUE(open_late);
    EXPECT_GE(elapsed, 3800u);
}

struct StartRun {
    int result;
    RECT rect;
    bool icons_set;
    HICON icons[3];
    bool caption_icon;
    int side_at_144;  // of the OK button's icon after WM_DPICHANGED to 144 DPI
};

// Runs the start-options dialog and presses `control` once it is up.
StartRun run_start(int control) {
    StartRun run = {};
    modal_drive([&](DWORD ms) {
        HWND d = find_dialog("起動オプション - Tamble");
        if (!d) return ms < 2000;
        GetWindowRect(d, &run.rect);
        const int ids[] = {IDOK, IDC_START_DELAY3, IDC_START_DELAY5};
        run.icons_set = true;
        for (int i = 0; i < 3; ++i) {
            run.icons[i] = reinterpret_cast<HICON>(
                SendDlgItemMessageA(d, ids[i], BM_GETIMAGE, IMAGE_ICON, 0));
            run.icons_set = run.icons_set && run.icons[i];
        }
        run.caption_icon = SendMessageA(d, WM_GETICON, ICON_SMALL, 0) != 0;
        SendMessageA(d, WM_DPICHANGED, MAKEWPARAM(144, 144), LPARAM(&run.rect));
        run.side_at_144 = icon_side(
            reinterpret_cast<HICON>(SendDlgItemMessageA(d, IDOK, BM_GETIMAGE, IMAGE_ICON, 0)));
        PostMessageA(d, WM_COMMAND, control, 0);
        return false;
    });
    run.result = run_start_options(nullptr);
    modal_stop_all();
    return run;
}

// A dialog that cannot be created (here: its owner is gone) is no order to
// capture at once.
TEST_F(UiHelpers, StartOptionsThatCannotOpenCountAsCancelled) {
    HWND gone =
        CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_EQ(run_start_options(gone), -1);
}

TEST_F(UiHelpers, StartOptionsResultsAndSavedRectangle) {
    struct Case {
        int control;
        int result;
    };
    // Each closing costs two seconds under Xvfb, so only the delay of five
    // seconds and the cancel are driven here.
    const Case cases[] = {{IDC_START_DELAY5, 5}, {IDCANCEL, -1}};
    for (const Case& c : cases) {
        StartRun run = run_start(c.control);
        EXPECT_EQ(run.result, c.result) << c.control;
        EXPECT_TRUE(run.icons_set);
        EXPECT_TRUE(run.caption_icon);
        EXPECT_EQ(run.side_at_144, 24);
        // The button icons are destroyed when the dialog closes.
        for (HICON icon : run.icons) {
            ICONINFO info;
            EXPECT_FALSE(icon && GetIconInfo(icon, &info)) << c.control;
        }
        PixelRect saved;
        settings_read_rect("DialogRect3", &saved);
        EXPECT_EQ(saved.left, run.rect.left);
        EXPECT_EQ(saved.top, run.rect.top);
        EXPECT_EQ(saved.right, run.rect.right);
        EXPECT_EQ(saved.bottom, run.rect.bottom);
    }
}

TEST_F(UiHelpers, StartOptionsOpensAtItsSavedPlaceInsideTheMonitor) {
    HWND t = open_template(IDD_START_OPTIONS);
    ASSERT_NE(t, nullptr);
    RECT tr;
    GetWindowRect(t, &tr);
    DestroyWindow(t);
    int w = tr.right - tr.left, h = tr.bottom - tr.top;
    ASSERT_GT(w, 0);
    settings_write_rect("DialogRect3", PixelRect{100, 120, 100 + w, 120 + h});
    StartRun at = run_start(IDCANCEL);
    EXPECT_EQ(at.rect.left, 100);
    EXPECT_EQ(at.rect.top, 120);
    // Off every monitor: pulled onto the primary one, flush with its corner.
    settings_write_rect("DialogRect3", PixelRect{9000, 9000, 9000 + w, 9000 + h});
    StartRun off = run_start(IDCANCEL);
    EXPECT_EQ(off.rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(off.rect.bottom, GetSystemMetrics(SM_CYSCREEN));
}

TEST_F(UiHelpers, ColourChooserKeepsTheColourOnCancel) {
    const COLORREF start = RGB(0x12, 0x34, 0x56);
    const int buttons[] = {IDCANCEL, IDOK};
    for (int button : buttons) {
        COLORREF colour = start;
        modal_drive([&](DWORD ms) {
            HWND d = GetActiveWindow();
            char cls[32] = {};
            if (d) GetClassNameA(d, cls, sizeof cls);
            if (std::strcmp(cls, "#32770") != 0) return ms < 3000;
            PostMessageA(d, WM_COMMAND, button, 0);
            return false;
        });
        int chosen = choose_color(&colour, nullptr);
        modal_stop_all();
        EXPECT_EQ(chosen, button == IDOK ? 1 : 0);
        EXPECT_EQ(colour, start);  // OK without a change returns the start colour
    }
}

TEST_F(UiHelpers, SwatchIsABlackFramedRectangleOfTheColour) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 20, 12);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = {0, 0, 20, 12};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DRAWITEMSTRUCT item = {};
    item.hDC = dc;
    item.rcItem = RECT{2, 1, 18, 11};
    draw_swatch(&item, RGB(0x20, 0x80, 0xC0));
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 17, 10), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 9, 5), RGB(0x20, 0x80, 0xC0));
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0xFF, 0xFF, 0xFF));  // outside untouched
    EXPECT_EQ(GetPixel(dc, 18, 5), RGB(0xFF, 0xFF, 0xFF));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(UiHelpers, CaptionIconSlotHoldsOneIcon) {
    HWND a = open_template(IDD_START_OPTIONS);
    HWND b = open_template(IDD_START_OPTIONS);
    ASSERT_TRUE(a && b);
    set_caption_icon(a);
    HICON first = reinterpret_cast<HICON>(SendMessageA(a, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(first, nullptr);
    set_caption_icon(b);
    HICON second = reinterpret_cast<HICON>(SendMessageA(b, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(second, nullptr);
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(first, &info));  // replaced: destroyed
    ASSERT_TRUE(GetIconInfo(second, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    destroy_caption_icon();
    EXPECT_FALSE(GetIconInfo(second, &info));
    destroy_caption_icon();  // an empty slot stays empty
    DestroyWindow(a);
    DestroyWindow(b);
}

using GetCursorPosFn = BOOL(WINAPI*)(LPPOINT);
extern "C" GetCursorPosFn __imp_GetCursorPos;

// No popup menu opens while the cursor's position cannot be read (a locked
// or secure desktop): not the tray menu, the boxes' menus or the scrap
// editor's item menu. A menu that opened anyway is closed after a moment.
TEST_F(UiHelpers, PopupMenuStaysShutWhileTheCursorIsUnknown) {
    HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                               nullptr);
    modal_drive([](DWORD ms) {
        if (ms < 1000) return true;
        EndMenu();
        return false;
    });
    {
        const ImportSlot<GetCursorPosFn> unknown(&__imp_GetCursorPos, [](LPPOINT) { return FALSE; });
        EXPECT_EQ(popup_menu_run(owner, {menu_item(1, "一"), menu_separator()}), kMenuNotShown);
    }
    modal_stop_all();
    DestroyWindow(owner);
}

TEST_F(UiHelpers, PlaceAtCursorLiesFlushAgainstTheRightEdge) {
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(w, nullptr);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetCursorPos(sw - 10, sh / 2);
    place_at_cursor(w);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.right, sw);
    EXPECT_EQ(r.top, sh / 2 - 50);
    EXPECT_EQ(r.right - r.left, 200);
    SetCursorPos(300, 20);
    place_at_cursor(w);
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 0);
    DestroyWindow(w);
}

}  // namespace
