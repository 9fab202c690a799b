// The global hotkey that starts a capture: registered for the main window
// under one id, from Option/HotkeyVK and Option/HotkeyMOD.
#pragma once

// Registers the stored hotkey when both settings are nonzero (the start of
// the program, and the settings dialog's Cancel after the dialog took it
// away). 1 when it is registered now.
int hotkey_register_stored();
// Registers `vk` with modifiers `mod` in place of nothing; 1 on success, 0
// when another program holds the combination.
int hotkey_register(int mod, int vk);
// Frees the hotkey when one is registered.
void hotkey_unregister();
