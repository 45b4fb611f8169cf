#!/usr/bin/env bash
# Installs what is missing, then runs every test: the platform-free cores
# natively under the sanitizers with their fuzz targets, and the real DLL
# under Wine in a headless X server.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
bash "$ROOT/scripts/install-deps.sh"

configure_and_build_native
configure_and_build_windows

status=0
(cd "$BUILD/native" && ctest --output-on-failure -j "$JOBS") || status=1

trap stop_wine EXIT
start_wine
(cd "$BUILD/win" && ctest --output-on-failure -j "$JOBS") || status=1
exit $status
