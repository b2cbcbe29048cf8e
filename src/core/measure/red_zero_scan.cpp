// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "measure/red_zero_scan.hpp"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define DIMORA_X86_VECTOR_PATHS 1
#endif

namespace dimora {
namespace {

#ifdef DIMORA_X86_VECTOR_PATHS
// Red byte 0 for 24-bit pixels, 64 pixels (192 bytes) per word. The red bytes
// of 16 pixels (48 bytes) are gathered into one register by three byte
// shuffles and compared with 0 at once. Each returns the number of pixels done
// (a multiple of 64); the caller finishes the rest.

// Shuffle masks: from each of the three 16-byte thirds of 16 pixels, the red
// bytes (offset 2 of each pixel) to their pixel's place.
#define DIMORA_RED_OF_FIRST_THIRD 2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1
#define DIMORA_RED_OF_SECOND_THIRD -1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1
#define DIMORA_RED_OF_THIRD_THIRD -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15

__attribute__((target("ssse3"))) std::int64_t redZeroBits24Ssse3(const std::uint8_t* pixels,
                                                                 std::int64_t count, std::uint64_t* out)
{
    const __m128i first = _mm_setr_epi8(DIMORA_RED_OF_FIRST_THIRD);
    const __m128i second = _mm_setr_epi8(DIMORA_RED_OF_SECOND_THIRD);
    const __m128i third = _mm_setr_epi8(DIMORA_RED_OF_THIRD_THIRD);
    const __m128i zero = _mm_setzero_si128();
    std::int64_t done = 0;
    for (; done + 64 <= count; done += 64) {
        std::uint64_t word = 0;
        for (int group = 0; group < 4; ++group) {
            const auto* p = reinterpret_cast<const __m128i*>(pixels + 3 * (done + 16 * group));
            const __m128i reds = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(_mm_loadu_si128(p), first),
                                                           _mm_shuffle_epi8(_mm_loadu_si128(p + 1), second)),
                                              _mm_shuffle_epi8(_mm_loadu_si128(p + 2), third));
            const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(reds, zero)));
            word |= static_cast<std::uint64_t>(bits & 0xFFFFu) << (16 * group);
        }
        *out++ = word;
    }
    return done;
}

// The same with 32-byte registers, 32 pixels (96 bytes, six thirds) in three
// loads. Each 16-byte lane holds one third, so a lane's shuffle picks the red
// bytes of its third: lanes (1, 2), (3, 1'), (2', 3') for the first 16 pixels
// and the next 16 ('). Shuffled-out bytes are 0 and compare as 0 too, so each
// lane's result is masked to its own pixels before they are put together.
__attribute__((target("avx2"))) std::int64_t redZeroBits24Avx2(const std::uint8_t* pixels, std::int64_t count,
                                                               std::uint64_t* out)
{
    const __m256i shuffle0 = _mm256_setr_epi8(DIMORA_RED_OF_FIRST_THIRD, DIMORA_RED_OF_SECOND_THIRD);
    const __m256i shuffle1 = _mm256_setr_epi8(DIMORA_RED_OF_THIRD_THIRD, DIMORA_RED_OF_FIRST_THIRD);
    const __m256i shuffle2 = _mm256_setr_epi8(DIMORA_RED_OF_SECOND_THIRD, DIMORA_RED_OF_THIRD_THIRD);
    const __m256i zero = _mm256_setzero_si256();
    const auto zeroBytes = [&](const std::uint8_t* p, __m256i shuffle) __attribute__((target("avx2")))
    {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        return static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_cmpeq_epi8(_mm256_shuffle_epi8(bytes, shuffle), zero)));
    };
    std::int64_t done = 0;
    for (; done + 64 <= count; done += 64) {
        std::uint64_t word = 0;
        for (int half = 0; half < 2; ++half) {
            const std::uint8_t* p = pixels + 3 * (done + 32 * half);
            const std::uint32_t m0 = zeroBytes(p, shuffle0);
            const std::uint32_t m1 = zeroBytes(p + 32, shuffle1);
            const std::uint32_t m2 = zeroBytes(p + 64, shuffle2);
            // Pixels 0-4, 5-9 and 10-15 of the first 16, then of the next 16.
            const std::uint32_t firstSixteen = (m0 & 0x001Fu) | (m0 >> 16 & 0x03E0u) | (m1 & 0xFC00u);
            const std::uint32_t nextSixteen = (m1 >> 16 & 0x001Fu) | (m2 & 0x03E0u) | (m2 >> 16 & 0xFC00u);
            word |= static_cast<std::uint64_t>(firstSixteen | nextSixteen << 16) << (32 * half);
        }
        *out++ = word;
    }
    return done;
}

#undef DIMORA_RED_OF_FIRST_THIRD
#undef DIMORA_RED_OF_SECOND_THIRD
#undef DIMORA_RED_OF_THIRD_THIRD

#endif

} // namespace

ScanPath fastestScanPath()
{
#ifdef DIMORA_X86_VECTOR_PATHS
    static const ScanPath path = __builtin_cpu_supports("avx2")    ? ScanPath::Avx2
                                 : __builtin_cpu_supports("ssse3") ? ScanPath::Ssse3
                                                                   : ScanPath::Plain;
    return path;
#else
    return ScanPath::Plain;
#endif
}

std::int64_t scanRedZero24(const std::uint8_t* pixels, std::int64_t count, std::uint64_t* out, ScanPath path)
{
#ifdef DIMORA_X86_VECTOR_PATHS
    if (path == ScanPath::Avx2)
        return redZeroBits24Avx2(pixels, count, out);
    if (path == ScanPath::Ssse3)
        return redZeroBits24Ssse3(pixels, count, out);
#else
    (void)pixels;
    (void)count;
    (void)out;
    (void)path;
#endif
    return 0;
}

} // namespace dimora
