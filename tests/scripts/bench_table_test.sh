#!/usr/bin/env bash
# bench_table (the table of medians scripts/bench.sh writes) against the
# sample runs of bench/sample/ and the tables made from them before it
# existed; and its exit status for a table that passes and a wrong call.
#   bench_table_test.sh path/to/bench_table
set -u
source "$(dirname "$0")/check.sh"
table=$1
sample="$(dirname "$0")/../../bench/sample"

"$table" 3 "$sample"/run1.txt "$sample"/run2.txt "$sample"/run3.txt >"$work/3.md"
check "three runs (odd medians) exit 1: the poll case is out of bound" test $? -eq 1
check "... and read as the table made before" cmp "$work/3.md" "$sample/table-3-runs.md"
"$table" 4 "$sample"/run*.txt >"$work/4.md"
check "four runs (even medians) read as the table made before" cmp "$work/4.md" "$sample/table-4-runs.md"
cat "$sample"/run*.txt | "$table" 4 >"$work/stdin.md"
check "the runs on the standard input give the same table" cmp "$work/stdin.md" "$sample/table-4-runs.md"

sed 's/^\(@ratio|.*|\)[0-9.]*\r$/\199.00\r/' "$sample/run1.txt" >"$work/passing.txt"
check "(every ratio's bound is raised in a copy)" test "$(grep -c '^@ratio|.*|99\.00' "$work/passing.txt")" -eq "$(grep -c '^@ratio' "$sample/run1.txt")"
"$table" 1 "$work/passing.txt" >"$work/passing.md"
check "a table with every case within bound exits 0" test $? -eq 0
check "... and says so" grep -qx '0 case(s) out of bound, 0 fault(s).' "$work/passing.md"
printf '@fault|the answers differ\r\n' >>"$work/passing.txt"
"$table" 1 "$work/passing.txt" >"$work/fault.md"
check "a fault fails it (1)" test $? -eq 1
check "... and is listed" grep -qx -- '- the answers differ' "$work/fault.md"
"$table" 0 "$work/passing.txt" >/dev/null 2>&1
check "a run count that is not a positive number is a wrong call (2)" test $? -eq 2
"$table" 1 "$work/no such file" >/dev/null 2>&1
check "a run file that cannot be read is a wrong call (2)" test $? -eq 2
finish
