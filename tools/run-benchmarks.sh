#!/usr/bin/env bash
# Runs every benchmark that was built and prints its figures.
set -euo pipefail
build_dir=${1:-build}
for b in "$build_dir"/bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b") =="
    "$b"
done
