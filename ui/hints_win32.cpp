#include "ui/hints.h"

#include <string>
#include <vector>

#include "state/app_state.h"
#include "state/instance.h"
#include "ui/dpi.h"
#include "ui/dpi_scale.h"
#include "ui/guarded_proc.h"
#include "ui/hint_logic.h"
#include "ui/monitors.h"

namespace {

const char kHintClass[] = "NR ToolHint";
const COLORREF kHintBackground = RGB(255, 255, 128);
constexpr UINT kHintTickMs = 100;

struct Target {
    HWND control;
    RECT rect;  // owner client coordinates
};

struct HintLine {
    std::string text;
    int width;
};

struct Hints {
    HWND owner = nullptr;
    const HintEntry* table = nullptr;
    std::vector<Target> targets;
    SIZE owner_size = {};  // the client size the targets were read at
    HintClock clock;
    HWND window = nullptr;
    RECT shown_rect = {};
    std::vector<HintLine> lines;
    int widest = 0;
    int line_height = 0;
    int dpi = kBaseDpi;  // the owner's, when the hint was measured
    bool busy = false;  // re-entry guard of show_hint
    bool class_registered = false;
    UINT_PTR timer = 0;
} hints;

// The hint's 12-pixel font at the owner's DPI.
HFONT create_hint_font(int dpi) {
    return CreateFontA(scale_for_dpi(12, dpi), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0x31,
                       "ＭＳ Ｐゴシック");
}

// The cursor on the screen and in the owner's client area; false while its
// position is unknown (a locked or secure desktop), when nothing may use it.
bool cursor_in_owner(POINT* screen, POINT* client) {
    if (!GetCursorPos(screen)) return false;
    *client = *screen;
    return ScreenToClient(hints.owner, client) != FALSE;
}

bool contains(const RECT& r, POINT p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

void destroy_hint_window() {
    if (hints.window) DestroyWindow(hints.window);
    hints.window = nullptr;
}

int hint_margin() { return scale_for_dpi(kHintMargin, hints.dpi); }
int hint_width() { return hints.widest + 2 * hint_margin(); }
int hint_height() { return hints.line_height * int(hints.lines.size()) + 2 * hint_margin(); }

LRESULT CALLBACK hint_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            hints.window = window;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            HFONT font = create_hint_font(hints.dpi);
            HGDIOBJ old_font = font ? SelectObject(dc, font) : nullptr;
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            SetBkMode(dc, TRANSPARENT);
            HBRUSH brush = CreateSolidBrush(kHintBackground);
            HGDIOBJ old_brush = SelectObject(dc, brush);
            HGDIOBJ old_pen = SelectObject(dc, GetStockObject(BLACK_PEN));
            Rectangle(dc, 0, 0, hint_width(), hint_height());
            const int margin = hint_margin();
            for (size_t i = 0; i < hints.lines.size(); ++i) {
                const std::string& line = hints.lines[i].text;
                if (!line.empty())
                    TextOutA(dc, margin, margin + int(i) * hints.line_height,
                             line.c_str(), int(line.size()));
            }
            SelectObject(dc, old_pen);
            SelectObject(dc, old_brush);
            DeleteObject(brush);
            if (font) {
                SelectObject(dc, old_font);
                DeleteObject(font);
            }
            EndPaint(window, &ps);
            return 0;
        }
        case WM_CLOSE:
        case WM_DPICHANGED:
            // Measured for the DPI it was shown at; the next rest measures
            // it afresh.
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            if (hints.window == window) hints.window = nullptr;
            hints.shown_rect = RECT{};
            return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

bool measure(const char* text) {
    hints.lines.clear();
    hints.widest = hints.line_height = 0;
    hints.dpi = window_dpi(hints.owner);
    HDC dc = GetDC(hints.owner);
    if (!dc) return false;
    HFONT font = create_hint_font(hints.dpi);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    for (const std::string& line : hint_lines(text)) {
        SIZE size = {0, 0};
        if (!line.empty()) GetTextExtentPoint32A(dc, line.c_str(), int(line.size()), &size);
        hints.lines.push_back(HintLine{line, int(size.cx)});
        if (size.cx > hints.widest) hints.widest = size.cx;
        if (size.cy > hints.line_height) hints.line_height = size.cy;
    }
    if (font) {
        SelectObject(dc, old);
        DeleteObject(font);
    }
    ReleaseDC(hints.owner, dc);
    return !hints.lines.empty() && hints.widest > 0 && hints.line_height > 0;
}

// show_hint is not entered again while it runs (creating the window
// dispatches messages), and is free again however it ends.
class ShowingHint {
public:
    ShowingHint() : entered_(!hints.busy) { hints.busy = true; }
    ~ShowingHint() {
        if (entered_) hints.busy = false;
    }
    ShowingHint(const ShowingHint&) = delete;
    ShowingHint& operator=(const ShowingHint&) = delete;
    explicit operator bool() const { return entered_; }

private:
    bool entered_;
};

void show_hint(const char* text, const RECT& rect) {
    const ShowingHint showing;
    if (!showing) return;
    if (hints.window && EqualRect(&hints.shown_rect, &rect)) return;
    destroy_hint_window();
    hints.shown_rect = rect;
    if (!measure(text)) return;
    HINSTANCE instance = app_instance();
    if (!hints.class_registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = guarded_window_proc<hint_proc>;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kHintClass;
        hints.class_registered = RegisterClassA(&wc) != 0;
    }
    const int width = hint_width();
    const int height = hint_height();
    POINT origin = {0, 0};
    ClientToScreen(hints.owner, &origin);
    RECT owner_rect;
    GetWindowRect(hints.owner, &owner_rect);
    const RECT m = monitor_rect_for(owner_rect);
    const PixelPoint at = hint_position(PixelRect{rect.left, rect.top, rect.right, rect.bottom},
                                        width, height, PixelPoint{origin.x, origin.y},
                                        PixelRect{m.left, m.top, m.right, m.bottom},
                                        scale_for_dpi(kHintGap, hints.dpi));
    // A top-most popup above its owner, shown without taking the
    // activation: activating the owner again after a visible creation put
    // the owner back over its hint.
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kHintClass,
                                  "", WS_POPUP, at.x, at.y, width, height, hints.owner, nullptr,
                                  instance, nullptr);
    if (window)
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

SIZE client_size(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// The controls' rectangles in the owner's client area, read again when the
// owner changes size (the system scales a dialog moved to a monitor of
// another DPI).
void read_targets() {
    hints.targets.clear();
    for (const HintEntry* e = hints.table; e->control; ++e) {
        Target t{GetDlgItem(hints.owner, e->control), RECT{}};
        RECT r;
        if (t.control && GetWindowRect(t.control, &r)) {
            POINT tl = {r.left, r.top};
            ScreenToClient(hints.owner, &tl);
            t.rect = RECT{tl.x, tl.y, tl.x + (r.right - r.left), tl.y + (r.bottom - r.top)};
        }
        hints.targets.push_back(t);
    }
    hints.owner_size = client_size(hints.owner);
}

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    POINT screen, p;
    if (!hints.owner || !IsWindow(hints.owner) || !cursor_in_owner(&screen, &p)) return;
    const SIZE size = client_size(hints.owner);
    if (size.cx != hints.owner_size.cx || size.cy != hints.owner_size.cy) {
        hide_hint();
        read_targets();
    }
    HintInput in;
    in.enabled = g_app.hints_enabled != 0;
    in.button_down = GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0;
    in.now = GetTickCount();
    in.cursor = PixelPoint{p.x, p.y};
    in.hit = -1;
    for (size_t i = 0; i < hints.targets.size(); ++i)
        if (contains(hints.targets[i].rect, p)) {
            in.hit = int(i);
            break;
        }
    const HWND under = WindowFromPoint(screen);
    in.uncovered =
        in.hit >= 0 && (under == hints.targets[size_t(in.hit)].control || under == hints.owner);
    in.inside_shown = hints.clock.index >= 0 &&
                      contains(hints.targets[size_t(hints.clock.index)].rect, p);
    const HintStep step = hint_tick(&hints.clock, in);
    if (step.hide) destroy_hint_window();
    if (step.show >= 0)
        show_hint(hints.table[step.show].text, hints.targets[size_t(step.show)].rect);
}

}  // namespace

void attach_hints(HWND dialog, const HintEntry* table) {
    destroy_hint_window();
    hints.owner = dialog;
    hints.table = table;
    read_targets();
    // An unknown position rests nowhere: the wait starts with the first
    // position read.
    POINT screen, p;
    if (!cursor_in_owner(&screen, &p)) p = POINT{-1 - kHintTolerance, -1 - kHintTolerance};
    hint_restart(&hints.clock, GetTickCount(), PixelPoint{p.x, p.y});
    if (!hints.timer) hints.timer = SetTimer(nullptr, 0, kHintTickMs, guarded_timer_proc<tick>);
    g_app.hints_enabled = 1;
}

void hide_hint() {
    destroy_hint_window();
    hints.clock.index = -1;
}

HintsOff::HintsOff() { g_app.hints_enabled = 0; }
HintsOff::~HintsOff() { g_app.hints_enabled = 1; }

void detach_hints(HWND dialog) {
    hide_hint();
    if (hints.owner != dialog) return;
    hints.owner = nullptr;
    hints.table = nullptr;
    hints.targets.clear();
    // With no dialog to watch the program does not wake ten times a second.
    if (hints.timer) KillTimer(nullptr, hints.timer);
    hints.timer = 0;
}
