#include "capture/coordinate_box.h"

#include <windows.h>

#include <cstring>

#include "capture/box_logic.h"
#include "capture/constraint_menus.h"
#include "capture/constraints.h"
#include "capture/filter_subclass.h"
#include "capture/input_filter.h"
#include "capture/overlay.h"
#include "capture/overlay_draw.h"
#include "capture/selection.h"
#include "resources/resource_ids.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "ui/button_icons.h"
#include "ui/colour.h"
#include "ui/command_gate.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/notice.h"
#include "ui/place.h"
#include "state/instance.h"

namespace {

CaptureState& cap = g_app.capture;

// The eight state icons, in the order start-up loads them.
enum StateIcon {
    kIconWheelVertical,    // 127
    kIconWheelHorizontal,  // 128
    kIconAspectLocked,     // 129
    kIconAspectReleased,   // 130
    kIconShowCover,        // 133: display mode 1
    kIconShowCrossHair,    // 134: display mode 0
    kIconCornerMoves,      // 136: fixed size off
    kIconRectangleMoves,   // 135: fixed size on
};

struct ButtonIcon {
    int control;
    int icon;
};
const ButtonIcon kTopLeftButtons[] = {
    {IDC_BOX_UP, IDI_ARROW_UP},       {IDC_BOX_LEFT, IDI_ARROW_LEFT},
    {IDC_BOX_RIGHT, IDI_ARROW_RIGHT}, {IDC_BOX_DOWN, IDI_ARROW_DOWN},
    {IDC_BOX_ASPECT, IDI_DROP_DOWN},  {IDC_BOX_WIDTH_MENU, IDI_DROP_DOWN},
    {IDC_BOX_BACK, IDI_PICK_TOP_LEFT}, {IDC_BOX_DECIDE, IDI_TO_BOTTOM_RIGHT},
};
const ButtonIcon kBottomRightButtons[] = {
    {IDC_BOX_UP, IDI_ARROW_UP},          {IDC_BOX_LEFT, IDI_ARROW_LEFT},
    {IDC_BOX_RIGHT, IDI_ARROW_RIGHT},    {IDC_BOX_DOWN, IDI_ARROW_DOWN},
    {IDC_BOX_SIZE_MENU, IDI_DROP_DOWN},  {IDC_BOX_BACK, IDI_BACK_TO_TOP_LEFT},
    {IDC_BOX_CLOSE, IDI_PICK_BOTTOM_RIGHT}, {IDC_BOX_DECIDE, IDI_DECIDE},
};

// The controls whose keys and mouse buttons go through the input filter.
const int kTopLeftFiltered[] = {IDC_BOX_UP,   IDC_BOX_DOWN,   IDC_BOX_LEFT,   IDC_BOX_RIGHT,
                                IDC_BOX_ASPECT, IDC_BOX_WIDTH_MENU, IDC_BOX_SWATCH, IDC_BOX_BACK,
                                IDC_BOX_DECIDE, IDC_BOX_WHEEL, IDC_BOX_MODE};
const int kBottomRightFiltered[] = {
    IDC_BOX_UP,     IDC_BOX_DOWN,  IDC_BOX_LEFT,  IDC_BOX_RIGHT,  IDC_BOX_FIXED,
    IDC_BOX_SWATCH, IDC_BOX_SIZE_MENU, IDC_BOX_BACK, IDC_BOX_CLOSE, IDC_BOX_DECIDE,
    IDC_BOX_WHEEL,  IDC_BOX_ASPECT_RELEASE, IDC_BOX_MODE};

const HintEntry kTopLeftHints[] = {
    {1000, "左上座標を1つ上に移動する"},
    {1001, "左上座標を1つ下に移動する"},
    {1002, "左上座標を1つ左に移動する"},
    {1003, "左上座標を1つ右に移動する"},
    {1005, "左上座標の色を表示する\nクリックすると色のサンプルをコピーする"},
    {1004, "左上座標 x,yの値を表示する"},
    {1006, "左上座標の色の値\nrrggbb(16進数)を表示する"},
    {1007, "切り取る矩形の縦横比を表示する"},
    {1009, "切り取る矩形の縦横比を変更する\n右ボタンクリックでフリーにする"},
    {1012, "切り取る矩形の横幅を表示する"},
    {1011, "切り取る矩形の横幅を変更する\n右ボタンクリックでフリーにする"},
    {1008, "ボックスを閉じ左上座標入力を行う"},
    {1, "左上座標を決定し、右下座標入力を行う"},
    {1014, "ホイールの方向を切り替える"},
    {900, "表示方法を切り替える\n右ボタンクリックで背景色を変更する"},
    {0, nullptr},
};
const HintEntry kBottomRightHints[] = {
    {1000, "右下座標を1つ上に移動する"},
    {1001, "右下座標を1つ下に移動する"},
    {1002, "右下座標を1つ左に移動する"},
    {1003, "右下座標を1つ右に移動する"},
    {1005, "右下座標の色を表示する\nクリックすると色のサンプルをコピーする"},
    {1010, "左上座標 x,yの値を表示する"},
    {1006, "右下座標の色の値\nrrggbb(16進数)を表示する"},
    {1009, "右下座標 xx,yyの値を表示する"},
    {1012, "切り取る矩形のサイズ w,hを表示する"},
    {1017, "切り取る矩形のサイズを固定する(トグル動作)\n右ボタンクリックで現在の矩形サイズを次回再現する"},
    {1008, "左上座標入力を行う"},
    {1011, "ボックスを閉じ右下座標入力を行う"},
    {1, "切り取る矩形を決定する"},
    {1014, "ホイールの方向を切り替える"},
    {1015, "縦横比の固定/解除を切り替える"},
    {900, "表示方法を切り替える\n右ボタンクリックで背景色を変更する"},
    {1013, "前回の矩形サイズを参照する"},
    {0, nullptr},
};

const char kSampleCaption[] = "スポイト - Tamble";
const char kSampleCopied[] = "クリップボードに色のサンプルをコピーしました．";

// The open box: one at a time.
bool bottom_right_box = false;
// Set once the box exists: a box that could not be created has no result.
bool box_shown = false;

template <size_t N>
void for_each_button(const ButtonIcon (&buttons)[N], void (*fn)(HWND, int, int), HWND box) {
    for (const ButtonIcon& b : buttons) fn(box, b.control, b.icon);
}

void set_state_icon(HWND box, int control, StateIcon icon) {
    SendDlgItemMessageA(box, control, STM_SETICON, WPARAM(g_app.box_icons[icon]), 0);
}

void show_wheel_axis(HWND box) {
    set_state_icon(box, IDC_BOX_WHEEL, cap.capture_flags & kCaptureHorizontal
                                           ? kIconWheelHorizontal
                                           : kIconWheelVertical);
}
void show_display_mode(HWND box) {
    set_state_icon(box, IDC_BOX_MODE,
                   g_app.flags & kFlagCoverMode ? kIconShowCover : kIconShowCrossHair);
}
void show_aspect_release(HWND box) {
    set_state_icon(box, IDC_BOX_ASPECT_RELEASE, cap.capture_flags & kCaptureAspectReleased
                                                    ? kIconAspectReleased
                                                    : kIconAspectLocked);
}
void show_fixed(HWND box) {
    set_state_icon(box, IDC_BOX_FIXED,
                   cap.capture_flags & kCaptureFixed ? kIconRectangleMoves : kIconCornerMoves);
}

const char* rect_key() { return box_rect_key(bottom_right_box, g_app.flags); }

ImageView screen_view() {
    ImageView view;
    if (cap.screen_header && cap.screen_bits) {
        view.bits = cap.screen_bits;
        view.width = cap.screen_header->biWidth;
        view.height = cap.screen_header->biHeight;
        view.stride = cap.screen_stride;
    }
    return view;
}

void on_refresh(HWND box) {
    const PixelPoint corner = bottom_right_box ? cap.bottom_right : cap.top_left;
    if (bottom_right_box) {
        SetDlgItemTextA(box, IDC_BOX_TL_XY, point_text(cap.top_left).c_str());
        SetDlgItemTextA(box, IDC_BOX_BR_XY, point_text(cap.bottom_right).c_str());
        SetDlgItemTextA(box, IDC_BOX_SIZE_TEXT, size_text(cap.top_left, cap.bottom_right).c_str());
    } else {
        SetDlgItemTextA(box, IDC_BOX_XY, point_text(cap.top_left).c_str());
    }
    // Outside the picture the colour stays what it was.
    image_pixel(screen_view(), corner, &cap.picked_colour);
    SetDlgItemTextA(box, IDC_BOX_RGB, colour_text(cap.picked_colour).c_str());
    InvalidateRect(GetDlgItem(box, IDC_BOX_SWATCH), nullptr, FALSE);
}

void show_constraints(HWND box) {
    SetDlgItemTextA(box, IDC_BOX_ASPECT_TEXT, aspect_text(g_app.aspect).c_str());
    SetDlgItemTextA(box, IDC_BOX_WIDTH_TEXT, width_text(g_app.fixed_width).c_str());
}

void on_init(HWND box) {
    box_shown = true;
    cap.capture_flags |= kCaptureBoxOpen;
    cap.box_window = box;
    place_saved_or_at_cursor(box, rect_key());
    const int* filtered = bottom_right_box ? kBottomRightFiltered : kTopLeftFiltered;
    const size_t count = bottom_right_box ? sizeof kBottomRightFiltered / sizeof(int)
                                          : sizeof kTopLeftFiltered / sizeof(int);
    for (size_t i = 0; i < count; ++i) filter_subclass_install(GetDlgItem(box, filtered[i]));
    attach_hints(box, bottom_right_box ? kBottomRightHints : kTopLeftHints);
    // No caption icon: a tool window's caption never draws one.
    if (bottom_right_box)
        for_each_button(kBottomRightButtons, button_icon_set, box);
    else
        for_each_button(kTopLeftButtons, button_icon_set, box);
    show_wheel_axis(box);
    show_display_mode(box);
    if (bottom_right_box) {
        if (g_app.aspect > 0)
            show_aspect_release(box);
        else
            ShowWindow(GetDlgItem(box, IDC_BOX_ASPECT_RELEASE), SW_HIDE);
        show_fixed(box);
    } else {
        show_constraints(box);
    }
    PostMessageA(box, UM_BOX_REFRESH, 0, 0);
}

void on_destroy(HWND box) {
    save_window_rect(box, rect_key());
    cap.capture_flags &= ~uint32_t(kCaptureBoxOpen);
    if (bottom_right_box) cap.capture_flags &= ~uint32_t(kCaptureFixed);
    cap.box_window = nullptr;
    filter_subclass_restore_all();
    detach_hints(box);
    if (bottom_right_box)
        for_each_button(kBottomRightButtons,
                        [](HWND b, int control, int) { button_icon_free(b, control); }, box);
    else
        for_each_button(kTopLeftButtons,
                        [](HWND b, int control, int) { button_icon_free(b, control); }, box);
}

// Repaints the overlay for the display mode now in force.
void repaint_overlay() {
    const bool cover = g_app.flags & kFlagCoverMode;
    if (cover) {
        if (bottom_right_box)
            paint_cover_rect(cap.top_left, cap.bottom_right);
        else
            paint_cover_top_left(cap.top_left);
        return;
    }
    paint_cover_top_left(PixelPoint{0, 0});  // the whole frozen picture
    if (bottom_right_box) {
        draw_magnifier(cap.bottom_right);
        draw_frame(cap.top_left, cap.bottom_right);
    } else {
        draw_magnifier(cap.top_left);
        draw_crosshair(cap.top_left);
    }
}

void toggle_display_mode(HWND box) {
    g_app.flags ^= kFlagCoverMode;
    show_display_mode(box);
    repaint_overlay();
}

void choose_background(HWND box) {
    COLORREF colour = g_app.background_colour;
    g_app.hints_enabled = 0;
    const int chosen = choose_color(&colour, box);
    g_app.hints_enabled = 1;
    if (!chosen) return;
    g_app.background_colour = colour;
    settings_write_int(kSectionWindow, "BackGroundColor", int(colour));
    if (g_app.flags & kFlagCoverMode) repaint_overlay();
}

// Hands a copy of `bytes` to the open clipboard as `format`; false, with
// the block freed, when the clipboard did not take it.
bool put_on_clipboard(UINT format, const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    void* p = block ? GlobalLock(block) : nullptr;
    if (!p) {
        if (block) GlobalFree(block);
        return false;
    }
    std::memcpy(p, bytes, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block)) return true;
    GlobalFree(block);
    return false;
}

void on_colour_sample(HWND box) {
    char text[16] = "";
    GetDlgItemTextA(box, IDC_BOX_RGB, text, sizeof text);
    if (const int error = copy_colour_sample(box, text, cap.picked_colour)) {
        show_warning(box, error);
        return;
    }
    show_notice(box, kSampleCaption, kSampleCopied);
    // The selection so far is kept for the next capture, which this ends.
    settings_write_int(kSectionWindow, "x", cap.top_left.x);
    settings_write_int(kSectionWindow, "y", cap.top_left.y);
    settings_write_int(kSectionWindow, "w", cap.bottom_right.x - cap.top_left.x);
    settings_write_int(kSectionWindow, "h", cap.bottom_right.y - cap.top_left.y);
    EndDialog(box, kTopLeftBoxCancel);
}

void toggle_fixed(HWND box) {
    cap.capture_flags ^= kCaptureFixed;
    show_fixed(box);
}

// Commands both boxes share; false when `id` is none of them.
bool shared_command(HWND box, int id) {
    switch (id) {
        case IDC_BOX_UP:
        case IDC_BOX_DOWN:
        case IDC_BOX_LEFT:
        case IDC_BOX_RIGHT:
            // The control ids are the direction codes.
            PostMessageA(g_app.main_window, UM_MOVE_CORNER, 0, id);
            return true;
        case IDC_BOX_SWATCH:
            on_colour_sample(box);
            return true;
        case IDC_BOX_WHEEL:
            cap.capture_flags ^= kCaptureHorizontal;
            show_wheel_axis(box);
            return true;
        case IDC_BOX_MODE:
            toggle_display_mode(box);
            return true;
        case IDCANCEL:
            EndDialog(box, kTopLeftBoxCancel);
            return true;
    }
    return false;
}

void top_left_command(HWND box, int id) {
    if (shared_command(box, id)) return;
    switch (id) {
        case IDC_BOX_DECIDE:
            EndDialog(box, kTopLeftBoxDecided);
            break;
        case IDC_BOX_BACK:
            EndDialog(box, kTopLeftBoxKeepChoosing);
            break;
        case IDC_BOX_ASPECT:
            if (choose_aspect()) show_constraints(box);
            break;
        case IDC_BOX_WIDTH_MENU:
            width_menu(box, IDC_BOX_WIDTH_TEXT);
            break;
    }
}

void bottom_right_command(HWND box, int id) {
    if (shared_command(box, id)) return;
    switch (id) {
        case IDC_BOX_DECIDE:
            EndDialog(box, kBottomRightBoxOutput);
            break;
        case IDC_BOX_BACK:
            EndDialog(box, kBottomRightBoxBackToTopLeft);
            break;
        case IDC_BOX_CLOSE:
            EndDialog(box, kBottomRightBoxKeepChoosing);
            break;
        case IDC_BOX_SIZE_MENU:
            size_menu(box);
            break;
        case IDC_BOX_ASPECT_RELEASE:
            if (g_app.aspect <= 0) break;
            cap.capture_flags ^= kCaptureAspectReleased;
            show_aspect_release(box);
            break;
        case IDC_BOX_FIXED:
            toggle_fixed(box);
            break;
    }
}

void on_command(HWND box, WPARAM wparam) {
    // Buttons report clicks; the icon statics report clicks and, for a quick
    // second click, double clicks, which count as clicks too.
    const int code = HIWORD(wparam);
    if (code != BN_CLICKED && code != STN_DBLCLK) return;
    if (bottom_right_box)
        bottom_right_command(box, LOWORD(wparam));
    else
        top_left_command(box, LOWORD(wparam));
}

// A right button released on one of the box's controls.
void on_right_click_control(HWND box, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (GetParent(control) != box) return;
    if (id == IDC_BOX_MODE) {
        choose_background(box);
    } else if (!bottom_right_box && id == IDC_BOX_ASPECT) {
        g_app.aspect = kAspectFree;
        settings_write_int(kSectionWindow, "Aspect", 0);
        show_constraints(box);
    } else if (!bottom_right_box && id == IDC_BOX_WIDTH_MENU) {
        g_app.fixed_width = 0;
        settings_write_int(kSectionWindow, "Width", 0);
        show_constraints(box);
    } else if (bottom_right_box && id == IDC_BOX_FIXED) {
        remember_current_size();
    }
}

// The top-left box also takes arrow keys that reach the dialog itself.
void on_key_down(WPARAM key) {
    const int direction = key == VK_UP     ? kDirUp
                          : key == VK_DOWN ? kDirDown
                          : key == VK_LEFT ? kDirLeft
                          : key == VK_RIGHT ? kDirRight
                                           : 0;
    if (direction) PostMessageA(g_app.main_window, UM_MOVE_CORNER, 0, direction);
}

CommandGate commands;

INT_PTR CALLBACK box_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    if (box_input_filter(message, wparam, box, lparam)) {
        SetWindowLongPtrA(box, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    switch (message) {
        case WM_INITDIALOG:
            on_init(box);
            return TRUE;
        case WM_DESTROY:
            on_destroy(box);
            return TRUE;
        case UM_BOX_REFRESH:
            on_refresh(box);
            return TRUE;
        case WM_COMMAND:
            // The choosers, menus and the notice run their own loops, and the
            // box stays enabled during them.
            gate_run(&commands, wparam, [box](uintptr_t c) { on_command(box, c); });
            return TRUE;
        case UM_TOGGLE_FIXED:
            if (bottom_right_box) toggle_fixed(box);
            return TRUE;
        case UM_RCLICK_CONTROL:
            gate_run(&commands, wparam, [box](uintptr_t c) {
                on_right_click_control(box, reinterpret_cast<HWND>(c));
            });
            return TRUE;
        case UM_RCLICK_OVERLAY:
            place_at_cursor(box);
            return TRUE;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (item->CtlID != IDC_BOX_SWATCH) return FALSE;
            draw_swatch(item, cap.picked_colour);
            return TRUE;
        }
        case WM_SETCURSOR:
            SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));  // IDC_ARROW
            SetWindowLongPtrA(box, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_KEYDOWN:
            if (bottom_right_box) return FALSE;
            on_key_down(wparam);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int copy_colour_sample(HWND owner, const char* text, uint32_t colour) {
    if (!OpenClipboard(owner)) return kMsgClipboardOpen;
    EmptyClipboard();
    char sample_text[16] = {};
    std::strncpy(sample_text, text, sizeof sample_text - 1);
    uint8_t picture[kColourSampleBlockSize];
    colour_sample_dib(colour, picture);
    const int error = !put_on_clipboard(CF_TEXT, sample_text, sizeof sample_text) ? kMsgNoMemory
                      : !put_on_clipboard(CF_DIB, picture, sizeof picture) ? kMsgClipboardImage
                                                                          : 0;
    CloseClipboard();
    return error;
}

int coordinate_box_run(PickState corner) {
    bottom_right_box = corner == kPickBottomRight;
    const bool large = g_app.flags & kFlagLargeBoxes;
    const int id = bottom_right_box ? (large ? IDD_BOX_BOTTOM_RIGHT_LARGE : IDD_BOX_BOTTOM_RIGHT)
                                    : (large ? IDD_BOX_TOP_LEFT_LARGE : IDD_BOX_TOP_LEFT);
    HINSTANCE instance = app_instance();
    box_shown = false;
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(id), nullptr,
                                            guarded_dialog_proc<box_proc>, 0);
    return box_shown ? int(result) : kNoBoxResult;
}
