#!/usr/bin/env bash
# Builds the DLL and the soak program and runs the soak under Wine: long
# runs of polls, masks, control creation and image lists, with memory and
# object counts before and after each. Takes longer than the test command,
# which does not run it.
#
#   scripts/soak.sh [--polls N] [--masks N] [--cycles N] [--images N] [--families A,B,...]
#
# Defaults: 1,000,000 polls, 100,000 masks, 10,000 cycles per control
# family, 10,000 image-list and icon cycles; --families soaks only the
# families whose names begin with the given words (e.g. tv,rt,list), a count
# of 0 skips that run. Where 32-bit programs run under an emulator, smaller
# counts or some families at a time finish in reasonable time. It runs on
# Wine 10 where the machine allows it (VANTOR_PLATFORM=wine8 for Wine 8).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

step "building the soak" configure_and_build_windows --target soak
use_platform "$(default_platform)"
start_wine
log "soaking on $(platform_name)"
step "soaking on $(platform_name)" run_wine_program "$BUILD/win/bin/soak.exe" "$@"
