#!/usr/bin/env bash
# Runs every benchmark program of a bench build.
set -euo pipefail
build=${1:-build-bench}
for b in $(find "$build/bench" -type f -executable -name "bench_*" | sort); do
  echo "== $b"
  "$b" --benchmark_counters_tabular=true
done
