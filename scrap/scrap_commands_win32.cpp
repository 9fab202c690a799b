#include "scrap/scrap_commands.h"

#include <cstdlib>

#include "scrap/file_pickers.h"
#include "scrap/scrap_format.h"
#include "scrap/text.h"
#include "state/app_state.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "sys/files.h"

namespace {

const char kChooseTitle[] = "スクラップを作成/変更する";
const char kHtmlFilter[] = "HTMLファイル\0*.html\0";

// Writes a new scrap to `path` and makes it the current one. 1 on success;
// 0 after telling the user.
int create_scrap(HWND window, const char* path) {
    char* text = new_scrap_text();
    if (!text) {
        show_warning(window, kMsgNoMemory);
        return 0;
    }
    int written = write_text_file(text, path);
    std::free(text);
    if (!written) {
        show_warning(window, kMsgHtmlCreate);
        return 0;
    }
    settings_write_string(kSectionOutput, "HtmlFile", path);
    return 1;
}

}  // namespace

void new_numbered_scrap(HWND window) {
    char current[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", current, sizeof current);
    char path[kPathSize];
    if (!numbered_scrap_path(current, fs_exists, path, sizeof path)) return;
    create_scrap(window, path);
}

void choose_scrap(HWND window) {
    char path[kPathSize] = {};
    settings_read_string(kSectionOutput, "HtmlFile", path, sizeof path);
    if (!pick_save_file(kChooseTitle, kHtmlFilter, window, "html", path)) return;
    size_t size = 0;
    char* text = read_text_file(path, &size);
    ScrapChoice choice = scrap_choice_for(text, size);
    std::free(text);
    switch (choice) {
        case ScrapChoice::kUse:
            settings_write_string(kSectionOutput, "HtmlFile", path);
            break;
        case ScrapChoice::kRefuse:
            show_warning(window, kMsgHtmlNoInsertPlace);
            break;
        case ScrapChoice::kReplace:
            create_scrap(window, path);
            break;
    }
}
