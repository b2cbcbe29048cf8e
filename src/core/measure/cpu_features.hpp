// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What the processor running the program offers, for the loops written with
// vector instructions beside their plain versions. Asked once per process.

namespace dimora {

#if defined(__x86_64__) || defined(__i386__)
[[nodiscard]] inline bool havePopcount()
{
    static const bool have = __builtin_cpu_supports("popcnt") != 0;
    return have;
}

[[nodiscard]] inline bool haveAvx2()
{
    static const bool have = __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0;
    return have;
}

// 512-bit vectors with byte operations and a population count per word.
[[nodiscard]] inline bool haveAvx512()
{
    static const bool have = __builtin_cpu_supports("avx512f") != 0 &&
                             __builtin_cpu_supports("avx512bw") != 0 &&
                             __builtin_cpu_supports("avx512vpopcntdq") != 0;
    return have;
}
#endif

}  // namespace dimora
