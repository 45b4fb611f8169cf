#!/usr/bin/env bash
# Installs what is missing, builds dist/vantor44i.dll and runs the demo
# under Wine.
set -uo pipefail
SCRIPT_NAME=build
source "$(dirname "$0")/lib.sh"
started=$(date +%s)
step "installing what is missing" bash "$ROOT/scripts/install-deps.sh" || exit 1
log "32-bit programs here: $(machine_kind)"
trap stop_wine EXIT
start_prefix_in_background
step "building the DLL and the demo" configure_and_build_windows --target vantor_demo || exit 1
log "built $ROOT/dist/vantor44i.dll"
wait_for_prefix || exit 1
start_wine || exit 1
step "playing the demo" run_wine_program "$BUILD/win/bin/vantor_demo.exe" "$(windows_path "$ROOT/dist/vantor44i.dll")" || exit 1
log "build and demo: $(( $(date +%s) - started )) s"
