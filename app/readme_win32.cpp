#include "app/readme.h"

#include <shellapi.h>

#include "state/messages.h"
#include "state/warnings.h"
#include "sys/paths.h"

void open_beside_program(HWND owner, const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    if (!path_replace_file_name(path, sizeof path, name)) {
        show_warning(owner, kMsgSystemError);
        return;
    }
    ShellExecuteA(owner, "open", path, nullptr, nullptr, SW_SHOW);
}

void open_readme() { open_beside_program(nullptr, "readme.html"); }
