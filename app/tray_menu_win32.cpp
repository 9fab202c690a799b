#include "app/tray_menu.h"

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/readme.h"
#include "app/settings_dialog.h"
#include "output/output_settings_dialog.h"
#include "resources/resource_ids.h"
#include "scrap/scrap_commands.h"
#include "scrap/scrap_editor.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "ui/clipboard_text.h"
#include "ui/dialog.h"
#include "ui/editor_program.h"
#include "ui/guarded_proc.h"
#include "ui/menu_guard.h"
#include "ui/place.h"
#include "ui/popup_menu.h"
#include "ui/start_options.h"

namespace {

const char kClipboardTextName[] = "$clipboard.txt";

void open_with_shell(HWND owner, const char* target) {
    if (target[0]) ShellExecuteA(owner, "open", target, nullptr, nullptr, SW_SHOW);
}

void open_output_folder(HWND owner) {
    char folder[kPathSize] = {};
    settings_read_string(kSectionOutput, "OutputFolder", folder, sizeof folder);
    open_with_shell(owner, folder);
}

void open_scrap_in_browser(HWND owner) {
    char file[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", file, sizeof file);
    open_with_shell(owner, file);
}

void open_home_page() {
    if (std::strstr(kHomePage, "://"))
        open_with_shell(g_app.main_window, kHomePage);
    else
        open_beside_program(g_app.main_window, kHomePage);
}

INT_PTR CALLBACK about_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            place_at_cursor(dialog);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDCANCEL || LOWORD(wparam) == IDOK) EndDialog(dialog, 0);
            return TRUE;
    }
    return FALSE;
}

// The About box; ends with OK or Cancel.
void show_about(HWND owner) { dialog_run(IDD_ABOUT, owner, guarded_dialog_proc<about_proc>); }

void run_command(HWND owner, int command) {
    switch (command) {
        case kCmdStartOptions:
            if (start_options(owner)) PostMessageA(g_app.main_window, UM_START_CAPTURE, 0, 0);
            break;
        case kCmdOpenOutputFolder:
            open_output_folder(owner);
            break;
        case kCmdOpenScrap:
            open_scrap_in_browser(owner);
            break;
        case kCmdEditClipboardText:
            edit_clipboard_text(owner);
            break;
        case kCmdNewNumberedScrap:
            new_numbered_scrap(owner);
            break;
        case kCmdChooseScrap:
            choose_scrap(owner);
            break;
        case kCmdEditScrap:
            edit_scrap(owner);
            break;
        case kCmdOutputSettings:
            output_settings_dialog(owner);
            break;
        case kCmdSettings:
            settings_dialog(owner);
            break;
        case kCmdHomePage:
            open_home_page();
            break;
        case kCmdAbout:
            show_about(owner);
            break;
        case kCmdExit:
            PostMessageA(owner, WM_CLOSE, 0, 0);
            break;
        default:
            menu_guard_note();
            break;
    }
}

bool file_is_empty(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA info;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &info) && !info.nFileSizeHigh &&
           !info.nFileSizeLow && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Reads the text file back and puts it on the clipboard. 1 on success.
int clipboard_from_file(HWND owner, const char* path) {
    char* text = read_text_file(path);
    // A text the user emptied is an empty text, not a failed read.
    if (!text && file_is_empty(path)) text = static_cast<char*>(std::calloc(1, 1));
    if (!text) {
        show_warning(owner, kMsgFileRead);
        return 0;
    }
    int error = clipboard_put_text(owner, text);
    std::free(text);
    if (error) {
        show_warning(owner, error);
        return 0;
    }
    return 1;
}

}  // namespace

void tray_menu(HWND owner) {
    // A copy started by "/open" belongs to another program: no menu.
    if (g_app.open_count > 0) return;
    if (!menu_guard_allows()) return;
    TrayMenuItem items[kTrayMenuMaxItems];
    const int count = tray_menu_items(g_app.flags, items);
    std::vector<MenuEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(items[i].text ? menu_item(items[i].id, items[i].text) : menu_separator());
    // The owner, a hidden window, must come to the foreground, or the menu
    // would neither take the keys nor close when the user clicks elsewhere.
    const int command = popup_menu_run(owner, entries, true);
    // No menu while the cursor's position is unknown (a locked or secure
    // desktop): it would open at an arbitrary place.
    if (command == kMenuNotShown) return;
    run_command(owner, command);
}

int start_options(HWND owner) {
    int delay = start_delay_ms(run_start_options(owner));
    if (delay < 0) return 0;
    if (delay) Sleep(DWORD(delay));
    return 1;
}

int edit_clipboard_text(HWND owner) {
    char path[kPathSize];
    int length = std::snprintf(path, sizeof path, "%s%s", g_app.data_folder, kClipboardTextName);
    if (length < 0 || length >= int(sizeof path)) {
        show_warning(owner, kMsgFileWrite);
        return 0;
    }
    int opened = 0;
    char* text = clipboard_copy_text(owner, &opened);
    if (!opened) return 0;
    int written = write_text_file(text ? text : "", path);
    std::free(text);
    if (!written) {
        show_warning(owner, kMsgFileWrite);
        return 0;
    }
    if (!edit_file_with_editor(path)) return 0;
    return clipboard_from_file(owner, path);
}
