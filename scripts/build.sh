#!/usr/bin/env bash
# Installs what is missing, builds dist/vantor44i.dll and runs the demo under Wine.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/install-deps.sh"
configure_and_build_windows
trap stop_wine EXIT
start_wine
wine "$BUILD/win/bin/vantor_demo.exe" "$(winepath -w "$ROOT/dist/vantor44i.dll")"
