#!/usr/bin/env bash
# End to end: `dimora3-cli black` on an 8192 × 8192 24-bit BMP file against
# `cat` reading the same file from a warm page cache (the floor for anything
# that reads the whole file). Usage: bench/cli_black_vs_cat.sh [build-dir]
set -euo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
cli="$build/src/cli/dimora3-cli"
image=${TMPDIR:-/tmp}/dimora-bench-8192.bmp
size=8192

if [ ! -f "$image" ]; then
  python3 "$here/files/colour_bmp.py" "$image" "$size"
fi

time_of() {  # best of 5 runs, seconds
  local best=999
  for _ in 1 2 3 4 5; do
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null; t1=$(date +%s.%N)
    best=$(echo "$t1 - $t0" | bc -l | awk -v b="$best" '{print ($1 < b) ? $1 : b}')
  done
  echo "$best"
}

cat "$image" >/dev/null
cat_time=$(time_of cat "$image")
cli_time=$(time_of "$cli" black "$image")
echo "file: $(stat -c %s "$image") bytes"
echo "cat:              ${cat_time} s"
echo "dimora3-cli black: ${cli_time} s"
echo "ratio:            $(echo "$cli_time / $cat_time" | bc -l | cut -c1-5)"
