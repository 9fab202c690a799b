// Start-up preparation that does not need the window system: the data
// folder and settings file, and the first-run defaults.
#pragma once

#include "state/app_state.h"

// data_folder = appdata + "\Tamble\" (created when missing), ini_path in it.
void startup_prepare_data_folder(AppState* app, const char* appdata);
// First run: sets Flags 0x8000 and, when Option/Editor is missing or
// empty, writes it as windows_dir + "\System32\notepad.exe". The bit
// reaches the file at exit.
void startup_first_run(AppState* app, const char* windows_dir);
// ScrapFolder: replaced by documents + "\スクラップ\" when empty or missing
// (HtmlFile then defaults to the folder + "scrap.html"); kept otherwise.
void startup_scrap_folder(AppState* app, const char* documents);
