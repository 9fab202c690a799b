// The dialog templates of the coordinate boxes and the constraint dialogs,
// loaded from the program's own resources: every control the code talks to
// is there with the class and style it relies on, and the layout reads as
// laid out: controls inside the dialog, apart from each other, texts whole,
// icons at 16x16 in cells that keep their size.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

INT_PTR CALLBACK no_proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

struct Control {
    int id;
    const char* cls;
    DWORD style;  // bits that must be set
};

const DWORD kIconButton = BS_ICON;
const DWORD kIconStatic = SS_ICON | SS_NOTIFY;
const DWORD kNumber = ES_NUMBER;
const DWORD kSpin = UDS_SETBUDDYINT | UDS_AUTOBUDDY;

const std::vector<Control> kTopLeft = {
    {1000, "Button", kIconButton}, {1001, "Button", kIconButton}, {1002, "Button", kIconButton},
    {1003, "Button", kIconButton}, {1005, "Button", BS_OWNERDRAW}, {1004, "Static", 0},
    {1006, "Static", 0},           {1007, "Static", 0},           {1009, "Button", kIconButton},
    {1012, "Static", 0},           {1011, "Button", kIconButton}, {1008, "Button", kIconButton},
    {1, "Button", kIconButton},    {1014, "Static", kIconStatic}, {900, "Static", kIconStatic},
};
const std::vector<Control> kBottomRight = {
    {1000, "Button", kIconButton}, {1001, "Button", kIconButton}, {1002, "Button", kIconButton},
    {1003, "Button", kIconButton}, {1005, "Button", BS_OWNERDRAW}, {1010, "Static", 0},
    {1009, "Static", 0},           {1006, "Static", 0},           {1012, "Static", 0},
    {1013, "Button", kIconButton}, {1008, "Button", kIconButton}, {1011, "Button", kIconButton},
    {1, "Button", kIconButton},    {1014, "Static", kIconStatic}, {1015, "Static", kIconStatic},
    {900, "Static", kIconStatic},  {1017, "Static", kIconStatic},
};
const std::vector<Control> kChooser = {
    {1014, "Button", 0}, {1015, "Button", 0}, {1016, "Button", 0}, {1017, "Button", 0},
    {1018, "Button", 0}, {1019, "Button", 0}, {1020, "Button", 0}, {1021, "Button", 0},
};
const std::vector<Control> kWidthOnly = {
    {1012, "Edit", kNumber}, {1018, "msctls_updown32", kSpin}, {IDOK, "Button", 0},
    {IDCANCEL, "Button", 0},
};
const std::vector<Control> kWidthAndHeight = {
    {1012, "Edit", kNumber}, {1017, "Edit", kNumber}, {1018, "msctls_updown32", kSpin},
    {1019, "msctls_updown32", kSpin}, {IDOK, "Button", 0}, {IDCANCEL, "Button", 0},
};

struct Template {
    int id;
    const char* caption;
    const std::vector<Control>* controls;
};

const Template kTemplates[] = {
    {IDD_BOX_TOP_LEFT, "左上座標の調整 - Tamble", &kTopLeft},
    {IDD_BOX_TOP_LEFT_LARGE, "左上座標の調整 - Tamble", &kTopLeft},
    {IDD_BOX_BOTTOM_RIGHT, "右下座標の調整 - Tamble", &kBottomRight},
    {IDD_BOX_BOTTOM_RIGHT_LARGE, "右下座標の調整 - Tamble", &kBottomRight},
    {IDD_ASPECT_CHOOSER, "", &kChooser},
    {IDD_CUSTOM_WIDTH, "カスタム幅 - Tamble", &kWidthOnly},
    {IDD_CUSTOM_ASPECT, "カスタム縦横比 - Tamble", &kWidthAndHeight},
    {IDD_SIZE, "矩形サイズ - Tamble", &kWidthAndHeight},
};

TEST(BoxTemplates, EveryControlWithItsClassAndStyle) {
    InitCommonControls();
    for (const Template& t : kTemplates) {
        SCOPED_TRACE(t.id);
        HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(t.id), nullptr,
                                    no_proc, 0);
        ASSERT_NE(d, nullptr);
        char caption[64] = "";
        GetWindowTextA(d, caption, sizeof caption);
        EXPECT_STREQ(caption, t.caption);
        // Shown over the full-screen overlay, which is top-most.
        EXPECT_TRUE(GetWindowLongA(d, GWL_EXSTYLE) & WS_EX_TOPMOST);
        for (const Control& c : *t.controls) {
            HWND control = GetDlgItem(d, c.id);
            ASSERT_NE(control, nullptr) << c.id;
            char cls[64] = "";
            GetClassNameA(control, cls, sizeof cls);
            EXPECT_EQ(lstrcmpiA(cls, c.cls), 0) << c.id << " " << cls;
            const DWORD style = DWORD(GetWindowLongA(control, GWL_STYLE));
            if (c.style == BS_OWNERDRAW)
                EXPECT_EQ(style & BS_TYPEMASK, DWORD(BS_OWNERDRAW)) << c.id;
            else if (c.style == kIconStatic)
                EXPECT_EQ(style & (SS_TYPEMASK | SS_NOTIFY), kIconStatic) << c.id;
            else
                EXPECT_EQ(style & c.style, c.style) << c.id;
        }
        DestroyWindow(d);
    }
}

// Where the dialog manager creates each control: its template rectangle in
// pixels.
std::map<HWND, RECT> template_rects;

LRESULT CALLBACK note_template_rect(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* c = reinterpret_cast<CBT_CREATEWNDA*>(lparam)->lpcs;
        template_rects[HWND(wparam)] = RECT{c->x, c->y, c->x + c->cx, c->y + c->cy};
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

SIZE icon_size(HICON icon) {
    ICONINFO info = {};
    BITMAP b = {};
    if (!icon || !GetIconInfo(icon, &info)) return SIZE{0, 0};
    GetObjectA(info.hbmColor, sizeof b, &b);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return SIZE{b.bmWidth, b.bmHeight};
}

TEST(BoxTemplates, ControlsInsideApartWithTheirTextsWholeAndIconsAt16x16) {
    InitCommonControls();
    HICON any_icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BOX_0), IMAGE_ICON, 16, 16, 0));
    for (const Template& t : kTemplates) {
        SCOPED_TRACE(t.id);
        template_rects.clear();
        HHOOK hook = SetWindowsHookExA(WH_CBT, note_template_rect, nullptr, GetCurrentThreadId());
        HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(t.id), nullptr,
                                    no_proc, 0);
        UnhookWindowsHookEx(hook);
        ASSERT_NE(d, nullptr);
        RECT client;
        GetClientRect(d, &client);
        std::vector<std::pair<HWND, RECT>> placed;
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            SCOPED_TRACE(GetDlgCtrlID(c));
            char cls[32] = "", text[64] = "";
            GetClassNameA(c, cls, sizeof cls);
            const DWORD style = DWORD(GetWindowLongA(c, GWL_STYLE));
            const bool icon_static = !lstrcmpiA(cls, "Static") && (style & SS_TYPEMASK) == SS_ICON;
            // The boxes set their icons when they open, as here.
            if (icon_static && !SendMessageA(c, STM_GETICON, 0, 0))
                SendMessageA(c, STM_SETICON, WPARAM(any_icon), 0);
            RECT r, inside;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(IntersectRect(&inside, &r, &client) && EqualRect(&inside, &r));
            if (icon_static) {
                EXPECT_TRUE(EqualRect(&r, &template_rects[c]));
                const SIZE s = icon_size(HICON(SendMessageA(c, STM_GETICON, 0, 0)));
                EXPECT_EQ(s.cx, 16);
                EXPECT_EQ(s.cy, 16);
            } else if (GetWindowTextA(c, text, sizeof text) > 0) {
                HDC dc = GetDC(c);
                HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(c, WM_GETFONT, 0, 0)));
                SIZE s = {};
                GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &s);
                SelectObject(dc, old);
                ReleaseDC(c, dc);
                // A push button's text stays clear of its border and focus frame.
                const int margin = lstrcmpiA(cls, "Button") ? 0 : 6;
                EXPECT_LE(s.cx + margin, r.right - r.left) << text;
                EXPECT_LE(s.cy, r.bottom - r.top) << text;
            }
            // An up-down control lies over the edge of its number field; cells
            // that meet may share a pixel through the rounding of dialog units.
            const HWND buddy = lstrcmpiA(cls, UPDOWN_CLASSA)
                                   ? nullptr
                                   : HWND(SendMessageA(c, UDM_GETBUDDY, 0, 0));
            for (const auto& other : placed) {
                RECT both;
                if (other.first != buddy && IntersectRect(&both, &r, &other.second) &&
                    both.right - both.left > 1 && both.bottom - both.top > 1)
                    ADD_FAILURE() << "overlaps control " << GetDlgCtrlID(other.first);
            }
            placed.emplace_back(c, r);
        }
        DestroyWindow(d);
    }
    DestroyIcon(any_icon);
}

}  // namespace
