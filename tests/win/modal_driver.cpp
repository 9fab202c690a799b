#include "tests/win/modal_driver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

struct FindRequest {
    const char* cls;
    const char* caption;
    HWND found;
};

BOOL CALLBACK find_proc(HWND w, LPARAM param) {
    FindRequest* r = reinterpret_cast<FindRequest*>(param);
    char cls[32] = "", caption[256] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, caption, sizeof caption);
    if (IsWindowVisible(w) && !std::strcmp(cls, r->cls) &&
        (!r->caption || !std::strcmp(caption, r->caption))) {
        r->found = w;
        return FALSE;
    }
    return TRUE;
}

struct Collected {
    std::string text;
    const char* separator;
};

BOOL CALLBACK collect_text(HWND child, LPARAM param) {
    char text[512] = "";
    GetWindowTextA(child, text, sizeof text);
    Collected* c = reinterpret_cast<Collected*>(param);
    c->text += text;
    c->text += c->separator;
    return TRUE;
}

BOOL CALLBACK cancel_dialog(HWND w, LPARAM) {
    char cls[32] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (!std::strcmp(cls, "#32770")) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

struct Driver {
    std::function<bool(DWORD)> tick;
    DWORD start;
    bool busy = false;
};
std::map<UINT_PTR, std::shared_ptr<Driver>> drivers;

void CALLBACK drive(HWND, UINT, UINT_PTR id, DWORD) {
    auto it = drivers.find(id);
    if (it == drivers.end()) return;
    const std::shared_ptr<Driver> d = it->second;  // stays while the tick runs
    if (d->busy) return;
    d->busy = true;
    const bool more = d->tick(GetTickCount() - d->start);
    d->busy = false;
    if (!more && drivers.erase(id)) KillTimer(nullptr, id);
}

std::function<void(HWND)> activated;

LRESULT CALLBACK on_cbt(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && activated) activated(reinterpret_cast<HWND>(wparam));
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

}  // namespace

HWND thread_window(const char* cls, const char* caption) {
    FindRequest r{cls, caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), find_proc, reinterpret_cast<LPARAM>(&r));
    return r.found;
}

std::string control_texts(HWND window, const char* separator) {
    Collected c{std::string(), separator};
    EnumChildWindows(window, collect_text, reinterpret_cast<LPARAM>(&c));
    return c.text;
}

int icon_side(HICON icon) {
    ICONINFO info;
    BITMAP b = {};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof b, &b);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return b.bmWidth;
}

void cancel_thread_dialogs() {
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), cancel_dialog, 0);
}

void modal_drive(std::function<bool(DWORD)> tick) {
    const UINT_PTR id = SetTimer(nullptr, 0, 50, drive);
    drivers[id] = std::make_shared<Driver>(Driver{std::move(tick), GetTickCount()});
}

void modal_stop_all() {
    for (const auto& entry : drivers) KillTimer(nullptr, entry.first);
    drivers.clear();
}

void when_open(const char* caption, std::function<void(HWND)> act) {
    const std::string title = caption;
    modal_drive([title, act](DWORD ms) {
        if (HWND dialog = thread_window("#32770", title.c_str())) {
            act(dialog);
            return false;
        }
        if (ms <= 5000) return true;
        ADD_FAILURE() << "no dialog \"" << title << "\" within 5 s";
        cancel_thread_dialogs();  // never hang
        return false;
    });
}

Step wait_for(const char* what, std::function<bool()> condition) { return {what, condition}; }

Step act(const char* what, std::function<void()> action) {
    return {what, [action] {
                action();
                return true;
            }};
}

std::vector<Step> operator+(std::vector<Step> a, const std::vector<Step>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

void run_steps(std::vector<Step> steps, const std::function<void()>& modal) {
    size_t next = 0;
    bool forced = false;
    modal_drive([&](DWORD ms) {
        if (ms > 20000) {
            forced = true;
            cancel_thread_dialogs();
        } else {
            while (next < steps.size() && steps[next].run()) ++next;
        }
        return true;
    });
    modal();
    modal_stop_all();
    const bool all_ran = next == steps.size();
    EXPECT_TRUE(all_ran) << "stuck at: " << steps[all_ran ? 0 : next].what;
    EXPECT_FALSE(forced) << "a dialog stayed open";
}

ActivationWatch::ActivationWatch(std::function<void(HWND)> on_activate)
    : hook_(SetWindowsHookExA(WH_CBT, on_cbt, nullptr, GetCurrentThreadId())) {
    activated = std::move(on_activate);
}

ActivationWatch::~ActivationWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    activated = nullptr;
}
