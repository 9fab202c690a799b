// No C++ exception may leave a window or dialog procedure: it would unwind
// through the system's own frames and end the program with the user's
// unsaved work. Every procedure is registered through one of these
// wrappers. An exception (in practice memory that ran out while a list or
// a text grew) ends only the message being handled: the user sees message
// 20 ("メモリが足りません．"), what the program had stored stays as it was,
// and the message counts as not handled.
#pragma once

#include <windows.h>

// Tells the user once; a second failure while the message box is up is
// not told again.
void procedure_failed(HWND window);

// Runs `run`; when it throws, tells the user and answers `fallback()`.
template <typename Run, typename Fallback>
auto guarded_call(HWND window, Run run, Fallback fallback) -> decltype(run()) {
    try {
        return run();
    } catch (...) {
        procedure_failed(window);
        return fallback();
    }
}

template <INT_PTR(CALLBACK* Proc)(HWND, UINT, WPARAM, LPARAM)>
INT_PTR CALLBACK guarded_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    return guarded_call(
        dialog, [&] { return Proc(dialog, message, wparam, lparam); }, [] { return INT_PTR(FALSE); });
}

template <LRESULT(CALLBACK* Proc)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK guarded_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return guarded_call(
        window, [&] { return Proc(window, message, wparam, lparam); },
        [&] { return DefWindowProcA(window, message, wparam, lparam); });
}

// The same for a timer's procedure, which the message loop calls as well.
template <void(CALLBACK* Proc)(HWND, UINT, UINT_PTR, DWORD)>
void CALLBACK guarded_timer_proc(HWND window, UINT message, UINT_PTR id, DWORD time) {
    guarded_call(window, [&] { Proc(window, message, id, time); }, [] {});
}
