// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/bit_rows.hpp"

#include "core/measure/load_time_clones.hpp"

#include <algorithm>
#include <bit>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

// The loops over whole rows of words are compiled twice, for AVX2 (four
// words a step) and for the baseline (two), the processor choosing at load
// time.
#define WIDE_VECTORS DIMORA_AVX2_CLONES

namespace dimora {
namespace {

// The baseline x86-64 instruction set has no population count instruction,
// and the compiler's fallback is a library call per word; use the
// instruction where the processor has it.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("popcnt"))) std::int64_t countWithInstruction(const std::uint64_t* words,
                                                                    std::size_t count)
{
    std::int64_t total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += __builtin_popcountll(words[i]);
    return total;
}

bool havePopcount()
{
    static const bool have = __builtin_cpu_supports("popcnt") != 0;
    return have;
}

// Four words at a time: each nibble's bit count from a 16-entry table, the
// bytes' counts summed into four 64-bit totals. About twice the speed of one
// population count instruction per word.
__attribute__((target("avx2,popcnt"))) std::int64_t countWithAvx2(const std::uint64_t* words,
                                                                  std::size_t count)
{
    const __m256i table = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1, 1, 2, 1, 2,
                                           2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
    const __m256i nibbles = _mm256_set1_epi8(0x0F);
    __m256i totals = _mm256_setzero_si256();
    std::size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(words + i));
        const __m256i low = _mm256_shuffle_epi8(table, _mm256_and_si256(v, nibbles));
        const __m256i high = _mm256_shuffle_epi8(table, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibbles));
        totals =
            _mm256_add_epi64(totals, _mm256_sad_epu8(_mm256_add_epi8(low, high), _mm256_setzero_si256()));
    }
    std::int64_t total = _mm256_extract_epi64(totals, 0) + _mm256_extract_epi64(totals, 1) +
                         _mm256_extract_epi64(totals, 2) + _mm256_extract_epi64(totals, 3);
    for (; i < count; ++i)
        total += __builtin_popcountll(words[i]);
    return total;
}

bool haveAvx2()
{
    static const bool have = __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("popcnt") != 0;
    return have;
}
#endif

// Bit j of the result is bit 2j OR bit 2j + 1 of x (j = 0 .. 31).
std::uint64_t pairBits(std::uint64_t x)
{
    x = (x | x >> 1) & 0x5555555555555555u;
    x = (x | x >> 1) & 0x3333333333333333u;
    x = (x | x >> 2) & 0x0F0F0F0F0F0F0F0Fu;
    x = (x | x >> 4) & 0x00FF00FF00FF00FFu;
    x = (x | x >> 8) & 0x0000FFFF0000FFFFu;
    x = (x | x >> 16) & 0x00000000FFFFFFFFu;
    return x;
}

}  // namespace

std::int64_t countBits(const std::uint64_t* row, std::int64_t begin, std::int64_t end)
{
    if (end <= begin)
        return 0;
    const std::int64_t firstWord = begin >> 6;
    const std::int64_t lastWord = (end - 1) >> 6;
    const std::uint64_t headMask = ~std::uint64_t{0} << (begin & 63);
    const std::uint64_t tailMask = ~std::uint64_t{0} >> (63 - ((end - 1) & 63));
    if (firstWord == lastWord)
        return std::popcount(row[firstWord] & headMask & tailMask);
    return std::popcount(row[firstWord] & headMask) +
           countWordBits(row + firstWord + 1, static_cast<std::size_t>(lastWord - firstWord - 1)) +
           std::popcount(row[lastWord] & tailMask);
}

std::int64_t countWordBits(const std::uint64_t* words, std::size_t count)
{
#if defined(__x86_64__) || defined(__i386__)
    if (count >= 16 && haveAvx2())
        return countWithAvx2(words, count);
    if (havePopcount())
        return countWithInstruction(words, count);
#endif
    std::int64_t total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += std::popcount(words[i]);
    return total;
}

WIDE_VECTORS void orWords(std::uint64_t* target, const std::uint64_t* source, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        target[i] |= source[i];
}

WIDE_VECTORS void halveBits(const std::uint64_t* in, std::int64_t inBits, int shift, std::uint64_t* out)
{
    const auto inWords = static_cast<std::int64_t>(bitWords(inBits));
    const auto outWords = static_cast<std::int64_t>(bitWords((inBits + shift + 1) / 2));
    const auto checkedWord = [&](std::int64_t k) { return k >= 0 && k < inWords ? in[k] : 0; };
    const auto halve = [&](std::int64_t k, auto word) {
        std::uint64_t low = word(2 * k);
        std::uint64_t high = word(2 * k + 1);
        if (shift != 0) {
            high = high << 1 | low >> 63;
            low = low << 1 | word(2 * k - 1) >> 63;
        }
        out[k] = pairBits(low) | pairBits(high) << 32;
    };
    // Words 1 .. inWords / 2 − 1 read only input words that exist.
    const std::int64_t uncheckedEnd = std::min(outWords, inWords / 2);
    std::int64_t k = 0;
    for (; k < std::min<std::int64_t>(1, outWords); ++k)
        halve(k, checkedWord);
    // Most words: a loop per shift, without branches, which the compiler
    // vectorises.
    if (shift == 0) {
        for (; k < uncheckedEnd; ++k)
            out[k] = pairBits(in[2 * k]) | pairBits(in[2 * k + 1]) << 32;
    } else {
        for (; k < uncheckedEnd; ++k) {
            const std::uint64_t low = in[2 * k] << 1 | in[2 * k - 1] >> 63;
            const std::uint64_t high = in[2 * k + 1] << 1 | in[2 * k] >> 63;
            out[k] = pairBits(low) | pairBits(high) << 32;
        }
    }
    for (; k < outWords; ++k)
        halve(k, checkedWord);
}

}  // namespace dimora
