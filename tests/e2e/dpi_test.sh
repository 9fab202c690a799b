#!/usr/bin/env bash
# The program at 144 DPI (150 %; the tests' Wine prefix's LogPixels, 96 again
# at the end): a capture takes the screen's own pixels, the magnifier and the
# hint grow with the DPI, and a box, a hint and a notice lie on the monitor.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"
trap 'stop_tamble; [ -n "$PICTURE_PID" ] && kill "$PICTURE_PID" 2>/dev/null;
      wineserver -k >/dev/null 2>&1; wine_dpi 96; rm -rf "$E2E_TMP"' EXIT
ensure_wineprefix
wine_dpi 144
wine_window_management off
check "picture shown" show_known_picture
fresh_settings && mkdir -p "$DATA_DIR"
ini_set System Flags $((0x8000 | 1156 & ~0x4))   # no box opens by itself
check "program started" start_tamble /open
on_screen() {  # "L T R B" is a rectangle within the 1920x1080 screen
    local l t r b && read -r l t r b <<< "$1"
    [ -n "$b" ] && ((0 <= l && l < r && r <= 1920 && 0 <= t && t < b && b <= 1080))
}

echo "dpi: a capture"
check "the overlay opens and takes the keys" eval 'begin_capture && wait_until 10 overlay_has_focus'
xdotool mousemove 290 190 && pick_top_left 300 200
check "crosshair one pixel wide, magnifier cells 8x8, each one screen pixel" wait_until 10 eval \
    'screenshot "$E2E_TMP/m.png" && /usr/bin/python3 "$PIXELS" marks "$E2E_TMP/m.png" "$KNOWN_PNG" 300 200 8'
xdotool key space && wait_until 5 mouse_not_at 300 200
xdotool mousemove 520 361 key space
check "the notice lies on the screen" wait_until 10 eval 'on_screen "$(window_rect "キャプチャー - Tamble")"'
finish_output && clipboard_to "$E2E_TMP/clip.bmp"
check "the clipboard holds the framed pixels" same_pixels "$E2E_TMP/clip.bmp" 221 162 300 200

echo "dpi: a box at the screen's corner, a hint"
stop_tamble
ini_set System Flags $((0x8000 | 1156))
ini_set Window x 1860 && ini_set Window y 1040
start_tamble && begin_capture
check "the top-left box opens" wait_until 10 window_shown "$TOP_LEFT_BOX"
check "the box lies on the screen" on_screen "$(window_rect "$TOP_LEFT_BOX")"
window_keys "$TOP_LEFT_BOX" Escape && wait_until 10 window_gone "$TOP_LEFT_BOX"
xdotool key Escape && wait_until 20 overlay_hidden
SETTINGS='設定 - Tamble Ver4.13'
open_tray_menu && menu_keys tamble.exe Up Up Up Up Up Return   # the fifth item from the end
check "the settings dialog opens" wait_until 10 window_shown "$SETTINGS"
read -r l t r b <<< "$(run_wine "$WINTOOL" control-rect "$SETTINGS" 1025 2>/dev/null | tr -d '\r')"
xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2))
hint() { run_wine "$WINTOOL" shown-rect 'NR ToolHint' 2>/dev/null | tr -d '\r'; }
check "resting on a check box shows its hint" wait_until 10 eval '[ -n "$(hint)" ]'
read -r hl ht hr hb <<< "$(hint)"
check "the hint lies on the screen" on_screen "$hl $ht $hr $hb"
# One line of the 18-pixel font with margins of 5 (18 pixels high at 96 DPI).
check "the hint is measured in the font of 144 DPI" test $((hb - ht)) -ge 26
check "the hint is drawn above its dialog" wait_until 5 eval 'screenshot "$E2E_TMP/h.png" &&
    /usr/bin/convert "$E2E_TMP/h.png" -crop "1x1+$((hl + 3))+$((ht + 3))" -depth 8 txt:- | grep -qi "#FFFF80"'
window_keys "$SETTINGS" Escape && wait_until 10 window_gone "$SETTINGS"

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
