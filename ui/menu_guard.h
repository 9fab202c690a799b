// The popup-menu guard: a menu dismissed by a mouse click must not open
// again from that same click.
#pragma once

#include <cstdint>

#include "state/app_state.h"

// How long after a dismissing click a menu stays shut.
constexpr uint32_t kMenuGuardMs = 1000;

// The rules on explicit inputs: a dismissal counts only while a mouse
// button is down; a check clears the record and allows the menu once the
// guard time has passed since it.
void menu_guard_record(AppState* app, bool button_down, uint32_t now);
int menu_guard_check(AppState* app, uint32_t now);

// The same on the live mouse buttons and tick count.
void menu_guard_note();
int menu_guard_allows();
