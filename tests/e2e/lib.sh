# Helpers for the end-to-end tests: drive the real tamble.exe under Wine on
# the private X server, as a user or another program would.
# Expects scripts/lib.sh to be sourced and DISPLAY set.
# shellcheck shell=bash

E2E_PASSED=0
E2E_FAILED=0
TAMBLE_EXE="$BUILD/win64/tamble.exe"
WINTOOL="$BUILD/win64/tests/wintool.exe"
MAIN_CLASS="Tamble Touroku kurasu"
DATA_DIR="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Tamble"
INI="$DATA_DIR/tamble.ini"
TAMBLE_PID=""

pass() { E2E_PASSED=$((E2E_PASSED + 1)); echo "  ok    $1"; }
fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "  FAIL  $1"; echo "  FAIL    (then: $(screen_state))"; }
# What the screen showed at a failed check: the program's windows, the focus, the tray, the pointer.
screen_state() {
    local id names=""
    for id in $(timeout 5 xdotool search --onlyvisible --classname tamble.exe 2>/dev/null); do
        names+="[$(timeout 5 xdotool getwindowname "$id" 2>/dev/null)]"
    done
    echo "tamble windows ${names:-none}; focus [$(timeout 5 xdotool getwindowfocus getwindowname 2>/dev/null)];" \
        "tray $(tray_window_viewable && echo shown || echo absent);" \
        "pointer $(timeout 5 xdotool getmouselocation 2>/dev/null | cut -d' ' -f1-2)"
}
check() {  # check NAME COMMAND...
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

# Polls COMMAND until it succeeds or SECONDS pass.
wait_until() {
    local seconds=$1
    shift
    local end=$((SECONDS + seconds))
    while ! "$@" >/dev/null 2>&1; do
        [ $SECONDS -ge $end ] && return 1
        sleep 0.1
    done
    return 0
}

main_window_exists() { run_wine "$WINTOOL" find "$MAIN_CLASS" >/dev/null 2>&1; }
main_window_gone() { ! main_window_exists; }
tamble_process_gone() { [ -z "$TAMBLE_PID" ] || ! kill -0 "$TAMBLE_PID" 2>/dev/null; }

# Starts tamble.exe in the background with ARGS and waits for its window.
start_tamble() {
    run_wine "$TAMBLE_EXE" "$@" >/dev/null 2>&1 &
    TAMBLE_PID=$!
    wait_until 30 main_window_exists
}

# Runs a second start to completion (it forwards and exits).
second_start() { run_wine "$TAMBLE_EXE" "$@" >/dev/null 2>&1; }

# Ends whatever is still running, without failing.
stop_tamble() {
    if main_window_exists; then
        run_wine "$WINTOOL" post "$MAIN_CLASS" 0x0010 0 0 >/dev/null 2>&1  # WM_CLOSE
        wait_until 20 main_window_gone
    fi
    [ -n "$TAMBLE_PID" ] && wait "$TAMBLE_PID" 2>/dev/null
    TAMBLE_PID=""
}

fresh_settings() { rm -rf "$DATA_DIR"; }

ini_has() { [ -f "$INI" ] && tr -d '\r' < "$INI" | grep -qxF "$1"; }

# The tray icon: Wine's stand-alone tray window is mapped while an icon is
# in it, and shows the icon's orange corner marks.
tray_window_viewable() {
    xwininfo -name 'Wine System Tray' 2>/dev/null | grep -q 'IsViewable'
}
tray_shows_icon() {
    local id geometry
    id=$(xdotool search --name 'Wine System Tray' 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 1
    /usr/bin/import -window "$id" "$E2E_TMP/tray.ppm" 2>/dev/null || return 1
    /usr/bin/convert "$E2E_TMP/tray.ppm" -depth 8 txt:- | grep -qi '#FF8000'
}
tray_gone() { ! tray_window_viewable; }

E2E_TMP=$(mktemp -d)
trap 'rm -rf "$E2E_TMP"' EXIT

# --- capture helpers ---------------------------------------------------
SHOW_PICTURE="$BUILD/win64/tests/show_picture.exe"
LINKED_APP="$BUILD/win64/tests/linked_app.exe"
PIXELS="$TOP/tests/e2e/pixels.py"
KNOWN_BMP="$E2E_TMP/known.bmp"
KNOWN_PNG="$E2E_TMP/known.png"
PICTURE_PID=""

# A 1920x1080 picture whose pixels tell their position: red = x mod 256,
# green = y mod 256, blue from the high bits. Shown 1:1 at the top-left.
show_known_picture() {
    /usr/bin/python3 - "$E2E_TMP/known.ppm" <<'PY'
import sys
w, h = 1920, 1080
with open(sys.argv[1], "wb") as f:
    f.write(b"P6 %d %d 255\n" % (w, h))
    row = bytearray(w * 3)
    for y in range(h):
        for x in range(w):
            row[3 * x] = x & 255
            row[3 * x + 1] = y & 255
            row[3 * x + 2] = ((x >> 8) * 32 + (y >> 8) * 5 + ((x ^ y) & 3) * 2) & 255
        f.write(row)
PY
    /usr/bin/convert "$E2E_TMP/known.ppm" "$KNOWN_PNG"
    /usr/bin/convert "$E2E_TMP/known.ppm" "BMP3:$KNOWN_BMP"
    run_wine "$SHOW_PICTURE" "$(winepath -w "$KNOWN_BMP" 2>/dev/null)" >/dev/null 2>&1 &
    PICTURE_PID=$!
    wait_until 30 xdotool search --name '^picture$'
}

overlay_visible() { xdotool search --onlyvisible --classname tamble.exe >/dev/null 2>&1; }
overlay_hidden() { ! overlay_visible; }

# A click with BUTTON on the program's icon in Wine's tray window.
tray_icon_click() {
    local id X Y WIDTH HEIGHT SCREEN WINDOW
    id=$(xdotool search --name 'Wine System Tray' 2>/dev/null | head -n 1)
    [ -n "$id" ] || return 1
    xdotool windowraise "$id"
    eval "$(xdotool getwindowgeometry --shell "$id")"
    # The icon sits at the left of the window's lowest 20 pixels.
    xdotool mousemove $((X + 12)) $((Y + HEIGHT - 12)) click "$1"
}

# A left click on the program's icon, as a user does.
click_tray_icon() { tray_icon_click 1; }

mouse_at() {  # mouse_at X Y
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell)"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ]
}
mouse_not_at() { ! mouse_at "$1" "$2"; }

# Starts a capture by the tray icon, once Wine's tray window shows (it comes a
# moment after the program's window), and waits for the overlay.
begin_capture() { wait_until 20 tray_window_viewable && click_tray_icon && wait_until 20 overlay_visible; }

# Picks the top-left corner at (X, Y) with the mouse: a move there makes the
# overlay follow the pointer.
pick_top_left() {
    xdotool mousemove $(($1 + 7)) $(($2 + 5))
    xdotool mousemove "$1" "$2"
}

# After an output the notice sits under the cursor; moving away closes it.
finish_output() {
    xdotool mousemove 1700 1000
    wait_until 20 overlay_hidden
}

clipboard_to() { run_wine "$WINTOOL" clipboard-dib "$(winepath -w "$1" 2>/dev/null)" >/dev/null 2>&1; }

same_pixels() {  # same_pixels FILE W H X Y: FILE equals that part of the picture
    /usr/bin/convert "$KNOWN_PNG" -crop "$2x$3+$4+$5" +repage "$E2E_TMP/want.png"
    [ "$(/usr/bin/identify -format '%wx%h' "$1" 2>/dev/null)" = "$2x$3" ] || return 1
    [ "$(/usr/bin/compare -metric AE "$E2E_TMP/want.png" "$1" null: 2>&1)" = "0" ]
}

screenshot() { /usr/bin/import -window root "$1" 2>/dev/null; }

ini_set() {  # ini_set SECTION KEY VALUE, as the program would write it
    /usr/bin/python3 - "$INI" "$1" "$2" "$3" <<'PY'
import os, sys
path, section, key, value = sys.argv[1:]
lines = open(path, "rb").read().decode("latin-1").splitlines() if os.path.exists(path) else []
out, inside, done = [], False, False
for line in lines:
    t = line.strip()
    if t.startswith("["):
        if inside and not done:
            out.append(f"{key}={value}")
            done = True
        inside = t[1:t.find("]")].lower() == section.lower()
    elif inside and not done and t.split("=", 1)[0].strip().lower() == key.lower():
        line, done = f"{key}={value}", True
    out.append(line)
if not done:
    if not inside:
        out.append(f"[{section}]")
    out.append(f"{key}={value}")
open(path, "wb").write(("\r\n".join(out) + "\r\n").encode("latin-1"))
PY
}

# --- what a running program holds --------------------------------------
# Read from outside, as a debugger would: `wintool resources CLASS` gives the
# GDI objects in the process's handle table, its windows (hidden ones too),
# its committed private memory and its kernel handles; the Unix process that
# runs it gives the anonymous memory it has in use (RssAnon), where Wine
# keeps, for instance, the pixels of device bitmaps.

# The Unix process of this Wine prefix whose command line holds TEXT.
unix_pid_of() {
    /usr/bin/python3 - "$1" "$WINEPREFIX" <<'PY'
import os, sys
text, prefix = sys.argv[1].lower().encode(), ("WINEPREFIX=" + sys.argv[2]).encode()
for pid in filter(str.isdigit, os.listdir("/proc")):
    try:
        cmdline = open(f"/proc/{pid}/cmdline", "rb").read().replace(b"\0", b" ")
        environ = open(f"/proc/{pid}/environ", "rb").read().split(b"\0")
    except OSError:
        continue
    if text in cmdline.lower() and prefix in environ:
        print(pid)
        sys.exit(0)
sys.exit(1)
PY
}

# One line of NAME=VALUE words: pid gdi user private_kb handles, the GDI
# objects by type, rss_kb.
read_resources() {  # read_resources CLASS UNIX_PID
    local line rss
    line=$(run_wine "$WINTOOL" resources "$1" 2>/dev/null | tr -d '\r')
    rss=$(awk '/^RssAnon:/ { print $2 }' "/proc/$2/status" 2>/dev/null)
    [ -n "$line" ] && [ -n "$rss" ] || return 1
    echo "$line rss_kb=$rss"
}

field() {  # field NAME LINE: the value of NAME=, 0 when it is absent
    local word
    for word in $2; do
        [ "${word%%=*}" = "$1" ] && { echo "${word#*=}"; return 0; }
    done
    echo 0
}

# A reading once the program has settled: two readings a second apart with
# the same counts and memory within 256 KiB of each other.
settled_resources() {  # settled_resources CLASS UNIX_PID
    local a b end=$((SECONDS + 30)) name d same
    a=$(read_resources "$1" "$2") || return 1
    while [ $SECONDS -lt $end ]; do
        sleep 1
        b=$(read_resources "$1" "$2") || return 1
        same=1
        for name in gdi user handles; do
            [ "$(field $name "$a")" = "$(field $name "$b")" ] || same=0
        done
        for name in private_kb rss_kb; do
            d=$(($(field $name "$b") - $(field $name "$a")))
            [ "${d#-}" -le 256 ] || same=0
        done
        [ $same = 1 ] && { echo "$b"; return 0; }
        a=$b
    done
    echo "$b"
    return 1
}

# Checks that NAME grew by at most MARGIN from reading BEFORE to AFTER.
no_growth() {  # no_growth NAME MARGIN BEFORE AFTER
    local before after
    before=$(field "$1" "$3")
    after=$(field "$1" "$4")
    echo "    $1: $before -> $after (growth allowed: $2)"
    [ $((after - before)) -le "$2" ]
}

# --- tray menu, clipboard text and file outputs ------------------------
TEST_EDITOR="$BUILD/win64/tests/test_editor.exe"

# A popup menu is an X window of its program's class (tamble.exe,
# wintool.exe); it takes keys once it has the X focus.
menu_window() { xdotool search --onlyvisible --classname "$1" 2>/dev/null | head -n 1; }
menu_shown() { [ -n "$(menu_window "$1")" ]; }
menu_gone() { ! menu_shown "$1"; }
menu_keys() {  # menu_keys PROGRAM KEY...
    local id
    id=$(menu_window "$1")
    shift
    [ -n "$id" ] && xdotool windowfocus "$id" && xdotool key "$@"
}

# A right click on the tray icon; waits for the menu.
open_tray_menu() { tray_icon_click 3 && wait_until 10 menu_shown tamble.exe; }

# Opens the tray menu and picks its Nth item (separators do not count).
choose_tray_item() {
    local keys=() i
    for ((i = 0; i < $1; i++)); do keys+=(Down); done
    open_tray_menu && menu_keys tamble.exe "${keys[@]}" Return
}

# The tray menu opens only once the previous menu command has finished.
wait_menu_command_done() {
    open_tray_menu && menu_keys tamble.exe Escape && wait_until 10 menu_gone tamble.exe
}

clipboard_set_text() { run_wine "$WINTOOL" clipboard-set-text "$(winepath -w "$1" 2>/dev/null)" >/dev/null 2>&1; }
clipboard_text_to() { run_wine "$WINTOOL" clipboard-text "$(winepath -w "$1" 2>/dev/null)" >/dev/null 2>&1; }
clipboard_text_is() {  # clipboard_text_is FILE: CF_TEXT holds exactly FILE's bytes
    clipboard_text_to "$E2E_TMP/clipboard.txt" && cmp -s "$1" "$E2E_TMP/clipboard.txt"
}
clipboard_seq() { run_wine "$WINTOOL" clipboard-seq 2>/dev/null | tr -d '\r'; }

# Keys reach the overlay once it has the X keyboard focus; the first
# capture after a start may show it a moment before.
overlay_has_focus() {
    local focus
    focus=$(xdotool getwindowfocus 2>/dev/null) || return 1
    xdotool search --onlyvisible --classname tamble.exe 2>/dev/null | grep -qx "$focus"
}

# Frames W x H pixels at (X, Y): tray click, mouse and Space, as a user
# does. The output follows the second Space; finish_output waits for it.
capture_rect() {  # capture_rect X Y W H
    begin_capture || return 1
    wait_until 10 overlay_has_focus
    pick_top_left "$1" "$2"
    xdotool key space
    # Space sends the cursor to the saved bottom-right; move on from there.
    wait_until 5 mouse_not_at "$1" "$2"
    xdotool mousemove $(($1 + $3 - 1)) $(($2 + $4 - 1))
    xdotool key space
}

# The program's Yes/No question box.
question_box() { xdotool search --onlyvisible --name '^Tamble Ver4\.13$' 2>/dev/null | head -n 1; }
question_shown() { [ -n "$(question_box)" ]; }
answer_question() {  # answer_question y|n: the buttons' access keys
    wait_until 10 question_shown && xdotool windowfocus "$(question_box)" && xdotool key "$1"
}

# FILE is a W x H picture at least DB decibels close to that part of the
# known picture (for outputs that cannot keep every pixel).
close_pixels() {  # close_pixels FILE W H X Y DB
    local psnr
    /usr/bin/convert "$KNOWN_PNG" -crop "$2x$3+$4+$5" +repage "$E2E_TMP/want.png"
    [ "$(/usr/bin/identify -format '%wx%h' "$1" 2>/dev/null)" = "$2x$3" ] || return 1
    psnr=$(/usr/bin/compare -metric PSNR "$E2E_TMP/want.png" "$1" null: 2>&1)
    psnr=${psnr%% *}
    echo "    PSNR $psnr dB (want at least $6)"
    awk -v v="$psnr" -v min="$6" 'BEGIN { exit !(v ~ /^[0-9.]+$/ && v + 0 >= min) }'
}

# What the program's JPEG writer makes of that part of the known picture:
# the reference encoder with the same settings, then the program's 4-byte
# trailer.
jpeg_reference() {  # jpeg_reference W H X Y QUALITY OUT.jpg
    /usr/bin/convert "$KNOWN_PNG" -crop "$1x$2+$3+$4" +repage "$E2E_TMP/ref.ppm" &&
        cjpeg -quality "$5" -dct fast -outfile "$6" "$E2E_TMP/ref.ppm" &&
        printf 'c-NR' >> "$6"
}

# --- coordinate boxes ----------------------------------------------------
TOP_LEFT_BOX='左上座標の調整 - Tamble'
BOTTOM_RIGHT_BOX='右下座標の調整 - Tamble'

# Top-level windows by their title, as another program sees them:
# "LEFT TOP RIGHT BOTTOM" on the screen, nothing when there is none.
window_rect() { run_wine "$WINTOOL" window-rect "$1" 2>/dev/null | tr -d '\r'; }
window_open() { [ -n "$(window_rect "$1")" ]; }
window_gone() { ! window_open "$1"; }
# Shown on the X screen. A dialog's window is there, with its title, before
# its controls and its WM_INITDIALOG; it is shown after them. A test that
# clicks or types into a dialog or a box waits for this.
window_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
window_at() { [ "$(window_rect "$1")" = "$2" ]; }  # window_at TITLE "L T R B"
window_centred_at() {  # window_centred_at TITLE X Y, give or take a pixel
    local l t r b
    read -r l t r b <<< "$(window_rect "$1")"
    [ -n "$b" ] || return 1
    local dx=$(((l + r) / 2 - $2)) dy=$(((t + b) / 2 - $3))
    [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ]
}

# A dialog control's text (read from outside, as GetWindowText does) and a
# click on the control's centre.
control_text() { run_wine "$WINTOOL" control-text "$1" "$2" 2>/dev/null | tr -d '\r'; }
control_text_is() { [ "$(control_text "$1" "$2")" = "$3" ]; }  # control_text_is TITLE ID TEXT
click_control() {  # click_control TITLE ID
    local l t r b wl wt wr wb
    read -r l t r b <<< "$(run_wine "$WINTOOL" control-rect "$1" "$2" 2>/dev/null | tr -d '\r')"
    read -r wl wt wr wb <<< "$(window_rect "$1")"
    [ -n "$b" ] && [ -n "$wb" ] || return 1
    # A hint shows once the pointer has rested on a control, and at once when
    # the pointer moves on from a control whose hint is showing; a hint that
    # shows during a click can cost the click. The pointer leaves the
    # controls for the caption until no hint is shown, then clicks.
    xdotool mousemove $(((wl + wr) / 2)) $((wt + 4))
    wait_until 5 no_hint_shown
    xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) click 1
}
no_hint_shown() { [ "$(run_wine "$WINTOOL" count 'NR ToolHint' 2>/dev/null | tr -d '\r')" = 0 ]; }

# Keys to the window with that title, once it has the X keyboard focus.
window_keys() {  # window_keys TITLE KEY...
    local id
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
    shift
    [ -n "$id" ] && xdotool windowfocus "$id" && xdotool key "$@"
}

# A box's popup menu. During a capture the overlay, the boxes and the hints
# are X windows of the program's class too: the menu is told by its window
# class. Its keys go to the box, which keeps the X focus: focusing the
# menu's own window would deactivate the box, and that closes the menu.
box_menu_shown() { [ "$(run_wine "$WINTOOL" count '#32768' 2>/dev/null | tr -d '\r')" -gt 0 ] 2>/dev/null; }

# The known picture's pixel at (X, Y) as "rrggbb".
known_colour() {
    /usr/bin/convert "$KNOWN_PNG" -crop "1x1+$1+$2" +repage -depth 8 txt:- |
        grep -o '#[0-9A-Fa-f]\{6\}' | tr -d '#' | tr 'A-F' 'a-f'
}
