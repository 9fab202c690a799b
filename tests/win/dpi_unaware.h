// For a scope the test thread is not DPI-aware, as a program whose pixels the
// system scales (the Scaling setting then applies); the test program, like
// tamble.exe, is DPI-aware by its manifest. `took` is false where the
// system has no awareness contexts.
#pragma once

#include <windows.h>

struct DpiUnawareScope {
    using Set = HANDLE(WINAPI*)(HANDLE);
    Set set = reinterpret_cast<Set>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("USER32"), "SetThreadDpiAwarenessContext")));
    HANDLE old = set ? set(HANDLE(intptr_t(-1))) : nullptr;  // DPI_AWARENESS_CONTEXT_UNAWARE
    bool took() const { return old != nullptr; }
    ~DpiUnawareScope() { if (old) set(old); }
};
