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
fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "  FAIL  $1"; }
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
