#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest, through scripts/lib.sh's
# run_wine_program (output through a file, so Wine's services never hold
# ctest's pipe; a time limit per program), on the platform of the test
# command (VANTOR_PLATFORM=wine8 or wine10 picks one). With a display set
# (start_wine in the calling shell) it uses that session; else it starts
# Xvfb and a Wine session of its own and ends them after.
# usage: run_in_wine.sh program.exe [arguments...]
SCRIPT_NAME=ctest
source "$(dirname "$0")/../scripts/lib.sh"
use_platform "$(default_platform)" || exit 1
wine_traps
if [ -z "${DISPLAY:-}" ]; then start_wine || exit 1; fi
run_wine_program "$@"
