// The user's editor program (Option/Editor), started on a file and waited
// for while the program's windows go on working.
#pragma once

// Starts `editor` on `file` and returns when it has ended (or the program
// is asked to quit). 1 when it was started, 0 when starting failed.
int run_editor(const char* editor, const char* file);
// run_editor with the configured editor; 1 when the file's modification
// time changed, else 0.
int edit_file_with_editor(const char* file);

// The editor's command line "\"editor\" \"file\"" into `out` (600 bytes);
// 0 when it does not fit (a cut command line would open something else).
constexpr int kEditorCommandSize = 600;
int editor_command_line(const char* editor, const char* file, char* out);
