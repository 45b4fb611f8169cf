#!/usr/bin/env bash
# The Wine steps of scripts/lib.sh (time limits, making the prefix, starting
# the session), driven with stand-in wineboot, wineserver and wine commands
# that hang or succeed on cue: no Wine, no display.
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
PREFIX_TIME_LIMIT=2
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
check "... saying so" grep -q 'tests.exe did not end' "$work/said"
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

finish
