// A small command-line tool for the end-to-end tests: finds windows by
// class, posts and sends messages, reads and sets the clipboard, removes a
// tray icon, shows a popup menu, reads and clicks another program's dialogs
// and counts what another process holds, as another program on the same
// desktop would.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
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
                 "       wintool resources CLASS\n"
                 "         (what the process owning the window of CLASS holds: GDI objects,\n"
                 "          windows, committed private memory, kernel handles)\n"
                 "       wintool click TITLE ID\n"
                 "       wintool command TITLE ID\n"
                 "         (a control of the top-level window with that title: a button\n"
                 "          clicked, or the dialog told the control was clicked)\n"
                 "       wintool leak-host\n"
                 "         (a window that leaks on request, to prove the resource readings)\n"
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
                 "       wintool shown-rect CLASS\n"
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

// --- what another process holds ----------------------------------------
// The system's own counters are of no use here: under Wine GetGuiResources
// answers 0 and the private bytes of GetProcessMemoryInfo are 0. So the
// resources are read the way a debugger would: the process's GDI handle
// table (the PEB points to it), its windows, its address space.

struct GdiEntry {  // one entry of the GDI handle table, 24 bytes
    uint64_t object;
    uint32_t owner;
    uint16_t unique;  // low 7 bits: the object's type, bit 7: a stock object
    uint8_t type;     // 0: free
    uint8_t flags;
    uint64_t user_pointer;
};
static_assert(sizeof(GdiEntry) == 24, "GDI handle table entries are 24 bytes");
constexpr size_t kGdiHandles = 0x10000;
constexpr size_t kPebGdiTable = 0xF8;  // PEB.GdiSharedHandleTable, 64-bit

struct GdiCount {
    int total = 0;
    int by_type[128] = {};
};

// The GDI objects in the process's handle table; false when it cannot be read.
bool count_gdi(HANDLE process, GdiCount* count) {
    using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    struct {
        void* exit_status;
        uint8_t* peb;
        uintptr_t affinity, priority, pid, parent;
    } basic = {};
    if (!query || query(process, 0 /* ProcessBasicInformation */, &basic, sizeof basic, nullptr) != 0)
        return false;
    uint8_t* table = nullptr;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, basic.peb + kPebGdiTable, &table, sizeof table, &got) ||
        got != sizeof table || !table)
        return false;
    std::vector<GdiEntry> entries(kGdiHandles);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(GdiEntry), &got) ||
        got != entries.size() * sizeof(GdiEntry))
        return false;
    for (const GdiEntry& e : entries) {
        if (!e.type) continue;
        ++count->total;
        ++count->by_type[e.unique & 0x7f];
    }
    return true;
}

struct WindowCount {
    DWORD pid;
    int count;
};

BOOL CALLBACK count_child(HWND window, LPARAM param) {
    auto* c = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == c->pid) ++c->count;
    return TRUE;
}

BOOL CALLBACK count_top(HWND window, LPARAM param) {
    count_child(window, param);
    EnumChildWindows(window, count_child, param);  // every descendant
    return TRUE;
}

// The process's windows, shown or hidden, message-only ones included.
int count_user(DWORD pid) {
    WindowCount c = {pid, 0};
    EnumWindows(count_top, reinterpret_cast<LPARAM>(&c));
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr))
        count_top(w, reinterpret_cast<LPARAM>(&c));
    return c.count;
}

// Committed private memory, in KiB.
long long private_kib(HANDLE process) {
    long long total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (uint8_t* at = nullptr; VirtualQueryEx(process, at, &info, sizeof info) == sizeof info;) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        uint8_t* next = static_cast<uint8_t*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total / 1024;
}

// The process's kernel handles, from the system's list of every open
// handle (GetProcessHandleCount answers 0 under Wine); -1 when unreadable.
long long count_handles(DWORD pid) {
    using QuerySystem = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    struct Entry {  // SYSTEM_HANDLE_TABLE_ENTRY_INFO_EX
        void* object;
        uintptr_t pid, handle;
        ULONG access;
        USHORT creator_back_trace, type;
        ULONG attributes, reserved;
    };
    struct Table {
        uintptr_t count, reserved;
        Entry entries[1];
    };
    if (!query) return -1;
    std::vector<uint8_t> buffer(1 << 20);
    for (int tries = 0; tries < 8; ++tries) {
        ULONG needed = 0;
        const LONG status = query(64 /* SystemExtendedHandleInformation */, buffer.data(),
                                  ULONG(buffer.size()), &needed);
        if (status == LONG(0xC0000004)) {  // STATUS_INFO_LENGTH_MISMATCH
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status != 0) return -1;
        const auto* table = reinterpret_cast<const Table*>(buffer.data());
        long long n = 0;
        for (uintptr_t i = 0; i < table->count; ++i)
            if (table->entries[i].pid == pid) ++n;
        return n;
    }
    return -1;
}

const char* gdi_type_name(int type) {
    switch (type) {
        case 0x01: return "dc";
        case 0x41: return "memdc";
        case 0x04: return "region";
        case 0x05: return "surface";
        case 0x08: return "palette";
        case 0x09: return "bitmap";
        case 0x0a: return "font";
        case 0x10: return "brush";
        case 0x30: return "pen";
        case 0x50: return "extpen";
    }
    return nullptr;
}

// One line: pid, GDI objects, windows, private KiB, kernel handles, then the
// GDI objects by type.
int resources(const char* class_name) {
    HWND window = FindWindowA(class_name, nullptr);
    DWORD pid = 0;
    if (!window || !GetWindowThreadProcessId(window, &pid) || !pid) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    GdiCount gdi;
    const bool gdi_read = count_gdi(process, &gdi);
    const long long handles = count_handles(pid);
    const long long memory = private_kib(process);
    CloseHandle(process);
    if (!gdi_read) return 1;
    std::printf("pid=%lu gdi=%d user=%d private_kb=%lld handles=%lld", static_cast<unsigned long>(pid),
                gdi.total, count_user(pid), memory, handles);
    for (int t = 0; t < 128; ++t) {
        if (!gdi.by_type[t]) continue;
        if (const char* name = gdi_type_name(t))
            std::printf(" %s=%d", name, gdi.by_type[t]);
        else
            std::printf(" type%02x=%d", t, gdi.by_type[t]);
    }
    std::printf("\n");
    return 0;
}

// --- a window that leaks on request --------------------------------------
// What a leaking program would leave behind, one request at a time, so a
// test can see that the readings above notice it.
constexpr UINT kLeakGdi = WM_APP + 1;      // LPARAM small bitmaps
constexpr UINT kLeakWindows = WM_APP + 2;  // LPARAM hidden windows
constexpr UINT kLeakMemory = WM_APP + 3;   // LPARAM MiB from the heap, written
constexpr UINT kLeakScreens = WM_APP + 4;  // LPARAM screen-sized device bitmaps
constexpr UINT kLeakHandles = WM_APP + 5;  // LPARAM kernel handles (events)

LRESULT CALLBACK leak_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    const int n = int(lparam);
    switch (message) {
        case kLeakGdi:
            for (int i = 0; i < n; ++i) CreateBitmap(1, 1, 1, 1, nullptr);
            return 0;
        case kLeakWindows:
            for (int i = 0; i < n; ++i)
                CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, window, nullptr, nullptr, nullptr);
            return 0;
        case kLeakMemory:
            for (int i = 0; i < n; ++i) {
                void* block = HeapAlloc(GetProcessHeap(), 0, 1 << 20);
                if (block) std::memset(block, 0x5a, 1 << 20);
            }
            return 0;
        case kLeakScreens: {
            HDC screen = GetDC(nullptr);
            HDC memory = CreateCompatibleDC(screen);
            for (int i = 0; i < n; ++i) {
                HBITMAP b = CreateCompatibleBitmap(screen, GetSystemMetrics(SM_CXSCREEN),
                                                   GetSystemMetrics(SM_CYSCREEN));
                HGDIOBJ old = SelectObject(memory, b);
                PatBlt(memory, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                       WHITENESS);
                SelectObject(memory, old);
            }
            DeleteDC(memory);
            ReleaseDC(nullptr, screen);
            return 0;
        }
        case kLeakHandles:
            for (int i = 0; i < n; ++i) CreateEventA(nullptr, TRUE, FALSE, nullptr);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int leak_host() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = leak_proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "wintool leak host";
    if (!RegisterClassA(&wc)) return 1;
    if (!CreateWindowExA(0, wc.lpszClassName, "leak host", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                         wc.hInstance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
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
    if ((!std::strcmp(verb, "window-rect") || !std::strcmp(verb, "shown-rect")) && argc == 3) {
        // By title, or the shown window of a class (a menu: "#32768").
        HWND window = verb[0] == 'w' ? FindWindowA(nullptr, argv[2]) : FindWindowA(argv[2], nullptr);
        while (window && verb[0] == 's' && !IsWindowVisible(window))
            window = FindWindowExA(nullptr, window, argv[2], nullptr);
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
    if (argc == 2 && !std::strcmp(argv[1], "leak-host")) return leak_host();
    if (argc < 3) return usage();
    if (!std::strcmp(argv[1], "resources")) return argc == 3 ? resources(argv[2]) : usage();
    if ((!std::strcmp(argv[1], "click") || !std::strcmp(argv[1], "command")) && argc == 4) {
        HWND control = control_of(argv[2], argv[3]);
        if (!control) return 1;
        if (argv[1][1] == 'l') {  // the button clicks itself and tells its dialog
            // A click that opens a message box ends only when the box does.
            DWORD_PTR result = 0;
            return SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &result) ? 0 : 1;
        }
        const WPARAM id = MAKEWPARAM(UINT(number(argv[3])), BN_CLICKED);
        return PostMessageA(GetParent(control), WM_COMMAND, id, LPARAM(control)) ? 0 : 1;
    }
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
    if (!std::strcmp(verb, "window-rect") || !std::strcmp(verb, "shown-rect") ||
        !std::strcmp(verb, "control-rect") ||
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
