#include "app/shell_logic.h"

#include <cstring>

StartAction start_action(bool copy_running, const char* command_line) {
    const char* cmd = command_line ? command_line : "";
    bool open = std::strstr(cmd, "/open") != nullptr;
    bool close = std::strstr(cmd, "/close") != nullptr;
    bool first = std::strstr(cmd, "/first") != nullptr;
    if (copy_running) {
        if (open) return StartAction::kPostOpen;
        if (close) return StartAction::kPostClose;
        return StartAction::kOpenReadme;
    }
    if (open) return StartAction::kRunOpened;
    if (close) return StartAction::kExit;
    if (first) return StartAction::kOpenReadme;
    return StartAction::kRun;
}

void open_request(AppState* app) { app->open_count++; }

int close_request(AppState* app) {
    if (app->open_count <= 0) return 0;
    return --app->open_count == 0 ? 1 : 0;
}

int link_app(AppState* app, WindowHandle window, uint32_t message, bool window_alive) {
    if (message == 0) {
        app->linked_window = nullptr;
        app->linked_message = 0;
        return 1;
    }
    if (app->linked_window || !window_alive) return 0;
    app->linked_window = window;
    app->linked_message = message;
    return 1;
}

TrayAction tray_action(uint32_t capture_flags, uint32_t mouse) {
    if (capture_flags & (kCaptureActive | kCaptureMenuOpen)) return TrayAction::kDefault;
    if (mouse == 0x202) return TrayAction::kStartCapture;
    if (mouse == 0x205) return TrayAction::kMenu;
    return TrayAction::kDefault;
}

bool hotkey_wanted(int vk, int modifiers) { return vk != 0 && modifiers != 0; }
