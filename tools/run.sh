#!/usr/bin/env bash
# Starts the desktop program; until it exists, measures the sample image with
# the command line.
set -euo pipefail
build=${1:-build}
if [ -x "$build/src/gui/dimora3" ]; then
  exec "$build/src/gui/dimora3"
fi
exec "$build/src/cli/dimora3-cli" black samples/sierpinski-carpet.bmp
