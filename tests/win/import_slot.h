// A system function made to fail for a test: this program's import slot of
// it (MinGW names them __imp_Name), which the program's code calls through,
// holds the test's function for the life of the scope.
#pragma once

#include <windows.h>

template <typename Fn>
class ImportSlot {
public:
    ImportSlot(Fn* slot, Fn fn) : slot_(slot), real_(*slot) { put(fn); }
    ~ImportSlot() { put(real_); }
    ImportSlot(const ImportSlot&) = delete;
    ImportSlot& operator=(const ImportSlot&) = delete;

private:
    void put(Fn fn) {
        DWORD access;
        VirtualProtect(slot_, sizeof fn, PAGE_READWRITE, &access);
        *slot_ = fn;
        VirtualProtect(slot_, sizeof fn, access, &access);
    }
    Fn* slot_;
    Fn real_;
};
