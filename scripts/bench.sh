#!/usr/bin/env bash
# Builds the DLL and the benchmarks, runs every benchmark under Wine several
# times and writes build/bench/results.md: per case the raw platform time,
# the time through _KELExtender2@40 and their ratio (medians over the runs,
# with the spread), the bound and whether the median is within it. Exits
# non-zero when a median is out of bound, a benchmark found the extender's
# answer differing from the raw calls', a result line could not be read, or
# a benchmark did not finish. The table itself is made by the native program
# bench_table (bench/core/bench_table.cpp).
#
#   bash scripts/bench.sh                  # all benchmarks, 5 runs
#   BENCH_RUNS=3 bash scripts/bench.sh     # fewer runs (rich text: BENCH_RICHTEXT_RUNS, default 1)
#   bash scripts/bench.sh events mask      # some benchmarks only
#   bash scripts/bench.sh --from-runs      # the table again from build/bench/runs/*.txt
#
# Each run starts the benchmark program once and it runs every benchmark,
# one after the other; within a benchmark the raw calls and the extender are
# timed in alternating rounds, so a change of load weighs on both.
set -u
SCRIPT_NAME=bench
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

RUNS=${BENCH_RUNS:-5}
# The rich-text benchmark streams a 2.5 MB document in and out 20 times a
# run (most of an hour under an emulator): it runs in the first
# BENCH_RICHTEXT_RUNS runs only (default 1), and its ratio is the median of
# the 5 alternating rounds of those runs.
RICHTEXT_RUNS=${BENCH_RICHTEXT_RUNS:-1}
ALL=(startup dispatch events mask lists richtext)
FROM_RUNS=0
if [ "${1:-}" = --from-runs ]; then FROM_RUNS=1; shift; fi
PROGRAMS=("$@")
[ ${#PROGRAMS[@]} -gt 0 ] || PROGRAMS=("${ALL[@]}")
OUT="$BUILD/bench"
RESULTS="$OUT/results.md"

for program in "${PROGRAMS[@]}"; do
    [ -f "$ROOT/bench/${program}_bench.cpp" ] || { log "no benchmark named $program"; exit 2; }
done

# The benchmarks the run-th run starts.
programs_of_run() {
    local program
    for program in "${PROGRAMS[@]}"; do
        [ "$program" = richtext ] && [ "$1" -gt "$RICHTEXT_RUNS" ] && continue
        echo "$program"
    done
}

# The program that writes the table (natively built, so --from-runs needs
# no Wine).
step "building the table program" configure_and_build_native --target bench_table || exit 1
unfinished=()
if [ "$FROM_RUNS" -eq 1 ]; then
    # Runs made earlier (for example by starting benchmarks.exe by hand, one
    # output file per run): only the table is made again.
    RUNS=$(find "$OUT/runs" -name 'run*.txt' 2>/dev/null | wc -l)
    [ "$RUNS" -gt 0 ] || { log "no runs in $OUT/runs"; exit 2; }
else
    step "building the DLL and the benchmarks" configure_and_build_windows --target vantor44i benchmarks || exit 1
    rm -rf "$OUT/runs"
    mkdir -p "$OUT/runs"
    use_platform "$(default_platform)" || exit 1
    start_wine || exit 1
    # The start-up benchmark judges its bound by the machine (Wine hands the
    # variable to the Windows program).
    export VANTOR_MACHINE
    VANTOR_MACHINE=$(platform_machine)
    # One program holds every benchmark (under emulation starting a Wine
    # process costs most of a minute); a run starts it once.
    for run in $(seq 1 "$RUNS"); do
        mapfile -t these < <(programs_of_run "$run")
        [ ${#these[@]} -gt 0 ] || continue
        output="$OUT/runs/run$run.txt"
        step "run $run of $RUNS on $(platform_name): ${these[*]}" in_root wine "$BUILD/win/bin/benchmarks.exe" "${these[@]}" >"$output" 2>&1
    done
fi
# Bounds and faults are judged from the result lines below; a benchmark
# that did not reach its end as often as it was started (a crash) fails the
# command.
for program in "${PROGRAMS[@]}"; do
    expected=0
    for run in $(seq 1 "$RUNS"); do programs_of_run "$run" | grep -qx "$program" && expected=$((expected + 1)); done
    done_runs=$(cat "$OUT"/runs/run*.txt 2>/dev/null | tr -d '\r' | grep -cx "@done|$program")
    [ "$done_runs" -ge "$expected" ] || unfinished+=("$program (ended $done_runs of $expected runs)")
done

# One table from the result lines of all runs (bench_table): medians over
# the runs, the spread (least and greatest), and the verdict against the
# bound.
if [ "$FROM_RUNS" -eq 1 ]; then ensure_platform >/dev/null 2>&1; fi
machine=$(platform_machine)
platform=$(platform_name)
commit=$(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)
(
    echo "# Benchmark results"
    echo
    if [ "$PLATFORM" = wine10 ]; then
        echo "Machine: **Wine 10 in WoW64 mode** (32-bit Windows code in a 64-bit process, at native speed)."
    elif [ "$machine" = emulated ]; then
        echo "Machine: **emulated** (32-bit programs run through an emulator: absolute times are far higher"
        echo "than on a native 32-bit machine; the ratios are what count)."
    else
        echo "Machine: **native 32-bit** (the kernel runs 32-bit programs itself)."
    fi
    echo
    echo "$platform, commit $commit, $(date -u '+%Y-%m-%d %H:%M UTC'), $RUNS runs of each benchmark"
    echo "(the rich-text one: $(( RICHTEXT_RUNS < RUNS ? RICHTEXT_RUNS : RUNS )), each of 5 alternating rounds);"
    echo "every value is the median over the runs, the spread its least and greatest value."
    echo "Within a run each case times the raw platform calls and the same work through"
    echo "\`_KELExtender2@40\` in alternating rounds; its ratio is the median of the rounds' ratios."
    echo
    "$BUILD/native/bench_table" "$RUNS" "$OUT"/runs/*.txt
    status=$?
    if [ ${#unfinished[@]} -gt 0 ]; then
        echo
        echo "Did not finish: ${unfinished[*]} (output in build/bench/runs/)."
        status=1
    fi
    exit $status
) >"$RESULTS"
status=$?

cat "$RESULTS"
log "results in $RESULTS"
if [ "$status" -ne 0 ]; then
    log "a case is out of bound, a benchmark found a fault, or a benchmark did not finish"
    exit 1
fi
