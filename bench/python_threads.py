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
import time
from concurrent.futures import ThreadPoolExecutor

import numpy as np

import dimora3


def best_of(runs, work):
    """The shortest of several timings of work()."""
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return min(times)


def main():
    size = int(sys.argv[1]) if len(sys.argv) > 1 else 8192
    rng = np.random.default_rng(1)
    arrays = [rng.random((size, size)) < 0.3, rng.random((size, size)) < 0.6]

    def measure(array):
        return dimora3.boxcount(array)

    with ThreadPoolExecutor(max_workers=2) as pool:
        # Each thread's working memory is made on its first measurement: warm
        # both workers and this thread before timing.
        list(pool.map(measure, arrays))
        for array in arrays:
            measure(array)
        one_after_other = best_of(3, lambda: [measure(array) for array in arrays])
        side_by_side = best_of(3, lambda: list(pool.map(measure, arrays)))

    print("two %d × %d arrays" % (size, size))
    print("  one after the other  %.3f s" % one_after_other)
    print("  two threads          %.3f s" % side_by_side)
    print("  speed-up             %.2f" % (one_after_other / side_by_side))


if __name__ == "__main__":
    main()
