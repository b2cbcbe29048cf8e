// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/zero_byte_scan.hpp"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define DIMORA_X86_VECTOR_PATHS 1
#endif

namespace dimora {
namespace {

#ifdef DIMORA_X86_VECTOR_PATHS
// 16 pixels are 48 bytes, three 16-byte thirds. Each third is compared with 0
// byte by byte first; then, for each tested byte offset, a byte shuffle per
// third brings the results for that offset to their pixel's place (other
// places get 0, "not zero"). ORing the thirds and ANDing the offsets leaves
// 0xFF exactly at the pixels whose tested bytes are all 0.

using ShuffleMask = std::array<std::int8_t, 16>;

// The shuffle that moves byte `offset` of each pixel in `third` to the
// pixel's place; −1 (zero) where the pixel's byte lies in another third.
constexpr ShuffleMask gatherFromThird(int offset, int third)
{
    ShuffleMask mask{};
    for (int pixel = 0; pixel < 16; ++pixel) {
        const int byte = 3 * pixel + offset;
        mask[static_cast<std::size_t>(pixel)] = static_cast<std::int8_t>(byte / 16 == third ? byte % 16 : -1);
    }
    return mask;
}

// [offset][third]
constexpr std::array<std::array<ShuffleMask, 3>, 3> kGather = {{
    {gatherFromThird(0, 0), gatherFromThird(0, 1), gatherFromThird(0, 2)},
    {gatherFromThird(1, 0), gatherFromThird(1, 1), gatherFromThird(1, 2)},
    {gatherFromThird(2, 0), gatherFromThird(2, 1), gatherFromThird(2, 2)},
}};

constexpr int kRedOffset = 2;

// For one byte offset: the thirds' comparison results moved to their pixels'
// places and ORed.
__attribute__((target("ssse3"), always_inline)) inline __m128i gather(const __m128i* thirds,
                                                                      const __m128i* masks)
{
    return _mm_or_si128(
        _mm_or_si128(_mm_shuffle_epi8(thirds[0], masks[0]), _mm_shuffle_epi8(thirds[1], masks[1])),
        _mm_shuffle_epi8(thirds[2], masks[2]));
}

template <ZeroBytes Which>
__attribute__((target("ssse3"))) std::int64_t scanSsse3(const std::uint8_t* pixels, std::int64_t count,
                                                        std::uint64_t* out)
{
    __m128i masks[3][3];
    for (int offset = 0; offset < 3; ++offset)
        for (int third = 0; third < 3; ++third)
            masks[offset][third] =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kGather[offset][third].data()));
    const __m128i zero = _mm_setzero_si128();
    std::int64_t done = 0;
    for (; done + 64 <= count; done += 64) {
        std::uint64_t word = 0;
        for (int group = 0; group < 4; ++group) {
            const auto* p = reinterpret_cast<const __m128i*>(pixels + 3 * (done + 16 * group));
            const __m128i thirds[3] = {_mm_cmpeq_epi8(_mm_loadu_si128(p), zero),
                                       _mm_cmpeq_epi8(_mm_loadu_si128(p + 1), zero),
                                       _mm_cmpeq_epi8(_mm_loadu_si128(p + 2), zero)};
            __m128i zeroPixels = gather(thirds, masks[kRedOffset]);
            if constexpr (Which == ZeroBytes::AllThree)
                zeroPixels = _mm_and_si128(zeroPixels,
                                           _mm_and_si128(gather(thirds, masks[0]), gather(thirds, masks[1])));
            word |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(zeroPixels)) &
                                               0xFFFFu)
                    << (16 * group);
        }
        *out++ = word;
    }
    return done;
}

// Two 16-byte loads as the low and high lane of one register.
__attribute__((target("avx2"), always_inline)) inline __m256i loadPair(const std::uint8_t* low,
                                                                       const std::uint8_t* high)
{
    return _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

__attribute__((target("avx2"), always_inline)) inline __m256i gather(const __m256i* thirds,
                                                                     const __m256i* masks)
{
    return _mm256_or_si256(
        _mm256_or_si256(_mm256_shuffle_epi8(thirds[0], masks[0]), _mm256_shuffle_epi8(thirds[1], masks[1])),
        _mm256_shuffle_epi8(thirds[2], masks[2]));
}

// The same with 32-byte registers: two groups of 16 pixels side by side, one
// in each 16-byte lane, so the same shuffles serve both.
template <ZeroBytes Which>
__attribute__((target("avx2"))) std::int64_t scanAvx2(const std::uint8_t* pixels, std::int64_t count,
                                                      std::uint64_t* out)
{
    __m256i masks[3][3];
    for (int offset = 0; offset < 3; ++offset)
        for (int third = 0; third < 3; ++third)
            masks[offset][third] = _mm256_broadcastsi128_si256(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kGather[offset][third].data())));
    const __m256i zero = _mm256_setzero_si256();
    std::int64_t done = 0;
    for (; done + 64 <= count; done += 64) {
        std::uint64_t word = 0;
        for (int half = 0; half < 2; ++half) {
            const std::uint8_t* a = pixels + 3 * (done + 32 * half);  // pixels 0 to 15 of this half
            const std::uint8_t* b = a + 48;                           // pixels 16 to 31
            const __m256i thirds[3] = {_mm256_cmpeq_epi8(loadPair(a, b), zero),
                                       _mm256_cmpeq_epi8(loadPair(a + 16, b + 16), zero),
                                       _mm256_cmpeq_epi8(loadPair(a + 32, b + 32), zero)};
            __m256i zeroPixels = gather(thirds, masks[kRedOffset]);
            if constexpr (Which == ZeroBytes::AllThree)
                zeroPixels = _mm256_and_si256(
                    zeroPixels, _mm256_and_si256(gather(thirds, masks[0]), gather(thirds, masks[1])));
            word |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(zeroPixels)))
                    << (32 * half);
        }
        *out++ = word;
    }
    return done;
}
#endif

}  // namespace

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

std::int64_t scanZeroPixels24(const std::uint8_t* pixels, std::int64_t count, std::uint64_t* out,
                              ZeroBytes which, ScanPath path)
{
#ifdef DIMORA_X86_VECTOR_PATHS
    const bool red = which == ZeroBytes::Red;
    if (path == ScanPath::Avx2)
        return red ? scanAvx2<ZeroBytes::Red>(pixels, count, out)
                   : scanAvx2<ZeroBytes::AllThree>(pixels, count, out);
    if (path == ScanPath::Ssse3)
        return red ? scanSsse3<ZeroBytes::Red>(pixels, count, out)
                   : scanSsse3<ZeroBytes::AllThree>(pixels, count, out);
#else
    (void)pixels;
    (void)count;
    (void)out;
    (void)which;
    (void)path;
#endif
    return 0;
}

}  // namespace dimora
