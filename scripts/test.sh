#!/usr/bin/env bash
# Installs what is missing, then runs every test: the platform-free cores
# natively under the sanitizers with their fuzz targets, the installer's
# decisions, and the real DLL under Wine in a headless X server.
set -uo pipefail
SCRIPT_NAME=test
source "$(dirname "$0")/lib.sh"
started=$(date +%s)
# CI allows 90 minutes: every Wine step ends by this time at the latest,
# so a hang shows what hung instead of the run being cut off.
DEADLINE=$(( started + ${TEST_TIME_LIMIT:-5100} ))
step "installing what is missing" bash "$ROOT/scripts/install-deps.sh" || exit 1
log "32-bit programs here: $(machine_kind)"

# The Wine prefix is made once per clone; on a fresh one it is made while
# the code builds and the native tests run.
trap stop_wine EXIT
start_prefix_in_background

status=0
step "building the native tests" configure_and_build_native || exit 1
step "building the DLL and the Wine tests" configure_and_build_windows || exit 1
step "native tests (sanitizers, fuzz targets, installer)" \
    bash -c 'cd "$1" && ctest --output-on-failure -j "$2"' _ "$BUILD/native" "$JOBS" || status=1
step "DLL exports and imports" \
    bash -c 'cd "$1" && ctest --output-on-failure -R dll_exports' _ "$BUILD/win" || status=1

wait_for_prefix || exit 1
start_wine || exit 1
# Every Wine suite is linked into one program (wine_tests.exe), started
# once; GoogleTest prints each suite's time. `ctest -R <area>_test` in
# build/win runs one area alone.
step "Wine tests (every suite in one program)" \
    run_hung_program_twice "${WINE_TESTS_TIME_LIMIT:-1800}" "$BUILD/win/bin/wine_tests.exe" || status=1
step "the demo's pictures against the references (scripts/pictures.sh)" \
    run_wine_program "$BUILD/win/bin/picture_check.exe" || status=1
log "all tests: $(( $(date +%s) - started )) s, $([ "$status" -eq 0 ] && echo passed || echo FAILED)"
exit $status
