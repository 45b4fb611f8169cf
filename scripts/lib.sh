# Shared steps of build.sh and test.sh (sourced).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=${JOBS:-2}

configure_and_build_windows() {
    cmake -S "$ROOT" -B "$BUILD/win" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null
    cmake --build "$BUILD/win" -j "$JOBS"
}

configure_and_build_native() {
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
    cmake --build "$BUILD/native" -j "$JOBS"
}

# One Xvfb and one persistent wineserver for the whole run, a Wine prefix of
# the project's own inside the build folder; stop_wine ends what this started.
XVFB_PID=""
start_wine() {
    export WINEPREFIX="$BUILD/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"  # a crash ends the test at once
    export WINEARCH=win32
    local display
    for display in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        sleep 1
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$display"
            break
        fi
        XVFB_PID=""
    done
    [ -n "$XVFB_PID" ] || { echo "could not start Xvfb" >&2; return 1; }
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "preparing the Wine prefix $WINEPREFIX" >&2
        wineboot --init >/dev/null 2>&1 || true
    fi
    wineserver -p >/dev/null 2>&1 || true
    wineboot >/dev/null 2>&1 || true
    # With no window manager Wine waits 2 s for each captioned top-level
    # window it destroys; unmanaged windows go at once.
    if ! grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    fi
}

stop_wine() {
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
    XVFB_PID=""
}
