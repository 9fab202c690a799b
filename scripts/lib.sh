# Shared by scripts/run, scripts/test and scripts/bench: installs what is
# missing, builds both trees, and sets up Wine on a private X server.
# shellcheck shell=bash

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$TOP/build"
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Wine takes its ANSI code page (932) from this locale name; set only for Wine
# commands, since the system itself may not have the locale.
WINE_LOCALE=ja_JP.UTF-8

# Debian packages the builds and tests need, by the command that shows them.
ensure_packages() {
    local want=(
        "x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix"
        "x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64"
        "wine:wine"
        "Xvfb:xvfb"
        "xdotool:xdotool"
        "xwininfo:x11-utils"
        "/usr/bin/convert:imagemagick"
        "cjpeg:libjpeg-turbo-progs"
        "gif2rgb:giflib-tools"
        "dpkg-source:dpkg-dev"
        "nasm:nasm"
        "cmake:cmake"
        "iconv:libc-bin"
        "/usr/bin/python3:python3"
        "clang++:clang"
        "chromium:chromium"
    )
    local missing=() item cmd pkg
    for item in "${want[@]}"; do
        cmd=${item%%:*}
        pkg=${item#*:}
        command -v "$cmd" >/dev/null 2>&1 || missing+=("$pkg")
    done
    [ -f /usr/include/jpeglib.h ] || missing+=(libjpeg62-turbo-dev)
    [ -f /usr/include/spng.h ] || missing+=(libspng-dev)
    [ -f /usr/include/zlib.h ] || missing+=(zlib1g-dev)
    [ -d /usr/src/googletest ] || missing+=(googletest)
    # A Japanese font, so that Wine can show the program's texts.
    [ -f /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf ] || missing+=(fonts-ipafont-gothic)
    [ -f /usr/include/benchmark/benchmark.h ] || missing+=(libbenchmark-dev)
    ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1 ||
        missing+=(libclang-rt-dev)
    # Wine names files in the Unix locale's character set: without a real
    # ja_JP.UTF-8 locale, Japanese file names cannot be created.
    local need_locale=0
    locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' || need_locale=1
    [ $need_locale = 1 ] && ! command -v localedef >/dev/null 2>&1 && missing+=(locales)
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    fi
    if [ $need_locale = 1 ]; then
        [ -f /usr/share/i18n/locales/ja_JP ] ||
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --reinstall locales >/dev/null
        localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
    fi
}

build_native() {
    cmake -S "$TOP" -B "$BUILD/native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$BUILD/native" -j2 "$@"
}

# The native build once more with AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer, for the unit tests.
build_native_sanitized() {
    local flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    cmake -S "$TOP" -B "$BUILD/sanitized" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_C_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
    cmake --build "$BUILD/sanitized" -j2 --target unit_tests "$@"
}

build_win64() {
    "$TOP/scripts/deps-jpeg"
    "$TOP/scripts/deps-png"
    cmake -S "$TOP" -B "$BUILD/win64" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD/win64" -j2 "$@"
}

# Starts a private Xvfb on a free display and exports DISPLAY.
XVFB_PID=""
start_xvfb() {
    local n
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${XVFB_SIZE:-1920x1080x24}" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        export DISPLAY=":$n"
        local i
        for i in $(seq 1 100); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    echo "could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# Creates the Wine prefix once.
ensure_wineprefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        # A crashing test program must end, not wait in the crash dialog.
        wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        wineserver -w
    fi
    wine_japanese_fonts
}

# The dialogs' faces are proportional on Japanese Windows. Wine has none of
# them and falls back to the monospaced IPAGothic, whose wide Latin letters
# make dialog units small and Japanese labels long, so that labels seem cut
# that fit on Windows. The proportional IPAPGothic stands in for them, and
# "MS Shell Dlg" names "MS UI Gothic" as on Japanese Windows.
wine_japanese_fonts() {
    grep -q '"MS PGothic"="IPAPGothic"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
    local face
    for face in 'ＭＳ Ｐゴシック' 'MS UI Gothic' 'MS PGothic'; do
        run_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
            /d IPAPGothic /f >/dev/null 2>&1
    done
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'MS Shell Dlg' /t REG_SZ /d 'MS UI Gothic' /f >/dev/null 2>&1
    wineserver -w
}

# The prefix's desktop DPI (HKCU\Control Panel\Desktop LogPixels). Wine's
# processes read it when they start, so the server ends first. Set outside
# the Japanese locale, as the prefix was made.
wine_dpi() {  # wine_dpi 96|120|144|192
    wineserver -k >/dev/null 2>&1
    wineserver -w
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -w
}

run_wine() {
    LC_ALL=$WINE_LOCALE wine "$@"
}

# run_wine with a time limit, for test programs that could hang.
run_wine_limited() {
    local seconds=$1
    shift
    LC_ALL=$WINE_LOCALE timeout --kill-after=10 "$seconds" wine "$@"
}

# Whether Wine hands its windows to a window manager. A private Xvfb has
# none, and Wine then waits two seconds for one each time a managed window
# (a dialog, a message box) is hidden; tests switch management off.
wine_window_management() {  # on|off
    if [ "$1" = off ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1
    fi
    wineserver -w
}
