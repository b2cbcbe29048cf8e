#!/usr/bin/env bash
# dimora3-cli batch over 400 images of 512 × 512 (8-bit BMP, about 40 % black):
# one call with --jobs 2 against --jobs 1, and --jobs 1 against a shell loop of
# single dimora3-cli calls over the same files. Usage: bench/batch_jobs.sh [build-dir]
set -euo pipefail
build=${1:-build}
cli=$(realpath "$build/src/cli/dimora3-cli")
folder=${TMPDIR:-/tmp}/dimora-bench-batch
if [ ! -f "$folder/399.bmp" ]; then
  mkdir -p "$folder"
  python3 - "$folder" <<'PY'
import struct, sys, random
folder = sys.argv[1]
n = 512
random.seed(3)
for k in range(400):
    rows = bytearray()
    for y in range(n):
        row = bytearray(255 for _ in range(n))
        x = 0
        while x < n:
            run = random.randint(1, 40)
            if random.random() < 0.4:
                row[x:x + run] = bytes(min(run, n - x))
            x += run
        rows += row
    palette = b"".join(struct.pack("<BBBB", i, i, i, 0) for i in range(256))
    with open(f"{folder}/{k:03d}.bmp", "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 54 + 1024 + n * n, 0, 0, 54 + 1024))
        f.write(struct.pack("<IiiHHIIiiII", 40, n, n, 1, 8, 0, n * n, 2835, 2835, 256, 0))
        f.write(palette + rows)
PY
fi
seconds() { local start end; start=$(date +%s.%N); "$@" > /dev/null; end=$(date +%s.%N); echo "$end - $start" | bc; }
one=$(seconds "$cli" batch black "$folder" --jobs 1 --no-progress)
two=$(seconds "$cli" batch black "$folder" --jobs 2 --no-progress)
loop=$(seconds bash -c "for f in '$folder'/*.bmp; do '$cli' black \"\$f\" --json; done")
echo "batch --jobs 1: ${one} s"
echo "batch --jobs 2: ${two} s  (speed-up $(echo "scale=2; $one / $two" | bc))"
echo "shell loop:     ${loop} s  (batch --jobs 1 is $(echo "scale=2; $loop / $one" | bc)× faster)"
