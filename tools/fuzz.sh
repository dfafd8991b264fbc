#!/usr/bin/env bash
# Runs every fuzz target of a fuzzing build for a while: tools/fuzz.sh BUILD_DIR SECONDS [TARGET...]
# Each target starts from its seeds in tests/fuzz/corpus/<format>/ and keeps what it
# finds in BUILD_DIR/corpus/<format>/; crashes and hangs go to BUILD_DIR/artifacts/<format>/.
# Prints executions and coverage per target; fails when any target found something.
# The libFuzzer output goes to FUZZ_LOG_DIR/<format>.log (default BUILD_DIR/fuzz-logs);
# FUZZ_FLAGS adds libFuzzer flags (e.g. "-fork=1 -ignore_crashes=1" to go on after a find).
set -uo pipefail
build=$(cd "${1:?build directory}" && pwd) || exit 1
seconds=${2:-60}
shift 2 || shift $#
source_dir=$(cd "$(dirname "$0")/.." && pwd)
fuzz_dir="$source_dir/tests/fuzz"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for binary in "$build"/tests/fuzz/fuzz_*; do
        targets+=("${binary##*/fuzz_}")
    done
fi

export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
log_dir=${FUZZ_LOG_DIR:-$build/fuzz-logs}
mkdir -p "$log_dir"
summary=()
failed=0
for name in "${targets[@]}"; do
    binary="$build/tests/fuzz/fuzz_$name"
    corpus="$build/corpus/$name"
    artifacts="$build/artifacts/$name"
    mkdir -p "$corpus" "$artifacts"
    flags=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
           -artifact_prefix="$artifacts/")
    read -r -a extra_flags <<< "${FUZZ_FLAGS:-}"
    flags+=("${extra_flags[@]}")
    [ -f "$fuzz_dir/dict/$name.dict" ] && flags+=(-dict="$fuzz_dir/dict/$name.dict")
    [ -f "$fuzz_dir/targets/$name.options" ] && read -r -a extra < "$fuzz_dir/targets/$name.options" && flags+=("${extra[@]}")
    log="$log_dir/$name.log"
    echo "== fuzz_$name for ${seconds}s (log: $log)"
    "$binary" "${flags[@]}" "$corpus" "$fuzz_dir/corpus/$name" > "$log" 2>&1
    status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    if [ -z "$runs" ]; then # fork mode prints its totals as "#RUNS: cov: ..."
        runs=$(sed -n 's/^#\([0-9]*\): cov.*/\1/p' "$log" | tail -1)
        [ -n "$runs" ] && speed=$((runs / seconds))
    fi
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    line=$(printf '%-9s %12s execs %8s/s  cov %6s  ft %6s' "$name" "${runs:-?}" "${speed:-?}" "${coverage:-?}" "${features:-?}")
    found=$(grep -o 'oom/timeout/crash: [0-9/]*' "$log" | tail -1)
    [ -n "$found" ] && line="$line  $found (artifacts: $(ls "$artifacts" | wc -l))"
    if [ $status -ne 0 ]; then
        line="$line  FOUND A FAULT (exit $status), see $log and $artifacts"
        failed=1
        grep -m1 -E 'ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error' "$log"
    fi
    summary+=("$line")
done
echo "== fuzzing summary"
printf '%s\n' "${summary[@]}"
exit $failed
