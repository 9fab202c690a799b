#include "ui/menu_guard.h"

void menu_guard_record(AppState* app, bool button_down, uint32_t now) {
    if (!button_down) return;
    app->menu_dismissed = 1;
    app->menu_dismiss_tick = now;
}

int menu_guard_check(AppState* app, uint32_t now) {
    if (!app->menu_dismissed) return 1;
    app->menu_dismissed = 0;
    // Unsigned difference: right across the tick counter's wrap.
    return now - app->menu_dismiss_tick >= kMenuGuardMs ? 1 : 0;
}
