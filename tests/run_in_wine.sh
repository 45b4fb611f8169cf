#!/usr/bin/env bash
# Runs a Windows program under Wine for ctest, through scripts/lib.sh's
# run_wine_program (output through a file, so Wine's services never hold
# ctest's pipe; a time limit per program).
# usage: run_in_wine.sh program.exe [arguments...]
SCRIPT_NAME=ctest
source "$(dirname "$0")/../scripts/lib.sh"
run_wine_program "$@"
