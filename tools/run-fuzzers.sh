#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for the given number of seconds, one
# after another, and prints the executions each one ran.
#   tools/run-fuzzers.sh [BUILD_DIR] [SECONDS] [TARGET...]
# Working corpora grow in fuzz/corpus-work/<target> (not committed) and start
# from seeds written by make_seeds and copied from the committed test images.
# A crash, sanitizer report, hang or memory blow-up stops the run with a
# failure; the input is saved as fuzz/corpus-work/crash-<target>-*.
set -euo pipefail

build=${1:-build-fuzz}
seconds=${2:-60}
shift $(( $# < 2 ? $# : 2 ))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(bmp png tiff jpeg count_list command_line)

root=$(cd "$(dirname "$0")/.." && pwd)
work=$root/fuzz/corpus-work
data=$root/tests/data
mkdir -p "$work"

# Seeds: regenerated every run (cheap), kept apart from the working corpora.
seeds=$work/seeds
rm -rf "$seeds"
"$build/fuzz/make_seeds" "$seeds"
mkdir -p "$seeds/png"
# Small BMP Suite files: RLE, core and V4/V5 headers, odd masks, damaged ones.
find "$data/bmpsuite" -name '*.bmp' -size -10k -exec cp {} "$seeds/bmp/" \;
cp "$data"/pngsuite/*.png "$seeds/png/"

status=0
for target in "${targets[@]}"; do
  corpus=$work/$target
  mkdir -p "$corpus"
  log=$work/$target.log
  echo "== fuzz_$target for ${seconds}s"
  dict=()
  [ -f "$root/fuzz/$target.dict" ] && dict=(-dict="$root/fuzz/$target.dict")
  # Inputs up to 16 KiB; a single input may take 10 s and the process 2 GiB.
  if "$build/fuzz/fuzz_$target" "$corpus" "$seeds/$target" "${dict[@]}" \
      -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$work/crash-$target-" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "   ${runs:-?} executions, corpus $(ls "$corpus" | wc -l) inputs"
  else
    status=1
    echo "   FAILED: the fuzzer found a fault; its report:"
    grep -v '^#[0-9]' "$log" | tail -40
  fi
done
exit $status
