#!/usr/bin/env bash
# Runs every seed and every kept crash input once through its fuzz target, as built by the
# sanitizer build: tools/fuzz-replay.sh BUILD_DIR. Fails on the first sanitizer report.
set -uo pipefail
build=$(cd "${1:?build directory}" && pwd) || exit 1
corpora="$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz/corpus"
export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_may_return_null=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
failed=()
targets=0
for binary in "$build"/tests/fuzz/fuzz_*; do
    name=${binary##*/fuzz_}
    targets=$((targets + 1))
    log="$build/fuzz-replay-$name.log"
    if "$binary" "$corpora/$name" > "$log" 2>&1; then
        echo "fuzz_$name: $(grep "^Executed" "$log")"
    else
        echo "fuzz_$name FAILED on $(grep '^Running: ' "$log" | tail -1 | cut -d' ' -f2-):"
        tail -40 "$log"
        failed+=("$name")
    fi
done
if [ $targets -eq 0 ]; then
    echo "no fuzz targets built in $build"
    exit 1
fi
if [ ${#failed[@]} -ne 0 ]; then
    echo "corpus regression failed for: ${failed[*]}"
    exit 1
fi
echo "corpus regression: all $targets fuzz targets ran their corpora cleanly"
