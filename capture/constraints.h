// The width and aspect constraints and the size history as the boxes and
// their menus show and change them, apart from the window system.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sys/handles.h"
#include "ui/popup_menu.h"

// Widths, heights and ratio sides typed or remembered: 16..2000.
constexpr int kConstraintMin = 16;
constexpr int kConstraintMax = 2000;
// The up-down controls of the small dialogs stop here (typing goes on
// to kConstraintMax).
constexpr int kSpinMax = 1024;
constexpr int kCustomDefault = 48;

// Aspect settings: 0 free, 1..6 the presets, 7 no constraint, above that
// a custom ratio w * 65536 + h.
constexpr int kAspectFree = 0;
int custom_aspect(int w, int h);

// The texts of the constraint fields: "フリー", "16/9" ... or "w/h" for a
// custom ratio, empty for a negative value; a width or "フリー".
std::string aspect_text(int aspect);
std::string width_text(int fixed_width);

// A typed width, height or ratio side (parse_unsigned, state/settings.h).
bool constraint_value_ok(long long value);

// The constraints in force (g_app) and as kept in section Window: the one
// place each is written.
void constraint_set_aspect(int aspect);
void constraint_set_width(int fixed_width);

// The width menu: "フリー" (1), the preset widths (id = width), "カスタム" (2),
// a separator and "ﾒﾆｭｰを閉じる" (0).
constexpr int kWidthMenuFree = 1;
constexpr int kWidthMenuCustom = 2;
std::vector<MenuEntry> width_menu_entries();

// The size menu from the size history `history` ("w,h" entries joined by
// "@"; the list ends at its end or at the first empty entry): the entries
// as ids 1..n, then the commands with ids n+2..n+5 and "メニューを閉じる" (0).
// Empty when the history has no entry (no menu at all then).
std::vector<MenuEntry> size_menu_entries(const char* history, int aspect, uint32_t capture_flags);
// The number of history entries the size menu shows.
int size_menu_entry_count(const char* history);

enum class SizeMenuChoice {
    kNone,           // closed without a choice
    kEntry,          // a history entry: *entry is its index
    kTypeSize,       // the size dialog
    kToggleFixed,
    kToggleAspect,
    kRememberSize,
};
// The id of a size menu command (kTypeSize and after) in a menu of
// `entry_count` history entries, and back: n+2 .. n+5 (n+1 is not used).
int size_menu_id(SizeMenuChoice command, int entry_count);
SizeMenuChoice size_menu_choice(int id, int entry_count, int* entry);
// The UM_SET_SIZE parameters (width - 1, height - 1) of a history entry;
// 0 when it has no comma.
int size_entry_request(const std::string& entry, int* dw, int* dh);
// The index-th entry of the history (0-based), as the menu shows it.
std::string size_history_entry(const char* history, int index);

// The rectangle's size as a constraint: the ratio w:h and the width w,
// when both sides are 16..2000. 0 when it cannot be remembered.
int remembered_size(PixelPoint top_left, PixelPoint bottom_right, int* aspect, int* width);

// The aspect chooser: the button that stands for an aspect value and the
// value a preset button stands for (-1: not a preset). The preset buttons
// are IDC_CHOOSER_16_9 .. IDC_CHOOSER_2_3 in the order of the presets.
int chooser_button_for(int aspect);
int chooser_preset_for(int button);
