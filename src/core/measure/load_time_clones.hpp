// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// DIMORA_AVX2_CLONES compiles a function twice, for AVX2 and for any x86-64
// processor, and lets the loader choose the copy when the program starts.
// ThreadSanitizer's runtime is not ready while the loader runs that choice,
// so its builds (and other processors) keep the one plain copy.

#if defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define DIMORA_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_THREAD__)
#define DIMORA_THREAD_SANITIZER 1
#endif

#if defined(__x86_64__) && defined(__GNUC__) && !defined(DIMORA_THREAD_SANITIZER)
#define DIMORA_AVX2_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define DIMORA_AVX2_CLONES
#endif
