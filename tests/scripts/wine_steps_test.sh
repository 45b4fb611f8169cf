#!/usr/bin/env bash
# The Wine steps of scripts/lib.sh (retries, time limits, making the
# prefix, starting the session, entering the Debian 13 root), driven with
# stand-in wineboot, wineserver, wine, mount, umount and chroot commands
# that hang or succeed on cue: no Wine, no display, nothing mounted.
set -u
source "$(dirname "$0")/../../scripts/lib.sh"
source "$(dirname "$0")/check.sh"
mkdir "$work/bin"
export PATH="$work/bin:$PATH" WINEPREFIX="$work/prefix" STAND_IN="$work"
start_xvfb() { DISPLAY=:0; }

# A stand-in command: its behaviour on its Nth call is the Nth word of
# $work/<name>.plan ("hang", "ok", "fail": ends with 3, "empty": ends
# without writing anything).
stand_in() {
    cat >"$work/bin/$1" <<'SCRIPT'
#!/usr/bin/env bash
name=$(basename "$0")
echo "$*" >>"$STAND_IN/$name.calls"
n=$(wc -l <"$STAND_IN/$name.calls")
what=$(tr -s ' \n' '\n\n' <"$STAND_IN/$name.plan" 2>/dev/null | sed -n "${n}p")
case "${what:-ok}" in
    hang) exec sleep 1000 ;;
    empty) exit 0 ;;
    fail) exit 3 ;;
    ok) [ "$name" != wineboot ] || { mkdir -p "$WINEPREFIX"
          echo '[Software\\Microsoft\\Windows NT\\CurrentVersion]' >"$WINEPREFIX/system.reg"
          : >"$WINEPREFIX/user.reg"; } ;;
esac
SCRIPT
    chmod +x "$work/bin/$1"
}
plan() { rm -f "$work/$1.calls"; echo "$2" >"$work/$1.plan"; }
calls() { if [ -f "$work/$1.calls" ]; then wc -l <"$work/$1.calls"; else echo 0; fi; }
stand_in wineboot; stand_in wineserver; stand_in wine
use_platform wine8
export WINEPREFIX="$work/prefix"

# ---- one retry helper ----------------------------------------------------------
plan wine "fail fail ok"
retry 3 "the step" wine 2>"$work/said"
check "a failing command is tried again until it works" test $? -eq 0
check "... three times here" test "$(calls wine)" -eq 3
check "... saying each failure" test "$(grep -c 'the step failed (attempt [12] of 3)' "$work/said")" -eq 2
plan wine "fail fail fail fail"
retry 2 "the step" wine 2>/dev/null
check "after its last attempt it ends with the command's status" test $? -eq 3
check "... having run it that many times" test "$(calls wine)" -eq 2
only_124() { [ "$1" -eq 124 ]; }
plan wine "fail ok"
RETRY_IF=only_124 retry 3 "the step" wine 2>/dev/null
check "RETRY_IF stops the attempts when a failure is not worth another" test "$(calls wine)" -eq 1
between() { echo between >>"$work/between"; }
plan wine "fail ok"; rm -f "$work/between"
RETRY_BETWEEN=between retry 3 "the step" wine 2>/dev/null
check "RETRY_BETWEEN runs between attempts, not after the last" test "$(wc -l <"$work/between")" -eq 1

# ---- time limits -----------------------------------------------------------
DEADLINE=""
check "with no deadline a step gets its own limit" test "$(time_limit 1800)" -eq 1800
DEADLINE=$(( $(date +%s) + 300 ))
check "a deadline shortens a longer limit" test "$(time_limit 1800)" -le 300
check "... and leaves a shorter one" test "$(time_limit 100)" -eq 100
DEADLINE=$(( $(date +%s) - 10 ))
check "past the deadline a step still gets a minute" test "$(time_limit 1800)" -eq 60
DEADLINE=""
started=$(date +%s)
bounded 1 sleep 100 2>"$work/said"
check "a command over its limit is ended with status 124" test $? -eq 124
check "... at once, not when it would have ended" test $(( $(date +%s) - started )) -lt 20
check "... saying what was ended" grep -q 'ended after 1 s: sleep 100' "$work/said"
bounded 5 false 2>/dev/null
check "a command's own failure keeps its status" test $? -eq 1

# ---- the prefix ------------------------------------------------------------
# Retries of Wine's start-up are for the emulated route; elsewhere a hang is a fault.
MACHINE_KIND=native
PREFIX_TIME_LIMIT=2
plan wineboot "hang ok"; plan wineserver "ok"
check "on a native route a wineboot that hangs fails the step" not prepare_prefix 2>/dev/null
check "... without a second attempt" test "$(calls wineboot)" -eq 1
MACHINE_KIND=emulated
rm -rf "$WINEPREFIX"
plan wineboot "hang ok"; plan wineserver "ok"
check "a wineboot that hangs is tried once more" prepare_prefix 2>"$work/said"
check "... and the second attempt makes the prefix" test -f "$WINEPREFIX/.vantor-ready"
check "... with the unmanaged-window setting" grep -q '"Managed"="N"' "$WINEPREFIX/user.reg"
check "... saying the first attempt failed" grep -q 'attempt 1 of 2' "$work/said"
check "a prefix that is ready is kept as it is" prepare_prefix
check "... without starting wineboot" test "$(calls wineboot)" -eq 2

rm -rf "$WINEPREFIX"
plan wineboot "empty hang ok"
check "a prefix wineboot never completes is refused" not prepare_prefix 2>"$work/said"
check "... after two attempts" test "$(calls wineboot)" -eq 2
check "... and not marked ready" test ! -f "$WINEPREFIX/.vantor-ready"
check "... saying no registry was left" grep -q 'left no registry' "$work/said"

# ---- the session -----------------------------------------------------------
SESSION_TIME_LIMIT=2
plan wine "hang ok"
check "a session that hangs while starting is started once more" start_wine 2>"$work/said"
check "... with two programs" test "$(calls wine)" -eq 2
check "... and says Wine is ready" grep -q 'Wine is ready' "$work/said"
plan wine "hang hang ok"
check "a session that hangs twice fails the step" not start_wine 2>/dev/null

# ---- a program that hangs --------------------------------------------------
plan wine "hang ok ok"
run_hung_program_twice 2 tests.exe >/dev/null 2>"$work/said"
check "a program that hangs is run once more" test $? -eq 0
check "... after a fresh session (program, session, program)" test "$(calls wine)" -eq 3
check "... saying so" grep -q 'tests.exe failed (attempt 1 of 2)' "$work/said"
check "... and that the session is fresh" grep -q 'in a fresh Wine session' "$work/said"
plan wine "fail ok"
run_hung_program_twice 2 tests.exe >/dev/null 2>&1
check "a program that fails is not run again" test $? -eq 3
check "... started once" test "$(calls wine)" -eq 1
plan wine "hang ok ok"
DEADLINE=$(( $(date +%s) + 600 ))
run_hung_program_twice 2 tests.exe >/dev/null 2>&1
check "with little time left a hang is not run again" test $? -eq 124
check "... started once" test "$(calls wine)" -eq 1
DEADLINE=""
MACHINE_KIND=native
plan wine "hang ok ok"
run_hung_program_twice 2 tests.exe >/dev/null 2>&1
check "on a native route a program that hangs is not run again" test $? -eq 124
check "... started once" test "$(calls wine)" -eq 1

# ---- gtest's summary -----------------------------------------------------------
printf '[==========] 154 tests from 29 test suites ran. (46000 ms total)\r\n[  PASSED  ] 154 tests.\r\n' >"$work/out"
check "a run that passed: every test counted" test "$(gtest_summary "$work/out")" = "154 of 154 passed"
printf '[==========] 154 tests from 29 test suites ran. (46000 ms total)\n[  PASSED  ] 152 tests.\n[  FAILED  ] 2 tests, listed below:\n' >"$work/out"
check "a run with failures: how many of how many" test "$(gtest_summary "$work/out")" = "2 of 154 FAILED"
printf '[ RUN      ] A.b\n' >"$work/out"
check "a run that stopped half-way does not count as passed" test "$(gtest_summary "$work/out")" = "did not finish"

# ---- the Debian 13 root ----------------------------------------------------------
# Stand-in mount, umount and chroot: they only record their arguments.
for name in mount umount chroot; do
    printf '#!/bin/sh\necho "$*" >>"%s/%s.calls"\n' "$work" "$name" >"$work/bin/$name"
    chmod +x "$work/bin/$name"
done
VANTOR_ROOT_CACHE="$work/cache" ROOT_MOUNT_BASE="$work/mnt"
mkdir -p "$(root_path)"
check "a root without its mark is not used" not use_platform wine10 2>/dev/null
root_hash >"$(root_path)/.vantor-root"
mkdir -p "$ROOT_MOUNT_BASE/999999999"   # left by a command that is gone
use_platform wine10
check "Wine 10 uses the 64-bit prefix build/wineprefix10" test "$WINEPREFIX" = "$BUILD/wineprefix10" -a "$WINEARCH" = win64
mnt="$ROOT_MOUNT_BASE/$$"
check "the root is bound at a place of the command's own" grep -qx -- "--bind $(root_path) $mnt" "$work/mount.calls"
check "... with /proc, /dev, /sys and /tmp" \
    test "$(grep -cE -- "^(-t proc proc $mnt/proc|--rbind /dev $mnt/dev|--rbind /sys $mnt/sys|--bind /tmp $mnt/tmp)\$" "$work/mount.calls")" -eq 4
check "... /dev and /sys not passing unmounts back to the machine" \
    test "$(grep -cE -- "^--make-rslave $mnt/(dev|sys)\$" "$work/mount.calls")" -eq 2
check "... and the clone at its own path" grep -qx -- "--bind $ROOT $mnt$ROOT" "$work/mount.calls"
check "what a command that is gone left is taken down" grep -q -- "$ROOT_MOUNT_BASE/999999999" "$work/umount.calls"
mounts=$(wc -l <"$work/mount.calls")
use_platform wine8; use_platform wine10
check "the root is mounted once per command" test "$(wc -l <"$work/mount.calls")" -eq "$mounts"
(cd / && in_root wine --version)
check "a Wine 10 program runs inside the root, from the clone" \
    grep -qx "$mnt /usr/bin/env --chdir=$ROOT wine --version" "$work/chroot.calls"
(mkdir -p /tmp/vantor-cwd-$$ && cd /tmp/vantor-cwd-$$ && in_root wine x.exe)
rmdir /tmp/vantor-cwd-$$
check "... or from the current folder when that is in /tmp" grep -qx "$mnt /usr/bin/env --chdir=/tmp/vantor-cwd-$$ wine x.exe" "$work/chroot.calls"
: >"$work/umount.calls"
leave_root
check "leaving takes the mounts down" grep -qx -- "-R $mnt" "$work/umount.calls"
check "... and a Wine 10 program then runs nowhere" not in_root wine --version 2>/dev/null
use_platform wine8
: >"$work/chroot.calls"
in_root wine --version
check "a Wine 8 program runs on this machine" test ! -s "$work/chroot.calls" -a "$(tail -n 1 "$work/wine.calls")" = "--version"

finish
