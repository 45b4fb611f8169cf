#!/usr/bin/env bash
# The mutation run: how many small faults the tests catch. Each mutant of
# the list (tests/mutants.txt) is one edit of one source file: a comparison
# flipped, a condition dropped, a constant off by one, a state update
# removed, a wrong message argument. In a scratch copy of the clone
# ($BUILD/mutate; both trees built once), each is applied in turn, the trees
# are rebuilt incrementally, the tests the list names for it run with a
# time limit, and the file is put back. Per round it prints the mutants,
# those that do not compile, the equivalent ones, those caught and those
# that slipped past, the score (caught / (caught + slipped)) and every
# mutant that slipped past.
#
#   bash scripts/mutate.sh                   every round
#   bash scripts/mutate.sh --round cores     one round
#   bash scripts/mutate.sh --only ID[,ID..]  named mutants
#   bash scripts/mutate.sh --check           only checks the list against the code
#
# Not part of the test command: a whole run takes 20 to 30 minutes. The
# status is 0 when the list is sound and every round scores at least
# MUTATION_THRESHOLD percent (default 90).
set -uo pipefail
SCRIPT_NAME=mutate
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

MUTANTS=${MUTANTS:-$ROOT/tests/mutants.txt}
SCRATCH=${MUTATE_DIR:-$BUILD/mutate}
TEST_LIMIT=${MUTATE_TEST_TIME_LIMIT:-300}
THRESHOLD=${MUTATION_THRESHOLD:-90}

# ---- the list ----------------------------------------------------------------
# Records of "key value" lines, one record per mutant, separated by blank
# lines; "#" starts a comment line. Keys:
#   mutant      the mutant's name (starts a record)
#   round       cores or families
#   file        the source file, from the clone's root
#   find        the text to replace: it must occur exactly once in the file
#   replace     what it becomes ("\n" is a line break, "\\" a backslash,
#               in find and replace alike; an empty replacement deletes)
#   native      a GoogleTest filter of the native tests that judge it
#   wine        a GoogleTest filter of wine_tests.exe that judges it
#   equivalent  the reason the edit cannot change behaviour: not run
M_ID=() M_ROUND=() M_FILE=() M_FIND=() M_REPLACE=() M_NATIVE=() M_WINE=() M_EQUIVALENT=()
LIST_ERRORS=()

list_error() { LIST_ERRORS+=("$1"); }

read_mutants() {
    local file=$1 line key value n=-1 number=0
    M_ID=() M_ROUND=() M_FILE=() M_FIND=() M_REPLACE=() M_NATIVE=() M_WINE=() M_EQUIVALENT=()
    LIST_ERRORS=()
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
        key=${line%%[[:space:]]*}
        value=${line#"$key"}
        value=${value#"${value%%[![:space:]]*}"}
        if [ "$key" = mutant ]; then
            n=${#M_ID[@]}
            M_ID[n]=$value M_ROUND[n]="" M_FILE[n]="" M_FIND[n]="" M_REPLACE[n]="" M_NATIVE[n]="" M_WINE[n]="" M_EQUIVALENT[n]=""
            continue
        fi
        if [ "$n" -lt 0 ]; then list_error "line $number: \"$key\" before the first mutant"; continue; fi
        case $key in
            round) M_ROUND[n]=$value ;;
            file) M_FILE[n]=$value ;;
            find) M_FIND[n]=$value ;;
            replace) M_REPLACE[n]=$value ;;
            native) M_NATIVE[n]=$value ;;
            wine) M_WINE[n]=$value ;;
            equivalent) M_EQUIVALENT[n]=$value ;;
            *) list_error "line $number: unknown key \"$key\"" ;;
        esac
    done <"$file"
    local i seen=" "
    for i in "${!M_ID[@]}"; do
        local id=${M_ID[i]}
        [[ $seen == *" $id "* ]] && list_error "$id: named twice"
        seen+="$id "
        [[ ${M_ROUND[i]} == cores || ${M_ROUND[i]} == families ]] || list_error "$id: round \"${M_ROUND[i]}\" is neither cores nor families"
        [ -n "${M_FILE[i]}" ] && [ -n "${M_FIND[i]}" ] || list_error "$id: no file or no find text"
        [ -n "${M_EQUIVALENT[i]}${M_NATIVE[i]}${M_WINE[i]}" ] || list_error "$id: no test judges it"
    done
}

# edit_file MODE FILE FIND REPLACE: MODE count prints how often FIND occurs
# in FILE; MODE apply replaces its one occurrence.
edit_file() {
    perl -e '
        my ($mode, $file, $find, $replace) = @ARGV;
        for ($find, $replace) { s/\\(n|\\)/$1 eq "n" ? "\n" : "\\"/ge }
        open my $in, "<", $file or die "cannot read $file\n";
        local $/;
        my $text = <$in>;
        close $in;
        my $count = () = $text =~ /\Q$find\E/g;
        if ($mode eq "count") { print "$count\n"; exit 0 }
        die "the text occurs $count times in $file\n" if $count != 1;
        substr($text, index($text, $find), length $find) = $replace;
        open my $out, ">", $file or die "cannot write $file\n";
        print $out $text;
        close $out;
    ' "$@"
}

# Every mutant's find text must occur exactly once in its file of TREE, so
# that the list stays true as the code changes.
check_mutants() {
    local tree=$1 i count
    for i in "${!M_ID[@]}"; do
        [ -n "${M_FILE[i]}" ] && [ -n "${M_FIND[i]}" ] || continue
        if [ ! -f "$tree/${M_FILE[i]}" ]; then list_error "${M_ID[i]}: no file ${M_FILE[i]}"; continue; fi
        count=$(edit_file count "$tree/${M_FILE[i]}" "${M_FIND[i]}" "")
        [ "$count" = 1 ] || list_error "${M_ID[i]}: the find text occurs $count times in ${M_FILE[i]}"
    done
}

# ---- one mutant ----------------------------------------------------------------
# These are the steps the run is made of; tests/scripts/mutate_test.sh
# replaces them with stand-ins.
NATIVE_PROGRAM() { echo "$SCRATCH/build/native/native_tests"; }
WINE_PROGRAM() { echo "$SCRATCH/build/win/bin/wine_tests.exe"; }

build_trees() {  # build_trees native|win...
    local tree status=0
    for tree in "$@"; do
        if [ "$tree" = native ]; then
            ROOT=$SCRATCH BUILD=$SCRATCH/build configure_and_build_native --target native_tests || status=1
        else
            ROOT=$SCRATCH BUILD=$SCRATCH/build configure_and_build_windows --target wine_tests || status=1
        fi
    done
    return "$status"
}

# run_judge native|wine FILTER LOG: 0 when the tests pass, 1 when one fails,
# 124 when the time limit ended them, 2 when the filter picks no test.
run_judge() {
    local kind=$1 filter=$2 log=$3 status
    if [ "$kind" = native ]; then
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
            timeout --kill-after=30 "$TEST_LIMIT" "$(NATIVE_PROGRAM)" --gtest_filter="$filter" >>"$log" 2>&1
        status=$?
        (( status == 137 )) && status=124
    else
        WINE_PROGRAM_TIMEOUT=$TEST_LIMIT run_wine_program "$(WINE_PROGRAM)" --gtest_filter="$filter" >>"$log" 2>&1
        status=$?
    fi
    if (( status == 0 )) && ! grep -Eq '\[  PASSED  \] [1-9][0-9]* test' "$log"; then status=2; fi
    (( status == 0 || status == 124 || status == 2 )) || status=1
    return "$status"
}

# The trees a mutant of FILE needs: a core builds natively too.
trees_for() {
    local i=$1 trees=()
    [ -n "${M_NATIVE[i]}" ] && trees+=(native)
    [ -n "${M_WINE[i]}" ] && trees+=(win)
    echo "${trees[@]}"
}

# Runs mutant i; MUTANT_OUTCOME becomes caught, slipped, nocompile,
# equivalent or error. The details go to its log.
MUTANT_OUTCOME=""
run_mutant() {
    local i=$1 log=$2 file=$SCRATCH/${M_FILE[i]} original status outcome=slipped kind
    MUTANT_OUTCOME=equivalent
    [ -n "${M_EQUIVALENT[i]}" ] && return 0
    printf 'mutant %s (%s round)\nfile    %s\nfind    %s\nreplace %s\n' "${M_ID[i]}" "${M_ROUND[i]}" \
        "${M_FILE[i]}" "${M_FIND[i]}" "${M_REPLACE[i]}" >"$log"
    original=$(mktemp)
    cat "$file" >"$original"
    RESTORE_FROM=$original RESTORE_TO=$file
    if ! edit_file apply "$file" "${M_FIND[i]}" "${M_REPLACE[i]}" >>"$log" 2>&1; then
        outcome=error
    elif ! build_trees $(trees_for "$i") >>"$log" 2>&1; then
        outcome=nocompile
    else
        local filter
        for kind in native wine; do
            [ "$kind" = native ] && filter=${M_NATIVE[i]} || filter=${M_WINE[i]}
            [ -n "$filter" ] || continue
            echo "== $kind tests: $filter" >>"$log"
            run_judge "$kind" "$filter" "$log"
            status=$?
            case $status in
                1) outcome=caught; break ;;
                124) outcome=caught; echo "(ended by the time limit)" >>"$log"; break ;;
                2) outcome=error; echo "(the filter picks no test)" >>"$log"; break ;;
            esac
        done
    fi
    # put back with a new time stamp, so that the next build compiles it again
    cat "$original" >"$file"
    rm -f "$original"
    RESTORE_FROM="" RESTORE_TO=""
    MUTANT_OUTCOME=$outcome
}

RESTORE_FROM="" RESTORE_TO=""
restore_on_exit() {
    [ -n "$RESTORE_FROM" ] && [ -f "$RESTORE_FROM" ] && cat "$RESTORE_FROM" >"$RESTORE_TO" && rm -f "$RESTORE_FROM"
    stop_wine
}

# ---- the report ----------------------------------------------------------------
# report ROUND OUTCOME...: outcomes are "id=word" for the round's mutants.
declare -A OUTCOME=()
report_round() {
    local round=$1 i mutants=0 nocompile=0 equivalent=0 caught=0 slipped=0 errors=0 missed=()
    for i in "${!M_ID[@]}"; do
        [ "${M_ROUND[i]}" = "$round" ] || continue
        [ -n "${OUTCOME[${M_ID[i]}]:-}" ] || continue
        mutants=$((mutants + 1))
        case ${OUTCOME[${M_ID[i]}]} in
            caught) caught=$((caught + 1)) ;;
            slipped) slipped=$((slipped + 1)); missed+=("${M_ID[i]} (${M_FILE[i]})") ;;
            nocompile) nocompile=$((nocompile + 1)) ;;
            equivalent) equivalent=$((equivalent + 1)) ;;
            *) errors=$((errors + 1)) ;;
        esac
    done
    [ "$mutants" -gt 0 ] || return 0
    local judged=$((caught + slipped)) score=100
    [ "$judged" -gt 0 ] && score=$((caught * 100 / judged))
    printf '| %s | %d | %d | %d | %d | %d | %d %% |\n' "$round" "$mutants" "$nocompile" "$equivalent" "$caught" "$slipped" "$score"
    [ "$errors" -gt 0 ] && printf '|   (%d could not be applied or judged: see above) |\n' "$errors"
    for i in "${missed[@]}"; do printf '    slipped past: %s\n' "$i"; done
    ROUND_SCORES+=("$score")
}

print_report() {
    ROUND_SCORES=()
    echo
    echo "| round | mutants | do not compile | equivalent | caught | slipped past | score |"
    echo "|---|---|---|---|---|---|---|"
    report_round cores
    report_round families
}

# ---- the run -------------------------------------------------------------------
main() {
    local round="" only="" check_only=0
    while [ $# -gt 0 ]; do
        case $1 in
            --round) round=$2; shift ;;
            --only) only=,$2,; shift ;;
            --check) check_only=1 ;;
            *) echo "usage: $0 [--round cores|families] [--only ID,...] [--check]" >&2; return 2 ;;
        esac
        shift
    done
    read_mutants "$MUTANTS"
    check_mutants "$ROOT"
    log "${#M_ID[@]} mutants in $MUTANTS"
    if [ "${#LIST_ERRORS[@]}" -gt 0 ]; then
        printf 'error in the list: %s\n' "${LIST_ERRORS[@]}" >&2
        return 1
    fi
    [ "$check_only" -eq 1 ] && return 0

    local chosen=() i
    for i in "${!M_ID[@]}"; do
        [ -z "$round" ] || [ "${M_ROUND[i]}" = "$round" ] || continue
        [ -z "$only" ] || [[ $only == *",${M_ID[i]},"* ]] || continue
        chosen+=("$i")
    done
    [ "${#chosen[@]}" -gt 0 ] || { log "no mutant chosen"; return 2; }

    prepare_scratch || return 1
    trap restore_on_exit EXIT
    local started logs=$SCRATCH/logs outcome n=0
    started=$(date +%s)
    rm -rf "$logs" && mkdir -p "$logs"
    for i in "${chosen[@]}"; do
        n=$((n + 1))
        run_mutant "$i" "$logs/${M_ID[i]}.log"
        outcome=$MUTANT_OUTCOME
        OUTCOME[${M_ID[i]}]=$outcome
        log "$n/${#chosen[@]} ${M_ID[i]}: $outcome$([ "$outcome" = slipped ] && echo " (log $logs/${M_ID[i]}.log)")"
    done
    step "rebuilding the restored trees" build_trees native win >"$logs/restore.log" 2>&1
    print_report
    log "mutation run: $(( $(date +%s) - started )) s; logs in $logs"
    local score status=0
    for i in "${chosen[@]}"; do [ "${OUTCOME[${M_ID[i]}]}" = error ] && status=1; done
    for score in "${ROUND_SCORES[@]}"; do [ "$score" -ge "$THRESHOLD" ] || status=1; done
    return "$status"
}

# A copy of the clone's sources beside its own builds; every run copies the
# sources again (new time stamps: what changed is rebuilt, through ccache
# what did not), builds both trees and checks that the judging tests pass
# on the code as it is.
prepare_scratch() {
    mkdir -p "$SCRATCH"
    find "$SCRATCH" -mindepth 1 -maxdepth 1 ! -name build ! -name logs -exec rm -rf {} +
    tar -C "$ROOT" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$SCRATCH" -xmf - || return 1
    # the copy's objects are cached apart from the clone's own
    export CCACHE_BASEDIR=$SCRATCH CCACHE_NOHASHDIR=1
    if ! step "building the scratch copy $SCRATCH (native, then Windows)" build_logged native win; then
        tail -n 30 "$SCRATCH/build.log" >&2
        return 1
    fi
    export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix}
    start_wine || return 1
    baseline
}

build_logged() { build_trees "$@" >"$SCRATCH/build.log" 2>&1; }

# The judging tests on the unchanged code: each filter must pick tests and pass.
baseline() {
    local i kind filter log=$SCRATCH/baseline.log status=0 native="" wine=""
    : >"$log"
    for i in "${chosen[@]}"; do
        [ -n "${M_EQUIVALENT[i]}" ] && continue
        [ -n "${M_NATIVE[i]}" ] && native+="${native:+:}${M_NATIVE[i]}"
        [ -n "${M_WINE[i]}" ] && wine+="${wine:+:}${M_WINE[i]}"
    done
    [ -z "$native" ] || step "the native judging tests on the unchanged code" run_judge native "$native" "$log" || status=1
    [ -z "$wine" ] || step "the Wine judging tests on the unchanged code" run_judge wine "$wine" "$log" || status=1
    [ "$status" -eq 0 ] || log "the judging tests do not pass on the unchanged code: see $log"
    return "$status"
}

# (one compound command: bash reads it whole before it runs, so an edit of
# this file during a run does not reach the run)
[ "${MUTATE_SOURCED:-0}" = 1 ] || { main "$@"; exit; }
