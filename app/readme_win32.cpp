#include "app/readme.h"

#include <windows.h>

#include <shellapi.h>

#include "state/messages.h"
#include "sys/paths.h"
#include "state/warnings.h"

void open_readme() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    if (!path_replace_file_name(path, sizeof path, "readme.html")) {
        show_warning(nullptr, kMsgSystemError);
        return;
    }
    ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOW);
}
