// A small command-line tool for the end-to-end tests: finds windows by
// class, posts and sends messages, reads the clipboard, as another program
// on the same desktop would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: wintool find CLASS\n"
                 "       wintool post CLASS MSG WPARAM LPARAM\n"
                 "       wintool send CLASS MSG WPARAM LPARAM\n"
                 "       wintool wait-gone CLASS MILLISECONDS\n");
    return 2;
}

long long number(const char* text) { return std::strtoll(text, nullptr, 0); }

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const char* verb = argv[1];
    HWND window = FindWindowA(argv[2], nullptr);
    if (!std::strcmp(verb, "find")) {
        std::printf("%p\n", static_cast<void*>(window));
        return window ? 0 : 1;
    }
    if (!std::strcmp(verb, "wait-gone") && argc == 4) {
        DWORD end = GetTickCount() + DWORD(number(argv[3]));
        while (FindWindowA(argv[2], nullptr)) {
            if (GetTickCount() > end) return 1;
            Sleep(20);
        }
        return 0;
    }
    if ((!std::strcmp(verb, "post") || !std::strcmp(verb, "send")) && argc == 6) {
        if (!window) {
            std::fprintf(stderr, "no window of class %s\n", argv[2]);
            return 1;
        }
        UINT msg = UINT(number(argv[3]));
        WPARAM wp = WPARAM(number(argv[4]));
        LPARAM lp = LPARAM(number(argv[5]));
        if (verb[0] == 'p') return PostMessageA(window, msg, wp, lp) ? 0 : 1;
        std::printf("%lld\n", static_cast<long long>(SendMessageA(window, msg, wp, lp)));
        return 0;
    }
    return usage();
}
