#include "app/hotkey.h"

#include <windows.h>

#include "app/shell_logic.h"
#include "state/app_state.h"
#include "state/settings.h"
#include "state/window_messages.h"

int hotkey_register_stored() {
    const int vk = settings_read_int(kSectionOption, "HotkeyVK", 0);
    const int mod = settings_read_int(kSectionOption, "HotkeyMOD", 0);
    return hotkey_wanted(vk, mod) && hotkey_register(mod, vk);
}

int hotkey_register(int mod, int vk) {
    if (!RegisterHotKey(g_app.main_window, kHotkeyId, UINT(mod), UINT(vk))) return 0;
    g_app.hotkey_id = kHotkeyId;
    return 1;
}

void hotkey_unregister() {
    if (!g_app.hotkey_id) return;
    UnregisterHotKey(g_app.main_window, g_app.hotkey_id);
    g_app.hotkey_id = 0;
}
