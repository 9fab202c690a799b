// The settings dialog's rules apart from the window system: the hotkey's
// key as typed and shown, the shortened editor path and the scaling field.
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

// The editor path as the one-line field shows it: the longest tail of its
// last three components that is shorter than 34 bytes, each with its
// leading backslash (backslashes found character by character, so a
// double-byte character ending in 0x5C is no separator); the file name
// alone when even two components are too long. Empty for an empty path or
// one without a backslash.
std::string editor_path_tail(const char* path);

// The scaling field: 100..200, anything else (not a number too) 100.
int scaling_from_text(const char* text);
