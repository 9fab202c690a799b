#!/usr/bin/env bash
# The coordinate boxes end to end, driven as a user drives them: the tray
# icon, clicks on the boxes' buttons and on the picture, keys, the boxes'
# menus, with a known picture on the screen. The boxes' fields are read
# from outside as another program reads them; outputs are checked with
# independent tools.
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"

cleanup() {
    # A box's menu left open by a failed check keeps the program from ending
    # on WM_CLOSE.
    if [ -n "$TAMBLE_PID" ]; then
        run_wine "$WINTOOL" post "$MAIN_CLASS" 0x0010 0 0 >/dev/null 2>&1   # WM_CLOSE
        wait_until 20 tamble_process_gone || pkill -P "$TAMBLE_PID"   # the program under the shell
    fi
    stop_tamble
    [ -n "$PICTURE_PID" ] && kill "$PICTURE_PID" 2>/dev/null
}
trap 'cleanup; rm -rf "$E2E_TMP"' EXIT

SAMPLE_BOX='スポイト - Tamble'

echo "boxes: setting up a known picture"
check "picture shown" show_known_picture
fresh_settings
mkdir -p "$DATA_DIR"
# The default options (the top-left box opens by itself, each box keeps its
# own place), the first run over; a capture starts at (300, 200).
ini_set System Flags $((0x8000 | 1156))
ini_set Window x 300
ini_set Window y 200
ini_set Window WH_His "640,480@100,100"
check "program started" start_tamble

echo "boxes: the top-left box: arrows, keys, the width menu, clicks on the picture"
begin_capture
check "the top-left box opens with the capture" wait_until 10 window_shown "$TOP_LEFT_BOX"
check "with no saved place it opens centred on the pointer (300, 200)" \
    wait_until 5 window_centred_at "$TOP_LEFT_BOX" 300 200
check "it shows the corner 300,200 and that pixel's colour" \
    eval 'control_text_is "$TOP_LEFT_BOX" 1004 300,200 &&
          control_text_is "$TOP_LEFT_BOX" 1006 "$(known_colour 300 200)"'
click_control "$TOP_LEFT_BOX" 1003
check "the right arrow button moves the corner one pixel: 301,200" \
    wait_until 5 control_text_is "$TOP_LEFT_BOX" 1004 301,200
window_keys "$TOP_LEFT_BOX" 3 z
check "3 then Z move three pixels on and one back: 303,200" \
    wait_until 5 control_text_is "$TOP_LEFT_BOX" 1004 303,200
# The picture of a capture with its box for README.md (docs/capture-with-box.png).
mkdir -p "$BUILD/screenshots"
check "a screenshot of the capture with its box" eval 'screenshot "$E2E_TMP/box.png" &&
    /usr/bin/convert "$E2E_TMP/box.png" -crop 640x340+0+50 +repage "$BUILD/screenshots/capture-with-box.png"'

click_control "$TOP_LEFT_BOX" 1011
check "the width button opens its menu" wait_until 10 box_menu_shown
# フリー, 16, 32, 48, 64, 96, 100, 120, 160, 180, 200, ...
xdotool key Down Down Down Down Down Down Down Down Down Down Down Return
check "choosing 200 shows it as the width and saves it" \
    wait_until 5 eval 'control_text_is "$TOP_LEFT_BOX" 1012 200 && ini_has Width=200'

xdotool mousemove 700 500 click 1
check "a click on the picture moves the corner there: 700,500" \
    wait_until 5 control_text_is "$TOP_LEFT_BOX" 1004 700,500
xdotool click --repeat 2 --delay 100 1
check "a double click decides: the top-left box closes, the bottom-right box opens" \
    wait_until 10 eval 'window_gone "$TOP_LEFT_BOX" && window_shown "$BOTTOM_RIGHT_BOX"'
# The saved bottom-right (364, 264) lies above the corner: it goes 16 below.
check "with the width fixed the bottom-right corner is 200 pixels on: 899,516" \
    wait_until 5 control_text_is "$BOTTOM_RIGHT_BOX" 1009 899,516

echo "boxes: the bottom-right box: the size menu, then the output"
click_control "$BOTTOM_RIGHT_BOX" 1013
check "the size button opens the menu of the size history" wait_until 10 box_menu_shown
xdotool key Down Return   # the first entry, 640,480
check "choosing 640,480 sizes the rectangle: 640,480" \
    wait_until 5 control_text_is "$BOTTOM_RIGHT_BOX" 1012 640,480
click_control "$BOTTOM_RIGHT_BOX" 1
finish_output
clipboard_to "$E2E_TMP/framed.bmp"
check "deciding puts the 640x480 pixels at (700, 500) on the clipboard" \
    same_pixels "$E2E_TMP/framed.bmp" 640 480 700 500

echo "boxes: the colour sample"
begin_capture
wait_until 10 window_shown "$TOP_LEFT_BOX"
xdotool mousemove 1000 300 click 1
wait_until 5 control_text_is "$TOP_LEFT_BOX" 1004 1000,300
click_control "$TOP_LEFT_BOX" 1005
check "the swatch copies the sample and says so" wait_until 10 window_open "$SAMPLE_BOX"
check "the capture ends once the notice has closed" finish_output
clipboard_text_to "$E2E_TMP/sample.txt"
check "the clipboard text is the pixel's colour as rrggbb" \
    test "$(cat "$E2E_TMP/sample.txt")" = "$(known_colour 1000 300)"
clipboard_to "$E2E_TMP/sample.bmp"
check "the clipboard picture is 8x8 of that colour" \
    /usr/bin/python3 "$PIXELS" sample "$E2E_TMP/sample.bmp" "$(known_colour 1000 300)"
check "the corner is kept for the next capture" eval 'ini_has x=1000 && ini_has y=300'

echo "boxes: their places survive a restart"
begin_capture
wait_until 10 window_shown "$TOP_LEFT_BOX"
xdotool mousemove 1500 300 click 3
check "a right click on the picture moves the top-left box to the pointer" \
    wait_until 5 window_centred_at "$TOP_LEFT_BOX" 1500 300
top_left_place=$(window_rect "$TOP_LEFT_BOX")
window_keys "$TOP_LEFT_BOX" space
check "Space decides: the bottom-right box opens" wait_until 10 window_shown "$BOTTOM_RIGHT_BOX"
xdotool mousemove 1500 800 click 3
check "a right click moves the bottom-right box to the pointer" \
    wait_until 5 window_centred_at "$BOTTOM_RIGHT_BOX" 1500 800
bottom_right_place=$(window_rect "$BOTTOM_RIGHT_BOX")
window_keys "$BOTTOM_RIGHT_BOX" Escape
check "Esc closes the box and ends the capture" \
    wait_until 10 eval 'overlay_hidden && window_gone "$BOTTOM_RIGHT_BOX"'
check "the places are saved in DialogRect and DialogRect2" \
    eval 'ini_has "DialogRect=${top_left_place// /,}" &&
          ini_has "DialogRect2=${bottom_right_place// /,}"'
open_tray_menu
menu_keys tamble.exe Up Return   # 終了, the last item
check "終了 ends the program" wait_until 20 main_window_gone
wait_until 20 tamble_process_gone
TAMBLE_PID=""
start_tamble
begin_capture
check "after a restart the top-left box opens at its place" \
    wait_until 10 window_at "$TOP_LEFT_BOX" "$top_left_place"
window_keys "$TOP_LEFT_BOX" space
check "and so does the bottom-right box" \
    wait_until 10 window_at "$BOTTOM_RIGHT_BOX" "$bottom_right_place"
window_keys "$BOTTOM_RIGHT_BOX" Escape
wait_until 10 overlay_hidden

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
