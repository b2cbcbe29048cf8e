#!/usr/bin/env bash
# Starts the desktop program with the sample image open; until it exists,
# measures the sample image with the command line. Further arguments go to
# the program (--lang en for the English windows).
set -euo pipefail
build=${1:-build}
shift || true
if [ -x "$build/src/gui/dimora3" ]; then
  exec "$build/src/gui/dimora3" "$@" samples/sierpinski-carpet.bmp
fi
exec "$build/src/cli/dimora3-cli" black samples/sierpinski-carpet.bmp
