#!/usr/bin/env bash
# Installs what is missing, builds dist/vantor44i.dll and runs the demo
# under Wine (Wine 10 where the machine allows it, see install-deps.sh).
set -uo pipefail
SCRIPT_NAME=build
source "$(dirname "$0")/lib.sh"
started=$(date +%s)
step "installing what is missing" bash "$ROOT/scripts/install-deps.sh" || exit 1
use_platform "$(default_platform)" || exit 1
log "Wine here: $(platform_name)"
start_prefixes_in_background "$PLATFORM"
step "building the DLL and the demo" configure_and_build_windows --target vantor_demo || exit 1
log "built $ROOT/dist/vantor44i.dll"
wait_for_prefixes || exit 1
start_wine || exit 1
step "playing the demo" run_wine_program "$BUILD/win/bin/vantor_demo.exe" "$(windows_path "$ROOT/dist/vantor44i.dll")" || exit 1
log "build and demo: $(( $(date +%s) - started )) s"
