#include "capture/filter_subclass.h"

#include "capture/input_filter.h"

namespace {

struct Slot {
    HWND control;
    WNDPROC previous;
};
Slot slots[kFilterSubclassSlots];

void release(Slot* slot) {
    HWND control = slot->control;
    WNDPROC previous = slot->previous;
    slot->control = nullptr;
    slot->previous = nullptr;
    if (control && IsWindow(control))
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

template <int N>
LRESULT CALLBACK subclass_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Slot* slot = &slots[N];
    WNDPROC previous = slot->previous;
    if (!previous) return DefWindowProcA(window, message, wparam, lparam);
    // A control destroyed while still subclassed frees its slot itself.
    if (message == WM_NCDESTROY) {
        release(slot);
        return CallWindowProcA(previous, window, message, wparam, lparam);
    }
    if (box_input_filter(message, wparam, window, lparam)) return 0;
    return CallWindowProcA(previous, window, message, wparam, lparam);
}

const WNDPROC kProcedures[kFilterSubclassSlots] = {
    subclass_proc<0>, subclass_proc<1>, subclass_proc<2>,  subclass_proc<3>, subclass_proc<4>,
    subclass_proc<5>, subclass_proc<6>, subclass_proc<7>,  subclass_proc<8>, subclass_proc<9>,
    subclass_proc<10>, subclass_proc<11>, subclass_proc<12>,
};

}  // namespace

int filter_subclass_install(HWND control) {
    if (!control || !IsWindow(control)) return 0;
    for (int i = 0; i < kFilterSubclassSlots; ++i) {
        if (slots[i].control) continue;
        slots[i].control = control;
        slots[i].previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(kProcedures[i])));
        if (!slots[i].previous) {
            slots[i].control = nullptr;
            return 0;
        }
        return 1;
    }
    return 0;
}

void filter_subclass_restore_all() {
    for (Slot& slot : slots) release(&slot);
}
