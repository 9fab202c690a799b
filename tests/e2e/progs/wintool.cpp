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
                 "       wintool wait-gone CLASS MILLISECONDS\n"
                 "       wintool clipboard-dib OUT.bmp\n"
                 "       wintool clipboard-clear\n"
                 "       wintool clipboard-seq\n");
    return 2;
}

long long number(const char* text) { return std::strtoll(text, nullptr, 0); }

// The program under test may hold the clipboard for a moment.
bool open_clipboard() {
    DWORD end = GetTickCount() + 2000;
    while (!OpenClipboard(nullptr)) {
        if (GetTickCount() > end) return false;
        Sleep(20);
    }
    return true;
}

// Writes the clipboard's CF_DIB with a BMP file header in front.
int clipboard_dib(const char* path) {
    if (!open_clipboard()) return 1;
    int result = 1;
    HANDLE data = GetClipboardData(CF_DIB);
    const BYTE* dib = data ? static_cast<const BYTE*>(GlobalLock(data)) : nullptr;
    SIZE_T size = data ? GlobalSize(data) : 0;
    if (dib && size >= sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, dib, sizeof info);
        DWORD colours = info.biClrUsed;
        if (!colours && info.biBitCount <= 8) colours = 1u << info.biBitCount;
        DWORD masks = info.biSize == sizeof info && info.biCompression == BI_BITFIELDS ? 12 : 0;
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;
        file.bfSize = DWORD(sizeof file + size);
        file.bfOffBits = DWORD(sizeof file + info.biSize + masks + 4 * colours);
        if (FILE* f = std::fopen(path, "wb")) {
            bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 &&
                      std::fwrite(dib, 1, size, f) == size;
            if (std::fclose(f) == 0 && ok) result = 0;
        }
    }
    if (dib) GlobalUnlock(data);
    CloseClipboard();
    return result;
}

int clipboard_clear() {
    if (!open_clipboard()) return 1;
    BOOL ok = EmptyClipboard();
    CloseClipboard();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && !std::strcmp(argv[1], "clipboard-clear")) return clipboard_clear();
    if (argc == 2 && !std::strcmp(argv[1], "clipboard-seq")) {
        std::printf("%lu\n", static_cast<unsigned long>(GetClipboardSequenceNumber()));
        return 0;
    }
    if (argc < 3) return usage();
    if (!std::strcmp(argv[1], "clipboard-dib")) return argc == 3 ? clipboard_dib(argv[2]) : usage();
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
