#include "app/startup.h"

#include <cstring>

#include "sys/paths.h"
#include "state/settings.h"
#include "sys/files.h"

void startup_prepare_data_folder(AppState* app, const char* appdata) {
    std::memset(app->data_folder, 0, sizeof app->data_folder);
    std::strncpy(app->data_folder, appdata, sizeof app->data_folder - 1);
    path_append(app->data_folder, sizeof app->data_folder, "\\Tamble\\");
    if (!fs_exists(app->data_folder)) fs_make_folder(app->data_folder);
    std::strcpy(app->ini_path, app->data_folder);
    path_append(app->ini_path, sizeof app->ini_path, "tamble.ini");
}

void startup_first_run(AppState* app, const char* windows_dir) {
    if (app->flags & kFlagFirstRunDone) return;
    app->flags |= kFlagFirstRunDone;
    // A damaged Flags value looks like a first run: keep the user's editor.
    char editor[kPathSize] = {};
    settings_read_string(kSectionOption, "Editor", editor, sizeof editor);
    if (editor[0]) return;
    std::strncpy(editor, windows_dir, sizeof editor - 1);
    path_append(editor, sizeof editor, "\\System32\\notepad.exe");
    settings_write_string(kSectionOption, "Editor", editor);
}

void startup_scrap_folder(AppState* app, const char* documents) {
    char folder[kPathSize] = {};
    settings_read_string(kSectionOutput, "ScrapFolder", folder, sizeof folder);
    if (!folder[0] || !fs_exists(folder)) {
        std::memset(folder, 0, sizeof folder);
        std::strncpy(folder, documents, sizeof folder - 1);
        path_append(folder, sizeof folder, "\\スクラップ\\");
        fs_make_folder(folder);
        settings_write_string(kSectionOutput, "ScrapFolder", folder);
        char html[kPathSize] = {};
        settings_read_string(kSectionOutput, "HtmlFile", html, sizeof html);
        if (!html[0]) {
            std::strcpy(html, folder);
            path_append(html, sizeof html, "scrap.html");
            settings_write_string(kSectionOutput, "HtmlFile", html);
        }
    }
    std::strcpy(app->scrap_folder, folder);
}

void startup_save_at_end(const AppState* app) {
    settings_write_int(kSectionSystem, "Flags", app->flags);
}
