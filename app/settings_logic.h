// The settings dialog's rules apart from the window system: the hotkey's
// key as typed and shown, and the scaling field.
#pragma once

#include <string>

// Modifier bits as RegisterHotKey takes them.
constexpr int kModAlt = 1;
constexpr int kModCtrl = 2;
constexpr int kModShift = 4;

// The key field's text for a virtual-key code: a letter for A-Z, the
// function key's number for F1-F24 ("1" ... "24"), empty for anything else.
std::string hotkey_key_text(int vk);
// The virtual-key code the key field names (its first three characters): a
// letter a-z or A-Z, or a function key by its number 1-24. 0 for no key
// (empty or "0"); kHotkeyBadKey for a number past F24 and for any other
// text ("!", " b", a full-width letter).
constexpr int kHotkeyBadKey = -1;
int hotkey_key_from_text(const char* text);

// The scaling field: 100..200, anything else (not a number too) 100.
int scaling_from_text(const char* text);
