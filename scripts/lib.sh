# Shared steps of build.sh, test.sh, bench.sh and fuzz.sh (sourced).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$ROOT/build"
JOBS=${JOBS:-2}
SCRIPT_NAME=${SCRIPT_NAME:-$(basename "$0" .sh)}
# No command reads its standard input, and CI gives none: every program
# started from here reads /dev/null (a program started with descriptor 0
# closed would take the next file it opens as its standard input). An
# interactive shell that sources this file keeps its own.
[[ $- == *i* ]] || exec </dev/null

# Prints "[name hh:mm:ss] text": where a command is, so a long step is never silent.
log() { printf '[%s %s] %s\n' "$SCRIPT_NAME" "$(date +%H:%M:%S)" "$*" >&2; }

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
    if [ -n "${MACHINE_KIND:-}" ]; then echo "$MACHINE_KIND"; return; fi
    if grep -qs '^magic 7f454c4601010100000000000000000002000300' /proc/sys/fs/binfmt_misc/* 2>/dev/null \
        && grep -qsx enabled /proc/sys/fs/binfmt_misc/status; then
        echo emulated
    else
        echo native
    fi
}

# retry ATTEMPTS WHAT COMMAND...: runs COMMAND until it succeeds, at most
# ATTEMPTS times, saying "WHAT failed (attempt i of n)" after each failure.
# Between attempts it sleeps RETRY_PAUSE seconds (default none) and runs
# RETRY_BETWEEN (a command, default none); RETRY_IF, when set, is a
# command given the failed status that says whether another attempt is
# worth it. Ends with COMMAND's last status.
retry() {
    local attempts=$1 what=$2 attempt=1 status
    shift 2
    while :; do
        "$@"
        status=$?
        (( status == 0 )) && return 0
        log "$what failed (attempt $attempt of $attempts)"
        (( attempt < attempts )) || return "$status"
        if [ -n "${RETRY_IF:-}" ] && ! $RETRY_IF "$status"; then return "$status"; fi
        (( ${RETRY_PAUSE:-0} > 0 )) && ${SLEEP:-sleep} "$RETRY_PAUSE"
        [ -z "${RETRY_BETWEEN:-}" ] || $RETRY_BETWEEN
        attempt=$((attempt + 1))
    done
}

# Every step has a time limit, so a hang fails the command with a message
# instead of holding it (CI allows 90 minutes): at most its own limit and
# at most what is left before DEADLINE (seconds since the epoch), when the
# command set one.
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

# bounded SECONDS COMMAND...: runs COMMAND for at most SECONDS (see
# time_limit), its output to BOUNDED_OUT (default: thrown away); status
# 124 when it was ended, whether by the first signal or the later kill.
bounded() {
    local seconds status
    seconds=$(time_limit "$1")
    shift
    timeout --kill-after=30 "$seconds" "$@" >"${BOUNDED_OUT:-/dev/null}" 2>&1 </dev/null
    status=$?
    (( status == 137 )) && status=124
    (( status == 124 )) && log "ended after $seconds s: $*"
    return "$status"
}

# The installer's decisions: the probes, the route, where the root is.
source "$ROOT/scripts/install-lib.sh"

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

# ---- Wine --------------------------------------------------------------------
# Two platforms. "wine10": Debian 13's Wine 10 in its WoW64 mode (32-bit
# Windows code in a 64-bit Linux process), run inside the Debian 13 root
# that install-deps.sh keeps under /var/cache. "wine8": Debian 12's 32-bit
# Wine 8 on this machine (through qemu-i386 where the kernel does not run
# i386 programs). Each has a prefix of the clone's own, made once and
# reused: build/wineprefix10 (64-bit) and build/wineprefix (32-bit). A run
# has one Xvfb and one persistent wineserver, both where Wine runs.
export WINEDEBUG=-all
# No Mono or Gecko installer; no crash dialog (a crash ends the program at
# once); no menu entries.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe,winemenubuilder.exe=d"
PLATFORM=""
USED_PLATFORMS=()
IN_ROOT=()          # what runs a program where the platform's Wine is
XVFB_PID=""
PREFIX_PID=""
ROOT_MNT=""         # where this command mounted the root
ROOT_MOUNT_BASE=${ROOT_MOUNT_BASE:-/run/vantor-root}

# The platform unless VANTOR_PLATFORM names one: Wine 10 where a 64-bit
# process runs 32-bit code and the root is made, else Wine 8.
default_platform() {
    if [ -n "${VANTOR_PLATFORM:-}" ]; then echo "$VANTOR_PLATFORM"; return; fi
    if [ "$(choose_route "$(yes_no runs_32bit_code)")" = wine10 ] && root_ready; then echo wine10; else echo wine8; fi
}

# use_platform wine10|wine8: the Wine later steps use (Wine 10's root is
# mounted on the way, once per command).
use_platform() {
    case "$1" in
        wine10) export WINEPREFIX="$BUILD/wineprefix10" WINEARCH=win64 ;;
        wine8) export WINEPREFIX="$BUILD/wineprefix" WINEARCH=win32 ;;
        *) log "no platform named $1 (wine10 or wine8)"; return 1 ;;
    esac
    PLATFORM=$1
    [[ " ${USED_PLATFORMS[*]} " == *" $1 "* ]] || USED_PLATFORMS+=("$1")
    if [ "$1" = wine10 ]; then
        IN_ROOT=(root_not_mounted)
        enter_root || return 1
        IN_ROOT=(chroot "$ROOT_MNT" /usr/bin/env --chdir="$ROOT")
    else
        IN_ROOT=()
    fi
}
ensure_platform() { [ -n "$PLATFORM" ] || use_platform "$(default_platform)"; }

# "Wine 10.0~repack-6 (Debian 13, WoW64)": read from the package lists,
# without starting a program.
platform_name() {
    local version
    if [ "$PLATFORM" = wine10 ]; then
        version=$(dpkg-query --admindir="$(root_path)/var/lib/dpkg" -W -f='${Version}' libwine 2>/dev/null)
        echo "Wine ${version:-10} (Debian 13, WoW64)"
    else
        version=$(dpkg-query -W -f='${Version}' wine32:i386 2>/dev/null)
        echo "Wine ${version:-8} (Debian 12, 32-bit$([ "$(machine_kind)" = emulated ] && echo ', emulated'))"
    fi
}

# "native" or "emulated": how the platform's 32-bit code runs.
platform_machine() { if [ "$PLATFORM" = wine10 ]; then echo native; else machine_kind; fi; }

# The root of Debian 13, mounted for this command: the root bound at
# ROOT_MOUNT_BASE/<pid>, with /proc, /dev, /sys, /tmp (Xvfb's socket, the
# temporary files) and the clone at the same path inside. Each command
# mounts it once, at a place of its own (commands that run at once never
# share a mount), and takes it all down when it ends (finish_wine, on exit,
# failure or Ctrl-C); what a killed command left is taken down by the next.
enter_root() {
    [ -n "$ROOT_MNT" ] && return 0
    local dir mnt
    dir=$(root_path)
    root_ready "$dir" || { log "the Debian 13 root $dir is not made: run scripts/install-deps.sh"; return 1; }
    clear_stale_root_mounts
    mnt="$ROOT_MOUNT_BASE/$$"
    mkdir -p "$mnt" && mount --bind "$dir" "$mnt" || { log "could not mount the Debian 13 root at $mnt"; return 1; }
    ROOT_MNT=$mnt
    wine_traps
    if ! { mount --make-private "$mnt" &&
        mount -t proc proc "$mnt/proc" &&
        mount --rbind /dev "$mnt/dev" && mount --make-rslave "$mnt/dev" &&
        mount --rbind /sys "$mnt/sys" && mount --make-rslave "$mnt/sys" &&
        mount --bind /tmp "$mnt/tmp" &&
        mkdir -p "$mnt$ROOT" && mount --bind "$ROOT" "$mnt$ROOT"; }; then
        log "could not mount what the Debian 13 root needs at $mnt"
        leave_root
        return 1
    fi
}

# Takes down this command's mounts (only from the shell that made them).
leave_root() {
    [ -n "$ROOT_MNT" ] && [ "$$" = "$BASHPID" ] || return 0
    unmount_tree "$ROOT_MNT"
    ROOT_MNT=""
    [ "$PLATFORM" != wine10 ] || IN_ROOT=(root_not_mounted)
}

unmount_tree() {
    umount -R "$1" 2>/dev/null || umount -R -l "$1" 2>/dev/null
    if awk -v d="$1" '$5 == d || index($5, d "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
        log "warning: could not take down every mount under $1"
        return 1
    fi
    rmdir "$1" 2>/dev/null
    return 0
}

clear_stale_root_mounts() {
    local mnt pid
    for mnt in "$ROOT_MOUNT_BASE"/*; do
        [ -d "$mnt" ] || continue
        pid=${mnt##*/}
        [[ "$pid" =~ ^[0-9]+$ ]] && ! kill -0 "$pid" 2>/dev/null || continue
        log "taking down the mounts a stopped command ($pid) left"
        unmount_tree "$mnt"
    done
}
root_not_mounted() { log "the Debian 13 root is not mounted"; return 1; }

# Runs a program where the platform's Wine is: for Wine 10 inside the
# root, in the current folder when that is in the clone or /tmp (else the
# clone's top); for Wine 8 on this machine. (A step with a time limit
# passes "${IN_ROOT[@]}" to bounded, which cannot start a function.)
in_root() {
    if [ "$PLATFORM" != wine10 ]; then "$@"; return; fi
    local dir=$ROOT
    case "$PWD/" in "$ROOT"/*|/tmp/*) dir=$PWD ;; esac
    "${IN_ROOT[@]:0:2}" /usr/bin/env --chdir="$dir" "$@"
}

# finish_wine runs when the command ends, however: Wine, Xvfb, then the
# mounts. Ctrl-C and TERM end the command through it (an interactive
# shell that sourced this file is left to its own Ctrl-C).
wine_traps() {
    [ "$$" = "$BASHPID" ] || return 0
    [ -z "${WINE_TRAPS:-}" ] || return 0
    WINE_TRAPS=1
    # AT_EXIT: what a script that sources this file also wants done at exit
    trap 'finish_wine; eval "${AT_EXIT:-}"' EXIT
    if [[ $- != *i* ]]; then trap 'exit 130' INT; trap 'exit 143' TERM; fi
}

finish_wine() {
    local platform
    if [ -n "$PREFIX_PID" ]; then
        kill "$PREFIX_PID" 2>/dev/null
        for platform in "${USED_PLATFORMS[@]}"; do use_platform "$platform" >/dev/null 2>&1 && in_root wineserver -k >/dev/null 2>&1; done
        for _ in $(seq 1 50); do kill -0 "$PREFIX_PID" 2>/dev/null || break; sleep 0.2; done
        PREFIX_PID=""
    fi
    stop_wine
    leave_root
}

# Retries of Wine's own start-up are for the emulated route only, where a
# Wine process now and then stops for good; elsewhere a hang is a fault.
wine_attempts() { if [ "$PLATFORM" = wine8 ] && [ "$(machine_kind)" = emulated ]; then echo 2; else echo 1; fi; }
wine_limit() {  # wine_limit EMULATED_SECONDS NATIVE_SECONDS
    if [ "$(platform_machine)" = emulated ]; then echo "$1"; else echo "$2"; fi
}

# Starts Xvfb where Wine runs; it picks a free display itself and says
# which once it takes connections.
start_xvfb() {
    local fifo display=""
    fifo=$(mktemp -u /tmp/vantor-xvfb.XXXXXX) && mkfifo "$fifo" || return 1
    "${IN_ROOT[@]}" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    XVFB_PID=$!
    read -r -t 30 display <"$fifo"
    rm -f "$fifo"
    if [ -z "$display" ]; then
        log "could not start Xvfb"
        stop_xvfb
        return 1
    fi
    export DISPLAY=":$display"
}

stop_xvfb() {
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# Ends every process of the prefix and the server.
end_wine_server() {
    "${IN_ROOT[@]}" wineserver -k >/dev/null 2>&1
    bounded 120 "${IN_ROOT[@]}" wineserver -w
}

# Makes the prefix: the registry and system folders, and the one setting
# the tests need (Managed=N: with no window manager, Wine waits 2 s for
# each captioned top-level window it hides or destroys, unmanaged windows
# go at once). A prefix that is complete is kept as it is.
prepare_prefix() {
    [ -f "$WINEPREFIX/.vantor-ready" ] && return 0
    RETRY_BETWEEN=end_wine_server retry "$(wine_attempts)" "making the Wine prefix" make_prefix
}

make_prefix() {
    local status
    rm -rf "$WINEPREFIX"
    bounded "${PREFIX_TIME_LIMIT:-$(wine_limit 1800 600)}" "${IN_ROOT[@]}" wineboot --init
    status=$?
    (( status == 124 )) && return 1
    # The server writes the registry when it ends (and every 30 s while it
    # changes), so a session that does not end after wineboot is ended.
    bounded 300 "${IN_ROOT[@]}" wineserver -w || end_wine_server
    grep -qs 'CurrentVersion' "$WINEPREFIX/system.reg" || { log "wineboot left no registry (status $status)"; return 1; }
    # The setting goes straight into the registry file while no server runs:
    # starting "wine reg" would cost a Wine process.
    printf '\n[Software\\\\Wine\\\\X11 Driver] 1700000000\n"Managed"="N"\n' >>"$WINEPREFIX/user.reg"
    touch "$WINEPREFIX/.vantor-ready"
}

# start_prefixes_in_background PLATFORM...: makes the prefixes not made yet
# in the background (while the code builds), one after the other;
# wait_for_prefixes waits for them and shows their steps as they come. The
# first platform is the one in use afterwards.
start_prefixes_in_background() {
    local platform need=()
    mkdir -p "$BUILD"
    for platform in "$@"; do
        use_platform "$platform" || return 1
        [ -f "$WINEPREFIX/.vantor-ready" ] || need+=("$platform")
    done
    use_platform "$1"
    [ ${#need[@]} -gt 0 ] || return 0
    log "preparing the Wine prefixes of ${need[*]} in the background (once per clone)"
    (
        trap 'stop_xvfb; exit 143' TERM
        for platform in "${need[@]}"; do
            use_platform "$platform" &&
                start_xvfb && step "preparing the $(platform_name) prefix $WINEPREFIX" prepare_prefix
            stop_xvfb
        done
    ) >"$BUILD/wineprefix.log" 2>&1 &
    PREFIX_PID=$!
}

wait_for_prefixes() {
    [ -n "$PREFIX_PID" ] || return 0
    if kill -0 "$PREFIX_PID" 2>/dev/null; then log "waiting for the Wine prefixes; their steps:"; fi
    tail -n +1 -f --pid="$PREFIX_PID" "$BUILD/wineprefix.log" >&2
    wait "$PREFIX_PID"
    PREFIX_PID=""
    local platform status=0 current=$PLATFORM
    for platform in "${USED_PLATFORMS[@]}"; do
        use_platform "$platform"
        [ -f "$WINEPREFIX/.vantor-ready" ] || { log "the Wine prefix $WINEPREFIX could not be made"; status=1; }
    done
    use_platform "$current"
    return "$status"
}

start_wine() {
    ensure_platform || return 1
    wine_traps
    start_xvfb || return 1
    if [ ! -f "$WINEPREFIX/.vantor-ready" ]; then
        step "preparing the Wine prefix $WINEPREFIX ($(platform_name); once per clone)" prepare_prefix || return 1
    fi
    RETRY_BETWEEN=end_wine_server retry "$(wine_attempts)" "starting Wine's session" start_session || return 1
    log "Wine is ready: $(platform_name), prefix $WINEPREFIX, display $DISPLAY"
}

# One server for the whole run. Its first program starts Wine's session
# (wineboot and the services: minutes under emulation); a program of no
# interest does that here, so no test carries the cost, and its output goes
# nowhere: the services live on with what they inherit.
start_session() {
    "${IN_ROOT[@]}" wineserver -p >/dev/null 2>&1 || true
    step "starting Wine's session" bounded "${SESSION_TIME_LIMIT:-$(wine_limit 1200 300)}" "${IN_ROOT[@]}" wine cmd.exe /c exit
}

# The name a Wine program gives a file of this machine: drive Z: is the
# root of the file system in every prefix (the clone has the same path in
# the Debian 13 root; winepath would start a Wine process for it).
windows_path() { local path; path=$(realpath -m "$1"); printf 'Z:%s' "${path//\//\\}"; }

# Runs a Windows program under Wine with its output shown as it comes (and
# copied to WINE_OUTPUT when set). The output goes through a file that tail
# follows until the program ends: a process Wine starts on the way (the
# desktop, a service) lives on with the descriptors it inherited, and
# holding the caller's pipe it would keep a reader such as CI waiting after
# the program has ended. A program that has not ended after
# WINE_PROGRAM_TIMEOUT seconds (default an hour, and at most what is left
# before DEADLINE) is ended.
run_wine_program() {
    local out pid status
    out=$(mktemp)
    BOUNDED_OUT=$out bounded "${WINE_PROGRAM_TIMEOUT:-3600}" "${IN_ROOT[@]}" wine "$@" &
    pid=$!
    tail -n +1 -f --pid="$pid" "$out"
    wait "$pid"
    status=$?
    [ -z "${WINE_OUTPUT:-}" ] || cp "$out" "$WINE_OUTPUT"
    rm -f "$out"
    return "$status"
}

# run_hung_program_twice SECONDS program.exe [arguments...]
# Runs a Windows program like run_wine_program with a time limit of
# SECONDS. On the emulated route a run that hangs (ended by the limit: a
# Wine process there now and then stops for good) is started once more in
# a fresh Wine session when at least 25 minutes are left before DEADLINE;
# a program that ends with a failure is not run again.
run_hung_program_twice() {
    local seconds=$1
    shift
    WINE_PROGRAM_TIMEOUT=$seconds RETRY_IF=worth_another_run RETRY_BETWEEN=fresh_wine_session \
        retry "$(wine_attempts)" "$(basename "$1")" run_wine_program "$@"
}
worth_another_run() { [ "$1" -eq 124 ] && [ "$(time_limit 1500)" -ge 1500 ]; }
fresh_wine_session() { log "it did not end: once more, in a fresh Wine session"; stop_wine; start_wine; }

# gtest's summary of a run's output: "154 of 154 passed" or "2 of 154 FAILED".
gtest_summary() {
    local ran failed
    ran=$(tr -d '\r' <"$1" | sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' | tail -n 1)
    failed=$(tr -d '\r' <"$1" | sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' | tail -n 1)
    if [ -z "$ran" ]; then echo "did not finish"
    elif [ -n "$failed" ]; then echo "$failed of $ran FAILED"
    else echo "$ran of $ran passed"; fi
}

stop_wine() {
    if [ -n "$PLATFORM" ] && [ -n "${WINEPREFIX:-}" ]; then "${IN_ROOT[@]}" wineserver -k >/dev/null 2>&1 || true; fi
    stop_xvfb
}
