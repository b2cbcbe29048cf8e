// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/min_grid_count.hpp"

#include "core/common/error.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/masked_counting.hpp"
#include "core/measure/occupancy_level.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>
#include <array>
#include <limits>

namespace dimora {
namespace {

// The occupancy of the boxes of one side s by their starting pixel: bit p of
// row q is the box whose top-left pixel is (p − pad, q − pad) relative to the
// region's corner. `pad` columns and rows come before the region, a multiple
// of 64 and of every side, so that p mod s and q mod s are the box's column
// and row modulo s. Boxes starting at or past the region's right or bottom
// edge are empty; their bits (and those of rows past the last) are never
// stored, and read as 0.
//
// Side 1 is the region's bit mask. A box of side 2h starting at (x, y) is the
// union of the four boxes of side h starting at (x, y), (x + h, y), (x, y + h)
// and (x + h, y + h), so each side's bits come in place from the side before.
struct StartMask {
    std::int64_t pad = 0;
    std::int64_t width = 0;  // the region's
    std::int64_t height = 0;
    std::size_t wordsPerRow = 0;
    std::uint64_t* bits = nullptr;

    [[nodiscard]] std::int64_t rows() const { return pad + height; }
    [[nodiscard]] std::uint64_t* row(std::int64_t q)
    {
        return bits + static_cast<std::size_t>(q) * wordsPerRow;
    }
    [[nodiscard]] std::size_t words() const { return wordsPerRow * static_cast<std::size_t>(rows()); }
};

// Working memory, kept per thread and reused: fresh memory is slow on first
// touch, and costs more than the counting.
struct GridScratch {
    std::vector<std::uint64_t> mask;
    std::vector<std::uint64_t> lanes;
    std::vector<std::uint32_t> counters;
    std::vector<std::uint32_t> fullWords;
    std::vector<std::int64_t> pending;
};

GridScratch& threadScratch()
{
    thread_local GridScratch scratch;
    return scratch;
}

// The first `size` elements of a buffer, set to 0.
template <class T> T* zeroed(std::vector<T>& buffer, std::size_t size)
{
    if (buffer.size() < size)
        buffer.resize(size);
    std::fill_n(buffer.begin(), size, T{0});
    return buffer.data();
}

std::int64_t largestSide(const Region& region)
{
    const std::vector<std::int64_t> sides = boxSides(region.width, region.height, 1);
    return sides.empty() ? 1 : sides.back();
}

std::int64_t padFor(std::int64_t largest)
{
    return std::max<std::int64_t>(64, largest);
}

// Sets bits [begin, end) of a row.
void setBits(std::uint64_t* row, std::int64_t begin, std::int64_t end)
{
    for (std::int64_t i = begin; i < end;) {
        const std::int64_t word = i >> 6;
        const int low = static_cast<int>(i & 63);
        const std::int64_t stop = std::min(end, (word + 1) << 6);
        const int count = static_cast<int>(stop - i);
        const std::uint64_t ones = count == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << count) - 1);
        row[word] |= ones << low;
        i = stop;
    }
}

// ORs `count` bits of `source` (from its bit 0) into a row from bit `at`.
void orBitsAt(std::uint64_t* row, std::int64_t at, const std::uint64_t* source, std::int64_t count)
{
    const std::size_t words = bitWords(count);
    const int shift = static_cast<int>(at & 63);
    std::uint64_t* target = row + (at >> 6);
    if (shift == 0) {
        orWords(target, source, words);
        return;
    }
    // Bits of source past `count` are 0, so whole words may be shifted in.
    const std::size_t targetWords = bitWords(shift + count);
    for (std::size_t w = 0; w < targetWords; ++w) {
        const std::uint64_t low = w < words ? source[w] << shift : 0;
        const std::uint64_t high = w > 0 ? source[w - 1] >> (64 - shift) : 0;
        target[w] |= low | high;
    }
}

StartMask buildMask(const ImageView& image, const Region& region, PixelClass pixelClass, std::int64_t pad,
                    std::vector<std::uint64_t>& memory, const PixelMask* pixelMask)
{
    StartMask mask;
    mask.pad = pad;
    mask.width = region.width;
    mask.height = region.height;
    mask.wordsPerRow = bitWords(pad + region.width);
    mask.bits = zeroed(memory, mask.words());

    const Overlap xs = overlapOf(region.left, region.width, image.width);
    const Overlap ys = overlapOf(region.top, region.height, image.height);
    const bool nonBlack = pixelClass == PixelClass::NonBlack;
    // Region pixels off the image are non-black, unless a mask leaves them
    // out (they lie outside every mask).
    if (nonBlack && pixelMask == nullptr) {
        for (std::int64_t y = 0; y < region.height; ++y) {
            std::uint64_t* row = mask.row(pad + y);
            if (xs.length == 0 || y < ys.offset || y >= ys.offset + ys.length) {
                setBits(row, pad, pad + region.width);
            } else {
                setBits(row, pad, pad + xs.offset);
                setBits(row, pad + xs.offset + xs.length, pad + region.width);
            }
        }
    }
    if (xs.length == 0 || ys.length == 0)
        return mask;

    const RowClassifier classifier(*image.layout,
                                   nonBlack ? PixelTest::NonBlackByRed : PixelTest::BlackByRed);
    std::vector<std::uint64_t> pixels(bitWords(xs.length));
    const std::int64_t firstPixel = region.left + xs.offset;
    // Rows in memory order: reading memory backwards is much slower.
    const bool backwards = image.stride < 0;
    for (std::int64_t step = 0; step < ys.length; ++step) {
        const std::int64_t r = backwards ? ys.length - 1 - step : step;
        const auto y = static_cast<std::int32_t>(region.top + ys.offset + r);
        classifier.classify(image.row(y), firstPixel, xs.length, pixels.data());
        if (pixelMask != nullptr)
            andMaskBits(*pixelMask, y, firstPixel, xs.length, pixels.data());
        orBitsAt(mask.row(pad + ys.offset + r), pad + xs.offset, pixels.data(), xs.length);
    }
    return mask;
}

// Lane k (byte k) of kSpread[b] is bit k of b: adding kSpread of a word's
// bytes to eight 64-bit words counts each of its 64 bits in a lane of its own.
constexpr std::array<std::uint64_t, 256> kSpread = [] {
    std::array<std::uint64_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned k = 0; k < 8; ++k)
            table[b] |= static_cast<std::uint64_t>((b >> k) & 1u) << (8 * k);
    return table;
}();

// How many boxes start in each residue class (p mod s, q mod s) of one side:
// the count of placement (ox, oy) = ((s − p) mod s, (s − q) mod s). Counted in
// byte lanes (one 64-bit add per eight bits), moved into 32-bit counters
// before a lane can overflow. Counters exist for s × max(s, 64) classes: with
// sides under 64 every bit position of a word has its own, folded at the end.
class ResidueCounter {
public:
    ResidueCounter(std::int64_t side, GridScratch& scratch)
        : side_(side), columns_(std::max<std::int64_t>(side, 64)), groupWords_(columns_ / 64),
          lanes_(zeroed(scratch.lanes, static_cast<std::size_t>(side * columns_ / 8))),
          counters_(zeroed(scratch.counters, static_cast<std::size_t>(side * columns_))),
          pending_(zeroed(scratch.pending, static_cast<std::size_t>(side))),
          fullWords_(zeroed(scratch.fullWords, static_cast<std::size_t>(side * groupWords_)))
    {
    }

    // Counts the set bits of words [first, end) of buffer row q.
    void addRow(std::int64_t q, const std::uint64_t* row, std::int64_t first, std::int64_t end)
    {
        const std::int64_t classRow = q % side_;
        std::uint64_t* lanes = lanes_ + static_cast<std::size_t>(classRow * columns_ / 8);
        constexpr std::int64_t kLaneLimit = 255;
        for (std::int64_t w = first; w < end;) {
            // Each word of a chunk adds to the lanes of its class; a chunk of
            // n words adds at most ⌈n / groupWords⌉ times to any lane.
            const std::int64_t n = std::min(end - w, kLaneLimit * groupWords_);
            const std::int64_t adds = (n + groupWords_ - 1) / groupWords_;
            auto& pending = pending_[static_cast<std::size_t>(classRow)];
            if (pending + adds > kLaneLimit)
                flush(classRow);
            pending += adds;
            if (groupWords_ == 1)
                addWordsOfOneClass(classRow, row + w, n, lanes);
            else
                addWords(classRow, row, w, w + n, lanes);
            w += n;
        }
    }

    // Calls visit(ox, oy, count) for every placement, oy by oy, ox by ox.
    template <class Visit> void forEachPlacement(Visit&& visit)
    {
        for (std::int64_t r = 0; r < side_; ++r) {
            flush(r);
            std::uint32_t* counters = counters_ + static_cast<std::size_t>(r * columns_);
            for (std::int64_t c = 0; c < groupWords_; ++c) {
                const std::uint32_t full = fullWords_[static_cast<std::size_t>(r * groupWords_ + c)];
                for (std::int64_t b = 0; b < 64; ++b)
                    counters[64 * c + b] += full;
            }
        }
        std::vector<std::int64_t> row(static_cast<std::size_t>(side_));
        for (std::int64_t oy = 0; oy < side_; ++oy) {
            const std::int64_t classRow = (side_ - oy) % side_;
            const std::uint32_t* counters = counters_ + static_cast<std::size_t>(classRow * columns_);
            std::fill(row.begin(), row.end(), 0);
            for (std::int64_t p = 0; p < columns_; ++p)
                row[static_cast<std::size_t>((side_ - p % side_) % side_)] += counters[p];
            for (std::int64_t ox = 0; ox < side_; ++ox)
                visit(ox, oy, row[static_cast<std::size_t>(ox)]);
        }
    }

private:
    // Words of all ones, common at large sides, count once for their class
    // and reach the lanes' counters at the end.
    void addWords(std::int64_t classRow, const std::uint64_t* row, std::int64_t first, std::int64_t end,
                  std::uint64_t* lanes)
    {
        std::uint32_t* full = fullWords_ + static_cast<std::size_t>(classRow * groupWords_);
        const std::int64_t groupMask = groupWords_ - 1;
        for (std::int64_t w = first; w < end; ++w) {
            const std::uint64_t word = row[w];
            if (word == 0)
                continue;
            if (word == ~std::uint64_t{0}) {
                ++full[w & groupMask];
                continue;
            }
            std::uint64_t* lane = lanes + (w & groupMask) * 8;
            for (int k = 0; k < 8; ++k)
                lane[k] += kSpread[(word >> (8 * k)) & 0xFF];
        }
    }

    // Sides under 64: every word adds to the same eight lanes, kept in
    // registers meanwhile.
    void addWordsOfOneClass(std::int64_t classRow, const std::uint64_t* words, std::int64_t n,
                            std::uint64_t* lanes)
    {
        std::array<std::uint64_t, 8> sum{};
        std::uint32_t full = 0;
        for (std::int64_t i = 0; i < n; ++i) {
            const std::uint64_t word = words[i];
            if (word == ~std::uint64_t{0}) {
                ++full;
                continue;
            }
            for (int k = 0; k < 8; ++k)
                sum[static_cast<std::size_t>(k)] += kSpread[(word >> (8 * k)) & 0xFF];
        }
        for (int k = 0; k < 8; ++k)
            lanes[k] += sum[static_cast<std::size_t>(k)];
        fullWords_[static_cast<std::size_t>(classRow)] += full;
    }

    void flush(std::int64_t classRow)
    {
        std::uint64_t* lanes = lanes_ + static_cast<std::size_t>(classRow * columns_ / 8);
        std::uint32_t* counters = counters_ + static_cast<std::size_t>(classRow * columns_);
        for (std::int64_t i = 0; i < columns_ / 8; ++i) {
            const std::uint64_t lane = lanes[i];
            if (lane == 0)
                continue;
            for (int k = 0; k < 8; ++k)
                counters[8 * i + k] += static_cast<std::uint32_t>((lane >> (8 * k)) & 0xFF);
            lanes[i] = 0;
        }
        pending_[static_cast<std::size_t>(classRow)] = 0;
    }

    std::int64_t side_;
    std::int64_t columns_;
    std::int64_t groupWords_;
    std::uint64_t* lanes_;
    // Up to (W / 2 + 1) × (H / 2 + 1) boxes per placement for s ≥ 2: under
    // 2^32 for regions of up to 65535 × 65535 pixels.
    std::uint32_t* counters_;
    std::int64_t* pending_;
    std::uint32_t* fullWords_;  // per class row and word class
};

// Turns the mask of side h into that of side s = 2h over the box starts
// [−(s − 1), W) × [−(s − 1), H), counting each row of the new side as it is
// made. In place: row q reads rows q and q + h of side h, and word w the words
// w and w + ⌈h / 64⌉, all still of side h when rows and words go upwards.
void doubleSide(StartMask& mask, std::int64_t side, ResidueCounter& counter)
{
    const std::int64_t half = side / 2;
    const std::int64_t firstStart = mask.pad - (side - 1);
    const std::int64_t firstWord = firstStart >> 6;
    const auto endWord = static_cast<std::int64_t>(mask.wordsPerRow);
    const std::int64_t rows = mask.rows();
    for (std::int64_t q = firstStart; q < rows; ++q) {
        std::uint64_t* row = mask.row(q);
        if (q + half < rows)
            orWords(row + firstWord, mask.row(q + half) + firstWord,
                    static_cast<std::size_t>(endWord - firstWord));
        if (half >= 64) {
            const std::int64_t step = half / 64;
            for (std::int64_t w = firstWord; w + step < endWord; ++w)
                row[w] |= row[w + step];
        } else {
            const int shift = static_cast<int>(half);
            for (std::int64_t w = firstWord; w < endWord; ++w) {
                const std::uint64_t next = w + 1 < endWord ? row[w + 1] : 0;
                row[w] |= row[w] >> shift | next << (64 - shift);
            }
        }
        counter.addRow(q, row, firstWord, endWord);
    }
}

void checkBudget(const Region& region)
{
    if (minGridWorkingBytes(region) > Bitmap::memoryBudget())
        fail(msg::kInvalidBitmap);
}

// Runs the counting, handing each side's counter to onSide(side, counter),
// or the count of side 1 to onFirst.
template <class OnFirst, class OnSide>
void countAllPlacements(const ImageView& image, const Region& region, PixelClass pixelClass,
                        const std::vector<std::int64_t>& sides, OnFirst&& onFirst, OnSide&& onSide,
                        const PixelMask* pixelMask = nullptr)
{
    if (sides.empty())
        return;
    checkBudget(region);
    GridScratch& scratch = threadScratch();
    StartMask mask = buildMask(image, region, pixelClass, padFor(sides.back()), scratch.mask, pixelMask);
    onFirst(countWordBits(mask.bits, mask.words()));
    for (std::size_t k = 1; k < sides.size(); ++k) {
        ResidueCounter counter(sides[k], scratch);
        doubleSide(mask, sides[k], counter);
        onSide(sides[k], counter);
    }
}

// A region without pixels has no side either, so its coverage is 0 / 0.
void failWithoutPixels(const Region& region)
{
    if (region.width == 0 || region.height == 0)
        fail(msg::kInvalidFloatOperation);
}

double coverageOf(const Region& region, std::int64_t pixelsInClass)
{
    const std::int64_t area = std::int64_t{region.width} * region.height;
    return static_cast<double>(pixelsInClass) / static_cast<double>(area) * 100.0;
}

}  // namespace

std::uint64_t minGridWorkingBytes(const Region& region)
{
    if (region.width <= 0 || region.height <= 0)
        return 0;
    const std::int64_t largest = largestSide(region);
    const std::int64_t pad = padFor(largest);
    const std::uint64_t mask =
        bitWords(pad + region.width) * 8u * static_cast<std::uint64_t>(pad + region.height);
    // Byte lanes, 32-bit counters and a share of the counts of full words per
    // residue class.
    const auto counters = static_cast<std::uint64_t>(largest * std::max<std::int64_t>(largest, 64)) * 6u;
    return mask + counters;
}

MinGridCounts countBoxesMinGrid(const ImageView& image, const Region& region, PixelClass pixelClass,
                                const PixelMask* mask)
{
    failWithoutPixels(region);
    MinGridCounts result;
    result.sides = boxSides(region.width, region.height, 1);
    countAllPlacements(
        image, region, pixelClass, result.sides,
        [&](std::int64_t pixels) {
            result.counts.push_back(pixels);
            result.offsets.push_back({0, 0});
        },
        [&](std::int64_t, ResidueCounter& counter) {
            std::int64_t best = std::numeric_limits<std::int64_t>::max();
            GridOffset at;
            // Placements come oy by oy, then ox by ox: the first one reaching
            // the minimum is kept.
            counter.forEachPlacement([&](std::int64_t ox, std::int64_t oy, std::int64_t count) {
                if (count < best) {
                    best = count;
                    at = {ox, oy};
                }
            });
            result.counts.push_back(best);
            result.offsets.push_back(at);
        },
        mask);
    const std::int64_t pixelsInClass = result.counts.empty() ? 0 : result.counts.front();
    if (mask != nullptr) {
        // Over the mask's pixels inside the region: 0 / 0 when it has none.
        result.maskArea = maskAreaIn(*mask, region);
        if (*result.maskArea == 0)
            fail(msg::kInvalidFloatOperation);
        result.coverage = static_cast<double>(pixelsInClass) / static_cast<double>(*result.maskArea) * 100.0;
    } else {
        result.coverage = coverageOf(region, pixelsInClass);
    }
    return result;
}

MinGridCounts countBoxesOnGrid(const ImageView& image, const Region& region, PixelClass pixelClass,
                               GridPlacement placement, const PixelMask* mask)
{
    if (placement == GridPlacement::Min)
        return countBoxesMinGrid(image, region, pixelClass, mask);
    MinGridCounts result;
    static_cast<BoxCounts&>(result) = countMaskedBoxes(image, region, pixelClass, mask);
    return result;
}

void countEveryPlacement(const ImageView& image, const Region& region, PixelClass pixelClass,
                         const std::function<void(const PlacementCounts&)>& onSide)
{
    failWithoutPixels(region);
    const std::vector<std::int64_t> sides = boxSides(region.width, region.height, 1);
    countAllPlacements(
        image, region, pixelClass, sides, [&](std::int64_t pixels) { onSide(PlacementCounts(1, {pixels})); },
        [&](std::int64_t side, ResidueCounter& counter) {
            std::vector<std::int64_t> counts(static_cast<std::size_t>(side * side));
            counter.forEachPlacement([&](std::int64_t ox, std::int64_t oy, std::int64_t count) {
                counts[static_cast<std::size_t>(oy * side + ox)] = count;
            });
            onSide(PlacementCounts(side, std::move(counts)));
        });
}

}  // namespace dimora
