#!/usr/bin/env bash
# The program at 144 DPI (150 %), end to end: a capture still takes the
# screen's own pixels, the marks and the windows the program draws itself
# grow with the DPI, and a box, a hint and a notice lie on the monitor.
# Wine's desktop DPI is set in a prefix of this test's own
# (HKCU\Control Panel\Desktop LogPixels), so the other tests keep their 96.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
export WINEPREFIX="$BUILD/wineprefix-dpi144"
. "$(dirname "$0")/lib.sh"

cleanup() {
    stop_tamble
    [ -n "$PICTURE_PID" ] && kill "$PICTURE_PID" 2>/dev/null
    wineserver -k >/dev/null 2>&1
}
trap 'cleanup; rm -rf "$E2E_TMP"' EXIT

echo "dpi: a prefix at 144 DPI"
ensure_wineprefix
wineserver -k >/dev/null 2>&1
wineserver -w
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
wine_window_management off
check "picture shown" show_known_picture
fresh_settings
mkdir -p "$DATA_DIR"
# The overlay alone first (Flags without 0x4: no box opens by itself).
ini_set System Flags $((0x8000 | 1156 & ~0x4))
check "program started" start_tamble /open

# "L T R B" lies within the 1920x1080 screen and is not empty.
on_screen() {
    local l t r b
    read -r l t r b <<< "$1"
    [ -n "$b" ] && [ "$l" -ge 0 ] && [ "$t" -ge 0 ] && [ "$r" -le 1920 ] && [ "$b" -le 1080 ] &&
        [ "$r" -gt "$l" ] && [ "$b" -gt "$t" ]
}
shown_rect() { run_wine "$WINTOOL" shown-rect "$1" 2>/dev/null | tr -d '\r'; }

echo "dpi: a capture takes the screen's pixels 1:1; the magnifier's cells are 8 pixels"
begin_capture
wait_until 10 overlay_has_focus
xdotool mousemove 290 190
pick_top_left 300 200
marks() { screenshot "$E2E_TMP/marks.png" && /usr/bin/python3 "$PIXELS" marks "$E2E_TMP/marks.png" "$KNOWN_PNG" 300 200 8; }
check "crosshair one pixel wide, magnifier cells 8x8, each one screen pixel" wait_until 10 marks
xdotool key space
wait_until 5 mouse_not_at 300 200
xdotool mousemove 520 361
xdotool key space
check "the notice lies on the screen" \
    wait_until 10 eval 'on_screen "$(window_rect "キャプチャー - Tamble")"'
finish_output
clipboard_to "$E2E_TMP/clip.bmp"
check "the clipboard holds the framed pixels (221x162 at 300,200)" \
    same_pixels "$E2E_TMP/clip.bmp" 221 162 300 200

echo "dpi: the top-left box"
stop_tamble
ini_set System Flags $((0x8000 | 1156))
ini_set Window x 1860
ini_set Window y 1040
check "program started again" start_tamble
begin_capture
check "the top-left box opens with the capture" wait_until 10 window_shown "$TOP_LEFT_BOX"
box=$(window_rect "$TOP_LEFT_BOX")
# At the screen's corner the box is pulled onto the monitor whole.
check "the box lies on the screen, opened at its bottom-right corner ($box)" on_screen "$box"
window_keys "$TOP_LEFT_BOX" Escape
wait_until 10 window_gone "$TOP_LEFT_BOX"
xdotool key Escape
wait_until 20 overlay_hidden

echo "dpi: a hint of the settings dialog"
SETTINGS='設定 - Tamble Ver4.13'
# The tray menu's fifth item from its end (Up from nothing wraps to the last).
open_tray_menu && menu_keys tamble.exe Up Up Up Up Up Return
check "the settings dialog opens" wait_until 10 window_shown "$SETTINGS"
read -r l t r b <<< "$(run_wine "$WINTOOL" control-rect "$SETTINGS" 1025 2>/dev/null | tr -d '\r')"
xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2))
hint_shown() { [ -n "$(shown_rect 'NR ToolHint')" ]; }
check "the pointer resting on a check box shows its hint" wait_until 10 hint_shown
hint=$(shown_rect 'NR ToolHint')
check "the hint lies on the screen ($hint)" on_screen "$hint"
read -r hl ht hr hb <<< "$hint"
# One line in the 18-pixel font of 144 DPI with margins of 5: at 96 DPI the
# same hint is 18 pixels high.
check "the hint is measured in the font of 144 DPI (height $((hb - ht)))" \
    test $((hb - ht)) -ge 26
# A top-most popup over the dialog it belongs to: its yellow shows.
hint_on_top() {
    screenshot "$E2E_TMP/hint.png" &&
        [ "$(/usr/bin/convert "$E2E_TMP/hint.png" -crop "1x1+$((hl + 3))+$((ht + 3))" -depth 8 txt:- |
            grep -oiE '#[0-9a-f]{6}' | head -n 1)" = "#FFFF80" ]
}
check "the hint is drawn above its dialog" wait_until 5 hint_on_top
window_keys "$SETTINGS" Escape
wait_until 10 window_gone "$SETTINGS"

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
