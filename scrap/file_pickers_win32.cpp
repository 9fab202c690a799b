#include "scrap/file_pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include "scrap/picker_paths.h"
#include "state/app_state.h"
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

OPENFILENAMEA dialog_record(HWND window, const char* filter, const char* title, char* path,
                            const char* folder) {
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = path;
    ofn.nMaxFile = kPathSize;
    ofn.lpstrInitialDir = folder;
    ofn.lpstrTitle = title;
    return ofn;
}

}  // namespace

int pick_program_file(char* path, HWND window) {
    if (path[0] && !sjis_last_backslash(path)) return 0;
    char folder[kPathSize] = {};
    if (!prepare_start(path, nullptr, folder)) return 0;
    OPENFILENAMEA ofn = dialog_record(window, kProgramFilter, kProgramTitle, path, folder);
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&ofn) && fs_exists(path) ? 1 : 0;
}

int pick_save_file(const char* title, const char* filter, HWND window, const char* ext,
                   char* path) {
    char folder[kPathSize] = {};
    // A name without a folder still opens the dialog, in its default place.
    prepare_start(path, ext, folder);
    OPENFILENAMEA ofn = dialog_record(window, filter, title, path, folder[0] ? folder : nullptr);
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameA(&ofn)) return 0;
    if (!ext) return 1;
    return picker_apply_extension(path, kPathSize, ext);
}
