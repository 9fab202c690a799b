// Driving the program's modal loops from the Windows tests. A modal dialog,
// menu or message box runs its own message loop until it ends; a test acts
// inside it from a thread timer, which that loop dispatches, and looks only
// at the windows of its own thread (other test programs may show the same
// dialogs).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A visible top-level window of this thread by class and, when given,
// caption.
HWND thread_window(const char* cls, const char* caption = nullptr);
// The texts of a window's controls, each followed by `separator`.
std::string control_texts(HWND window, const char* separator);
// The width of an icon's picture in pixels; 0 for no icon.
int icon_side(HICON icon);
// Cancels every dialog of this thread and ends an open menu, so that a test
// whose dialog does not behave fails instead of hanging.
void cancel_thread_dialogs();

// Calls `tick` with the milliseconds since the start every 50 ms, from
// whichever message loop runs, until it returns false or modal_stop_all.
// A tick that runs a loop of its own is not called again until it returns.
void modal_drive(std::function<bool(DWORD ms)> tick);
void modal_stop_all();

// Runs `act` on the visible dialog with `caption` once it shows; when none
// shows within 5 s the test fails and what is open is cancelled.
void when_open(const char* caption, std::function<void(HWND)> act);

// A test's steps while the loops run: each runs once the one before has
// run, and returns false while it waits for something.
struct Step {
    const char* what;
    std::function<bool()> run;
};
Step wait_for(const char* what, std::function<bool()> condition);
Step act(const char* what, std::function<void()> action);
std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b);
// Calls `modal` with `steps` driven meanwhile. Past 20 s whatever is open is
// cancelled. Every step must have run, and nothing been cancelled.
void run_steps(std::vector<Step> steps, const std::function<void()>& modal);

// Calls `on_activate` for every window of this thread when it is
// activated (dialogs and message boxes, to record and answer them), for
// the life of the watch.
class ActivationWatch {
public:
    explicit ActivationWatch(std::function<void(HWND)> on_activate);
    ~ActivationWatch();
    ActivationWatch(const ActivationWatch&) = delete;
    ActivationWatch& operator=(const ActivationWatch&) = delete;
    bool hooked() const { return hook_ != nullptr; }

private:
    HHOOK hook_;
};
