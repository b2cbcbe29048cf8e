#!/usr/bin/env bash
# The accuracy table: synthetic sets of known dimension (Sierpinski gasket and
# carpet, Vicsek fractal, Koch curve, Cantor dust, circle, disk, line), each at
# an aligned and a shifted placement, measured black with the default (origin
# grid, all sides), with the grid of least count, and with the grid of least
# count over the automatic range; prints the dimensions, the errors and the
# mean absolute error of each. The sets are drawn in code by
# bench/measure/accuracy_table.cpp.
# Usage: bench/accuracy.sh [build-dir] [accuracy_table options...]
# (the build folder needs -DDIMORA_BUILD_BENCH=ON).
set -euo pipefail
build=${1:-build}
shift || true
cmake --build "$build" --target accuracy_table >/dev/null
"$build/bench/measure/accuracy_table" "$@"
