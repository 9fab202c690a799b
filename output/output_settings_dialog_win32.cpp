#include "output/output_settings_dialog.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/image_writer.h"
#include "output/output_settings_logic.h"
#include "resources/resource_ids.h"
#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/instance.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "sys/files.h"
#include "sys/paths.h"
#include "ui/button_icons.h"
#include "ui/caption_icon.h"
#include "ui/command_gate.h"
#include "ui/file_pickers.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/place.h"

namespace {

// Re-applies the enabling rules (posted to the dialog itself).
constexpr UINT UM_APPLY_KIND = WM_USER + 15;
constexpr int kShortSize = 16;
constexpr int kDefaultQuality = 80;

const HintEntry kOutputHints[] = {
    {1036, "画像ファイルに出力する"},
    {1037, "クリップボードにDIB形式でコピーする"},
    {1029, "Jpeg形式の画像ファイルに出力します"},
    {1030, "GIF形式の画像ファイルに出力します"},
    {1032, "BMP形式の画像ファイルに出力します"},
    {1023, "Jpegで出力する場合、30～100のJpegの品質を設定します\n品質が大きいほど出力するファイルサイズが大きくなります"},
    {1017, "出力するフォルダを表示します"},
    {1014, "出力するフォルダを設定するボックスを開きます"},
    {1033, "出力する画像ファイルのファイル名の先頭に付ける文字列を入力します\n\"A\"とすると\"A00001.jpg\"のようなファイル名になります"},
    {1034, "出力する画像ファイルのファイル名の番号を入力します\n出力した後、自動に1つ番号が増えます\n番号を\"99\"とすると\"A00099.jpg\"のようなファイル名になります\n数字部は5桁に固定され空白は\"0\"で満たします"},
    {1026, "クリップボードにテキストがあればテキストファイルにセーブします\n画像ファイルの名前の拡張子を\"txt\"にしたファイル名になります\nBASE64形式では回り込みテキストとして使われます"},
    {1042, "画像データを、BASE64形式の文字列にして<img>タグにまとめます\nこれにより、HTML文の中に画像を埋め込むことができます"},
    {1039, "BASE64形式で右側にテキストの回り込みを行います\n画像は左端になります"},
    {1040, "BASE64形式で左側にテキストの回り込みを行います\n画像は右端になります"},
    {1041, "BASE64形式でテキストの回り込みを行いません"},
    {1018, "BASE64形式の出力するスクラップファイルを表示します\nスクラップファイルはHTML形式のテキストファイルです"},
    {1015, "新しいBASE64形式の出力するスクラップファイルを設定するボックスを開きます\n既存のHTMLファイルを指定する場合は、このボックスで作成した\nファイルでなければなりません"},
    {1043, "BASE64形式でスクラップファイルに出力します"},
    {1044, "BASE64形式のテキストでクリップボードにコピーします"},
    {1035, "入力するピクセル値を一片とする正方形の範囲に、\n画像が収まるように画像を縮小します\n正方形に収まっていれば、何もしません\n設定しない場合は、64以下の数値か、空白にします"},
    {0, nullptr},
};

const int kKinds[] = {IDC_OUT_FILE, IDC_OUT_CLIPBOARD, IDC_OUT_BASE64};
const int kFormats[] = {IDC_OUT_JPEG, IDC_OUT_GIF, IDC_OUT_BMP};
const char* const kFormatTypes[] = {kTypeJpeg, kTypeGif, kTypeBmp};
const int kWraps[] = {IDC_OUT_WRAP_RIGHT, IDC_OUT_WRAP_LEFT, IDC_OUT_WRAP_NONE};
const int kDestinations[] = {IDC_OUT_TO_SCRAP, IDC_OUT_TO_CLIPBOARD};
const int kEnabledByKind[] = {IDC_OUT_JPEG,   IDC_OUT_GIF,        IDC_OUT_BMP,       IDC_OUT_QUALITY,
                              IDC_OUT_FOLDER, IDC_OUT_FOLDER_PICK, IDC_OUT_PREFIX,   IDC_OUT_NUMBER,
                              IDC_OUT_USE_TEXT, IDC_OUT_WRAP_RIGHT, IDC_OUT_WRAP_LEFT, IDC_OUT_WRAP_NONE,
                              IDC_OUT_SCRAP,  IDC_OUT_SCRAP_PICK, IDC_OUT_TO_SCRAP, IDC_OUT_TO_CLIPBOARD};

// The dialog's two paths while it is open.
char folder[kPathSize];
char scrap_file[kPathSize];

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

template <size_t N>
void check_one(HWND dialog, const int (&group)[N], int id) {
    for (int member : group) CheckDlgButton(dialog, member, member == id ? BST_CHECKED : BST_UNCHECKED);
}

template <size_t N>
bool in_group(const int (&group)[N], int id) {
    for (int member : group)
        if (member == id) return true;
    return false;
}

// A hand-edited Flags may tick two kinds: BASE64 goes before the clipboard,
// the clipboard before the image file, for OK and the enabling alike.
OutputKind checked_kind(HWND dialog) {
    if (ticked(dialog, IDC_OUT_BASE64)) return OutputKind::kBase64;
    if (ticked(dialog, IDC_OUT_CLIPBOARD)) return OutputKind::kClipboard;
    if (ticked(dialog, IDC_OUT_FILE)) return OutputKind::kFile;
    return OutputKind::kNone;
}

void apply_kind(HWND dialog) {
    const OutputKind kind = checked_kind(dialog);
    if (kind == OutputKind::kNone) return;
    for (int id : kEnabledByKind)
        EnableWindow(GetDlgItem(dialog, id), output_control_enabled(kind, id) == 1);
}

void show_folder(HWND dialog) { SetDlgItemTextA(dialog, IDC_OUT_FOLDER, folder[0] ? folder_tail(folder).c_str() : ""); }
void show_scrap(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_OUT_SCRAP, scrap_file[0] ? scrap_file_tail(scrap_file).c_str() : "");
}

void on_init(HWND dialog) {
    place_at_cursor(dialog);
    attach_hints(dialog, kOutputHints);
    set_caption_icon(dialog);
    button_icon_set(dialog, IDC_OUT_FOLDER_PICK, IDI_DROP_DOWN);
    button_icon_set(dialog, IDC_OUT_SCRAP_PICK, IDI_DROP_DOWN);
    if (g_app.flags & kFlagOutputFile) CheckDlgButton(dialog, IDC_OUT_FILE, BST_CHECKED);
    if (g_app.flags & kFlagOutputClipboard) CheckDlgButton(dialog, IDC_OUT_CLIPBOARD, BST_CHECKED);
    if (g_app.flags & kFlagOutputBase64) CheckDlgButton(dialog, IDC_OUT_BASE64, BST_CHECKED);
    char type[kShortSize] = {};
    settings_read_string(kSectionOutput, "Type", type, sizeof type);
    for (size_t i = 0; i < 3; ++i)
        if (!std::strcmp(type, kFormatTypes[i])) CheckDlgButton(dialog, kFormats[i], BST_CHECKED);
    SetDlgItemInt(dialog, IDC_OUT_QUALITY,
                  UINT(settings_read_int(kSectionOutput, "JpegQuality", kDefaultQuality)), FALSE);
    std::memset(folder, 0, sizeof folder);
    settings_read_string(kSectionOutput, "OutputFolder", folder, sizeof folder);
    show_folder(dialog);
    char prefix[kShortSize] = {};
    settings_read_string(kSectionOutput, "Prefix", prefix, sizeof prefix);
    SetDlgItemTextA(dialog, IDC_OUT_PREFIX, prefix);
    SendDlgItemMessageA(dialog, IDC_OUT_PREFIX, EM_LIMITTEXT, kShortSize - 1, 0);
    SetDlgItemInt(dialog, IDC_OUT_NUMBER, UINT(settings_read_int(kSectionOutput, "Number", 1)),
                  FALSE);
    if (g_app.flags & kFlagUseClipboardText) CheckDlgButton(dialog, IDC_OUT_USE_TEXT, BST_CHECKED);
    if (g_app.flags & kFlagTextRight)
        CheckDlgButton(dialog, IDC_OUT_WRAP_RIGHT, BST_CHECKED);
    else if (g_app.flags & kFlagTextLeft)
        CheckDlgButton(dialog, IDC_OUT_WRAP_LEFT, BST_CHECKED);
    std::memset(scrap_file, 0, sizeof scrap_file);
    settings_read_string(kSectionOutput, "HtmlFile", scrap_file, sizeof scrap_file);
    show_scrap(dialog);
    check_one(dialog, kDestinations,
              g_app.flags & kFlagBase64ToScrap ? IDC_OUT_TO_SCRAP : IDC_OUT_TO_CLIPBOARD);
    if (g_app.square > 63) SetDlgItemInt(dialog, IDC_OUT_SQUARE, UINT(g_app.square), FALSE);
    PostMessageA(dialog, UM_APPLY_KIND, 0, 0);
}

void on_pick_folder(HWND dialog) {
    g_app.hints_enabled = 0;
    pick_save_file("出力する画像ファイルのフォルダを選択する", "画像ファイル\0*.jpg;*.gif;*,png;*.bmp\0",
                   dialog, "jpg", folder);
    g_app.hints_enabled = 1;
    // Chosen or not, only the folder of the name shown stays.
    if (const char* slash = sjis_last_backslash(folder)) folder[slash - folder + 1] = '\0';
    show_folder(dialog);
}

void on_pick_scrap(HWND dialog) {
    if (!scrap_file[0]) {
        char scrap_folder[kPathSize] = {};
        settings_read_string(kSectionOutput, "ScrapFolder", scrap_folder, sizeof scrap_folder);
        std::snprintf(scrap_file, sizeof scrap_file, "%sscrap.html", scrap_folder);
    }
    g_app.hints_enabled = 0;
    pick_save_file("BASE64形式の出力するHTMLファイルを設定する", "HTMLファイル\0*.html\0", dialog,
                   "html", scrap_file);
    g_app.hints_enabled = 1;
    show_scrap(dialog);
}

// The checked format's name; null with message 8 shown.
const char* checked_format(HWND dialog) {
    for (size_t i = 0; i < 3; ++i)
        if (ticked(dialog, kFormats[i])) return kFormatTypes[i];
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
bool scrap_ready(HWND dialog) {
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

void on_ok(HWND dialog) {
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
        if (ticked(dialog, IDC_OUT_TO_SCRAP) && !scrap_ready(dialog)) return;
        settings_write_string(kSectionOutput, "HtmlFile", scrap_file);
        set_flag(kFlagOutputClipboard | kFlagOutputFile, false);
        set_flag(kFlagOutputBase64, true);
        settings_write_string(kSectionOutput, "Type", type);
        settings_write_int(kSectionOutput, "JpegQuality", quality);
        set_flag(kFlagUseClipboardText, ticked(dialog, IDC_OUT_USE_TEXT));
        set_flag(kFlagTextRight | kFlagTextLeft, false);
        if (ticked(dialog, IDC_OUT_WRAP_RIGHT))
            set_flag(kFlagTextRight, true);
        else if (ticked(dialog, IDC_OUT_WRAP_LEFT))
            set_flag(kFlagTextLeft, true);
        set_flag(kFlagBase64ToScrap, ticked(dialog, IDC_OUT_TO_SCRAP));
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
    if (!folder[0] || !fs_exists(folder)) {
        show_warning(dialog, kMsgNoOutputFolder);
        return;
    }
    GetDlgItemTextA(dialog, IDC_OUT_NUMBER, text, sizeof text);
    const int number = file_number_from_text(text);
    set_flag(kFlagOutputClipboard | kFlagOutputBase64, false);
    set_flag(kFlagOutputFile, true);
    set_flag(kFlagUseClipboardText, ticked(dialog, IDC_OUT_USE_TEXT));
    settings_write_string(kSectionOutput, "Type", type);
    settings_write_int(kSectionOutput, "JpegQuality", quality);
    settings_write_string(kSectionOutput, "OutputFolder", folder);
    settings_write_string(kSectionOutput, "Prefix", prefix);
    settings_write_int(kSectionOutput, "Number", number);
    EndDialog(dialog, 0);
}

void on_command(HWND dialog, int id) {
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
        on_pick_folder(dialog);
    } else if (id == IDC_OUT_SCRAP_PICK) {
        on_pick_scrap(dialog);
    } else if (id == IDOK) {
        on_ok(dialog);
    } else if (id == IDCANCEL) {
        EndDialog(dialog, -1);
    }
}

CommandGate commands;

INT_PTR CALLBACK output_settings_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return TRUE;
        case UM_APPLY_KIND:
            apply_kind(dialog);
            return TRUE;
        case WM_COMMAND:
            // The pickers and warnings run their own loops.
            gate_run(&commands, wparam, [dialog](uintptr_t c) { on_command(dialog, LOWORD(c)); });
            return TRUE;
        case WM_DESTROY:
            button_icon_free(dialog, IDC_OUT_FOLDER_PICK);
            button_icon_free(dialog, IDC_OUT_SCRAP_PICK);
            destroy_caption_icon();
            detach_hints(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int output_settings_dialog(HWND owner) {
    HINSTANCE instance = app_instance();
    return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_OUTPUT_SETTINGS), owner,
                               guarded_dialog_proc<output_settings_proc>, 0));
}
