#!/usr/bin/env bash
# A day's use in one process: captures in a row through the real program,
# ten to a cycle, mixing every output kind (the clipboard, numbered BMP, GIF
# and JPEG files, BASE64 items on the clipboard and in a scrap), both display
# modes, the coordinate boxes (opened by themselves, by a right click, or not
# at all) and captures ended with Esc. The output kind and the boxes are
# switched in the settings dialogs from the tray menu, the display mode in a
# box, so nothing restarts. Every output is checked as it comes. The GDI
# objects, windows, kernel handles and memory of the process are read after
# the first cycle (once every path has run) and after the last one, and must
# be back at that level. The first cycle itself adds about 220 GDI objects
# that stay: Wine keeps up to 64 released window DCs (each with a region and
# a surface) for the windows they were last used with, and the dialogs, boxes
# and notices fill that cache. A DC that is never released is never reused,
# so a leaked one still shows after the first cycle.
# At the end the program rests: the kept screen bitmap and picture block must
# go, leaving at most 10 MiB of private memory (the rest, a minute for the
# user, is shortened to 2 s here through System/RestSeconds).
# SOAK_CYCLES sets the cycles (scripts/test runs 3, scripts/soak 30);
# XVFB_SIZE the screen (scripts/soak).
set -u
. "$(dirname "$0")/../../scripts/lib.sh"
. "$(dirname "$0")/lib.sh"

CYCLES=${SOAK_CYCLES:-3}
LEAK_HOST="wintool leak host"
LEAK_PID=""

cleanup() {
    stop_tamble
    [ -n "$PICTURE_PID" ] && kill "$PICTURE_PID" 2>/dev/null
    [ -n "$LEAK_PID" ] && kill "$LEAK_PID" 2>/dev/null
}
trap 'cleanup; rm -rf "$E2E_TMP"' EXIT

# How much a reading may grow over the run. Measured over 300 captures the
# counts and the committed private memory come back exactly; the Unix
# process's memory creeps by about 1 KiB a capture (310 KiB over 290), on
# Wine's side of it since the Windows address space stays flat. One leaked
# picture of the screen is 6 MiB (a 24-bit block) or 8 MiB (a device bitmap).
GROWTH_GDI=0
GROWTH_USER=0
GROWTH_HANDLES=0
GROWTH_PRIVATE_KB=2048
GROWTH_RSS_KB=4096

echo "soak: the readings see what a leaking program leaves behind"
run_wine "$WINTOOL" leak-host >/dev/null 2>&1 &
LEAK_PID=$!
wait_until 30 run_wine "$WINTOOL" find "$LEAK_HOST"
leak_unix=$(unix_pid_of leak-host)
before=$(settled_resources "$LEAK_HOST" "$leak_unix")
for request in "0x8001 5" "0x8002 3" "0x8003 16" "0x8004 2" "0x8005 4"; do
    # 5 bitmaps, 3 windows, 16 MiB of heap, 2 screen-sized device bitmaps, 4 events
    run_wine "$WINTOOL" send "$LEAK_HOST" ${request%% *} 0 ${request#* } >/dev/null 2>&1
done
after=$(settled_resources "$LEAK_HOST" "$leak_unix")
grew() { [ $(($(field "$1" "$after") - $(field "$1" "$before"))) "$2" "$3" ]; }
check "GDI objects: 5 bitmaps and the 2 screens' bitmaps" grew bitmap -eq 7
check "windows: 3 more" grew user -eq 3
check "kernel handles: 4 more" grew handles -eq 4
check "private memory: the 16 MiB from the heap" grew private_kb -ge 16384
check "Unix memory: the heap and the screens' pixels (2 x 7.9 MiB)" grew rss_kb -ge $((16384 + 15000))
run_wine "$WINTOOL" post "$LEAK_HOST" 0x0010 0 0 >/dev/null 2>&1
wait "$LEAK_PID"
LEAK_PID=""

# --- the program and its outputs -----------------------------------------
OUT="$E2E_TMP/out"
SCRAP="$E2E_TMP/soak.html"
NOTICE='キャプチャー - Tamble'
OUTPUT_DIALOG='出力設定 - Tamble'
SETTINGS_DIALOG='設定 - Tamble Ver4.13'
ID_FILE=1036 ID_CLIPBOARD=1037 ID_BASE64=1042 ID_TO_SCRAP=1043 ID_TO_CLIPBOARD=1044
ID_AUTO_BOX=1027 ID_BOX_MODE=900

# The output's notice shows and closes at its next tick with the pointer
# off it; the capture is over when nothing of the program is on the screen.
end_output() {
    wait_until 20 window_open "$NOTICE" || return 1
    local end=$((SECONDS + 20)) k=0
    while window_open "$NOTICE"; do
        [ $SECONDS -ge $end ] && return 1
        k=$((1 - k))
        xdotool mousemove $((1500 + 200 * k)) $((900 + 100 * k))
        sleep 0.2
    done
    wait_until 20 overlay_hidden
}
ended_quietly() { wait_until 20 overlay_hidden && window_gone "$NOTICE"; }

# The size and place are saved once the notice has closed.
remembered() {  # remembered X Y W H
    ini_has "x=$1" && ini_has "y=$2" && ini_has "w=$(($3 - 1))" && ini_has "h=$(($4 - 1))"
}

# The tray menu's item N places from the end (終了 is 1), as Up from nothing
# wraps to the last item.
tray_command_from_end() {
    local keys=() i
    for ((i = 0; i < $1; i++)); do keys+=(Up); done
    open_tray_menu && menu_keys tamble.exe "${keys[@]}" Return
}
dialog_clicks() {  # dialog_clicks TITLE ID...: each control clicked, then OK
    local title=$1 id
    shift
    for id in "$@" 1; do
        run_wine "$WINTOOL" click "$title" "$id" >/dev/null 2>&1 || return 1
    done
    wait_until 10 window_gone "$title"
}
set_output() {  # set_output KIND_ID [DESTINATION_ID]: 出力設定を行う
    tray_command_from_end 6 && wait_until 10 window_shown "$OUTPUT_DIALOG" &&
        dialog_clicks "$OUTPUT_DIALOG" "$@"
}
toggle_boxes() {  # 設定を行う: the box option ticked or cleared
    tray_command_from_end 5 && wait_until 10 window_shown "$SETTINGS_DIALOG" &&
        dialog_clicks "$SETTINGS_DIALOG" $ID_AUTO_BOX
}
toggle_mode() { run_wine "$WINTOOL" command "$1" $ID_BOX_MODE >/dev/null 2>&1; }

# Outputs, each checked as it comes.
NUMBER=1
SCRAP_ITEMS=0
file_name() { printf '%s/S%05d.%s' "$OUT" "$NUMBER" "$1"; }
size_is() { [ "$(/usr/bin/identify -format '%wx%h' "$1" 2>/dev/null)" = "$2x$3" ]; }
clipboard_holds() {  # clipboard_holds X Y W H
    clipboard_to "$E2E_TMP/clip.bmp" && same_pixels "$E2E_TMP/clip.bmp" "$3" "$4" "$1" "$2"
}
# "BM", and the size the header states is the file's.
bmp_sized() {
    [ "$(head -c 2 "$1" 2>/dev/null)" = BM ] &&
        [ "$(od -An -tu4 -j2 -N4 "$1" | tr -d ' ')" = "$(stat -c %s "$1")" ]
}
file_holds() {  # file_holds TYPE X Y W H: the next numbered file
    local f
    f=$(file_name "$1")
    case $1 in
        bmp) bmp_sized "$f" && same_pixels "$f" "$4" "$5" "$2" "$3" ;;
        gif) [ "$(head -c 6 "$f" 2>/dev/null)" = GIF87a ] && size_is "$f" "$4" "$5" ;;
        jpg) [ "$(head -c 2 "$f" 2>/dev/null | od -An -tx1 | tr -d ' ')" = ffd8 ] &&
            size_is "$f" "$4" "$5" ;;
    esac || return 1
    NUMBER=$((NUMBER + 1))
}
clipboard_item_holds() {  # clipboard_item_holds W H: one BASE64 item
    clipboard_text_to "$E2E_TMP/item.txt" &&
        /usr/bin/python3 "$PIXELS" item "$E2E_TMP/item.txt" "$E2E_TMP/item.jpg" &&
        size_is "$E2E_TMP/item.jpg" "$1" "$2"
}
scrap_items() { grep -c 'Tamble Scrap Part \[' "$SCRAP" 2>/dev/null; }
scrap_grew() {
    [ "$(scrap_items)" = $((SCRAP_ITEMS + 1)) ] || return 1
    SCRAP_ITEMS=$((SCRAP_ITEMS + 1))
}
scrap_unchanged() { [ "$(scrap_items)" = "$SCRAP_ITEMS" ]; }
no_new_file() { ! compgen -G "$(file_name '*')" >/dev/null; }
clipboard_untouched() { [ "$(clipboard_seq)" = "$SEQ" ]; }

# The display on the overlay with the top-left corner at (X, Y).
shows_marks() {  # mode 0: crosshair and magnifier
    screenshot "$E2E_TMP/shot.png" && /usr/bin/python3 "$PIXELS" marks "$E2E_TMP/shot.png" "$KNOWN_PNG" "$1" "$2"
}
shows_cover() {  # mode 1: the outside in BackGroundColor (red)
    screenshot "$E2E_TMP/shot.png" && /usr/bin/python3 "$PIXELS" cover "$E2E_TMP/shot.png" "$KNOWN_PNG" "$1" "$2" ff0000
}

# A capture's rectangle from its number: places and sizes differ from one
# capture to the next, so that each output shows it is a new one.
CAPTURE=0
next_rect() {
    CAPTURE=$((CAPTURE + 1))
    X=$((100 + 37 * (CAPTURE % 23)))
    Y=$((150 + 29 * (CAPTURE % 19)))
    W=$((96 + 4 * (CAPTURE % 9)))
    H=$((72 + 3 * (CAPTURE % 7)))
}

step() {  # step NAME COMMAND...: a checked step; the cycle stops at a failure
    local name="capture $CAPTURE: $1"
    shift
    if "$@"; then return 0; fi
    fail "$name"
    # What was on the screen, for the log: the shown windows and a picture.
    echo "    shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
    mkdir -p "$BUILD/test-logs"
    screenshot "$BUILD/test-logs/soak-failure.png" && echo "    screen: $BUILD/test-logs/soak-failure.png"
    [ -n "${SOAK_DEBUG:-}" ] && { ls -la "$OUT"; tr -d '\r' < "$INI"; }
    return 1
}

# Frames the bottom-right corner on the overlay and outputs, by Space or
# (after a box, which leaves the overlay without the keyboard) by a click.
bottom_right_by_overlay() {
    wait_until 5 mouse_not_at "$X" "$Y"   # Space sent the cursor to the saved corner
    xdotool mousemove $((X + W - 1)) $((Y + H - 1))
    if [ "${1:-}" = click ]; then xdotool click 1; else xdotool key space; fi
}

# Starts a capture by the tray icon and puts the top-left corner at (X, Y).
top_left_on_overlay() {
    step "tray click shows the overlay" begin_capture || return 1
    wait_until 10 overlay_has_focus
    pick_top_left "$X" "$Y"
}

# The output of KIND ends with its notice, CHECK... passes on what it wrote,
# and the selection is remembered.
output_done() {  # output_done KIND WHAT CHECK...
    local kind=$1 what=$2
    shift 2
    step "$kind output ends with its notice" end_output || return 1
    step "$what" "$@" || return 1
    step "the selection is remembered" wait_until 10 remembered "$X" "$Y" "$W" "$H"
}

# One cycle of ten captures. It starts and ends with clipboard output, the
# boxes off and display mode 0.
cycle() {
    # 1. Clipboard, mode 0, on the overlay; the marks are checked on screen.
    next_rect
    top_left_on_overlay || return 1
    step "mode 0: crosshair and magnifier" wait_until 10 shows_marks "$X" "$Y" || return 1
    xdotool key space
    bottom_right_by_overlay
    output_done clipboard "the clipboard holds the framed pixels" clipboard_holds "$X" "$Y" "$W" "$H" || return 1

    # 2. Esc on the overlay, with the bottom-right corner being chosen.
    next_rect
    SEQ=$(clipboard_seq)
    top_left_on_overlay || return 1
    xdotool key space
    wait_until 5 mouse_not_at "$X" "$Y"
    xdotool mousemove $((X + W)) $((Y + H)) key Escape
    step "Esc ends the capture without output" ended_quietly || return 1
    step "the clipboard is untouched" clipboard_untouched || return 1

    # 3. A numbered BMP file, mode 0.
    step "output settings: image file" set_output $ID_FILE || return 1
    ini_set Output Type bmp
    next_rect
    step "capture framed" capture_rect "$X" "$Y" "$W" "$H" || return 1
    output_done file "the BMP file has the right size and pixels" file_holds bmp "$X" "$Y" "$W" "$H" || return 1

    # 4. A GIF file: the top-left box opened by a right click switches to
    #    display mode 1 and decides; the bottom-right corner on the overlay.
    ini_set Output Type gif
    next_rect
    top_left_on_overlay || return 1
    xdotool click 3
    step "a right click opens the top-left box" wait_until 10 window_shown "$TOP_LEFT_BOX" || return 1
    step "the box's mode button" toggle_mode "$TOP_LEFT_BOX" || return 1
    window_keys "$TOP_LEFT_BOX" space
    step "Space decides in the box" wait_until 10 window_gone "$TOP_LEFT_BOX" || return 1
    bottom_right_by_overlay click
    output_done file "the GIF file has the right size" file_holds gif "$X" "$Y" "$W" "$H" || return 1

    # 5. A JPEG file in display mode 1; the cover is checked on screen.
    ini_set Output Type jpg
    next_rect
    top_left_on_overlay || return 1
    step "mode 1: the outside is covered" wait_until 10 shows_cover "$X" "$Y" || return 1
    xdotool key space
    bottom_right_by_overlay
    output_done file "the JPEG file has the right size" file_holds jpg "$X" "$Y" "$W" "$H" || return 1

    # 6. A BASE64 item on the clipboard, mode 1.
    step "output settings: BASE64 to the clipboard" set_output $ID_BASE64 $ID_TO_CLIPBOARD || return 1
    next_rect
    step "capture framed" capture_rect "$X" "$Y" "$W" "$H" || return 1
    output_done BASE64 "the clipboard holds one item of the right size" clipboard_item_holds "$W" "$H" || return 1
    local RX=$X RY=$Y RW=$W RH=$H   # what the boxes frame below

    # 7. Esc on the overlay, with the top-left corner being chosen, mode 1.
    next_rect
    SEQ=$(clipboard_seq)
    top_left_on_overlay || return 1
    xdotool key Escape
    step "Esc ends the capture without output" ended_quietly || return 1
    step "the clipboard is untouched" clipboard_untouched || return 1

    # 8. A BASE64 item in the scrap, with both boxes opening by themselves;
    #    the bottom-right box switches back to display mode 0. The boxes
    #    frame the saved selection, that of capture 6.
    step "output settings: BASE64 to the scrap" set_output $ID_BASE64 $ID_TO_SCRAP || return 1
    step "settings: the boxes on" toggle_boxes || return 1
    SCRAP_ITEMS=$(scrap_items)
    next_rect
    step "tray click shows the overlay" begin_capture || return 1
    step "the top-left box opens by itself" wait_until 10 window_shown "$TOP_LEFT_BOX" || return 1
    window_keys "$TOP_LEFT_BOX" space
    step "Space decides: the bottom-right box opens" wait_until 10 window_shown "$BOTTOM_RIGHT_BOX" || return 1
    step "the box's mode button" toggle_mode "$BOTTOM_RIGHT_BOX" || return 1
    window_keys "$BOTTOM_RIGHT_BOX" space
    step "BASE64 output ends with its notice" end_output || return 1
    step "the scrap has one item more" scrap_grew || return 1

    # 9. Esc in the top-left box, mode 0.
    next_rect
    step "tray click shows the overlay" begin_capture || return 1
    step "the top-left box opens by itself" wait_until 10 window_shown "$TOP_LEFT_BOX" || return 1
    window_keys "$TOP_LEFT_BOX" Escape
    step "Esc in the box ends the capture without output" ended_quietly || return 1
    step "the scrap is unchanged" scrap_unchanged || return 1

    # 10. Clipboard again, through both boxes, mode 0.
    step "output settings: the clipboard" set_output $ID_CLIPBOARD || return 1
    next_rect
    step "tray click shows the overlay" begin_capture || return 1
    step "the top-left box opens by itself" wait_until 10 window_shown "$TOP_LEFT_BOX" || return 1
    window_keys "$TOP_LEFT_BOX" space
    step "Space decides: the bottom-right box opens" wait_until 10 window_shown "$BOTTOM_RIGHT_BOX" || return 1
    window_keys "$BOTTOM_RIGHT_BOX" space
    step "clipboard output ends with its notice" end_output || return 1
    step "the clipboard holds the framed pixels" clipboard_holds "$RX" "$RY" "$RW" "$RH" || return 1
    step "settings: the boxes off" toggle_boxes || return 1
    step "no stray file was written" no_new_file
}

echo "soak: $CYCLES cycles of 10 captures in one process"
check "picture shown" show_known_picture
fresh_settings
mkdir -p "$DATA_DIR" "$OUT"
ini_set System Flags $((0x8000 | 0x80 | 0x400))   # clipboard, no boxes, mode 0
ini_set Window BackGroundColor 255
ini_set Output OutputFolder "$(winepath -w "$OUT" 2>/dev/null)\\"
ini_set Output Prefix S
ini_set Output Number 1
ini_set Output Type bmp
ini_set Output HtmlFile "$(winepath -w "$SCRAP" 2>/dev/null)"
check "program started" start_tamble
unix=$(unix_pid_of tamble.exe)

started=$SECONDS
ROWS=()
row() {  # row CAPTURES READING
    ROWS+=("$(awk -v n="$1" -v g="$(field gdi "$2")" -v u="$(field user "$2")" \
        -v h="$(field handles "$2")" -v p="$(field private_kb "$2")" -v r="$(field rss_kb "$2")" \
        -v t=$((SECONDS - started)) \
        'BEGIN { printf "%8s %6d %6d %8d %11.1f %9.1f %7d", n, g, u, h, p / 1024, r / 1024, t }')")
}
first=$(settled_resources "$MAIN_CLASS" "$unix")
echo "    before any capture: $first"
row 0 "$first"
base=""
done_cycles=0
for ((c = 1; c <= CYCLES; c++)); do
    cycle || break
    done_cycles=$c
    reading=$(settled_resources "$MAIN_CLASS" "$unix")
    echo "    after cycle $c ($CAPTURE captures, $((SECONDS - started)) s): $reading"
    row "$CAPTURE" "$reading"
    [ -z "$base" ] && base=$reading
done
check "$CYCLES cycles of captures, every output right" test "$done_cycles" = "$CYCLES"

echo "soak: the process is back at its level after the first cycle"
if [ "$done_cycles" -ge 2 ]; then
    check "GDI objects" no_growth gdi $GROWTH_GDI "$base" "$reading"
    check "windows" no_growth user $GROWTH_USER "$base" "$reading"
    check "kernel handles" no_growth handles $GROWTH_HANDLES "$base" "$reading"
    check "private memory (KiB)" no_growth private_kb $GROWTH_PRIVATE_KB "$base" "$reading"
    check "Unix memory (KiB)" no_growth rss_kb $GROWTH_RSS_KB "$base" "$reading"
fi
echo "soak: at rest the kept screen memory is given back"
ini_set System RestSeconds 2
# A capture ended with Esc arms the rest timer with that time.
begin_capture && wait_until 10 overlay_has_focus && xdotool key Escape && wait_until 20 overlay_hidden
# What the program keeps for the screen: a 32-bit bitmap and a 24-bit
# picture of one pixel more each way.
read -r sw sh <<< "$(xdpyinfo | awk '/dimensions:/ { split($2, d, "x"); print d[1], d[2] }')"
kept_kb=$((((sw + 1) * (sh + 1) * 4 + ((sw + 1) * 3 + 3) / 4 * 4 * (sh + 1)) / 1024))
private_below() {
    [ "$(field private_kb "$(read_resources "$MAIN_CLASS" "$unix")")" -lt "$1" ]
}
check "private memory drops by the kept bitmap and picture ($kept_kb KiB)" \
    wait_until 30 private_below $(($(field private_kb "$reading") - kept_kb + 1024))
rest=$(settled_resources "$MAIN_CLASS" "$unix")
echo "    at rest: $rest"
row rest "$rest"
check "at most 10 MiB private memory at rest" test "$(field private_kb "$rest")" -le 10240
printf '%8s %6s %6s %8s %11s %9s %7s\n' captures gdi user handles private_MiB rss_MiB seconds
printf '%s\n' "${ROWS[@]}"

echo "$E2E_PASSED passed, $E2E_FAILED failed"
[ "$E2E_FAILED" -eq 0 ]
