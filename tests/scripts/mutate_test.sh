#!/usr/bin/env bash
# scripts/mutate.sh's list, its edits and its counts, with stand-in builds
# and tests: no compiler, no Wine.
set -u
MUTATE_SOURCED=1 source "$(dirname "$0")/../../scripts/mutate.sh"
source "$(dirname "$0")/check.sh"

# ---- reading the list ------------------------------------------------------
cat >"$work/bad.txt" <<'LIST'
# a comment, then a key before any mutant
round cores

mutant one
round cores
file a.cpp
find x
native *

mutant one
round kernels
file a.cpp
find y
colour blue

mutant two
round families
file a.cpp
LIST
read_mutants "$work/bad.txt"
said() { printf '%s\n' "${LIST_ERRORS[@]}" | grep -qF "$1"; }
check "the mutants are read" test "${#M_ID[@]}" -eq 3
check "a key before the first mutant is an error" said 'line 2: "round" before the first mutant'
check "an unknown key is an error" said 'unknown key "colour"'
check "a name given twice is an error" said 'one: named twice'
check "a round other than cores or families is an error" said 'round "kernels"'
check "a mutant without a find text is an error" said 'two: no file or no find text'
check "a mutant that no test judges and is not equivalent is an error" said 'two: no test judges it'

mkdir -p "$work/tree"
printf 'int f(int a) {\n    if (a > 1) return 1;\n    return a > 1;\n}\n' >"$work/tree/a.cpp"
cat >"$work/list.txt" <<'LIST'
mutant twice
round cores
file a.cpp
find a > 1
replace a >= 1
native *

mutant absent
round cores
file a.cpp
find a < 1
native *

mutant lines
round cores
file a.cpp
find 1;\n    return
replace 2;\n    return
native *
LIST
read_mutants "$work/list.txt"
check_mutants "$work/tree"
check "a list without faults of form reads cleanly" test "${#M_ID[@]}" -eq 3
check "a find text that occurs twice is an error of the list" said 'twice: the find text occurs 2 times in a.cpp'
check "one that does not occur is one too" said 'absent: the find text occurs 0 times in a.cpp'
check "one across a line break (\\n) is found once" not said 'lines:'

cp "$work/tree/a.cpp" "$work/edited.cpp"
edit_file apply "$work/edited.cpp" '1;\n    return' '2;\n    return'
check "an edit across a line break replaces exactly that text" \
    test "$(cat "$work/edited.cpp")" = "$(printf 'int f(int a) {\n    if (a > 1) return 2;\n    return a > 1;\n}')"
printf 'char c = '"'"'\\n'"'"';\n' >"$work/escape.cpp"
edit_file apply "$work/escape.cpp" "'\\\\n'" "'\\\\t'"
check "\\\\ stands for a backslash" grep -qF "char c = '\\t';" "$work/escape.cpp"
check "a text that occurs twice is not applied" not edit_file apply "$work/edited.cpp" 'a > 1' 'a' 2>/dev/null

# ---- a run and its counts ----------------------------------------------------
# Stand-ins: a mutant whose text says NOCOMPILE does not build, CAUGHT fails
# its tests, HANG runs past the time limit; anything else passes.
ROOT=$work/tree SCRATCH=$work/scratch
prepare_scratch() { rm -rf "$SCRATCH"; cp -r "$ROOT" "$SCRATCH"; }
build_trees() { ! grep -q NOCOMPILE "$SCRATCH"/*.cpp; }
run_judge() {
    echo "judged: $1 $2" >>"$3"
    if grep -q CAUGHT "$SCRATCH"/*.cpp; then return 1; fi
    if grep -q HANG "$SCRATCH"/*.cpp; then return 124; fi
    return 0
}
printf 'int a = 0;\nint b = 0;\nint c = 0;\nint d = 0;\nint e = 0;\nint g = 0;\n' >"$work/tree/a.cpp"
cat >"$work/run.txt" <<'LIST'
mutant caught-natively
round cores
file a.cpp
find int a = 0;
replace int a = CAUGHT;
native *

mutant slips
round cores
file a.cpp
find int b = 0;
replace int b = 1;
native *
wine Suite.*

mutant broken
round cores
file a.cpp
find int c = 0;
replace int c = NOCOMPILE;
native *

mutant same
round cores
file a.cpp
find int d = 0;
replace int d = 0 + 0;
equivalent adding 0 changes nothing

mutant caught-in-wine
round families
file a.cpp
find int e = 0;
replace int e = CAUGHT;
wine Suite.*

mutant hangs
round families
file a.cpp
find int g = 0;
replace int g = HANG;
wine Suite.*
LIST
MUTANTS=$work/run.txt THRESHOLD=90
(main) >"$work/report" 2>"$work/said"
status=$?
check "the cores round: 4 mutants, 1 does not compile, 1 equivalent, 1 caught, 1 slipped past, 50 %" \
    grep -qF '| cores | 4 | 1 | 1 | 1 | 1 | 50 % |' "$work/report"
check "the families round: a run past the time limit counts as caught" \
    grep -qF '| families | 2 | 0 | 0 | 2 | 0 | 100 % |' "$work/report"
check "the mutant that slipped past is named" grep -qF 'slipped past: slips (a.cpp)' "$work/report"
check "a round under the threshold fails the run" test "$status" -eq 1
check "every file is put back" cmp -s "$work/tree/a.cpp" "$work/scratch/a.cpp"
check "a mutant is judged by its native and its Wine tests" \
    test "$(grep -c judged "$work/scratch/logs/slips.log")" -eq 2
check "an equivalent mutant is not run" test ! -e "$work/scratch/logs/same.log"
(main --round families) >"$work/report" 2>/dev/null
check "one round alone, at 100 %, passes" test $? -eq 0
check "... and reports that round alone" not grep -qF '| cores |' "$work/report"
(main --only slips) >"$work/report" 2>/dev/null
check "named mutants alone" grep -qF '| cores | 1 | 0 | 0 | 0 | 1 | 0 % |' "$work/report"
MUTANTS=$work/list.txt  # its texts are not in the a.cpp of the run
(main) >/dev/null 2>"$work/said"
check "a list with errors stops the run before anything is built" test $? -eq 1
check "... naming each error" grep -qF 'twice: the find text occurs 0 times' "$work/said"
finish
