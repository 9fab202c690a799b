// Start-up preparation that does not need the window system: the data
// folder and settings file, and the first-run defaults; and what the
// program saves when it ends.
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
// What the program keeps in memory only and saves when it ends, by the
// message loop's end or with the Windows session: Flags (output kind, box
// and display options, primary monitor only, the first-run bit).
void startup_save_at_end(const AppState* app);
