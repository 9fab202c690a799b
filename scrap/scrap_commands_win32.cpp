#include "scrap/scrap_commands.h"

#include "scrap/scrap_format.h"
#include "state/app_state.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "sys/files.h"
#include "ui/file_pickers.h"

namespace {

const char kChooseTitle[] = "スクラップを作成/変更する";
const char kHtmlFilter[] = "HTMLファイル\0*.html\0";

// Makes `path` the current scrap when it takes items (a new scrap is
// written where there was none); otherwise tells the user why not.
void use_scrap(HWND window, const char* path) {
    const int error = scrap_make_ready(path);
    if (error)
        show_warning(window, error);
    else
        settings_write_string(kSectionOutput, "HtmlFile", path);
}

}  // namespace

void new_numbered_scrap(HWND window) {
    char current[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", current, sizeof current);
    char path[kPathSize];
    if (!numbered_scrap_path(current, fs_exists, path, sizeof path)) return;
    use_scrap(window, path);
}

void choose_scrap(HWND window) {
    char path[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", path, sizeof path);
    if (!pick_save_file(kChooseTitle, kHtmlFilter, window, "html", path)) return;
    use_scrap(window, path);
}
