// A small command-line tool for the end-to-end tests: finds windows by
// class, posts and sends messages, reads and sets the clipboard, removes a
// tray icon, shows a popup menu and reads another program's dialogs, as
// another program on the same desktop would.
#include <windows.h>

#include <shellapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: wintool find CLASS\n"
                 "       wintool count CLASS\n"
                 "       wintool first-shown CLASS MILLISECONDS\n"
                 "       wintool post CLASS MSG WPARAM LPARAM\n"
                 "       wintool send CLASS MSG WPARAM LPARAM\n"
                 "         (MSG a number, or the name of a registered message)\n"
                 "       wintool wait-gone CLASS MILLISECONDS\n"
                 "       wintool tray-delete CLASS ID\n"
                 "       wintool menu ITEMS.txt X Y\n"
                 "       wintool clipboard-dib OUT.bmp\n"
                 "       wintool clipboard-text OUT.txt\n"
                 "       wintool clipboard-set-text IN.txt\n"
                 "       wintool clipboard-clear\n"
                 "       wintool clipboard-seq\n"
                 "       wintool window-rect TITLE\n"
                 "       wintool control-rect TITLE ID\n"
                 "       wintool control-text TITLE ID\n"
                 "         (TITLE a top-level window's title; rectangles on the screen,\n"
                 "          printed as LEFT TOP RIGHT BOTTOM)\n");
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

bool read_file(const char* path, std::string* bytes) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes->append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// Writes the clipboard's CF_TEXT up to its NUL, byte for byte.
int clipboard_text(const char* path) {
    if (!open_clipboard()) return 1;
    int result = 1;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text) {
        const char* nul = static_cast<const char*>(std::memchr(text, 0, GlobalSize(data)));
        size_t length = nul ? size_t(nul - text) : GlobalSize(data);
        if (FILE* f = std::fopen(path, "wb")) {
            bool ok = std::fwrite(text, 1, length, f) == length;
            if (std::fclose(f) == 0 && ok) result = 0;
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return result;
}

// Puts a file's bytes on the clipboard as CF_TEXT.
int clipboard_set_text(const char* path) {
    std::string text;
    if (!read_file(path, &text) || !open_clipboard()) return 1;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char* p = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    int result = 1;
    if (p) {
        std::memcpy(p, text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        if (SetClipboardData(CF_TEXT, block)) result = 0;
    }
    if (result && block) GlobalFree(block);
    CloseClipboard();
    return result;
}

int clipboard_clear() {
    if (!open_clipboard()) return 1;
    BOOL ok = EmptyClipboard();
    CloseClipboard();
    return ok ? 0 : 1;
}

struct ClassCount {
    const char* name;
    int count;
};

BOOL CALLBACK count_window(HWND window, LPARAM param) {
    auto* wanted = reinterpret_cast<ClassCount*>(param);
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    if (!std::strcmp(name, wanted->name)) ++wanted->count;
    return TRUE;
}

// Prints how many top-level windows of the class exist.
int count_windows(const char* class_name) {
    ClassCount wanted = {class_name, 0};
    EnumWindows(count_window, reinterpret_cast<LPARAM>(&wanted));
    std::printf("%d\n", wanted.count);
    return 0;
}

// Milliseconds since 1970 on the system clock, which the shell's `date`
// reads too.
long long epoch_ms() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const long long ticks = (static_cast<long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return (ticks - 116444736000000000LL) / 10000;
}

// Says "ready", then watches for a shown window of the class every 2 ms and
// prints the system time (epoch_ms) at which it was first seen and its
// rectangle: how a test times a hint.
int first_shown(const char* class_name, DWORD timeout) {
    std::printf("ready\n");
    std::fflush(stdout);
    const DWORD end = GetTickCount() + timeout;
    while (GetTickCount() < end) {
        HWND window = FindWindowA(class_name, nullptr);
        if (window && IsWindowVisible(window)) {
            const long long seen = epoch_ms();
            RECT r = {};
            GetWindowRect(window, &r);
            std::printf("%lld %ld %ld %ld %ld\n", seen, r.left, r.top, r.right, r.bottom);
            return 0;
        }
        Sleep(2);
    }
    return 1;
}

// Removes another program's notification icon, as a restarted shell that
// has forgotten it would.
int tray_delete(HWND window, UINT id) {
    NOTIFYICONDATAA data = {};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = id;
    return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 1;
}

LRESULT CALLBACK plain_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

// Shows a popup menu of the file's lines ("-" a separator) at (x, y) the
// way a tray program does, and prints the chosen line's number (0: none).
int show_menu(const char* path, int x, int y) {
    std::string text;
    if (!read_file(path, &text)) return 1;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = plain_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "wintool menu owner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 wc.hInstance, nullptr);
    HMENU menu = CreatePopupMenu();
    if (!owner || !menu) return 1;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "-")
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, UINT_PTR(i + 1), lines[i].c_str());
    }
    SetForegroundWindow(owner);
    int chosen = int(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    DestroyMenu(menu);
    DestroyWindow(owner);
    std::printf("%d\n", chosen);
    return 0;
}

// A message number, or the name of a registered window message.
UINT message_number(const char* text) {
    if (std::isdigit(static_cast<unsigned char>(text[0]))) return UINT(number(text));
    return RegisterWindowMessageA(text);
}

void print_rect(const RECT& r) {
    std::printf("%ld %ld %ld %ld\n", long(r.left), long(r.top), long(r.right), long(r.bottom));
}

// A dialog control of the top-level window with that title, or null.
HWND control_of(const char* title, const char* id) {
    HWND window = FindWindowA(nullptr, title);
    return window ? GetDlgItem(window, int(number(id))) : nullptr;
}

// Where a window or a dialog control is on the screen, and what a control
// shows: how a test finds a button to click and reads a box's fields.
int window_query(const char* verb, int argc, char** argv) {
    RECT r;
    if (!std::strcmp(verb, "window-rect") && argc == 3) {
        HWND window = FindWindowA(nullptr, argv[2]);
        if (!window || !GetWindowRect(window, &r)) return 1;
        print_rect(r);
        return 0;
    }
    HWND control = argc == 4 ? control_of(argv[2], argv[3]) : nullptr;
    if (!control) return 1;
    if (!std::strcmp(verb, "control-rect")) {
        if (!GetWindowRect(control, &r)) return 1;
        print_rect(r);
        return 0;
    }
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    std::printf("%s\n", text);
    return 0;
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
    if (!std::strcmp(argv[1], "clipboard-text")) return argc == 3 ? clipboard_text(argv[2]) : usage();
    if (!std::strcmp(argv[1], "clipboard-set-text"))
        return argc == 3 ? clipboard_set_text(argv[2]) : usage();
    if (!std::strcmp(argv[1], "count")) return argc == 3 ? count_windows(argv[2]) : usage();
    if (!std::strcmp(argv[1], "menu"))
        return argc == 5 ? show_menu(argv[2], int(number(argv[3])), int(number(argv[4]))) : usage();
    const char* verb = argv[1];
    if (!std::strcmp(verb, "first-shown") && argc == 4)
        return first_shown(argv[2], DWORD(number(argv[3])));
    if (!std::strcmp(verb, "window-rect") || !std::strcmp(verb, "control-rect") ||
        !std::strcmp(verb, "control-text"))
        return window_query(verb, argc, argv);
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
    if (!std::strcmp(verb, "tray-delete") && argc == 4)
        return window ? tray_delete(window, UINT(number(argv[3]))) : 1;
    if ((!std::strcmp(verb, "post") || !std::strcmp(verb, "send")) && argc == 6) {
        if (!window) {
            std::fprintf(stderr, "no window of class %s\n", argv[2]);
            return 1;
        }
        UINT msg = message_number(argv[3]);
        WPARAM wp = WPARAM(number(argv[4]));
        LPARAM lp = LPARAM(number(argv[5]));
        if (verb[0] == 'p') return PostMessageA(window, msg, wp, lp) ? 0 : 1;
        std::printf("%lld\n", static_cast<long long>(SendMessageA(window, msg, wp, lp)));
        return 0;
    }
    return usage();
}
