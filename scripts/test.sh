#!/usr/bin/env bash
# Installs what is missing, then runs every test: the platform-free cores
# natively under the sanitizers with their fuzz targets, the installer's
# decisions, and the real DLL under Wine in a headless X server: on Wine 10
# (WoW64) and, where the kernel runs i386 programs itself, on Debian 12's
# Wine 8 too (under an emulator only with VANTOR_WINE8=1).
set -uo pipefail
SCRIPT_NAME=test
source "$(dirname "$0")/lib.sh"
started=$(date +%s)
# CI allows 90 minutes: every Wine step ends by this time at the latest,
# so a hang shows what hung instead of the run being cut off.
DEADLINE=$(( started + ${TEST_TIME_LIMIT:-5100} ))
step "installing what is missing" bash "$ROOT/scripts/install-deps.sh" || exit 1

platforms=("$(default_platform)")
if [ "${platforms[0]}" = wine10 ] && wine8_wanted wine10 "$(yes_no runs_i386)"; then platforms+=(wine8); fi
for platform in "${platforms[@]}"; do use_platform "$platform" || exit 1; log "Wine here: $(platform_name)"; done

# The Wine prefixes are made once per clone; on a fresh one they are made
# while the code builds and the native tests run.
start_prefixes_in_background "${platforms[@]}"

status=0
step "building the native tests" configure_and_build_native || exit 1
step "building the DLL and the Wine tests" configure_and_build_windows || exit 1
step "native tests (sanitizers, fuzz targets, installer)" \
    bash -c 'cd "$1" && ctest --output-on-failure -j "$2"' _ "$BUILD/native" "$JOBS" || status=1
step "DLL exports and imports" \
    bash -c 'cd "$1" && ctest --output-on-failure -R dll_exports' _ "$BUILD/win" || status=1

wait_for_prefixes || exit 1
# Every Wine suite is linked into one program (wine_tests.exe), started
# once per platform; GoogleTest prints each suite's time. `ctest -R
# <area>_test` in build/win runs one area alone.
results=()
for platform in "${platforms[@]}"; do
    use_platform "$platform"
    name=$(platform_name)
    output="$BUILD/wine_tests-$platform.txt"
    rm -f "$output"
    if start_wine; then
        WINE_OUTPUT=$output step "Wine tests on $name (every suite in one program)" \
            run_hung_program_twice "${WINE_TESTS_TIME_LIMIT:-1800}" "$BUILD/win/bin/wine_tests.exe" || status=1
        results+=("$name: $(gtest_summary "$output")")
        step "the demo's pictures against the references on $name (scripts/pictures.sh)" \
            run_wine_program "$BUILD/win/bin/picture_check.exe" || { status=1; results+=("$name: pictures FAILED"); }
    else
        status=1
        results+=("$name: Wine did not start")
    fi
    stop_wine
done
for line in "${results[@]}"; do log "$line"; done
log "all tests: $(( $(date +%s) - started )) s, $([ "$status" -eq 0 ] && echo passed || echo FAILED)"
exit $status
