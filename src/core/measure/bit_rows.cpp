// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/bit_rows.hpp"

#include <algorithm>
#include <bit>

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
    if (havePopcount())
        return countWithInstruction(words, count);
#endif
    std::int64_t total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += std::popcount(words[i]);
    return total;
}

void orWords(std::uint64_t* target, const std::uint64_t* source, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        target[i] |= source[i];
}

void halveBits(const std::uint64_t* in, std::int64_t inBits, int shift, std::uint64_t* out)
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
    for (; k < uncheckedEnd; ++k)
        halve(k, [&](std::int64_t i) { return in[i]; });
    for (; k < outWords; ++k)
        halve(k, checkedWord);
}

}  // namespace dimora
