// The dialog templates of the coordinate boxes and the constraint dialogs,
// loaded from the program's own resources: every control the code talks to
// is there with the class and style it relies on, inside the dialog and apart
// from the others, its text whole and its icon at 16x16.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace {

INT_PTR CALLBACK no_proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

int icon_width(HICON icon) {
    ICONINFO info = {};
    BITMAP b = {};
    if (GetIconInfo(icon, &info)) GetObjectA(info.hbmColor, sizeof b, &b);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return b.bmWidth;
}

// A control's text in its font fits the control, a push button's with room
// for its border and focus frame.
void expect_text_whole(HWND control, const char* cls, const RECT& r) {
    char text[64] = "";
    if (GetWindowTextA(control, text, sizeof text) <= 0) return;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE s = {};
    GetTextExtentPoint32A(dc, text, int(std::strlen(text)), &s);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    EXPECT_LE(s.cx + (lstrcmpiA(cls, "Button") ? 0 : 6), r.right - r.left) << text;
    EXPECT_LE(s.cy, r.bottom - r.top) << text;
}

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

TEST(BoxTemplates, EveryControlWithItsClassStyleAndPlace) {
    InitCommonControls();
    const Template templates[] = {
        {IDD_BOX_TOP_LEFT, "左上座標の調整 - Tamble", &kTopLeft},
        {IDD_BOX_TOP_LEFT_LARGE, "左上座標の調整 - Tamble", &kTopLeft},
        {IDD_BOX_BOTTOM_RIGHT, "右下座標の調整 - Tamble", &kBottomRight},
        {IDD_BOX_BOTTOM_RIGHT_LARGE, "右下座標の調整 - Tamble", &kBottomRight},
        {IDD_ASPECT_CHOOSER, "", &kChooser},
        {IDD_CUSTOM_WIDTH, "カスタム幅 - Tamble", &kWidthOnly},
        {IDD_CUSTOM_ASPECT, "カスタム縦横比 - Tamble", &kWidthAndHeight},
        {IDD_SIZE, "矩形サイズ - Tamble", &kWidthAndHeight},
    };
    for (const Template& t : templates) {
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
        RECT client, inside, both;
        GetClientRect(d, &client);
        std::vector<std::pair<HWND, RECT>> placed;
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            SCOPED_TRACE(GetDlgCtrlID(c));
            char cls[32] = "";
            GetClassNameA(c, cls, sizeof cls);
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(IntersectRect(&inside, &r, &client) && EqualRect(&inside, &r));
            const bool icon_static =
                !lstrcmpiA(cls, "Static") && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
            const HICON icon = icon_static ? HICON(SendMessageA(c, STM_GETICON, 0, 0)) : nullptr;
            EXPECT_EQ(icon ? icon_width(icon) : 16, 16);
            if (!icon_static) expect_text_whole(c, cls, r);
            // An up-down control lies over its field's edge; cells that meet
            // may share a pixel through the rounding of dialog units.
            const HWND buddy = lstrcmpiA(cls, UPDOWN_CLASSA) ? nullptr : HWND(SendMessageA(c, UDM_GETBUDDY, 0, 0));
            for (const auto& [other, o] : placed)
                EXPECT_FALSE(other != buddy && IntersectRect(&both, &r, &o) && both.right - both.left > 1 &&
                             both.bottom - both.top > 1) << "over control " << GetDlgCtrlID(other);
            placed.emplace_back(c, r);
        }
        DestroyWindow(d);
    }
}

}  // namespace
