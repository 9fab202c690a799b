// The program's entry point: single instance, command line, data folder,
// settings, the hidden main window and the message loop.
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include "app/main_window.h"
#include "app/pump.h"
#include "app/readme.h"
#include "app/shell_logic.h"
#include "app/startup.h"
#include "capture/coordinate_box.h"
#include "capture/overlay.h"
#include "resources/resource_ids.h"
#include "state/app_state.h"
#include "state/instance.h"
#include "state/messages.h"
#include "state/settings.h"
#include "state/warnings.h"
#include "state/window_messages.h"
#include "sys/files.h"
#include "sys/paths.h"
#include "sys/pump.h"
#include "ui/monitors.h"

namespace {

// Held from the single-instance test until the main window exists, so
// that a second start made at the same moment waits and then finds the
// window instead of starting a second resident copy.
const char kStartMutexName[] = "Tamble Touroku kurasu start";
// A start that hangs before its window exists must not lock others out.
constexpr DWORD kStartWaitMs = 15000;

HANDLE take_start_mutex() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kStartMutexName);
    if (mutex) WaitForSingleObject(mutex, kStartWaitMs);  // abandoned counts as taken
    return mutex;
}

void release_start_mutex(HANDLE& mutex) {
    if (!mutex) return;
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    mutex = nullptr;
}

// Returns true when this start should go on running the program.
bool handle_command_line(const char* command_line) {
    HWND running = FindWindowA(kMainClassName, nullptr);
    switch (start_action(running != nullptr, command_line)) {
        case StartAction::kPostOpen:
            PostMessageA(running, UM_OPEN, 0, 0);
            return false;
        case StartAction::kPostClose:
            PostMessageA(running, UM_CLOSE, 0, 0);
            return false;
        case StartAction::kOpenReadme:
            open_readme();
            return false;
        case StartAction::kExit:
            return false;
        case StartAction::kRunOpened:
            g_app.open_count = 1;
            return true;
        case StartAction::kRun:
            return true;
    }
    return false;
}

bool program_path_has_backslash() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return sjis_last_backslash(path) != nullptr;
}

// The boxes load their state icons at their DPI (capture/coordinate_box.h).
void destroy_box_icons() {
    for (HICON& icon : g_app.box_icons) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
    g_app.box_icon_side = 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
    InitCommonControls();
    HANDLE start_mutex = take_start_mutex();
    if (!handle_command_line(command_line)) {
        release_start_mutex(start_mutex);
        return 0;
    }

    g_app.instance = instance;
    RECT area = {0, 0, 0, 0};
    monitors_union(&area);
    g_app.capture.screen_rect = PixelRect{area.left, area.top, area.right, area.bottom};

    if (!program_path_has_backslash()) {
        release_start_mutex(start_mutex);
        show_warning(nullptr, kMsgSystemError);
        return 0;
    }

    char appdata[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, appdata, CSIDL_APPDATA, FALSE);
    startup_prepare_data_folder(&g_app, appdata);
    const bool first_start = !fs_exists(g_app.ini_path);
    settings_load_kept();

    char windows_dir[MAX_PATH] = {};
    GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
    startup_first_run(&g_app, windows_dir);

    char documents[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, documents, CSIDL_PERSONAL, FALSE);
    startup_scrap_folder(&g_app, documents);

    pump_set_hook(pump_messages);
    overlay_set_box_runner(coordinate_box_run);
    main_window_register(instance);
    HWND window = main_window_create(instance, area);
    if (window) ShowWindow(window, SW_HIDE);
    if (window && first_start) tray_show_first_start_notice();
    release_start_mutex(start_mutex);

    MSG msg = {};
    while (window && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    startup_save_at_end(&g_app);
    destroy_box_icons();
    return int(msg.wParam);
}
