#include "capture/filter_subclass.h"

#include "capture/input_filter.h"
#include "ui/guarded_proc.h"

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

// Each slot's procedure, guarded like every procedure of the program.
template <int N>
const WNDPROC kSlotProc = guarded_window_proc<subclass_proc<N>>;
const WNDPROC kProcedures[kFilterSubclassSlots] = {
    kSlotProc<0>, kSlotProc<1>, kSlotProc<2>,  kSlotProc<3>,  kSlotProc<4>,
    kSlotProc<5>, kSlotProc<6>, kSlotProc<7>,  kSlotProc<8>,  kSlotProc<9>,
    kSlotProc<10>, kSlotProc<11>, kSlotProc<12>,
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
