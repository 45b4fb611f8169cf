#!/usr/bin/env bash
# Builds the native libFuzzer targets and runs each one long, from its
# committed corpus (fuzz/corpus/<name>) plus a working corpus of its own
# (build/native/fuzz-corpus/<name>), then prints the executions per target.
#
#   scripts/fuzz.sh [-r RUNS] [-t SECONDS] [-j PARALLEL] [target ...]
#
# -r  executions per target (default 10000000); -t instead runs each target
#     for that many seconds; -j how many targets run at once (default 1);
#     targets are named without "_fuzz" (default: every fuzz/*_fuzz.cpp).
# Findings are written to build/native/fuzz-findings/<name>/ and reproduce
# with: build/native/<name>_fuzz <file>. A unit counts as hung after 60 s of
# wall time: on a busy shared machine a niced run can stall for 10 s.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

RUNS=10000000
SECONDS_EACH=""
PARALLEL=1
while getopts "r:t:j:" option; do
    case $option in
        r) RUNS=$OPTARG ;;
        t) SECONDS_EACH=$OPTARG ;;
        j) PARALLEL=$OPTARG ;;
        *) sed -n 2,13p "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
    for source in "$ROOT"/fuzz/*_fuzz.cpp; do
        name=$(basename "$source" .cpp)
        TARGETS+=("${name%_fuzz}")
    done
fi

step "building the fuzz targets" configure_and_build_native --target $(printf "%s_fuzz " "${TARGETS[@]}")

LOGS="$BUILD/native/fuzz-logs"
mkdir -p "$LOGS"

# Runs one target to its end; its log keeps libFuzzer's final statistics.
run_target() {
    local name=$1 limit
    local work="$BUILD/native/fuzz-corpus/$name" findings="$BUILD/native/fuzz-findings/$name"
    mkdir -p "$work" "$findings"
    if [ -n "$SECONDS_EACH" ]; then limit=(-max_total_time="$SECONDS_EACH"); else limit=(-runs="$RUNS"); fi
    ASAN_OPTIONS=detect_leaks=1 nice -n 10 "$BUILD/native/${name}_fuzz" "${limit[@]}" \
        -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$work" "$ROOT/fuzz/corpus/$name" >"$LOGS/$name.log" 2>&1
}

status=0
pids=()
names=()
for name in "${TARGETS[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$PARALLEL" ]; do wait -n || true; done
    log "fuzzing $name (log: $LOGS/$name.log)"
    run_target "$name" &
    pids+=($!)
    names+=("$name")
done
results=()
for i in "${!pids[@]}"; do
    if wait "${pids[$i]}"; then results+=("clean"); else results+=("FAILED"); status=1; fi
done

printf '\n%-16s %14s %10s %8s  %s\n' target executions exec/s seconds result
for i in "${!names[@]}"; do
    name=${names[$i]}
    executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$LOGS/$name.log" | tail -1 | grep -o '[0-9]*$' || echo 0)
    rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$LOGS/$name.log" | tail -1 | grep -o '[0-9]*$' || echo 0)
    elapsed=$(grep -o 'runs in [0-9]* second' "$LOGS/$name.log" | tail -1 | grep -o '[0-9]*' || echo 0)
    printf '%-16s %14s %10s %8s  %s\n' "$name" "$executions" "$rate" "$elapsed" "${results[$i]}"
done
exit $status
