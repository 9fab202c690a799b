#include "ui/file_pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>

#include "ui/picker_paths.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/warnings.h"
#include "sys/files.h"
#include "sys/paths.h"

namespace {

const char kProgramFilter[] = "プログラムファイル\0*.exe\0";
const char kProgramTitle[] = "HTMLファイルを編集するプログラムを設定する";

// Fills an empty or folder-only path with the starting name in the user's
// pictures folder.
int prepare_start(char* path, const char* ext, char* folder) {
    char pictures[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, pictures, CSIDL_MYPICTURES, FALSE);
    if (!picker_start_name(path, kPathSize, pictures, ext)) return 0;
    return picker_start_folder(path, folder, kPathSize);
}

OPENFILENAMEA dialog_record(HWND window, const char* filter, const char* title,
                            const char* folder) {
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = title;
    return ofn;
}

// The dialogs write names of any length the system allows into their
// buffer, more than MAX_PATH when the user types them; they get a buffer of
// the system's longest path.
constexpr DWORD kPickerBufferSize = 32768;

// Shows `show` starting from `path` and takes the chosen name back under the
// program's own 256-byte rule: a name that does not fit is refused with
// message 13 (a cut name would be some other file) and `path` stays.
int run_picker(BOOL(WINAPI* show)(LPOPENFILENAMEA), OPENFILENAMEA* ofn, HWND window,
               const char* ext, char* path) {
    char* chosen = static_cast<char*>(std::calloc(kPickerBufferSize, 1));
    if (!chosen) {
        show_warning(window, kMsgNoMemory);
        return 0;
    }
    std::memcpy(chosen, path, std::strlen(path) + 1);
    ofn->lpstrFile = chosen;
    ofn->nMaxFile = kPickerBufferSize;
    int taken = 0;
    if (show(ofn)) {
        taken = picker_take_name(chosen, kPickerBufferSize, ext, path, kPathSize);
        if (!taken) show_warning(window, kMsgImageFile);
    }
    std::free(chosen);
    return taken;
}

}  // namespace

int pick_program_file(char* path, HWND window) {
    if (path[0] && !sjis_last_backslash(path)) return 0;
    char folder[kPathSize] = {};
    if (!prepare_start(path, nullptr, folder)) return 0;
    OPENFILENAMEA ofn = dialog_record(window, kProgramFilter, kProgramTitle, folder);
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return run_picker(GetOpenFileNameA, &ofn, window, nullptr, path) && fs_exists(path);
}

int pick_save_file(const char* title, const char* filter, HWND window, const char* ext,
                   char* path) {
    char folder[kPathSize] = {};
    // A name without a folder still opens the dialog, in its default place.
    prepare_start(path, ext, folder);
    OPENFILENAMEA ofn = dialog_record(window, filter, title, folder[0] ? folder : nullptr);
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    return run_picker(GetSaveFileNameA, &ofn, window, ext, path);
}
