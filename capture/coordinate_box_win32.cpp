#include "capture/coordinate_box.h"

#include <windows.h>

#include <cstring>
#include <iterator>

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
#include "ui/dialog.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/notice.h"
#include "ui/place.h"

namespace {

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
    {IDC_BOX_UP, "左上座標を1つ上に移動する"},
    {IDC_BOX_DOWN, "左上座標を1つ下に移動する"},
    {IDC_BOX_LEFT, "左上座標を1つ左に移動する"},
    {IDC_BOX_RIGHT, "左上座標を1つ右に移動する"},
    {IDC_BOX_SWATCH, "左上座標の色を表示する\nクリックすると色のサンプルをコピーする"},
    {IDC_BOX_XY, "左上座標 x,yの値を表示する"},
    {IDC_BOX_RGB, "左上座標の色の値\nrrggbb(16進数)を表示する"},
    {IDC_BOX_ASPECT_TEXT, "切り取る矩形の縦横比を表示する"},
    {IDC_BOX_ASPECT, "切り取る矩形の縦横比を変更する\n右ボタンクリックでフリーにする"},
    {IDC_BOX_WIDTH_TEXT, "切り取る矩形の横幅を表示する"},
    {IDC_BOX_WIDTH_MENU, "切り取る矩形の横幅を変更する\n右ボタンクリックでフリーにする"},
    {IDC_BOX_BACK, "ボックスを閉じ左上座標入力を行う"},
    {IDC_BOX_DECIDE, "左上座標を決定し、右下座標入力を行う"},
    {IDC_BOX_WHEEL, "ホイールの方向を切り替える"},
    {IDC_BOX_MODE, "表示方法を切り替える\n右ボタンクリックで背景色を変更する"},
    {0, nullptr},
};
const HintEntry kBottomRightHints[] = {
    {IDC_BOX_UP, "右下座標を1つ上に移動する"},
    {IDC_BOX_DOWN, "右下座標を1つ下に移動する"},
    {IDC_BOX_LEFT, "右下座標を1つ左に移動する"},
    {IDC_BOX_RIGHT, "右下座標を1つ右に移動する"},
    {IDC_BOX_SWATCH, "右下座標の色を表示する\nクリックすると色のサンプルをコピーする"},
    {IDC_BOX_TL_XY, "左上座標 x,yの値を表示する"},
    {IDC_BOX_RGB, "右下座標の色の値\nrrggbb(16進数)を表示する"},
    {IDC_BOX_BR_XY, "右下座標 xx,yyの値を表示する"},
    {IDC_BOX_SIZE_TEXT, "切り取る矩形のサイズ w,hを表示する"},
    {IDC_BOX_FIXED, "切り取る矩形のサイズを固定する(トグル動作)\n右ボタンクリックで現在の矩形サイズを次回再現する"},
    {IDC_BOX_BACK, "左上座標入力を行う"},
    {IDC_BOX_CLOSE, "ボックスを閉じ右下座標入力を行う"},
    {IDC_BOX_DECIDE, "切り取る矩形を決定する"},
    {IDC_BOX_WHEEL, "ホイールの方向を切り替える"},
    {IDC_BOX_ASPECT_RELEASE, "縦横比の固定/解除を切り替える"},
    {IDC_BOX_MODE, "表示方法を切り替える\n右ボタンクリックで背景色を変更する"},
    {IDC_BOX_SIZE_MENU, "前回の矩形サイズを参照する"},
    {0, nullptr},
};

const char kSampleCaption[] = "スポイト - Tamble";
const char kSampleCopied[] = "クリップボードに色のサンプルをコピーしました．";

// The open box: which corner it adjusts and the commands under way.
struct BoxState {
    bool bottom_right;
    // Set once the box exists: a box that could not be created has no result.
    bool shown = false;
    // The choosers, menus and the notice run their own loops, and the box
    // stays enabled during them.
    CommandGate commands;
};

// The box's own tables by its corner.
struct BoxTables {
    const ButtonIcon* buttons;
    size_t button_count;
    const int* filtered;
    size_t filtered_count;
    const HintEntry* hints;
};
BoxTables tables_of(const BoxState& box) {
    if (box.bottom_right)
        return BoxTables{kBottomRightButtons, std::size(kBottomRightButtons), kBottomRightFiltered,
                         std::size(kBottomRightFiltered), kBottomRightHints};
    return BoxTables{kTopLeftButtons, std::size(kTopLeftButtons), kTopLeftFiltered,
                     std::size(kTopLeftFiltered), kTopLeftHints};
}

const int kBoxIconIds[kBoxIconCount] = {IDI_BOX_0, IDI_BOX_1, IDI_BOX_2, IDI_BOX_3,
                                        IDI_BOX_4, IDI_BOX_5, IDI_BOX_6, IDI_BOX_7};

// The state icons at the size for `dpi`: loaded with the first box and
// again for a box at another DPI; the program's end frees them.
void load_state_icons(int dpi) {
    const int side = icon_size_for_dpi(dpi);
    if (g_app.box_icon_side == side) return;
    for (int i = 0; i < kBoxIconCount; ++i) {
        if (g_app.box_icons[i]) DestroyIcon(g_app.box_icons[i]);
        g_app.box_icons[i] = load_icon_for_dpi(kBoxIconIds[i], dpi);
    }
    g_app.box_icon_side = side;
}

void set_state_icon(HWND box, int control, StateIcon icon) {
    SendDlgItemMessageA(box, control, STM_SETICON, WPARAM(g_app.box_icons[icon]), 0);
}

bool capture_flag(uint32_t flag) { return (g_app.capture.capture_flags & flag) != 0; }

void show_wheel_axis(HWND box) {
    set_state_icon(box, IDC_BOX_WHEEL,
                   capture_flag(kCaptureHorizontal) ? kIconWheelHorizontal : kIconWheelVertical);
}
void show_display_mode(HWND box) {
    set_state_icon(box, IDC_BOX_MODE,
                   g_app.flags & kFlagCoverMode ? kIconShowCover : kIconShowCrossHair);
}
void show_aspect_release(HWND box) {
    set_state_icon(box, IDC_BOX_ASPECT_RELEASE,
                   capture_flag(kCaptureAspectReleased) ? kIconAspectReleased : kIconAspectLocked);
}
void show_fixed(HWND box) {
    set_state_icon(box, IDC_BOX_FIXED,
                   capture_flag(kCaptureFixed) ? kIconRectangleMoves : kIconCornerMoves);
}

const char* rect_key(const BoxState& state) {
    return box_rect_key(state.bottom_right, g_app.flags);
}

ImageView screen_view() {
    const CaptureState& capture = g_app.capture;
    ImageView view;
    if (capture.screen_header && capture.screen_bits) {
        view.bits = capture.screen_bits;
        view.width = capture.screen_header->biWidth;
        view.height = capture.screen_header->biHeight;
        view.stride = capture.screen_stride;
    }
    return view;
}

void on_refresh(HWND box, const BoxState& state) {
    CaptureState& capture = g_app.capture;
    if (state.bottom_right) {
        SetDlgItemTextA(box, IDC_BOX_TL_XY, point_text(capture.top_left).c_str());
        SetDlgItemTextA(box, IDC_BOX_BR_XY, point_text(capture.bottom_right).c_str());
        SetDlgItemTextA(box, IDC_BOX_SIZE_TEXT,
                        size_text(capture.top_left, capture.bottom_right).c_str());
    } else {
        SetDlgItemTextA(box, IDC_BOX_XY, point_text(capture.top_left).c_str());
    }
    // Outside the picture the colour stays what it was.
    const PixelPoint corner = state.bottom_right ? capture.bottom_right : capture.top_left;
    image_pixel(screen_view(), corner, &capture.picked_colour);
    SetDlgItemTextA(box, IDC_BOX_RGB, colour_text(capture.picked_colour).c_str());
    InvalidateRect(GetDlgItem(box, IDC_BOX_SWATCH), nullptr, FALSE);
}

void show_constraints(HWND box) {
    SetDlgItemTextA(box, IDC_BOX_ASPECT_TEXT, aspect_text(g_app.aspect).c_str());
    SetDlgItemTextA(box, IDC_BOX_WIDTH_TEXT, width_text(g_app.fixed_width).c_str());
}

// The state icons the box shows, at `dpi`.
void show_state_icons(HWND box, const BoxState& state, int dpi) {
    load_state_icons(dpi);
    show_wheel_axis(box);
    show_display_mode(box);
    if (!state.bottom_right) return;
    if (g_app.aspect > 0) show_aspect_release(box);
    show_fixed(box);
}

// Moved to a monitor of another DPI: the icons at the new size; the box's
// size and font are the system's.
void on_dpi_changed(HWND box, const BoxState& state, int dpi) {
    const BoxTables t = tables_of(state);
    button_icons_set(box, t.buttons, t.button_count, dpi);
    show_state_icons(box, state, dpi);
}

void on_init(HWND box, BoxState* state) {
    state->shown = true;
    g_app.capture.capture_flags |= kCaptureBoxOpen;
    g_app.capture.box_window = box;
    place_saved_or_at_cursor(box, rect_key(*state));
    const BoxTables t = tables_of(*state);
    for (size_t i = 0; i < t.filtered_count; ++i)
        filter_subclass_install(GetDlgItem(box, t.filtered[i]));
    attach_hints(box, t.hints);
    // No caption icon: a tool window's caption never draws one.
    const int dpi = window_dpi(box);
    button_icons_set(box, t.buttons, t.button_count, dpi);
    show_state_icons(box, *state, dpi);
    if (!state->bottom_right)
        show_constraints(box);
    else if (g_app.aspect <= 0)
        ShowWindow(GetDlgItem(box, IDC_BOX_ASPECT_RELEASE), SW_HIDE);
    PostMessageA(box, UM_BOX_REFRESH, 0, 0);
}

void on_destroy(HWND box, const BoxState& state) {
    save_window_rect(box, rect_key(state));
    g_app.capture.capture_flags &= ~uint32_t(kCaptureBoxOpen);
    if (state.bottom_right) g_app.capture.capture_flags &= ~uint32_t(kCaptureFixed);
    g_app.capture.box_window = nullptr;
    filter_subclass_restore_all();
    detach_hints(box);
    const BoxTables t = tables_of(state);
    button_icons_free(box, t.buttons, t.button_count);
}

// Repaints the overlay for the display mode now in force.
void repaint_overlay(const BoxState& state) {
    const PixelPoint tl = g_app.capture.top_left, br = g_app.capture.bottom_right;
    if (g_app.flags & kFlagCoverMode) {
        if (state.bottom_right)
            paint_cover_rect(tl, br);
        else
            paint_cover_top_left(tl);
        return;
    }
    paint_cover_top_left(PixelPoint{0, 0});  // the whole frozen picture
    if (state.bottom_right) {
        draw_magnifier(br);
        draw_frame(tl, br);
    } else {
        draw_magnifier(tl);
        draw_crosshair(tl);
    }
}

void toggle_display_mode(HWND box, const BoxState& state) {
    g_app.flags ^= kFlagCoverMode;
    show_display_mode(box);
    repaint_overlay(state);
}

void choose_background(HWND box, const BoxState& state) {
    COLORREF colour = g_app.background_colour;
    int chosen;
    {
        const HintsOff hints_off;
        chosen = choose_color(&colour, box);
    }
    if (!chosen) return;
    g_app.background_colour = colour;
    settings_write_int(kSectionWindow, "BackGroundColor", int(colour));
    if (g_app.flags & kFlagCoverMode) repaint_overlay(state);
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
    if (const int error = copy_colour_sample(box, text, g_app.capture.picked_colour)) {
        show_warning(box, error);
        return;
    }
    show_notice(box, kSampleCaption, kSampleCopied);
    // The selection so far is kept for the next capture, which this ends.
    selection_save_corners(g_app.capture.top_left, g_app.capture.bottom_right);
    EndDialog(box, kTopLeftBoxCancel);
}

void toggle_fixed(HWND box) {
    g_app.capture.capture_flags ^= kCaptureFixed;
    show_fixed(box);
}

// Commands both boxes share; false when `id` is none of them.
bool shared_command(HWND box, const BoxState& state, int id) {
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
            g_app.capture.capture_flags ^= kCaptureHorizontal;
            show_wheel_axis(box);
            return true;
        case IDC_BOX_MODE:
            toggle_display_mode(box, state);
            return true;
        case IDCANCEL:
            EndDialog(box, kTopLeftBoxCancel);
            return true;
    }
    return false;
}

void top_left_command(HWND box, int id) {
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
            g_app.capture.capture_flags ^= kCaptureAspectReleased;
            show_aspect_release(box);
            break;
        case IDC_BOX_FIXED:
            toggle_fixed(box);
            break;
    }
}

void on_command(HWND box, const BoxState& state, WPARAM wparam) {
    // Buttons report clicks; the icon statics report clicks and, for a quick
    // second click, double clicks, which count as clicks too.
    const int code = HIWORD(wparam);
    if (code != BN_CLICKED && code != STN_DBLCLK) return;
    const int id = LOWORD(wparam);
    if (shared_command(box, state, id)) return;
    if (state.bottom_right)
        bottom_right_command(box, id);
    else
        top_left_command(box, id);
}

// A right button released on one of the box's controls.
void on_right_click_control(HWND box, const BoxState& state, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (GetParent(control) != box) return;
    if (id == IDC_BOX_MODE) {
        choose_background(box, state);
    } else if (!state.bottom_right && id == IDC_BOX_ASPECT) {
        constraint_set_aspect(kAspectFree);
        show_constraints(box);
    } else if (!state.bottom_right && id == IDC_BOX_WIDTH_MENU) {
        constraint_set_width(0);
        show_constraints(box);
    } else if (state.bottom_right && id == IDC_BOX_FIXED) {
        remember_current_size();
    }
}

// The top-left box also takes arrow keys that reach the dialog itself.
void on_key_down(WPARAM key) {
    const int direction = key == VK_UP      ? kDirUp
                          : key == VK_DOWN  ? kDirDown
                          : key == VK_LEFT  ? kDirLeft
                          : key == VK_RIGHT ? kDirRight
                                            : 0;
    if (direction) PostMessageA(g_app.main_window, UM_MOVE_CORNER, 0, direction);
}

INT_PTR CALLBACK box_proc(HWND box, UINT message, WPARAM wparam, LPARAM lparam) {
    if (box_input_filter(message, wparam, box, lparam)) {
        SetWindowLongPtrA(box, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    BoxState* state = dialog_state<BoxState>(box, message, lparam);
    if (!state) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_init(box, state);
            return TRUE;
        case WM_DESTROY:
            on_destroy(box, *state);
            return TRUE;
        case WM_DPICHANGED:
            on_dpi_changed(box, *state, dpi_of_message(wparam));
            return FALSE;
        case UM_BOX_REFRESH:
            on_refresh(box, *state);
            return TRUE;
        case WM_COMMAND:
            gate_run(&state->commands, wparam,
                     [box, state](uintptr_t c) { on_command(box, *state, c); });
            return TRUE;
        case UM_TOGGLE_FIXED:
            if (state->bottom_right) toggle_fixed(box);
            return TRUE;
        case UM_RCLICK_CONTROL:
            gate_run(&state->commands, wparam, [box, state](uintptr_t c) {
                on_right_click_control(box, *state, reinterpret_cast<HWND>(c));
            });
            return TRUE;
        case UM_RCLICK_OVERLAY:
            place_at_cursor(box);
            return TRUE;
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            if (item->CtlID != IDC_BOX_SWATCH) return FALSE;
            draw_swatch(item, g_app.capture.picked_colour);
            return TRUE;
        }
        case WM_SETCURSOR:
            SetCursor(LoadCursorA(nullptr, IDC_ARROW));
            SetWindowLongPtrA(box, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_KEYDOWN:
            if (state->bottom_right) return FALSE;
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
    BoxState state;
    state.bottom_right = corner == kPickBottomRight;
    const bool large = g_app.flags & kFlagLargeBoxes;
    const int id = state.bottom_right ? (large ? IDD_BOX_BOTTOM_RIGHT_LARGE : IDD_BOX_BOTTOM_RIGHT)
                                      : (large ? IDD_BOX_TOP_LEFT_LARGE : IDD_BOX_TOP_LEFT);
    const INT_PTR result = dialog_run(id, nullptr, guarded_dialog_proc<box_proc>, &state);
    return state.shown ? int(result) : kNoBoxResult;
}
