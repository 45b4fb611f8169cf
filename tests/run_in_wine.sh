#!/bin/sh
# Runs a Windows program under Wine and prints its output when it ends.
# The output goes through a file: the first program of a Wine session starts
# Wine's services, which live on and keep every descriptor they inherited;
# given a pipe they would keep its reader (ctest) waiting after the program
# has ended.
# usage: run_in_wine.sh program.exe [arguments...]
log=$(mktemp)
wine "$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
