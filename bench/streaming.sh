#!/usr/bin/env bash
# Images larger than memory: dimora3-cli's streamed measurements against the
# bare decoding of their files, in time and peak resident memory.
#
#   bilevel TIFF, Deflate, striped and tiled   black    vs libtiff decoding every strip or tile
#   24-bit BMP                                 black, length vs cat of the file into a pipe
#   8-bit gray PNG                             gray     vs libpng decoding every row
#
# The files are made in a temporary folder at run time and removed at the end
# (the TIFFs and the PNG take a few minutes to make). Sides can be made
# smaller for a quick look: TIFF_SIDE (65536), BMP_SIDE (8192), PNG_SIDE (30000).
# Run it on a quiet machine: the PNG runs once, the others best of five.
#
# Usage: bench/streaming.sh [build-dir]
set -euo pipefail
build=${1:-build}
cli="$build/src/cli/dimora3-cli"
here=$(cd "$(dirname "$0")" && pwd)
tiff_side=${TIFF_SIDE:-65536}
bmp_side=${BMP_SIDE:-8192}
png_side=${PNG_SIDE:-30000}
work=$(mktemp -d "${TMPDIR:-/tmp}/dimora-streaming.XXXXXX")
trap 'rm -rf "$work"' EXIT

tool="$build/bench/files/stream_files"
if [ ! -x "$tool" ]; then
  tool="$work/stream_files"
  c++ -O2 -std=c++20 "$here/files/stream_files.cpp" -ltiff -lpng -o "$tool"
fi

# Runs a command once: "seconds cpu-seconds peak-MiB" (wall clock; user and
# system time, which a busy machine disturbs less; peak resident memory).
run_once() {
  "$tool" run "$@"
}

# Best of five (by wall clock).
run_best() {
  local best="" line
  for _ in 1 2 3 4 5; do
    line=$(run_once "$@")
    if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
      best=$line
    fi
  done
  echo "$best"
}

report() {  # label, run_once's line of the measurement, of the floor
  local label=$1
  awk -v l="$label" -v m="$2" -v f="$3" 'BEGIN {
    split(m, a, " "); split(f, b, " ")
    printf "%-28s %7.3f s (cpu %6.3f s) %6d MiB | floor %7.3f s (cpu %6.3f s) %6d MiB | ratio %.2f (cpu %.2f)\n",
      l, a[1], a[2], a[3], b[1], b[2], b[3], (b[1] > 0 ? a[1] / b[1] : 0), (b[2] > 0 ? a[2] / b[2] : 0) }'
}

for layout in striped tiled; do
  image="$work/bilevel-$layout.tif"
  "$tool" tiff "$image" "$tiff_side" "$layout"
  echo "TIFF $tiff_side x $tiff_side bilevel Deflate $layout: $(stat -c %s "$image") bytes"
  cat "$image" >/dev/null
  floor=$(run_best "$tool" decode-tiff "$image")
  measured=$(run_best "$cli" black "$image")
  report "  black vs libtiff decode" "$measured" "$floor"
  rm -f "$image"
done

image="$work/colour.bmp"
python3 "$here/files/colour_bmp.py" "$image" "$bmp_side"
echo "BMP $bmp_side x $bmp_side 24-bit bottom-up: $(stat -c %s "$image") bytes"
cat "$image" >/dev/null
floor=$(run_best sh -c 'cat "$1" | cat >/dev/null' sh "$image")
report "  black vs cat into a pipe" "$(run_best "$cli" black "$image")" "$floor"
report "  length vs cat into a pipe" "$(run_best "$cli" length "$image")" "$floor"
rm -f "$image"

image="$work/gray.png"
"$tool" png "$image" "$png_side"
echo "PNG $png_side x $png_side 8-bit gray: $(stat -c %s "$image") bytes"
cat "$image" >/dev/null
floor=$(run_once "$tool" decode-png "$image")
report "  gray vs libpng decode" "$(run_once "$cli" gray "$image")" "$floor"
