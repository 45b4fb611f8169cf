# Shared steps of build.sh, test.sh, bench.sh and fuzz.sh (sourced).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=${JOBS:-2}
SCRIPT_NAME=${SCRIPT_NAME:-$(basename "$0" .sh)}
# No command reads its standard input, and CI gives none: every program
# started from here reads /dev/null (a program started with descriptor 0
# closed would take the next file it opens as its standard input).
exec </dev/null

# Prints "[name hh:mm:ss] text": where a command is, so a long step is never silent.
log() { printf '[%s %s] %s\n' "$SCRIPT_NAME" "$(date +%H:%M:%S)" "$*" >&2; }

# Runs a command with its output thrown away.
quiet() { "$@" >/dev/null 2>&1; }

# Runs a command as a named step and prints how long it took.
# step "building the DLL" cmake --build ...
step() {
    local title=$1 start status
    shift
    log "$title ..."
    start=$(date +%s)
    "$@"
    status=$?
    log "$title: $(( $(date +%s) - start )) s$([ "$status" -eq 0 ] || echo " (failed, status $status)")"
    return "$status"
}

# "native" when the kernel runs 32-bit x86 programs itself, "emulated" when
# they go through an emulator registered with binfmt_misc.
machine_kind() {
    if grep -qs '^magic 7f454c4601010100000000000000000002000300' /proc/sys/fs/binfmt_misc/* 2>/dev/null \
        && grep -qsx enabled /proc/sys/fs/binfmt_misc/status; then
        echo emulated
    else
        echo native
    fi
}

# ccache, when the machine has it, shares compiled objects between checkouts.
LAUNCHER=()
if command -v ccache >/dev/null 2>&1; then
    LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}
fi

configure_and_build_windows() {
    cmake -S "$ROOT" -B "$BUILD/win" -G Ninja "${LAUNCHER[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-i686-w64-mingw32.cmake" >/dev/null &&
        cmake --build "$BUILD/win" -j "$JOBS" "$@"
}

configure_and_build_native() {
    cmake -S "$ROOT" -B "$BUILD/native" -G Ninja "${LAUNCHER[@]}" \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null &&
        cmake --build "$BUILD/native" -j "$JOBS" "$@"
}

# Wine: one Xvfb and one persistent wineserver for the whole run, and one
# prefix of the project's own ($BUILD/wineprefix unless WINEPREFIX names
# another) made once and reused by every command. stop_wine ends what
# start_wine started.
XVFB_PID=""
export WINEDEBUG=-all
# No Mono or Gecko installer; no crash dialog (a crash ends the program at
# once); no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"
export WINEARCH=win32

start_xvfb() {
    local display
    for display in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        sleep 1
        if kill -0 "$XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$display"
            return 0
        fi
        XVFB_PID=""
    done
    log "could not start Xvfb"
    return 1
}

# Every step has a time limit, so a hang fails the command with a message
# instead of holding it (CI allows 90 minutes): at most its own limit and
# at most what is left before DEADLINE (seconds since the epoch), when the
# command set one. Wine's own start-up (the prefix, the session) is tried
# a second time when it hangs: under an emulator it occasionally does.
DEADLINE=${DEADLINE:-}
time_limit() {
    local want=$1 left
    if [ -n "$DEADLINE" ]; then
        left=$(( DEADLINE - $(date +%s) ))
        (( left < 60 )) && left=60
        (( left < want )) && want=$left
    fi
    echo "$want"
}

# Runs a command for at most SECONDS (see time_limit) with its output thrown
# away; status 124 when it was ended (also when the later kill ended it).
bounded() {
    local seconds
    seconds=$(time_limit "$1")
    shift
    timeout --kill-after=30 "$seconds" "$@" >/dev/null 2>&1 </dev/null
    local status=$?
    (( status == 137 )) && status=124
    (( status == 124 )) && log "ended after $seconds s: $*"
    return "$status"
}

# Ends every process of the prefix and the server.
end_wine_server() {
    wineserver -k >/dev/null 2>&1
    bounded 120 wineserver -w
}

# Makes the prefix: the registry and system folders, and the one setting
# the tests need (Managed=N: with no window manager, Wine waits 2 s for
# each captioned top-level window it hides or destroys, unmanaged windows
# go at once). A prefix that is complete is kept as it is.
prepare_prefix() {
    [ -f "$WINEPREFIX/.vantor-ready" ] && return 0
    local attempt
    for attempt in 1 2; do
        rm -rf "$WINEPREFIX"
        make_prefix && return 0
        log "the Wine prefix was not made (attempt $attempt of 2)"
        end_wine_server
    done
    return 1
}

make_prefix() {
    local status
    bounded "${PREFIX_TIME_LIMIT:-1800}" wineboot --init
    status=$?
    (( status == 124 )) && return 1
    # The server writes the registry when it ends (and every 30 s while it
    # changes), so a session that does not end after wineboot is ended.
    bounded 300 wineserver -w || end_wine_server
    grep -qs 'CurrentVersion' "$WINEPREFIX/system.reg" || { log "wineboot left no registry (status $status)"; return 1; }
    # The setting goes straight into the registry file while no server runs:
    # starting "wine reg" would cost a Wine process.
    printf '\n[Software\\\\Wine\\\\X11 Driver] 1700000000\n"Managed"="N"\n' >>"$WINEPREFIX/user.reg"
    touch "$WINEPREFIX/.vantor-ready"
}

# Makes the prefix in the background (while the code builds) when it is
# not made yet; wait_for_prefix waits for it and shows its steps as they come.
PREFIX_PID=""
start_prefix_in_background() {
    export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
    [ -f "$WINEPREFIX/.vantor-ready" ] && return 0
    mkdir -p "$BUILD"
    log "preparing the Wine prefix $WINEPREFIX in the background (once per clone; minutes under emulation)"
    (
        start_xvfb && step "preparing the Wine prefix" prepare_prefix
        kill "$XVFB_PID" 2>/dev/null
    ) >"$BUILD/wineprefix.log" 2>&1 &
    PREFIX_PID=$!
}

wait_for_prefix() {
    [ -n "$PREFIX_PID" ] || return 0
    if kill -0 "$PREFIX_PID" 2>/dev/null; then log "waiting for the Wine prefix; its steps:"; fi
    tail -n +1 -f --pid="$PREFIX_PID" "$BUILD/wineprefix.log" >&2
    wait "$PREFIX_PID"
    PREFIX_PID=""
    [ -f "$WINEPREFIX/.vantor-ready" ] || { log "the Wine prefix could not be made"; return 1; }
}

start_wine() {
    export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
    start_xvfb || return 1
    if [ ! -f "$WINEPREFIX/.vantor-ready" ]; then
        step "preparing the Wine prefix $WINEPREFIX ($(machine_kind) 32-bit programs; once per clone)" prepare_prefix || return 1
    fi
    local attempt
    for attempt in 1 2; do
        # One server for the whole run. Its first program starts Wine's
        # session (wineboot and the services: minutes under emulation); a
        # program of no interest does that here, so no test carries the
        # cost, and its output goes nowhere: the services live on with what
        # they inherit.
        wineserver -p >/dev/null 2>&1 || true
        if step "starting Wine's session" bounded "${SESSION_TIME_LIMIT:-1200}" wine cmd.exe /c exit; then
            log "Wine is ready (prefix $WINEPREFIX, display $DISPLAY)"
            return 0
        fi
        log "Wine's session did not start (attempt $attempt of 2)"
        end_wine_server
    done
    return 1
}

# The name a Wine program gives a file of this machine: drive Z: is the
# root of the file system in every prefix (winepath would start a Wine
# process for it, most of a minute under emulation).
windows_path() { local path; path=$(realpath -m "$1"); printf 'Z:%s' "${path//\//\\}"; }

# Runs a Windows program under Wine with its output shown as it comes. The
# output goes through a file that tail follows until the program ends: a
# process Wine starts on the way (the desktop, a service) lives on with the
# descriptors it inherited, and holding the caller's pipe it would keep a
# reader such as CI waiting after the program has ended.
# A program that has not ended after WINE_PROGRAM_TIMEOUT seconds (default
# an hour, and at most what is left before DEADLINE) is ended.
run_wine_program() {
    local out pid status seconds
    out=$(mktemp)
    seconds=$(time_limit "${WINE_PROGRAM_TIMEOUT:-3600}")
    timeout --kill-after=30 "$seconds" wine "$@" >"$out" 2>&1 </dev/null &
    pid=$!
    tail -n +1 -f --pid="$pid" "$out"
    wait "$pid"
    status=$?
    rm -f "$out"
    # 124 whether timeout's signal ended the program or its later kill did
    (( status == 137 )) && status=124
    (( status == 124 )) && log "ended after $seconds s: $1"
    return "$status"
}

# run_hung_program_twice SECONDS program.exe [arguments...]
# Runs a Windows program like run_wine_program with a time limit of
# SECONDS; a run that hangs (ended by the limit: under the emulator a Wine
# process now and then stops for good) is started once more in a fresh Wine
# session when at least 25 minutes are left before DEADLINE. A program that
# ends with a failure is not run again.
run_hung_program_twice() {
    local seconds=$1 attempt status
    shift
    for attempt in 1 2; do
        WINE_PROGRAM_TIMEOUT=$seconds run_wine_program "$@"
        status=$?
        [ "$status" -eq 124 ] || return "$status"
        [ "$attempt" -eq 1 ] && [ "$(time_limit 1500)" -ge 1500 ] || return "$status"
        log "$1 did not end: once more, in a fresh Wine session"
        stop_wine
        start_wine || return 1
    done
}

stop_wine() {
    if [ -n "$PREFIX_PID" ]; then kill "$PREFIX_PID" 2>/dev/null || true; fi
    if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
    XVFB_PID=""
}
