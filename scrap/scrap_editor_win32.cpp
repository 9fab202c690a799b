#include "scrap/scrap_editor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/dib.h"
#include "resources/resource_ids.h"
#include "scrap/preview.h"
#include "scrap/scrap_model.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "ui/button_icons.h"
#include "ui/dpi.h"
#include "ui/caption_icon.h"
#include "ui/command_gate.h"
#include "ui/dialog.h"
#include "ui/editor_program.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/menu_guard.h"
#include "ui/place.h"
#include "ui/popup_menu.h"

namespace {

// The scrap file's size and time as loaded: a file that another program
// changed since is never overwritten.
struct FileStamp {
    unsigned long long size;
    unsigned long long time;
};

// The editor's state while the command runs: made when it starts, before
// the dialog opens, and kept until the file is written after it.
struct ScrapEditorState {
    char scrap_path[kPathSize] = {};
    ScrapModel scrap;
    FileStamp loaded_stamp = {};
    // The preview's picture; freed when the dialog goes (see show_item).
    PackedDib canvas = nullptr;
    // Commands that come while one runs (the preview's resampling runs the
    // message pump) wait and then run in order; during the external edit
    // they are refused.
    CommandGate gate;
    // Only OK, or deleting the only item, writes the file: a dialog that
    // ends any other way (Cancel, the program ending while it is open)
    // leaves the file as it is.
    bool confirmed = false;
    bool ended = false;
    int waiting = 0;         // steps under way that show the wait cursor
    bool rendering = false;  // the preview draws into the canvas (and runs the pump)

    ScrapEditorState() = default;
    ~ScrapEditorState() { scrap_model_free(&scrap); }
    ScrapEditorState(const ScrapEditorState&) = delete;
    ScrapEditorState& operator=(const ScrapEditorState&) = delete;
};

const char kItemTextFile[] = "$cscrap.txt";
const char kScratchBase[] = "$image";
// The command that runs the external edit of the item's text.
const uintptr_t kExternalEditCommand = MAKEWPARAM(IDC_SCRAP_PREVIEW, 0xFFFF);

const ButtonIcon kButtons[] = {
    {IDC_SCRAP_FIRST, IDI_TO_FIRST}, {IDC_SCRAP_PREVIOUS, IDI_ARROW_LEFT},
    {IDC_SCRAP_NEXT, IDI_ARROW_RIGHT}, {IDC_SCRAP_LAST, IDI_TO_LAST},
    {IDC_SCRAP_MENU, IDI_DROP_DOWN},
};

const HintEntry kEditorHints[] = {
    {IDC_SCRAP_HEADING, "見出しを入力する"},
    {IDC_SCRAP_LINK, "リンク先を入力する"},
    {IDC_SCRAP_PREVIEW, "画像を表示する"},
    {IDC_SCRAP_TEXT, "文章を編集します"},
    {IDC_SCRAP_FIRST, "スクラップの先頭に移動します"},
    {IDC_SCRAP_PREVIOUS, "前の項目に移動します"},
    {IDC_SCRAP_NUMBER, "項目番号を表示します"},
    {IDC_SCRAP_COUNT, "項目数を表示します"},
    {IDC_SCRAP_NEXT, "次の項目に移動します"},
    {IDC_SCRAP_LAST, "スクラップの末尾に移動します"},
    {0, nullptr},
};

enum ItemCommand { kItemClose = 0, kItemTitle = 1, kItemDelete = 2, kItemSwap = 3 };

ScrapItem* current_item(ScrapModel* scrap) {
    if (scrap->items.empty()) return nullptr;
    if (scrap->current < 0) scrap->current = 0;
    if (scrap->current >= int(scrap->items.size())) scrap->current = int(scrap->items.size()) - 1;
    return &scrap->items[size_t(scrap->current)];
}

bool external_edit_running() { return g_app.capture.capture_flags & kCaptureExternalEdit; }

FileStamp stamp_of(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &info)) return FileStamp{~0ull, ~0ull};
    return FileStamp{(unsigned long long)info.nFileSizeHigh << 32 | info.nFileSizeLow,
                     (unsigned long long)info.ftLastWriteTime.dwHighDateTime << 32 |
                         info.ftLastWriteTime.dwLowDateTime};
}

bool changed_elsewhere(const ScrapEditorState& e) {
    const FileStamp now = stamp_of(e.scrap_path);
    return now.size != e.loaded_stamp.size || now.time != e.loaded_stamp.time;
}

// The wait cursor for a step that can take longer than a moment; while
// the step runs the message pump, the dialog keeps showing it.
class WaitCursor {
public:
    explicit WaitCursor(ScrapEditorState* e)
        : e_(e), before_(SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {
        ++e_->waiting;
    }
    ~WaitCursor() {
        --e_->waiting;
        SetCursor(before_);
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    ScrapEditorState* e_;
    HCURSOR before_;
};

void end_editor(HWND dialog, ScrapEditorState* e, int result) {
    e->confirmed = result == 0;
    e->ended = true;
    EndDialog(dialog, result);
}

void show_count(HWND dialog, const ScrapEditorState& e) {
    SetDlgItemInt(dialog, IDC_SCRAP_COUNT, UINT(e.scrap.items.size()), FALSE);
}

// The fields first, then the picture: resampling runs the message pump, and
// whatever runs meanwhile finds the fields showing the current item.
void show_item(HWND dialog, ScrapEditorState* e) {
    ScrapItem* item = current_item(&e->scrap);
    SetDlgItemInt(dialog, IDC_SCRAP_NUMBER, UINT(e->scrap.current + 1), FALSE);
    if (item) {
        SetDlgItemTextA(dialog, IDC_SCRAP_TIME, item->timestamp);
        SetDlgItemTextA(dialog, IDC_SCRAP_HEADING, item->heading ? item->heading : "");
        SetDlgItemTextA(dialog, IDC_SCRAP_LINK, item->link ? item->link : "");
        SetDlgItemTextA(dialog, IDC_SCRAP_TEXT, item->text ? item->text : "");
        // An item kept as it stands (it has no picture) is shown, not edited.
        const BOOL editable = item->raw == nullptr;
        for (int id : {IDC_SCRAP_HEADING, IDC_SCRAP_LINK, IDC_SCRAP_TEXT})
            EnableWindow(GetDlgItem(dialog, id), editable);
    }
    if (e->canvas) {
        WaitCursor wait(e);
        char base[kPathSize];
        std::snprintf(base, sizeof base, "%s%s", g_app.data_folder, kScratchBase);
        PackedDib drawing = e->canvas;
        e->rendering = true;
        preview_render(drawing, item ? item->tag : nullptr, base);
        e->rendering = false;
        // The dialog went away meanwhile (the program is ending): the canvas
        // is freed here, now that nothing draws into it.
        if (!e->canvas) mem_free(drawing);
    }
    InvalidateRect(GetDlgItem(dialog, IDC_SCRAP_PREVIEW), nullptr, FALSE);
}

// A field's whole text, as many bytes as it holds.
std::string field_text(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::string text(size_t(GetWindowTextLengthA(control)) + 1, '\0');
    text.resize(size_t(GetWindowTextA(control, &text[0], int(text.size()))));
    return text;
}

// A heading, link or title field, cut to what the file reads back as such
// (the edit control's limit counts characters, the file's bytes).
std::string fitted_field(HWND dialog, int id, size_t limit) {
    std::string text = field_text(dialog, id);
    scrap_fit_field(&text[0], limit);
    text.resize(std::strlen(text.c_str()));
    return text;
}

// The three fields back into the current record.
void store_fields(HWND dialog, ScrapEditorState* e) {
    ScrapItem* item = current_item(&e->scrap);
    if (!item || item->raw) return;
    scrap_set_text(&item->text, field_text(dialog, IDC_SCRAP_TEXT).c_str());
    const std::string heading = fitted_field(dialog, IDC_SCRAP_HEADING, kScrapPartLimit);
    if (!item->heading || heading != item->heading) scrap_set_text(&item->heading, heading.c_str());
    const std::string link = fitted_field(dialog, IDC_SCRAP_LINK, kScrapPartLimit);
    if (!item->link || link != item->link) scrap_set_text(&item->link, link.c_str());
}

// The title dialog works on the titles of the scrap it is handed.
INT_PTR CALLBACK title_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    ScrapModel* scrap = dialog_state<ScrapModel>(dialog, message, lparam);
    if (!scrap) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            place_at_cursor(dialog);
            set_caption_icon(dialog);
            SendDlgItemMessageA(dialog, IDC_SCRAP_TITLE, EM_LIMITTEXT, kScrapTitleSize - 1, 0);
            SendDlgItemMessageA(dialog, IDC_SCRAP_SUBTITLE, EM_LIMITTEXT, kScrapTitleSize - 1, 0);
            SetDlgItemTextA(dialog, IDC_SCRAP_TITLE, scrap->title);
            SetDlgItemTextA(dialog, IDC_SCRAP_SUBTITLE, scrap->subtitle);
            return TRUE;
        case WM_DPICHANGED:
            set_caption_icon(dialog, dpi_of_message(wparam));
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                const size_t limit = kScrapTitleSize - 1;
                const std::string title = fitted_field(dialog, IDC_SCRAP_TITLE, limit);
                const std::string subtitle = fitted_field(dialog, IDC_SCRAP_SUBTITLE, limit);
                std::memcpy(scrap->title, title.c_str(), title.size() + 1);
                std::memcpy(scrap->subtitle, subtitle.c_str(), subtitle.size() + 1);
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

// The item menu: its command, kItemClose when closed without one or not
// shown.
int run_item_menu(HWND dialog, const ScrapModel& scrap) {
    if (!menu_guard_allows()) return kItemClose;
    std::vector<MenuEntry> entries = {menu_item(kItemTitle, "スクラップの表題を入力する"),
                                      menu_separator(),
                                      menu_item(kItemDelete, "現在の項目を削除する")};
    if (scrap.current > 0)
        entries.push_back(menu_item(kItemSwap, "現在の項目と1つ前の項目を入れ替える"));
    entries.push_back(menu_separator());
    entries.push_back(menu_item(kItemClose, "メニューを閉じる"));
    const int chosen = popup_menu_run(dialog, entries);
    if (chosen == kMenuNotShown) return kItemClose;
    menu_guard_note();
    return chosen;
}

void on_item_menu(HWND dialog, ScrapEditorState* e) {
    bool changed = false, no_item_left = false;
    {
        const HintsOff hints_off;
        const int chosen = run_item_menu(dialog, e->scrap);
        if (chosen == kItemTitle) {
            dialog_run(IDD_SCRAP_TITLE, dialog, guarded_dialog_proc<title_proc>, &e->scrap);
        } else if (chosen == kItemDelete && confirm_yes_no(dialog, message_text(kMsgDeleteItem))) {
            // Deleting the only item writes the file at once: not over
            // another program's change.
            if (e->scrap.items.size() == 1 && changed_elsewhere(*e)) {
                changed = true;
            } else if (scrap_model_delete(&e->scrap)) {
                no_item_left = true;
            } else {
                show_count(dialog, *e);
                show_item(dialog, e);
            }
        } else if (chosen == kItemSwap) {
            // The fields are not stored first: the moved item shows its stored texts.
            if (scrap_model_swap(&e->scrap)) show_item(dialog, e);
        }
    }
    if (changed) show_warning(dialog, kMsgScrapChangedElsewhere);
    // No item left: the scrap is written without any.
    if (no_item_left) end_editor(dialog, e, 0);
}

// The item's text through the editor program, the external edit flag set;
// false when the text file could not be written.
bool edit_item_text(HWND dialog, ScrapEditorState* e, ScrapItem* item) {
    const CaptureFlagsHeld editing(&g_app.capture, kCaptureExternalEdit);
    store_fields(dialog, e);  // the editor starts from what the user sees
    char path[kPathSize];
    std::snprintf(path, sizeof path, "%s%s", g_app.data_folder, kItemTextFile);
    if (!write_text_file(item->text ? item->text : "", path)) return false;
    ShowWindow(dialog, SW_MINIMIZE);
    const int changed = edit_file_with_editor(path);
    ShowWindow(dialog, SW_RESTORE);
    if (!changed) return true;
    // A missing or emptied file is an empty text; a file that is there but
    // cannot be read keeps the item's text (and says so).
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
    return true;
}

// Edits the current item's text in the editor program (a double click on
// the preview asks for it).
void on_external_edit(HWND dialog, ScrapEditorState* e) {
    if (external_edit_running()) return;
    ScrapItem* item = current_item(&e->scrap);
    if (!item || item->raw) return;
    // The user works in the other program meanwhile: commands given to the
    // minimised dialog are refused, not kept for later.
    class RefuseMeanwhile {
    public:
        explicit RefuseMeanwhile(CommandGate* gate) : gate_(gate) { gate_->hold = false; }
        ~RefuseMeanwhile() { gate_->hold = true; }

    private:
        CommandGate* gate_;
    } refuse(&e->gate);
    if (!edit_item_text(dialog, e, item)) show_warning(dialog, kMsgFileWrite);
}

void on_init(HWND dialog, ScrapEditorState* e) {
    place_at_cursor(dialog);
    attach_hints(dialog, kEditorHints);
    dialog_icons_set(dialog, kButtons);
    // Longer headings and links would not be read back as such (the limit
    // counts characters; storing cuts what is longer in bytes).
    SendDlgItemMessageA(dialog, IDC_SCRAP_HEADING, EM_LIMITTEXT, kScrapPartLimit, 0);
    SendDlgItemMessageA(dialog, IDC_SCRAP_LINK, EM_LIMITTEXT, kScrapPartLimit, 0);
    show_count(dialog, *e);
    RECT r;
    GetWindowRect(GetDlgItem(dialog, IDC_SCRAP_PREVIEW), &r);
    e->canvas = dib_create24(r.right - r.left, r.bottom - r.top);
    show_item(dialog, e);
}

void on_destroy(HWND dialog, ScrapEditorState* e) {
    detach_hints(dialog);
    button_icons_free(dialog, kButtons);
    destroy_caption_icon();
    if (e->canvas && !e->rendering) mem_free(e->canvas);
    e->canvas = nullptr;
}

void on_draw_preview(const ScrapEditorState& e, const DRAWITEMSTRUCT* item) {
    if (!e.canvas || (item->itemState & ODS_SELECTED)) return;
    if (!(item->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return;
    MemLock<DibHeader> c(e.canvas);
    if (!c) return;
    SetStretchBltMode(item->hDC, COLORONCOLOR);
    StretchDIBits(item->hDC, 0, 0, c->biWidth, c->biHeight, 0, 0, c->biWidth, c->biHeight,
                  dib_bits_ptr(c.get()), reinterpret_cast<const BITMAPINFO*>(c.get()),
                  DIB_RGB_COLORS, SRCCOPY);
}

void on_command(HWND dialog, ScrapEditorState* e, int id, int code) {
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
            store_fields(dialog, e);
            if (scrap_model_move(&e->scrap, move)) show_item(dialog, e);
            break;
        }
        case IDOK:
            store_fields(dialog, e);
            // Another program changed the file since it was read: writing
            // would throw its change away. The user keeps the dialog.
            if (changed_elsewhere(*e)) {
                show_warning(dialog, kMsgScrapChangedElsewhere);
                break;
            }
            end_editor(dialog, e, 0);
            break;
        case IDCANCEL:
            end_editor(dialog, e, -1);
            break;
        case IDC_SCRAP_MENU:
            on_item_menu(dialog, e);
            break;
        case IDC_SCRAP_PREVIEW:
            if (code == BN_DOUBLECLICKED) PostMessageA(dialog, UM_SCRAP_EXTERNAL_EDIT, 0, 0);
            break;
    }
}

// Every command goes through the gate, so that none starts while another
// is still under way.
void on_gated_command(HWND dialog, ScrapEditorState* e, uintptr_t command) {
    gate_run(&e->gate, command, [dialog, e](uintptr_t c) {
        if (e->ended) return;  // what was held behind OK or Cancel is dropped
        if (c == kExternalEditCommand)
            on_external_edit(dialog, e);
        else
            on_command(dialog, e, LOWORD(c), HIWORD(c));
    });
}

INT_PTR CALLBACK editor_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    ScrapEditorState* e = dialog_state<ScrapEditorState>(dialog, message, lparam);
    if (!e) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog, e);
            return TRUE;
        case WM_DPICHANGED:
            dialog_icons_set(dialog, kButtons, dpi_of_message(wparam));
            return FALSE;
        case WM_DRAWITEM:
            if (wparam != IDC_SCRAP_PREVIEW) return FALSE;
            on_draw_preview(*e, reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_SETCURSOR:
            if (!e->waiting) return FALSE;
            SetCursor(LoadCursorA(nullptr, IDC_WAIT));
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        case WM_COMMAND:
            on_gated_command(dialog, e, wparam);
            return TRUE;
        case UM_SCRAP_EXTERNAL_EDIT:
            on_gated_command(dialog, e, kExternalEditCommand);
            return TRUE;
        case WM_ENDSESSION:
            // Windows ends: as Cancel, the file stays as it is.
            if (wparam) end_editor(dialog, e, -1);
            return TRUE;
        case WM_DESTROY:
            on_destroy(dialog, e);
            return TRUE;
    }
    return FALSE;
}

// Writes the edited scrap back in one step. Tells the user when it could not.
void write_back(HWND window, ScrapEditorState* e) {
    WaitCursor wait(e);
    if (changed_elsewhere(*e)) {
        show_warning(window, kMsgScrapChangedElsewhere);
        return;
    }
    size_t size = 0;
    char* text = scrap_model_text(e->scrap, &size);
    if (!text) {
        show_warning(window, kMsgNoMemory);
        return;
    }
    const int written = replace_file_atomically(text, size, e->scrap_path);
    std::free(text);
    if (!written) show_warning(window, kMsgHtmlCreate);
}

// Reads the scrap into the model; 0, or the number of the message to show.
int load_scrap(ScrapEditorState* e) {
    WaitCursor wait(e);
    e->loaded_stamp = stamp_of(e->scrap_path);  // before reading: a change while reading counts
    size_t size = 0;
    char* text = e->scrap_path[0] ? read_text_file(e->scrap_path, &size) : nullptr;
    if (!text) return kMsgHtmlRead;
    return scrap_model_load(text, size, &e->scrap);
}

}  // namespace

void edit_scrap(HWND window) {
    ScrapEditorState state;
    settings_read_string(kSectionOutput, "HtmlFile", state.scrap_path, sizeof state.scrap_path);
    const int error = load_scrap(&state);
    if (error) {
        show_warning(window, error);
        return;
    }
    state.gate.hold = true;
    dialog_run(IDD_SCRAP_EDITOR, window, guarded_dialog_proc<editor_proc>, &state);
    if (state.confirmed) write_back(window, &state);
}
