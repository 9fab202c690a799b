#include "app/settings_dialog.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/settings_logic.h"
#include "capture/constraint_menus.h"
#include "capture/constraints.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/instance.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "sys/files.h"
#include "ui/button_icons.h"
#include "ui/caption_icon.h"
#include "ui/command_gate.h"
#include "ui/file_pickers.h"
#include "ui/guarded_proc.h"
#include "ui/hints.h"
#include "ui/place.h"

namespace {

const HintEntry kSettingsHints[] = {
    {1007, "切り取る矩形の縦横比を表示する"},
    {1009, "切り取る矩形の縦横比を変更する"},
    {1012, "切り取る矩形の横幅を表示する"},
    {1011, "切り取る矩形の横幅を変更する"},
    {1024, "<Shift>キーをホットキーに組み合わせます"},
    {1025, "<Ctrl>キーをホットキーに組み合わせます"},
    {1026, "<Alt>キーをホットキーに組み合わせます"},
    {1017, "ホットキーとして英字一文字か、\n1～12のファンクションキーを表す数値を入力します"},
    {1020, "プライマリーモニターのみをTambleの範囲とします\nセカンダリーモニターがプライマリーモニターの上か、\n左側にある場合設定します"},
    {1023, "Windowsの設定でスケーリングをOnにしている場合、\nそのスケーリング値を設定します\n設定しない場合は100にします"},
    {1027, "左上座標と右下座標の入力時に\nそれぞれのボックスを表示します"},
    {1029, "大きいダイアログボックスを使うようにします"},
    {1030, "左上と右下座標入力のボックス位置を別々に記憶するようにします"},
    {1018, "HTMLファイルを編集するプログラム名を表示します"},
    {1014, "HTMLファイルを編集するプログラムを設定します"},
    {0, nullptr},
};

const int kIconButtons[] = {IDC_SET_ASPECT, IDC_SET_WIDTH, IDC_SET_EDITOR_PICK};

// The dialog's working copy of Option/Editor.
char editor_path[kPathSize];

struct FlagBox {
    int control;
    int flag;
};
const FlagBox kFlagBoxes[] = {
    {IDC_SET_PRIMARY, kFlagPrimaryOnly},
    {IDC_SET_AUTO_BOX, kFlagAutoOpenBox},
    {IDC_SET_LARGE_BOXES, kFlagLargeBoxes},
    {IDC_SET_SEPARATE_RECTS, kFlagSeparateBoxRects},
};

bool ticked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void show_editor_path(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SET_EDITOR, editor_path_tail(editor_path).c_str());
}

void show_constraints(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_SET_ASPECT_TEXT, aspect_text(g_app.aspect).c_str());
    SetDlgItemTextA(dialog, IDC_SET_WIDTH_TEXT, width_text(g_app.fixed_width).c_str());
}

void on_init(HWND dialog) {
    place_at_cursor(dialog);
    char caption[64];
    std::snprintf(caption, sizeof caption, "設定 - %s", kAppCaption);
    SetWindowTextA(dialog, caption);
    set_caption_icon(dialog);
    for (int id : kIconButtons) button_icon_set(dialog, id, IDI_DROP_DOWN);
    attach_hints(dialog, kSettingsHints);
    show_constraints(dialog);
    const int vk = settings_read_int(kSectionOption, "HotkeyVK", 0);
    const int mod = settings_read_int(kSectionOption, "HotkeyMOD", 0);
    SetDlgItemTextA(dialog, IDC_SET_KEY, hotkey_key_text(vk).c_str());
    CheckDlgButton(dialog, IDC_SET_SHIFT, mod & kModShift ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SET_CTRL, mod & kModCtrl ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SET_ALT, mod & kModAlt ? BST_CHECKED : BST_UNCHECKED);
    for (const FlagBox& b : kFlagBoxes)
        CheckDlgButton(dialog, b.control, g_app.flags & b.flag ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemInt(dialog, IDC_SET_SCALING, UINT(g_app.scaling_percent), FALSE);
    std::memset(editor_path, 0, sizeof editor_path);
    settings_read_string(kSectionOption, "Editor", editor_path, sizeof editor_path);
    show_editor_path(dialog);
}

void on_pick_editor(HWND dialog) {
    if (!editor_path[0]) {
        char programs[MAX_PATH] = {};
        SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
        std::snprintf(editor_path, sizeof editor_path, "%s\\無題.exe", programs);
    }
    g_app.hints_enabled = 0;
    const int chosen = pick_program_file(editor_path, dialog);
    g_app.hints_enabled = 1;
    if (chosen) {
        show_editor_path(dialog);
    } else if (!fs_exists(editor_path)) {
        editor_path[0] = '\0';
        show_editor_path(dialog);
    }
}

void register_stored_hotkey() {
    const int vk = settings_read_int(kSectionOption, "HotkeyVK", 0);
    const int mod = settings_read_int(kSectionOption, "HotkeyMOD", 0);
    if (vk && mod && RegisterHotKey(g_app.main_window, kHotkeyId, UINT(mod), UINT(vk)))
        g_app.hotkey_id = kHotkeyId;
}

// The hotkey step of OK; false when the dialog is to stay open.
bool apply_hotkey(HWND dialog) {
    const int mod = (ticked(dialog, IDC_SET_SHIFT) ? kModShift : 0) |
                    (ticked(dialog, IDC_SET_CTRL) ? kModCtrl : 0) |
                    (ticked(dialog, IDC_SET_ALT) ? kModAlt : 0);
    char text[4] = {};
    GetDlgItemTextA(dialog, IDC_SET_KEY, text, sizeof text);
    const int vk = hotkey_key_from_text(text);
    if (vk == kHotkeyBadKey || (vk && !mod)) {
        show_warning(dialog, kMsgBadHotkey);
        return false;
    }
    if (g_app.hotkey_id) {
        UnregisterHotKey(g_app.main_window, g_app.hotkey_id);
        g_app.hotkey_id = 0;
    }
    if (!vk) return true;  // none now; the stored one returns at the next start
    if (!RegisterHotKey(g_app.main_window, kHotkeyId, UINT(mod), UINT(vk))) {
        show_warning(dialog, kMsgHotkeyTaken);
        return false;
    }
    g_app.hotkey_id = kHotkeyId;
    settings_write_int(kSectionOption, "HotkeyVK", vk);
    settings_write_int(kSectionOption, "HotkeyMOD", mod);
    return true;
}

void on_ok(HWND dialog) {
    if (!apply_hotkey(dialog)) return;
    char scaling[16] = {};
    GetDlgItemTextA(dialog, IDC_SET_SCALING, scaling, sizeof scaling);
    g_app.scaling_percent = scaling_from_text(scaling);
    settings_write_int(kSectionWindow, "Scaling", g_app.scaling_percent);
    for (const FlagBox& b : kFlagBoxes) {
        if (ticked(dialog, b.control))
            g_app.flags |= b.flag;
        else
            g_app.flags &= ~b.flag;
    }
    settings_write_string(kSectionOption, "Editor", editor_path);
    EndDialog(dialog, 0);
}

void on_cancel(HWND dialog) {
    if (!g_app.hotkey_id) register_stored_hotkey();
    EndDialog(dialog, -1);
}

CommandGate commands;

INT_PTR CALLBACK settings_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog);
            return TRUE;
        case WM_COMMAND: {
            // The chooser, the menu and the picker run their own loops.
            const GateScope one_at_a_time(&commands, wparam);
            if (!one_at_a_time) return TRUE;
            switch (LOWORD(wparam)) {
                case IDOK:
                    on_ok(dialog);
                    break;
                case IDCANCEL:
                    on_cancel(dialog);
                    break;
                case IDC_SET_ASPECT:
                    if (choose_aspect()) show_constraints(dialog);
                    break;
                case IDC_SET_WIDTH:
                    width_menu(dialog, IDC_SET_WIDTH_TEXT);
                    break;
                case IDC_SET_EDITOR_PICK:
                    on_pick_editor(dialog);
                    break;
            }
            return TRUE;
        }
        case WM_DESTROY:
            destroy_caption_icon();
            for (int id : kIconButtons) button_icon_free(dialog, id);
            detach_hints(dialog);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

int settings_dialog(HWND owner) {
    HINSTANCE instance = app_instance();
    return int(DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner,
                               guarded_dialog_proc<settings_proc>, 0));
}
