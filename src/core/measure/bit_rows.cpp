// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/bit_rows.hpp"

#include "core/measure/cpu_features.hpp"
#include "core/measure/load_time_clones.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

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
// The sum of a vector's 64-bit lanes (GCC 12's own reduction of 512-bit
// vectors trips its uninitialised-value warning).
__attribute__((target("avx2"), always_inline)) inline std::int64_t sumOfLanes(__m256i v)
{
    return _mm256_extract_epi64(v, 0) + _mm256_extract_epi64(v, 1) + _mm256_extract_epi64(v, 2) +
           _mm256_extract_epi64(v, 3);
}

__attribute__((target("avx512f"), always_inline)) inline std::int64_t sumOfLanes(__m512i v)
{
    alignas(64) std::array<std::int64_t, 8> lanes{};
    _mm512_store_si512(lanes.data(), v);
    std::int64_t total = 0;
    for (const std::int64_t lane : lanes)
        total += lane;
    return total;
}
#endif

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("popcnt"))) std::int64_t countWithInstruction(const std::uint64_t* words,
                                                                    std::size_t count)
{
    std::int64_t total = 0;
    for (std::size_t i = 0; i < count; ++i)
        total += __builtin_popcountll(words[i]);
    return total;
}

// Eight words at a time with a population count instruction per word.
__attribute__((target("avx512f,avx512vpopcntdq"))) std::int64_t countWithAvx512(const std::uint64_t* words,
                                                                                std::size_t count)
{
    __m512i totals = _mm512_setzero_si512();
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8)
        totals = _mm512_add_epi64(totals, _mm512_popcnt_epi64(_mm512_loadu_si512(words + i)));
    std::int64_t total = sumOfLanes(totals);
    for (; i < count; ++i)
        total += __builtin_popcountll(words[i]);
    return total;
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
    std::int64_t total = sumOfLanes(totals);
    for (; i < count; ++i)
        total += __builtin_popcountll(words[i]);
    return total;
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

// ---- halving whole bytes ----------------------------------------------------
// Each byte of a row gives one bit per pixel pair, four bits that go into the
// halved row in the byte's place; two bytes make one byte of the halved row.

// The pair bits of a byte whose first pixel is its low bit or its high bit.
constexpr unsigned pairsOfByte(unsigned byte, bool highBitFirst)
{
    unsigned pairs = 0;
    for (unsigned pair = 0; pair < 4; ++pair) {
        const unsigned twoBits = highBitFirst ? byte >> (6 - 2 * pair) & 3u : byte >> (2 * pair) & 3u;
        pairs |= (twoBits != 0 ? 1u : 0u) << pair;
    }
    return pairs;
}

constexpr std::array<std::uint8_t, 256> pairTable(bool highBitFirst)
{
    std::array<std::uint8_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte)
        table[byte] = static_cast<std::uint8_t>(pairsOfByte(byte, highBitFirst));
    return table;
}

constexpr std::array<std::array<std::uint8_t, 256>, 2> kPairTables{pairTable(false), pairTable(true)};

// The same per nibble, for byte shuffles: the pair bits of a low and of a
// high nibble, the 16 entries repeated for each 128-bit lane.
struct NibbleTables {
    alignas(64) std::array<std::uint8_t, 64> low{};
    alignas(64) std::array<std::uint8_t, 64> high{};
};

constexpr NibbleTables nibbleTables(bool highBitFirst)
{
    NibbleTables tables;
    for (unsigned n = 0; n < 64; ++n) {
        tables.low[n] = static_cast<std::uint8_t>(pairsOfByte(n % 16, highBitFirst));
        tables.high[n] = static_cast<std::uint8_t>(pairsOfByte(n % 16 << 4, highBitFirst));
    }
    return tables;
}

constexpr std::array<NibbleTables, 2> kNibbleTables{nibbleTables(false), nibbleTables(true)};

#if defined(__x86_64__) || defined(__i386__)
// The pair bits of 32 bytes, neighbouring bytes' four bits joined by a
// multiply-add into one 16-bit lane: the pair bits of each nibble from a
// 16-entry table, the two nibbles' bits of a byte ORed.
__attribute__((target("avx2"), always_inline)) inline __m256i pairLanes(__m256i v, __m256i low, __m256i high)
{
    const __m256i nibbles = _mm256_set1_epi8(0x0F);
    // Byte 2k's bits times 1 plus byte 2k + 1's times 16.
    const __m256i weights = _mm256_set1_epi16(0x1001);
    const __m256i bits =
        _mm256_or_si256(_mm256_shuffle_epi8(low, _mm256_and_si256(v, nibbles)),
                        _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibbles)));
    return _mm256_maddubs_epi16(bits, weights);
}

__attribute__((target("avx2"), always_inline)) inline __m256i loadFlipped(const std::uint8_t* bytes,
                                                                          __m256i flips)
{
    return _mm256_xor_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes)), flips);
}

// The same with 512-bit vectors.
__attribute__((target("avx512f,avx512bw"), always_inline)) inline __m512i pairLanes(__m512i v, __m512i low,
                                                                                    __m512i high)
{
    const __m512i nibbles = _mm512_set1_epi8(0x0F);
    const __m512i weights = _mm512_set1_epi16(0x1001);
    const __m512i bits =
        _mm512_or_si512(_mm512_shuffle_epi8(low, _mm512_and_si512(v, nibbles)),
                        _mm512_shuffle_epi8(high, _mm512_and_si512(_mm512_srli_epi16(v, 4), nibbles)));
    return _mm512_maddubs_epi16(bits, weights);
}

// Sixty-four bytes a step, packed into 32 bytes of the halved row.
__attribute__((target("avx2"))) void halveBlocksWithAvx2(const std::uint8_t* in, std::size_t blocks,
                                                         bool highBitFirst, std::uint8_t flip,
                                                         std::uint8_t* out)
{
    const NibbleTables& tables = kNibbleTables[highBitFirst ? 1 : 0];
    const __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables.low.data()));
    const __m256i high = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables.high.data()));
    const __m256i flips = _mm256_set1_epi8(static_cast<char>(flip));
    for (std::size_t b = 0; b < blocks; ++b) {
        const __m256i packed =
            _mm256_packus_epi16(pairLanes(loadFlipped(in + 64 * b, flips), low, high),
                                pairLanes(loadFlipped(in + 64 * b + 32, flips), low, high));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 32 * b), _mm256_permute4x64_epi64(packed, 0xD8));
    }
}

// The same, 128 bytes a step with 512-bit vectors.
__attribute__((target("avx512f,avx512bw"))) void halveBlocksWithAvx512(const std::uint8_t* in,
                                                                       std::size_t blocks, bool highBitFirst,
                                                                       std::uint8_t flip, std::uint8_t* out)
{
    const NibbleTables& tables = kNibbleTables[highBitFirst ? 1 : 0];
    const __m512i low = _mm512_load_si512(tables.low.data());
    const __m512i high = _mm512_load_si512(tables.high.data());
    const __m512i flips = _mm512_set1_epi8(static_cast<char>(flip));
    // packus interleaves the two inputs' 8-byte halves lane by lane.
    const __m512i order = _mm512_setr_epi64(0, 2, 4, 6, 1, 3, 5, 7);
    const auto lanesAt = [&](const std::uint8_t* bytes) __attribute__((target("avx512f,avx512bw")))
    {
        return pairLanes(_mm512_xor_si512(_mm512_loadu_si512(bytes), flips), low, high);
    };
    for (std::size_t b = 0; b < blocks; ++b) {
        const __m512i packed = _mm512_packus_epi16(lanesAt(in + 128 * b), lanesAt(in + 128 * b + 64));
        _mm512_storeu_si512(out + 64 * b, _mm512_maskz_permutexvar_epi64(0xFF, order, packed));
    }
}

// The same with 256-bit vectors, 32 bytes of each row a step, from byte
// `from` of each row: 16 bytes of halved pairs (two output words) a step.
__attribute__((target("avx2,popcnt"))) std::int64_t
halveRowPairsWithAvx2(const std::uint8_t* rows, std::ptrdiff_t stride, std::int32_t height, std::size_t from,
                      std::size_t chunks, bool value, std::uint64_t* out, std::size_t outStride)
{
    const NibbleTables& tables = kNibbleTables[1];
    const __m256i low = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables.low.data()));
    const __m256i high = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables.high.data()));
    const __m256i flips = _mm256_set1_epi8(static_cast<char>(value ? 0 : 0xFF));
    // The bits are counted with the scalar instruction, a word at a time,
    // which runs beside the vector shuffles where counting by nibble table
    // would wait for them.
    const auto wordOnes = [](const std::uint8_t* bytes) __attribute__((target("popcnt")))
    {
        std::int64_t ones = 0;
        for (int w = 0; w < 4; ++w) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes + 8 * w, sizeof word);
            ones += __builtin_popcountll(word);
        }
        return ones;
    };
    std::int64_t total = 0;
    for (std::int32_t i = 0; i < height; i += 2) {
        const std::uint8_t* first = rows + i * stride + from;
        const bool pair = i + 1 < height;
        const std::uint8_t* second = pair ? first + stride : first;
        auto* target =
            reinterpret_cast<std::uint8_t*>(out + static_cast<std::size_t>(i / 2) * outStride) + from / 2;
        for (std::size_t c = 0; c < chunks; ++c) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(first + 32 * c));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second + 32 * c));
            total += wordOnes(first + 32 * c);
            if (pair)
                total += wordOnes(second + 32 * c);
            const __m256i v = _mm256_xor_si256(value ? _mm256_or_si256(a, b) : _mm256_and_si256(a, b), flips);
            const __m256i lanes = pairLanes(v, low, high);
            // Packed with itself: the 16 bytes sit in the low halves of
            // the two 128-bit lanes.
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(lanes, lanes), 0xD8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(target + 16 * c), _mm256_castsi256_si128(packed));
        }
    }
    return total;
}

// Row pairs of stored rows, 64 bytes of each row a step, folded, counted and
// halved in registers: chunks 0 .. chunks − 1 of rows 2p and 2p + 1 (the last
// alone when `height` is odd) into words 4c .. 4c + 3 of output row p.
__attribute__((target("avx512f,avx512bw,avx512vpopcntdq"))) std::int64_t
halveRowPairsWithAvx512(const std::uint8_t* rows, std::ptrdiff_t stride, std::int32_t height,
                        std::size_t chunks, bool value, std::uint64_t* out, std::size_t outStride)
{
    const NibbleTables& tables = kNibbleTables[1];
    const __m512i low = _mm512_load_si512(tables.low.data());
    const __m512i high = _mm512_load_si512(tables.high.data());
    const __m512i flips = _mm512_set1_epi8(static_cast<char>(value ? 0 : 0xFF));
    __m512i totals = _mm512_setzero_si512();
    for (std::int32_t i = 0; i < height; i += 2) {
        const std::uint8_t* first = rows + i * stride;
        const bool pair = i + 1 < height;
        const std::uint8_t* second = pair ? first + stride : first;
        auto* target = reinterpret_cast<std::uint8_t*>(out + static_cast<std::size_t>(i / 2) * outStride);
        for (std::size_t c = 0; c < chunks; ++c) {
            const __m512i a = _mm512_loadu_si512(first + 64 * c);
            const __m512i b = _mm512_loadu_si512(second + 64 * c);
            totals = _mm512_add_epi64(totals, _mm512_popcnt_epi64(a));
            if (pair)
                totals = _mm512_add_epi64(totals, _mm512_popcnt_epi64(b));
            const __m512i v = _mm512_xor_si512(value ? _mm512_or_si512(a, b) : _mm512_and_si512(a, b), flips);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + 32 * c),
                                _mm512_maskz_cvtepi16_epi8(~__mmask32{0}, pairLanes(v, low, high)));
        }
    }
    return sumOfLanes(totals);
}
#endif

// Halves bytes 0 .. count − 1 of a row, each first XORed with `flip`, into
// the bits 0 .. 4·count − 1 of `out`, whose words 0 .. ⌈count / 16⌉ − 1 it
// writes whole.
void halveBytes(const std::uint8_t* in, std::size_t count, bool highBitFirst, std::uint8_t flip,
                std::uint64_t* out)
{
    std::size_t done = 0;
#if defined(__x86_64__) || defined(__i386__)
    // The widest vectors first, then a step of the narrower ones.
    if (count >= 128 && haveAvx512()) {
        halveBlocksWithAvx512(in, count / 128, highBitFirst, flip, reinterpret_cast<std::uint8_t*>(out));
        done = count / 128 * 128;
    }
    if (count - done >= 64 && haveAvx2()) {
        halveBlocksWithAvx2(in + done, (count - done) / 64, highBitFirst, flip,
                            reinterpret_cast<std::uint8_t*>(out) + done / 2);
        done += (count - done) / 64 * 64;
    }
#endif
    const std::array<std::uint8_t, 256>& table = kPairTables[highBitFirst ? 1 : 0];
    for (std::size_t k = done; k < count; k += 16) {
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < 16 && k + i < count; ++i)
            word |= std::uint64_t{table[static_cast<std::uint8_t>(in[k + i] ^ flip)]} << (4 * i);
        out[k / 16] = word;
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Thirty-two bytes a step, counted as countWithAvx2 counts and folded.
template <PackedFold kFold>
__attribute__((target("avx2,popcnt"))) std::int64_t
foldBlocksWithAvx2(std::uint8_t* into, const std::uint8_t* row, std::size_t blocks)
{
    const __m256i table = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1, 1, 2, 1, 2,
                                           2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
    const __m256i nibbles = _mm256_set1_epi8(0x0F);
    __m256i totals = _mm256_setzero_si256();
    for (std::size_t b = 0; b < blocks; ++b) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + 32 * b));
        auto* target = reinterpret_cast<__m256i*>(into + 32 * b);
        if constexpr (kFold == PackedFold::Copy)
            _mm256_storeu_si256(target, v);
        else if constexpr (kFold == PackedFold::And)
            _mm256_storeu_si256(target, _mm256_and_si256(_mm256_loadu_si256(target), v));
        else
            _mm256_storeu_si256(target, _mm256_or_si256(_mm256_loadu_si256(target), v));
        const __m256i low = _mm256_shuffle_epi8(table, _mm256_and_si256(v, nibbles));
        const __m256i high = _mm256_shuffle_epi8(table, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibbles));
        totals =
            _mm256_add_epi64(totals, _mm256_sad_epu8(_mm256_add_epi8(low, high), _mm256_setzero_si256()));
    }
    return sumOfLanes(totals);
}

// Sixty-four bytes a step with a population count instruction per word.
template <PackedFold kFold>
__attribute__((target("avx512f,avx512vpopcntdq"))) std::int64_t
foldBlocksWithAvx512(std::uint8_t* into, const std::uint8_t* row, std::size_t blocks)
{
    __m512i totals = _mm512_setzero_si512();
    for (std::size_t b = 0; b < blocks; ++b) {
        const __m512i v = _mm512_loadu_si512(row + 64 * b);
        std::uint8_t* target = into + 64 * b;
        if constexpr (kFold == PackedFold::Copy)
            _mm512_storeu_si512(target, v);
        else if constexpr (kFold == PackedFold::And)
            _mm512_storeu_si512(target, _mm512_and_si512(_mm512_loadu_si512(target), v));
        else
            _mm512_storeu_si512(target, _mm512_or_si512(_mm512_loadu_si512(target), v));
        totals = _mm512_add_epi64(totals, _mm512_popcnt_epi64(v));
    }
    return sumOfLanes(totals);
}
#endif

std::uint8_t foldByte(std::uint8_t into, std::uint8_t byte, PackedFold fold)
{
    switch (fold) {
    case PackedFold::Copy:
        return byte;
    case PackedFold::And:
        return into & byte;
    case PackedFold::Or:
        return into | byte;
    }
    return byte;
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
    if (count >= 16 && haveAvx512())
        return countWithAvx512(words, count);
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
    // Unshifted rows are halved byte by byte; the bytes past the row's bits
    // are 0 and give 0.
    if (shift == 0 && std::endian::native == std::endian::little) {
        halveBytes(reinterpret_cast<const std::uint8_t*>(in), 8 * static_cast<std::size_t>(inWords), false, 0,
                   out);
        return;
    }
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

std::int64_t foldPackedRow(std::uint8_t* into, const std::uint8_t* row, std::int64_t bits, PackedFold fold)
{
    if (bits <= 0)
        return 0;
    const auto wholeBytes = static_cast<std::size_t>(bits / 8);
    std::size_t done = 0;
    std::int64_t ones = 0;
#if defined(__x86_64__) || defined(__i386__)
    // The widest vectors first, then a step of the narrower ones (so that
    // both are tested on processors with both).
    if (wholeBytes >= 64 && haveAvx512()) {
        const std::size_t blocks = wholeBytes / 64;
        ones = fold == PackedFold::Copy  ? foldBlocksWithAvx512<PackedFold::Copy>(into, row, blocks)
               : fold == PackedFold::And ? foldBlocksWithAvx512<PackedFold::And>(into, row, blocks)
                                         : foldBlocksWithAvx512<PackedFold::Or>(into, row, blocks);
        done = 64 * blocks;
    }
    if (wholeBytes - done >= 32 && haveAvx2()) {
        const std::size_t blocks = (wholeBytes - done) / 32;
        std::uint8_t* target = into + done;
        const std::uint8_t* source = row + done;
        ones += fold == PackedFold::Copy  ? foldBlocksWithAvx2<PackedFold::Copy>(target, source, blocks)
                : fold == PackedFold::And ? foldBlocksWithAvx2<PackedFold::And>(target, source, blocks)
                                          : foldBlocksWithAvx2<PackedFold::Or>(target, source, blocks);
        done += 32 * blocks;
    }
#endif
    for (std::size_t i = done; i < wholeBytes; ++i) {
        into[i] = foldByte(into[i], row[i], fold);
        ones += std::popcount(row[i]);
    }
    if (bits % 8 != 0) {
        into[wholeBytes] = foldByte(into[wholeBytes], row[wholeBytes], fold);
        ones += std::popcount(static_cast<std::uint8_t>(row[wholeBytes] & (0xFF00u >> (bits % 8))));
    }
    return ones;
}

void halvePackedRow(const std::uint8_t* row, std::int64_t bits, bool value, std::uint64_t* out)
{
    if (bits <= 0)
        return;
    const std::uint8_t flip = value ? 0 : 0xFF;
    const auto wholeBytes = static_cast<std::size_t>(bits / 8);
    halveBytes(row, wholeBytes, true, flip, out);
    const std::size_t outWords = bitWords((bits + 1) / 2);
    for (std::size_t w = (wholeBytes + 15) / 16; w < outWords; ++w)
        out[w] = 0;
    if (bits % 8 != 0) {
        // The last byte's pixels past the row count as not storing `value`.
        const auto byte = static_cast<std::uint8_t>((row[wholeBytes] ^ flip) & (0xFF00u >> (bits % 8)));
        out[wholeBytes / 16] |= std::uint64_t{kPairTables[1][byte]} << (4 * (wholeBytes % 16));
    }
}

std::int64_t halvePackedRowPairs(const std::uint8_t* rows, std::ptrdiff_t stride, std::int32_t height,
                                 std::int64_t bits, bool value, std::uint64_t* out, std::size_t outStride,
                                 std::uint8_t* scratch)
{
    if (bits <= 0 || height <= 0)
        return 0;
    // Bytes 0 .. done − 1 of each row in vectors, the widest first and then
    // a step of the narrower ones.
    std::size_t done = 0;
    std::int64_t ones = 0;
#if defined(__x86_64__) || defined(__i386__)
    if (haveAvx512()) {
        const auto chunks = static_cast<std::size_t>(bits / 512);
        ones = halveRowPairsWithAvx512(rows, stride, height, chunks, value, out, outStride);
        done = 64 * chunks;
    }
    if (haveAvx2()) {
        const std::size_t chunks = (static_cast<std::size_t>(bits / 8) - done) / 32;
        ones += halveRowPairsWithAvx2(rows, stride, height, done, chunks, value, out, outStride);
        done += 32 * chunks;
    }
#endif
    // The rest of each pair one pair at a time.
    const std::int64_t restBits = bits - 8 * static_cast<std::int64_t>(done);
    if (restBits == 0)
        return ones;
    const PackedFold fold = value ? PackedFold::Or : PackedFold::And;
    for (std::int32_t i = 0; i < height; i += 2) {
        const std::uint8_t* first = rows + i * stride + done;
        ones += foldPackedRow(scratch, first, restBits, PackedFold::Copy);
        if (i + 1 < height)
            ones += foldPackedRow(scratch, first + stride, restBits, fold);
        halvePackedRow(scratch, restBits, value,
                       out + static_cast<std::size_t>(i / 2) * outStride + done / 16);
    }
    return ones;
}

}  // namespace dimora
