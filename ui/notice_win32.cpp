#include "ui/notice.h"

#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/window_messages.h"
#include "ui/dialog.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/guarded_proc.h"
#include "ui/notice_layout.h"
#include "ui/place.h"

namespace {

// Each open notice keeps its own record, so that a notice opened on top of
// another one does not restart the other's count.
struct NoticeState {
    const char* caption;
    const char* text;
    int ticks;  // timer ticks so far; -1: never closes by itself
    NoticeTemplate base = {};  // as the dialog opened, at its DPI then
};

// The last tick before a notice closes whatever the cursor does (3.5 s).
constexpr int kNoticeLastTick = 6;

RECT child_rect(HWND dialog, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Lines are measured in the text field's own font, the one they are shown
// in; a field without a font of its own measures in `measure_text`'s.
struct MeasureContext {
    HDC reference;
    int dpi;
    bool field_font;  // the field's font is selected into `reference`
};

int measure_line(const char* line, int length, void* context) {
    const MeasureContext* c = static_cast<const MeasureContext*>(context);
    if (!c->field_font) return measure_text(line, length, c->reference, c->dpi).cx;
    SIZE size = {0, 0};
    GetTextExtentPoint32A(c->reference, line, length, &size);
    return size.cx;
}

// The template's geometry as the dialog opens, at its DPI.
NoticeTemplate read_template(HWND dialog) {
    RECT window, edit_rect = {}, button_rect = {};
    GetWindowRect(dialog, &window);
    if (HWND edit = GetDlgItem(dialog, IDC_NOTICE_TEXT)) edit_rect = child_rect(dialog, edit);
    if (HWND button = GetDlgItem(dialog, IDCANCEL)) button_rect = child_rect(dialog, button);
    return NoticeTemplate{window.bottom - window.top,         edit_rect.left, edit_rect.top,
                          edit_rect.bottom - edit_rect.top, button_rect.top,
                          window_dpi(dialog)};
}

// Sizes the dialog, its text and its button for the text measured at the
// dialog's DPI `t.dpi`.
void lay_out(HWND dialog, const NoticeState& notice, const NoticeTemplate& t) {
    HWND edit = GetDlgItem(dialog, IDC_NOTICE_TEXT);
    HWND button = GetDlgItem(dialog, IDCANCEL);
    RECT button_rect = {};
    if (button) button_rect = child_rect(dialog, button);
    HDC dc = GetDC(dialog);
    HFONT font = edit ? reinterpret_cast<HFONT>(SendMessageA(edit, WM_GETFONT, 0, 0)) : nullptr;
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    MeasureContext context{dc, t.dpi, old != nullptr};
    NoticeExtent extent = notice_measure(notice.text, measure_line, &context);
    if (old) SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    NoticeLayout layout = notice_layout(extent, t);
    if (layout.resize) {
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, layout.window_width, layout.window_height,
                     SWP_NOMOVE);
        if (edit)
            SetWindowPos(edit, nullptr, t.edit_left, t.edit_top, layout.edit_width,
                         layout.edit_height, SWP_NOZORDER);
        if (button)
            SetWindowPos(button, nullptr, layout.button_x, layout.button_y,
                         button_rect.right - button_rect.left,
                         button_rect.bottom - button_rect.top, SWP_NOZORDER);
        InvalidateRect(dialog, nullptr, TRUE);
    }
}

void on_init(HWND dialog, NoticeState* notice) {
    SetWindowTextA(dialog, notice->caption);
    notice->base = read_template(dialog);
    SetDlgItemTextA(dialog, IDC_NOTICE_TEXT, notice->text);
    lay_out(dialog, *notice, notice->base);
    place_at_cursor(dialog);
    SetTimer(dialog, kPopupTimerId, kPopupTimerMs, nullptr);
}

// On another monitor's DPI the system scales the dialog and its font; the
// text's room is measured again in that font once it has.
void on_dpi_changed(HWND dialog) { PostMessageA(dialog, UM_DPI_LAYOUT, 0, 0); }

void on_dpi_layout(HWND dialog, const NoticeState& notice) {
    lay_out(dialog, notice, notice_template_at(notice.base, window_dpi(dialog)));
}

void on_timer(HWND dialog, NoticeState* notice) {
    if (notice->ticks < 0) return;
    if (++notice->ticks > kNoticeLastTick) {
        EndDialog(dialog, -1);
        return;
    }
    POINT c;
    RECT r;
    if (GetCursorPos(&c) && GetWindowRect(dialog, &r) && !PtInRect(&r, c)) EndDialog(dialog, -1);
}

INT_PTR CALLBACK notice_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    NoticeState* notice = dialog_state<NoticeState>(dialog, message, lparam);
    if (!notice) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog, notice);
            return TRUE;
        case WM_DPICHANGED:
            on_dpi_changed(dialog);
            return FALSE;
        case UM_DPI_LAYOUT:
            on_dpi_layout(dialog, *notice);
            return TRUE;
        case WM_TIMER:
            if (wparam == kPopupTimerId) on_timer(dialog, notice);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL) EndDialog(dialog, -1);
            return TRUE;
        case WM_DESTROY:
            KillTimer(dialog, kPopupTimerId);
            return TRUE;
    }
    return FALSE;
}

INT_PTR run_notice(HWND owner, const char* caption, const char* text, int ticks) {
    NoticeState notice{caption ? caption : "", text ? text : "", ticks};
    return dialog_run(IDD_NOTICE, owner, guarded_dialog_proc<notice_proc>, &notice);
}

}  // namespace

INT_PTR show_notice(HWND owner, const char* caption, const char* text) {
    return run_notice(owner, caption, text, 0);
}

void show_keyboard_help(HWND owner) {
    if (!owner) owner = g_app.capture.box_window ? g_app.capture.box_window : g_app.main_window;
    run_notice(owner, kKeyboardHelpCaption, kKeyboardHelpText, -1);
}

SIZE measure_text(const char* text, int length, HDC reference, int dpi) {
    SIZE size = {0, 0};
    HDC dc = CreateCompatibleDC(reference);
    if (!dc) return size;
    HFONT font = CreateFontA(scale_for_dpi(12, dpi), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
                             SHIFTJIS_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, 0x30, "ＭＳ Ｐゴシック");
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32A(dc, text, length, &size);
    if (old) SelectObject(dc, old);
    if (font) DeleteObject(font);
    DeleteDC(dc);
    return size;
}
