#!/usr/bin/env python3
# Dimora3 — fractal dimension by box counting.
# SPDX-License-Identifier: MIT
"""Two threads measuring two arrays with the Python module run side by side.

The module releases the GIL while the core counts, so two threads on a two-core
machine should take about as long as one measurement, not two. Run by hand on an
otherwise idle machine, from the top of the source tree after a build:

    PYTHONPATH=build/python python3 bench/python_threads.py [SIZE]

It prints the time of two measurements one after the other, the time of the same
two in two threads, and their ratio (near 2 with two free cores, near 1 when the
GIL were held).
"""

import sys
import threading
import time

import numpy as np

import dimora3


def main():
    size = int(sys.argv[1]) if len(sys.argv) > 1 else 8192
    rng = np.random.default_rng(1)
    arrays = [rng.random((size, size)) < 0.3, rng.random((size, size)) < 0.6]
    dimora3.boxcount(arrays[0][:64, :64])  # load everything once

    def measure(array):
        dimora3.boxcount(array, grid="min")

    start = time.perf_counter()
    for array in arrays:
        measure(array)
    one_after_other = time.perf_counter() - start

    threads = [threading.Thread(target=measure, args=(array,)) for array in arrays]
    start = time.perf_counter()
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    side_by_side = time.perf_counter() - start

    print("two %d × %d arrays, grid of least count" % (size, size))
    print("  one after the other  %.2f s" % one_after_other)
    print("  two threads          %.2f s" % side_by_side)
    print("  speed-up             %.2f" % (one_after_other / side_by_side))


if __name__ == "__main__":
    main()
