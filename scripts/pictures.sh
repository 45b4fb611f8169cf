#!/usr/bin/env bash
# The picture test alone: builds the DLL, the demo and the comparison,
# plays the demo under Wine and compares its pictures (build/demo/pictures/)
# with the references of the running Wine (tests/pictures/wine-<major>/).
# Each Wine has references of its own: run it once per platform.
#
#     bash scripts/pictures.sh            # compare
#     bash scripts/pictures.sh --update   # play the demo twice and (re)write the references
#
# scripts/test.sh runs the comparison as one of its steps.
set -uo pipefail
SCRIPT_NAME=pictures
source "$(dirname "$0")/lib.sh"
# VANTOR_PLATFORM=wine8 or wine10 picks the Wine (default: the test platform).
use_platform "${VANTOR_PLATFORM:-$(default_platform)}" || exit 1
log "Wine here: $(platform_name)"
step "building the DLL, the demo and the comparison" configure_and_build_windows --target picture_check || exit 1
start_wine || exit 1
step "the demo's pictures against the references" run_wine_program "$BUILD/win/bin/picture_check.exe" "$@"
