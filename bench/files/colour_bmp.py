#!/usr/bin/env python3
# Writes a SIDE x SIDE 24-bit bottom-up BMP for the benchmarks: rows of white
# with random black runs (a fixed seed), a realistic two-valued picture.
#   bench/files/colour_bmp.py PATH SIDE
import random
import struct
import sys

path, n = sys.argv[1], int(sys.argv[2])
stride = (n * 3 + 3) // 4 * 4
random.seed(1)
with open(path, "wb") as f:
    f.write(b"BM" + struct.pack("<IHHI", 54 + stride * n, 0, 0, 54))
    f.write(struct.pack("<IiiHHIIiiII", 40, n, n, 1, 24, 0, stride * n, 2835, 2835, 0, 0))
    for y in range(n):
        row = bytearray(b"\xff" * stride)
        for _ in range(16):
            x = random.randrange(n)
            w = random.randrange(1, 200)
            row[3 * x:3 * min(n, x + w)] = b"\x00" * (3 * (min(n, x + w) - x))
        f.write(row)
