#include "ui/editor_program.h"

#include <windows.h>

#include "state/app_state.h"
#include "state/settings.h"
#include "sys/files.h"
#include "sys/pump.h"

namespace {
constexpr DWORD kEditorPollMs = 1000;
}

int run_editor(const char* editor, const char* file) {
    char command[kEditorCommandSize];
    if (!editor_command_line(editor, file, command)) return 0;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return 0;
    CloseHandle(process.hThread);
    // The program's windows keep working while the editor runs: the wait
    // also wakes for their messages. A quit request ends the wait and still
    // reaches the main loop.
    DWORD code = STILL_ACTIVE;
    int quit = 0;
    do {
        MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, kEditorPollMs, QS_ALLINPUT);
        if (!GetExitCodeProcess(process.hProcess, &code)) code = 0;
        quit = pump_run();
    } while (!quit && code == STILL_ACTIVE);
    CloseHandle(process.hProcess);
    return 1;
}

int edit_file_with_editor(const char* file) {
    char editor[kPathSize] = {};
    settings_read_string(kSectionOption, "Editor", editor, sizeof editor);
    long long before = fs_modified_time(file);
    if (!run_editor(editor, file)) return 0;
    return fs_modified_time(file) != before ? 1 : 0;
}
