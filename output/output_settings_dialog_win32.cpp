#include "output/output_settings_dialog.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "output/image_writer.h"
#include "output/output_settings_logic.h"
#include "resources/resource_ids.h"
#include "scrap/scrap_format.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "sys/files.h"
#include "sys/paths.h"
#include "ui/button_icons.h"
#include "ui/dpi.h"
#include "ui/caption_icon.h"
#include "ui/command_gate.h"
#include "ui/dialog.h"
#include "ui/file_pickers.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/path_tail.h"
#include "ui/place.h"

namespace {

// Re-applies the enabling rules (posted to the dialog itself).
constexpr UINT UM_APPLY_KIND = WM_USER + 15;
constexpr int kShortSize = 16;

const HintEntry kOutputHints[] = {
    {IDC_OUT_FILE, "画像ファイルに出力する"},
    {IDC_OUT_CLIPBOARD, "クリップボードにDIB形式でコピーする"},
    {IDC_OUT_JPEG, "Jpeg形式の画像ファイルに出力します"},
    {IDC_OUT_GIF, "GIF形式の画像ファイルに出力します"},
    {IDC_OUT_PNG, "PNG形式の画像ファイルに出力します"},
    {IDC_OUT_BMP, "BMP形式の画像ファイルに出力します"},
    {IDC_OUT_QUALITY, "Jpegで出力する場合、30～100のJpegの品質を設定します\n品質が大きいほど出力するファイルサイズが大きくなります"},
    {IDC_OUT_FOLDER, "出力するフォルダを表示します"},
    {IDC_OUT_FOLDER_PICK, "出力するフォルダを設定するボックスを開きます"},
    {IDC_OUT_PREFIX, "出力する画像ファイルのファイル名の先頭に付ける文字列を入力します\n\"A\"とすると\"A00001.jpg\"のようなファイル名になります"},
    {IDC_OUT_NUMBER, "出力する画像ファイルのファイル名の番号を入力します\n出力した後、自動に1つ番号が増えます\n番号を\"99\"とすると\"A00099.jpg\"のようなファイル名になります\n数字部は5桁に固定され空白は\"0\"で満たします"},
    {IDC_OUT_USE_TEXT, "クリップボードにテキストがあればテキストファイルにセーブします\n画像ファイルの名前の拡張子を\"txt\"にしたファイル名になります\nBASE64形式では回り込みテキストとして使われます"},
    {IDC_OUT_BASE64, "画像データを、BASE64形式の文字列にして<img>タグにまとめます\nこれにより、HTML文の中に画像を埋め込むことができます"},
    {IDC_OUT_WRAP_RIGHT, "BASE64形式で右側にテキストの回り込みを行います\n画像は左端になります"},
    {IDC_OUT_WRAP_LEFT, "BASE64形式で左側にテキストの回り込みを行います\n画像は右端になります"},
    {IDC_OUT_WRAP_NONE, "BASE64形式でテキストの回り込みを行いません"},
    {IDC_OUT_SCRAP, "BASE64形式の出力するスクラップファイルを表示します\nスクラップファイルはHTML形式のテキストファイルです"},
    {IDC_OUT_SCRAP_PICK, "新しいBASE64形式の出力するスクラップファイルを設定するボックスを開きます\n既存のHTMLファイルを指定する場合は、このボックスで作成した\nファイルでなければなりません"},
    {IDC_OUT_TO_SCRAP, "BASE64形式でスクラップファイルに出力します"},
    {IDC_OUT_TO_CLIPBOARD, "BASE64形式のテキストでクリップボードにコピーします"},
    {IDC_OUT_SQUARE, "入力するピクセル値を一片とする正方形の範囲に、\n画像が収まるように画像を縮小します\n正方形に収まっていれば、何もしません\n設定しない場合は、64以下の数値か、空白にします"},
    {0, nullptr},
};

const ButtonIcon kButtons[] = {
    {IDC_OUT_FOLDER_PICK, IDI_DROP_DOWN},
    {IDC_OUT_SCRAP_PICK, IDI_DROP_DOWN},
};

const int kKinds[] = {IDC_OUT_FILE, IDC_OUT_CLIPBOARD, IDC_OUT_BASE64};
const int kFormats[] = {IDC_OUT_JPEG, IDC_OUT_GIF, IDC_OUT_PNG, IDC_OUT_BMP};
const char* const kFormatTypes[] = {kTypeJpeg, kTypeGif, kTypePng, kTypeBmp};
static_assert(std::size(kFormats) == std::size(kFormatTypes));
const int kWraps[] = {IDC_OUT_WRAP_RIGHT, IDC_OUT_WRAP_LEFT, IDC_OUT_WRAP_NONE};
const int kDestinations[] = {IDC_OUT_TO_SCRAP, IDC_OUT_TO_CLIPBOARD};
const int kEnabledByKind[] = {
    IDC_OUT_JPEG,       IDC_OUT_GIF,        IDC_OUT_PNG,       IDC_OUT_BMP,
    IDC_OUT_QUALITY,    IDC_OUT_FOLDER,     IDC_OUT_FOLDER_PICK, IDC_OUT_PREFIX,
    IDC_OUT_NUMBER,     IDC_OUT_USE_TEXT,   IDC_OUT_WRAP_RIGHT, IDC_OUT_WRAP_LEFT,
    IDC_OUT_WRAP_NONE,  IDC_OUT_SCRAP,      IDC_OUT_SCRAP_PICK, IDC_OUT_TO_SCRAP,
    IDC_OUT_TO_CLIPBOARD};

struct OutputSettingsState {
    // The dialog's two paths while it is open, stored at OK.
    char folder[kPathSize] = {};
    char scrap_file[kPathSize] = {};
    // The pickers and warnings run their own loops.
    CommandGate commands;
};

// A hand-edited Flags may tick two kinds: BASE64 goes before the clipboard,
// the clipboard before the image file, for OK and the enabling alike.
OutputKind checked_kind(HWND dialog) {
    if (is_checked(dialog, IDC_OUT_BASE64)) return OutputKind::kBase64;
    if (is_checked(dialog, IDC_OUT_CLIPBOARD)) return OutputKind::kClipboard;
    if (is_checked(dialog, IDC_OUT_FILE)) return OutputKind::kFile;
    return OutputKind::kNone;
}

void apply_kind(HWND dialog) {
    const OutputKind kind = checked_kind(dialog);
    if (kind == OutputKind::kNone) return;
    for (int id : kEnabledByKind)
        EnableWindow(GetDlgItem(dialog, id), output_control_enabled(kind, id) == 1);
}

void show_folder(HWND dialog, const OutputSettingsState& state) {
    SetDlgItemTextA(dialog, IDC_OUT_FOLDER, state.folder[0] ? folder_tail(state.folder).c_str() : "");
}
void show_scrap(HWND dialog, const OutputSettingsState& state) {
    SetDlgItemTextA(dialog, IDC_OUT_SCRAP, path_tail(state.scrap_file).c_str());
}

void on_init(HWND dialog, OutputSettingsState* state) {
    place_at_cursor(dialog);
    attach_hints(dialog, kOutputHints);
    dialog_icons_set(dialog, kButtons);
    if (g_app.flags & kFlagOutputFile) set_checked(dialog, IDC_OUT_FILE, true);
    if (g_app.flags & kFlagOutputClipboard) set_checked(dialog, IDC_OUT_CLIPBOARD, true);
    if (g_app.flags & kFlagOutputBase64) set_checked(dialog, IDC_OUT_BASE64, true);
    char type[kShortSize] = {};
    settings_read_string(kSectionOutput, "Type", type, sizeof type);
    for (size_t i = 0; i < std::size(kFormats); ++i)
        if (!std::strcmp(type, kFormatTypes[i])) set_checked(dialog, kFormats[i], true);
    SetDlgItemInt(dialog, IDC_OUT_QUALITY,
                  UINT(settings_read_int(kSectionOutput, "JpegQuality", kDefaultQuality)), FALSE);
    settings_read_string(kSectionOutput, "OutputFolder", state->folder, sizeof state->folder);
    show_folder(dialog, *state);
    char prefix[kShortSize] = {};
    settings_read_string(kSectionOutput, "Prefix", prefix, sizeof prefix);
    SetDlgItemTextA(dialog, IDC_OUT_PREFIX, prefix);
    SendDlgItemMessageA(dialog, IDC_OUT_PREFIX, EM_LIMITTEXT, kShortSize - 1, 0);
    SetDlgItemInt(dialog, IDC_OUT_NUMBER, UINT(settings_read_int(kSectionOutput, "Number", 1)),
                  FALSE);
    if (g_app.flags & kFlagUseClipboardText) set_checked(dialog, IDC_OUT_USE_TEXT, true);
    if (g_app.flags & kFlagTextRight)
        set_checked(dialog, IDC_OUT_WRAP_RIGHT, true);
    else if (g_app.flags & kFlagTextLeft)
        set_checked(dialog, IDC_OUT_WRAP_LEFT, true);
    settings_read_string(kSectionOutput, "HtmlFile", state->scrap_file, sizeof state->scrap_file);
    show_scrap(dialog, *state);
    check_one(dialog, kDestinations,
              g_app.flags & kFlagBase64ToScrap ? IDC_OUT_TO_SCRAP : IDC_OUT_TO_CLIPBOARD);
    if (g_app.square > 63) SetDlgItemInt(dialog, IDC_OUT_SQUARE, UINT(g_app.square), FALSE);
    PostMessageA(dialog, UM_APPLY_KIND, 0, 0);
}

void on_pick_folder(HWND dialog, OutputSettingsState* state) {
    char* folder = state->folder;
    {
        const HintsOff hints_off;
        pick_save_file("出力する画像ファイルのフォルダを選択する",
                       "画像ファイル\0*.jpg;*.gif;*.png;*.bmp\0", dialog, "jpg", folder);
    }
    // Chosen or not, only the folder of the name shown stays.
    if (const char* slash = sjis_last_backslash(folder)) folder[slash - folder + 1] = '\0';
    show_folder(dialog, *state);
}

void on_pick_scrap(HWND dialog, OutputSettingsState* state) {
    char* scrap_file = state->scrap_file;
    if (!scrap_file[0]) {
        char scrap_folder[kPathSize] = {};
        settings_read_string(kSectionOutput, "ScrapFolder", scrap_folder, sizeof scrap_folder);
        std::snprintf(scrap_file, kPathSize, "%sscrap.html", scrap_folder);
    }
    {
        const HintsOff hints_off;
        pick_save_file("BASE64形式の出力するHTMLファイルを設定する", "HTMLファイル\0*.html\0",
                       dialog, "html", scrap_file);
    }
    show_scrap(dialog, *state);
}

// The checked format's name; null with message 8 shown.
const char* checked_format(HWND dialog) {
    for (size_t i = 0; i < std::size(kFormats); ++i)
        if (is_checked(dialog, kFormats[i])) return kFormatTypes[i];
    show_warning(dialog, kMsgNoFormat);
    return nullptr;
}

bool checked_quality(HWND dialog, int* quality) {
    char text[16] = {};
    GetDlgItemTextA(dialog, IDC_OUT_QUALITY, text, sizeof text);
    const int error = quality_from_text(text, quality);
    if (error) show_warning(dialog, error);
    return error == 0;
}

// The scrap file must take items: a scrap is used as it is, a missing or
// nearly empty file becomes a new scrap, anything else is refused.
bool scrap_ready(HWND dialog, const char* scrap_file) {
    const int error = scrap_file[0] ? scrap_make_ready(scrap_file) : kMsgHtmlNotSet;
    if (error) show_warning(dialog, error);
    return error == 0;
}

void set_flag(int bit, bool on) {
    if (on)
        g_app.flags |= bit;
    else
        g_app.flags &= ~bit;
}

void on_ok(HWND dialog, const OutputSettingsState& state) {
    // The square is kept whatever follows.
    char text[kPathSize] = {};
    GetDlgItemTextA(dialog, IDC_OUT_SQUARE, text, sizeof text);
    g_app.square = square_from_text(text);
    settings_write_int(kSectionOutput, "Square", g_app.square);

    const OutputKind kind = checked_kind(dialog);
    if (kind == OutputKind::kNone) {
        show_warning(dialog, kMsgNoOutput);
        return;
    }
    if (kind == OutputKind::kClipboard) {
        set_flag(kFlagOutputFile | kFlagOutputBase64, false);
        set_flag(kFlagOutputClipboard, true);
        EndDialog(dialog, 0);
        return;
    }
    const char* type = checked_format(dialog);
    int quality = 0;
    if (!type || !checked_quality(dialog, &quality)) return;
    if (kind == OutputKind::kBase64) {
        if (is_checked(dialog, IDC_OUT_TO_SCRAP) && !scrap_ready(dialog, state.scrap_file)) return;
        settings_write_string(kSectionOutput, "HtmlFile", state.scrap_file);
        set_flag(kFlagOutputClipboard | kFlagOutputFile, false);
        set_flag(kFlagOutputBase64, true);
        settings_write_string(kSectionOutput, "Type", type);
        settings_write_int(kSectionOutput, "JpegQuality", quality);
        set_flag(kFlagUseClipboardText, is_checked(dialog, IDC_OUT_USE_TEXT));
        set_flag(kFlagTextRight | kFlagTextLeft, false);
        if (is_checked(dialog, IDC_OUT_WRAP_RIGHT))
            set_flag(kFlagTextRight, true);
        else if (is_checked(dialog, IDC_OUT_WRAP_LEFT))
            set_flag(kFlagTextLeft, true);
        set_flag(kFlagBase64ToScrap, is_checked(dialog, IDC_OUT_TO_SCRAP));
        EndDialog(dialog, 0);
        return;
    }
    char prefix[kShortSize] = {};
    GetDlgItemTextA(dialog, IDC_OUT_PREFIX, prefix, sizeof prefix);
    if (!prefix[0]) {
        show_warning(dialog, kMsgNoPrefix);
        return;
    }
    if (!file_prefix_ok(prefix)) {
        show_warning(dialog, kMsgBadPrefix);
        return;
    }
    if (!state.folder[0] || !fs_exists(state.folder)) {
        show_warning(dialog, kMsgNoOutputFolder);
        return;
    }
    GetDlgItemTextA(dialog, IDC_OUT_NUMBER, text, sizeof text);
    const int number = file_number_from_text(text);
    set_flag(kFlagOutputClipboard | kFlagOutputBase64, false);
    set_flag(kFlagOutputFile, true);
    set_flag(kFlagUseClipboardText, is_checked(dialog, IDC_OUT_USE_TEXT));
    settings_write_string(kSectionOutput, "Type", type);
    settings_write_int(kSectionOutput, "JpegQuality", quality);
    settings_write_string(kSectionOutput, "OutputFolder", state.folder);
    settings_write_string(kSectionOutput, "Prefix", prefix);
    settings_write_int(kSectionOutput, "Number", number);
    EndDialog(dialog, 0);
}

void on_command(HWND dialog, OutputSettingsState* state, int id) {
    if (in_group(kKinds, id)) {
        check_one(dialog, kKinds, id);
        PostMessageA(dialog, UM_APPLY_KIND, 0, 0);
    } else if (in_group(kFormats, id)) {
        check_one(dialog, kFormats, id);
    } else if (in_group(kWraps, id)) {
        check_one(dialog, kWraps, id);
    } else if (in_group(kDestinations, id)) {
        check_one(dialog, kDestinations, id);
    } else if (id == IDC_OUT_FOLDER_PICK) {
        on_pick_folder(dialog, state);
    } else if (id == IDC_OUT_SCRAP_PICK) {
        on_pick_scrap(dialog, state);
    } else if (id == IDOK) {
        on_ok(dialog, *state);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, -1);
    }
}

void on_destroy(HWND dialog) {
    button_icons_free(dialog, kButtons);
    destroy_caption_icon();
    detach_hints(dialog);
}

INT_PTR CALLBACK output_settings_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    OutputSettingsState* state = dialog_state<OutputSettingsState>(dialog, message, lparam);
    if (!state) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog, state);
            return TRUE;
        case WM_DPICHANGED:
            dialog_icons_set(dialog, kButtons, dpi_of_message(wparam));
            return FALSE;
        case UM_APPLY_KIND:
            apply_kind(dialog);
            return TRUE;
        case WM_COMMAND:
            gate_run(&state->commands, wparam,
                     [dialog, state](uintptr_t c) { on_command(dialog, state, LOWORD(c)); });
            return TRUE;
        case WM_DESTROY:
            on_destroy(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int output_settings_dialog(HWND owner) {
    OutputSettingsState state;
    return int(
        dialog_run(IDD_OUTPUT_SETTINGS, owner, guarded_dialog_proc<output_settings_proc>, &state));
}
