#include "scrap/scrap_editor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "image/dib.h"
#include "resources/resource_ids.h"
#include "scrap/preview.h"
#include "scrap/scrap_model.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/instance.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "ui/button_icons.h"
#include "ui/caption_icon.h"
#include "ui/editor_program.h"
#include "ui/hints.h"
#include "ui/menu_guard.h"
#include "ui/place.h"

namespace {

// The editor's state while the command runs.
ScrapModel scrap;
PackedDib canvas = nullptr;

const char kItemTextFile[] = "$cscrap.txt";
const char kScratchBase[] = "$image";
constexpr int kFieldSize = 1028;  // heading and link fields are read up to 1027 bytes

struct ButtonIcon {
    int control;
    int icon;
};
const ButtonIcon kButtons[] = {
    {IDC_SCRAP_FIRST, IDI_TO_FIRST}, {IDC_SCRAP_PREVIOUS, IDI_ARROW_LEFT},
    {IDC_SCRAP_NEXT, IDI_ARROW_RIGHT}, {IDC_SCRAP_LAST, IDI_TO_LAST},
    {IDC_SCRAP_MENU, IDI_DROP_DOWN},
};

const HintEntry kEditorHints[] = {
    {1050, "見出しを入力する"},
    {1053, "リンク先を入力する"},
    {1049, "画像を表示する"},
    {1052, "文章を編集します"},
    {1044, "スクラップの先頭に移動します"},
    {1045, "前の項目に移動します"},
    {1048, "項目番号を表示します"},
    {1051, "項目数を表示します"},
    {1046, "次の項目に移動します"},
    {1047, "スクラップの末尾に移動します"},
    {0, nullptr},
};

enum ItemCommand { kItemClose = 0, kItemTitle = 1, kItemDelete = 2, kItemSwap = 3 };

ScrapItem* current_item() {
    if (scrap.items.empty()) return nullptr;
    if (scrap.current < 0) scrap.current = 0;
    if (scrap.current >= int(scrap.items.size())) scrap.current = int(scrap.items.size()) - 1;
    return &scrap.items[size_t(scrap.current)];
}

bool external_edit_running() { return g_app.capture.capture_flags & kCaptureExternalEdit; }

void show_count(HWND dialog) { SetDlgItemInt(dialog, IDC_SCRAP_COUNT, UINT(scrap.items.size()), FALSE); }

void show_item(HWND dialog) {
    ScrapItem* item = current_item();
    SetDlgItemInt(dialog, IDC_SCRAP_NUMBER, UINT(scrap.current + 1), FALSE);
    if (canvas) {
        char base[kPathSize];
        std::snprintf(base, sizeof base, "%s%s", g_app.data_folder, kScratchBase);
        preview_render(canvas, item ? item->tag : nullptr, base);
    }
    InvalidateRect(GetDlgItem(dialog, IDC_SCRAP_PREVIEW), nullptr, FALSE);
    if (!item) return;
    SetDlgItemTextA(dialog, IDC_SCRAP_TIME, item->timestamp);
    SetDlgItemTextA(dialog, IDC_SCRAP_HEADING, item->heading ? item->heading : "");
    SetDlgItemTextA(dialog, IDC_SCRAP_LINK, item->link ? item->link : "");
    SetDlgItemTextA(dialog, IDC_SCRAP_TEXT, item->text ? item->text : "");
    // An item kept as it stands (it has no picture) is shown, not edited.
    const BOOL editable = item->raw == nullptr;
    for (int id : {IDC_SCRAP_HEADING, IDC_SCRAP_LINK, IDC_SCRAP_TEXT})
        EnableWindow(GetDlgItem(dialog, id), editable);
}

// The three fields back into the current record.
void store_fields(HWND dialog) {
    ScrapItem* item = current_item();
    if (!item || item->raw) return;
    HWND text = GetDlgItem(dialog, IDC_SCRAP_TEXT);
    std::vector<char> buffer(size_t(GetWindowTextLengthA(text)) + 1);
    GetWindowTextA(text, buffer.data(), int(buffer.size()));
    scrap_set_text(&item->text, buffer.data());
    char field[kFieldSize];
    GetDlgItemTextA(dialog, IDC_SCRAP_HEADING, field, sizeof field);
    if (!item->heading || std::strcmp(item->heading, field) != 0) scrap_set_text(&item->heading, field);
    GetDlgItemTextA(dialog, IDC_SCRAP_LINK, field, sizeof field);
    if (!item->link || std::strcmp(item->link, field) != 0) scrap_set_text(&item->link, field);
}

INT_PTR CALLBACK title_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            place_at_cursor(dialog);
            set_caption_icon(dialog);
            SendDlgItemMessageA(dialog, IDC_SCRAP_TITLE, EM_LIMITTEXT, kScrapTitleSize - 1, 0);
            SendDlgItemMessageA(dialog, IDC_SCRAP_SUBTITLE, EM_LIMITTEXT, kScrapTitleSize - 1, 0);
            SetDlgItemTextA(dialog, IDC_SCRAP_TITLE, scrap.title);
            SetDlgItemTextA(dialog, IDC_SCRAP_SUBTITLE, scrap.subtitle);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                GetDlgItemTextA(dialog, IDC_SCRAP_TITLE, scrap.title, kScrapTitleSize);
                GetDlgItemTextA(dialog, IDC_SCRAP_SUBTITLE, scrap.subtitle, kScrapTitleSize);
                EndDialog(dialog, 0);
            } else if (LOWORD(wparam) == IDCANCEL) {
                EndDialog(dialog, -1);
            }
            return TRUE;
        case WM_DESTROY:
            destroy_caption_icon();
            return TRUE;
    }
    return FALSE;
}

int run_item_menu(HWND dialog) {
    if (!menu_guard_allows()) return kItemClose;
    HMENU menu = CreatePopupMenu();
    if (!menu) return kItemClose;
    AppendMenuA(menu, MF_STRING, kItemTitle, "スクラップの表題を入力する");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kItemDelete, "現在の項目を削除する");
    if (scrap.current > 0)
        AppendMenuA(menu, MF_STRING, kItemSwap, "現在の項目と1つ前の項目を入れ替える");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kItemClose, "メニューを閉じる");
    POINT at;
    GetCursorPos(&at);
    int chosen = int(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, dialog,
                                    nullptr));
    DestroyMenu(menu);
    menu_guard_note();
    return chosen;
}

void on_item_menu(HWND dialog) {
    g_app.hints_enabled = 0;
    const int chosen = run_item_menu(dialog);
    if (chosen == kItemTitle) {
        DialogBoxParamA(app_instance(), MAKEINTRESOURCEA(IDD_SCRAP_TITLE), dialog, title_proc, 0);
    } else if (chosen == kItemDelete) {
        if (confirm_yes_no(dialog, message_text(kMsgDeleteItem))) {
            if (scrap_model_delete(&scrap)) {
                g_app.hints_enabled = 1;
                EndDialog(dialog, 0);  // no item left: the scrap is written without any
                return;
            }
            show_count(dialog);
            show_item(dialog);
        }
    } else if (chosen == kItemSwap) {
        // The fields are not stored first: the moved item shows its stored texts.
        if (scrap_model_swap(&scrap)) show_item(dialog);
    }
    g_app.hints_enabled = 1;
}

// Edits the current item's text in the editor program (a double click on
// the preview asks for it).
void on_external_edit(HWND dialog) {
    if (external_edit_running()) return;
    ScrapItem* item = current_item();
    if (!item || item->raw) return;
    g_app.capture.capture_flags |= kCaptureExternalEdit;
    store_fields(dialog);  // the editor starts from what the user sees
    char path[kPathSize];
    std::snprintf(path, sizeof path, "%s%s", g_app.data_folder, kItemTextFile);
    if (!write_text_file(item->text ? item->text : "", path)) {
        g_app.capture.capture_flags &= ~uint32_t(kCaptureExternalEdit);
        show_warning(dialog, kMsgFileWrite);
        return;
    }
    ShowWindow(dialog, SW_MINIMIZE);
    const int changed = edit_file_with_editor(path);
    ShowWindow(dialog, SW_RESTORE);
    if (changed) {
        // A missing or emptied file is an empty text; a file that is there
        // but cannot be read keeps the item's text (and says so).
        char* fresh = read_text_file(path);
        WIN32_FILE_ATTRIBUTE_DATA info;
        const bool unreadable = !fresh && GetFileAttributesExA(path, GetFileExInfoStandard, &info) &&
                                (info.nFileSizeLow || info.nFileSizeHigh);
        if (unreadable) {
            show_warning(dialog, kMsgFileRead);
        } else {
            std::free(item->text);
            item->text = fresh;
            SetDlgItemTextA(dialog, IDC_SCRAP_TEXT, item->text ? item->text : "");
        }
    }
    g_app.capture.capture_flags &= ~uint32_t(kCaptureExternalEdit);
}

void on_init(HWND dialog) {
    place_at_cursor(dialog);
    attach_hints(dialog, kEditorHints);
    set_caption_icon(dialog);
    for (const ButtonIcon& b : kButtons) button_icon_set(dialog, b.control, b.icon);
    // Longer headings and links would not be read back as such.
    SendDlgItemMessageA(dialog, IDC_SCRAP_HEADING, EM_LIMITTEXT, kScrapPartLimit, 0);
    SendDlgItemMessageA(dialog, IDC_SCRAP_LINK, EM_LIMITTEXT, kScrapPartLimit, 0);
    show_count(dialog);
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDC_SCRAP_PREVIEW), &r);
    canvas = dib_create24(r.right - r.left, r.bottom - r.top);
    show_item(dialog);
}

void on_destroy(HWND dialog) {
    detach_hints(dialog);
    for (const ButtonIcon& b : kButtons) button_icon_free(dialog, b.control);
    destroy_caption_icon();
    if (canvas) mem_free(canvas);
    canvas = nullptr;
}

void on_draw_preview(const DRAWITEMSTRUCT* item) {
    if (!canvas || (item->itemState & ODS_SELECTED)) return;
    if (!(item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;
    MemLock<DibHeader> c(canvas);
    if (!c) return;
    SetStretchBltMode(item->hDC, COLORONCOLOR);
    StretchDIBits(item->hDC, 0, 0, c->biWidth, c->biHeight, 0, 0, c->biWidth, c->biHeight,
                  dib_bits_ptr(c.get()), reinterpret_cast<const BITMAPINFO*>(c.get()),
                  DIB_RGB_COLORS, SRCCOPY);
}

void on_command(HWND dialog, int id, int code) {
    if (external_edit_running()) return;
    switch (id) {
        case IDC_SCRAP_FIRST:
        case IDC_SCRAP_PREVIOUS:
        case IDC_SCRAP_NEXT:
        case IDC_SCRAP_LAST: {
            const ScrapMove move = id == IDC_SCRAP_FIRST      ? ScrapMove::kFirst
                                   : id == IDC_SCRAP_PREVIOUS ? ScrapMove::kPrevious
                                   : id == IDC_SCRAP_NEXT     ? ScrapMove::kNext
                                                              : ScrapMove::kLast;
            store_fields(dialog);
            if (scrap_model_move(&scrap, move)) show_item(dialog);
            break;
        }
        case IDOK:
            store_fields(dialog);
            EndDialog(dialog, 0);
            break;
        case IDCANCEL:
            EndDialog(dialog, -1);
            break;
        case IDC_SCRAP_MENU:
            on_item_menu(dialog);
            break;
        case IDC_SCRAP_PREVIEW:
            if (code == BN_DOUBLECLICKED) PostMessageA(dialog, UM_SCRAP_EXTERNAL_EDIT, 0, 0);
            break;
    }
}

INT_PTR CALLBACK editor_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return TRUE;
        case WM_DRAWITEM:
            if (wparam != IDC_SCRAP_PREVIEW) return FALSE;
            on_draw_preview(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_COMMAND:
            on_command(dialog, LOWORD(wparam), HIWORD(wparam));
            return TRUE;
        case UM_SCRAP_EXTERNAL_EDIT:
            on_external_edit(dialog);
            return TRUE;
        case WM_DESTROY:
            on_destroy(dialog);
            return TRUE;
    }
    return FALSE;
}

// Writes the edited scrap back in one step. Tells the user when it could not.
void write_back(HWND window, const char* path) {
    char* text = scrap_model_text(scrap);
    if (!text) {
        show_warning(window, kMsgNoMemory);
        return;
    }
    const int written = replace_file_atomically(text, std::strlen(text), path);
    std::free(text);
    if (!written) show_warning(window, kMsgHtmlCreate);
}

}  // namespace

void edit_scrap(HWND window) {
    char path[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", path, sizeof path);
    char* text = path[0] ? read_text_file(path) : nullptr;
    if (!text) {
        show_warning(window, kMsgHtmlRead);
        return;
    }
    const int error = scrap_model_load(text, &scrap);
    if (error) {
        show_warning(window, error);
        return;
    }
    const INT_PTR result =
        DialogBoxParamA(app_instance(), MAKEINTRESOURCEA(IDD_SCRAP_EDITOR), window, editor_proc, 0);
    if (result == 0) write_back(window, path);
    scrap_model_free(&scrap);
}
