// For the length of a scope the test thread is not DPI-aware, as a program
// whose pixels the system scales: the Scaling setting then applies to the
// grab. (The test program, like tamble.exe, is DPI-aware by its manifest.)
#pragma once

#include <windows.h>

class DpiUnawareScope {
public:
    DpiUnawareScope() {
        set_ = reinterpret_cast<HANDLE(WINAPI*)(HANDLE)>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("USER32"), "SetThreadDpiAwarenessContext")));
        // DPI_AWARENESS_CONTEXT_UNAWARE
        if (set_) old_ = set_(reinterpret_cast<HANDLE>(intptr_t(-1)));
    }
    ~DpiUnawareScope() {
        if (old_) set_(old_);
    }
    DpiUnawareScope(const DpiUnawareScope&) = delete;
    DpiUnawareScope& operator=(const DpiUnawareScope&) = delete;
    bool took() const { return old_ != nullptr; }

private:
    HANDLE(WINAPI* set_)(HANDLE) = nullptr;
    HANDLE old_ = nullptr;
};
