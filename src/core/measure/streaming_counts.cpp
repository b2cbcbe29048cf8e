// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/streaming_counts.hpp"

#include "core/common/error.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/grey_levels.hpp"
#include "core/measure/length_rows.hpp"
#include "core/measure/load_time_clones.hpp"
#include "core/measure/occupancy_level.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>
#include <bit>
#include <cstring>

namespace dimora {

// ---- two-valued box counting ------------------------------------------------

struct BoxCountSink::State {
    // One side's row of boxes: the shape of its level over the overlap, the
    // bits of the box row now open, and what the closed rows counted.
    struct Level {
        OccupancyLevel shape;
        std::vector<std::uint64_t> row;
        BoxRange columnsOnImage, rowsOnImage;
        std::int64_t occupied = 0;
    };

    std::size_t sideCount = 0;
    Overlap xs, ys;
    bool missesImage = false;
    std::optional<RowClassifier> classifier;
    std::vector<std::uint64_t> pixels;  // the bits of one pixel row
    // The pixel rows of the open row of side-2 boxes, ORed: halved once when
    // that box row closes, not once per pixel row.
    std::vector<std::uint64_t> pairs;
    bool pairsEmpty = true;
    std::vector<std::uint64_t> halved;  // one row halved
    // 1-bit rows whose run starts on a byte and pairs from its first pixel
    // are put together as stored, with AND where the stored 0 is in the
    // class, OR where the 1 is, and turned into bits only when halved:
    // half the work of turning every row round.
    std::optional<bool> storedValue;
    std::vector<std::uint8_t> storedPairs;
    // Tiles: the halved row pairs of the band, put together tile by tile.
    std::vector<std::uint64_t> tileHalves;

    // Counts and halves on the box rows that a row of side-2 boxes (`halves`,
    // of the level-1 shape) completes when region row `regionRow` is its
    // last.
    void closeBoxRows(std::int64_t regionRow, bool lastRow, bool black, const std::uint64_t* halves);
    std::vector<Level> levels;  // levels[k]: side 2^k (k ≥ 1)
    std::int64_t pixelsInClass = 0;
};

BoxCountSink::BoxCountSink(const std::optional<Region>& region, PixelClass pixelClass)
    : given_(region), pixelClass_(pixelClass)
{
}

BoxCountSink::~BoxCountSink() = default;

void BoxCountSink::begin(std::int32_t width, std::int32_t height, const PixelLayout& layout)
{
    region_ = given_.value_or(Region{0, 0, width, height});
    state_ = std::make_unique<State>();
    State& s = *state_;
    s.sideCount = boxSides(region_.width, region_.height, 1).size();
    if (s.sideCount == 0)
        return;
    s.xs = overlapOf(region_.left, region_.width, width);
    s.ys = overlapOf(region_.top, region_.height, height);
    if (s.xs.length == 0 || s.ys.length == 0) {
        s.missesImage = true;
        return;
    }
    s.classifier.emplace(layout,
                         pixelClass_ == PixelClass::Black ? PixelTest::BlackByRed : PixelTest::NonBlackByRed);
    s.pixels.assign(bitWords(s.xs.length), 0);
    const std::int64_t firstPixel = std::int64_t{region_.left} + s.xs.offset;
    if (firstPixel % 8 == 0 && s.xs.offset % 2 == 0) {
        s.storedValue = s.classifier->passingBitValue();
        if (s.storedValue)
            s.storedPairs.assign(static_cast<std::size_t>((s.xs.length + 7) / 8), 0);
    }
    s.levels.resize(s.sideCount);
    for (std::size_t k = 1; k < s.sideCount; ++k) {
        State::Level& level = s.levels[k];
        level.shape = levelShape(s.xs, s.ys, static_cast<int>(k));
        level.row.assign(level.shape.wordsPerRow, 0);
        const std::int64_t side = std::int64_t{1} << k;
        level.columnsOnImage = boxesOnImage(region_.width, s.xs, side);
        level.rowsOnImage = boxesOnImage(region_.height, s.ys, side);
    }
    if (s.sideCount >= 2) {
        s.halved.assign(s.levels[1].shape.wordsPerRow, 0);
        s.pairs.assign(s.pixels.size(), 0);
    }
}

void BoxCountSink::rows(std::int32_t firstRow, const ImageView& band)
{
    State& s = *state_;
    if (s.sideCount == 0 || s.missesImage)
        return;
    const std::int64_t firstOverlapRow = std::int64_t{region_.top} + s.ys.offset;
    const std::int64_t firstPixel = std::int64_t{region_.left} + s.xs.offset;
    // A band of whole row pairs of the whole image goes as one tile.
    if (tileWidthMultiple() != 0 && firstRow % 2 == 0 && s.pairsEmpty &&
        (band.height % 2 == 0 || firstRow + band.height == region_.height)) {
        tile(firstRow, 0, band);
        tilesDone(firstRow, band.height);
        return;
    }
    const std::size_t pixelWords = s.pixels.size();
    for (std::int32_t i = 0; i < band.height; ++i) {
        const std::int64_t r = std::int64_t{firstRow} + i - firstOverlapRow;
        if (r < 0 || r >= s.ys.length)
            continue;
        if (s.storedValue) {
            const bool value = *s.storedValue;
            const PackedFold fold = s.pairsEmpty ? PackedFold::Copy
                                    : value      ? PackedFold::Or
                                                 : PackedFold::And;
            const std::int64_t ones =
                foldPackedRow(s.storedPairs.data(), band.row(i) + firstPixel / 8, s.xs.length, fold);
            s.pixelsInClass += value ? ones : s.xs.length - ones;
        } else {
            s.classifier->classify(band.row(i), firstPixel, s.xs.length, s.pixels.data());
            s.pixelsInClass += countWordBits(s.pixels.data(), pixelWords);
            if (s.sideCount < 2)
                continue;
            if (s.pairsEmpty)
                std::copy(s.pixels.begin(), s.pixels.end(), s.pairs.begin());
            else
                orWords(s.pairs.data(), s.pixels.data(), pixelWords);
        }
        s.pairsEmpty = false;
        const std::int64_t regionRow = s.ys.offset + r;
        const bool lastRow = r == s.ys.length - 1;
        if (s.sideCount < 2 || (!lastRow && (regionRow & 1) == 0))
            continue;
        std::uint64_t* halves = s.levels[1].row.data();
        if (s.storedValue)
            halvePackedRow(s.storedPairs.data(), s.xs.length, *s.storedValue, halves);
        else
            halveBits(s.pairs.data(), s.xs.length, static_cast<int>(s.xs.offset & 1), halves);
        s.pairsEmpty = true;
        s.closeBoxRows(regionRow, lastRow, pixelClass_ == PixelClass::Black, halves);
    }
}

namespace {

// The rows of halved pairs are kept a cache line off a multiple of 512 bytes
// apart: 4 KiB apart (a 65536-pixel row), every row of a tile would land on
// the same cache set, and the tile's writes would wait on one another.
std::size_t tileHalvesStride(std::size_t words)
{
    return words % 64 == 0 ? words + 8 : words;
}

}  // namespace

// Tiles 128 pixels wide or a multiple of that halve into whole words of the
// level-1 row; their row pairs are halved as the tile comes, while its rows
// are at hand, and the box rows above closed once the band is complete.
std::int32_t BoxCountSink::tileWidthMultiple() const
{
    const State& s = *state_;
    const bool wholeImage = region_.left == 0 && region_.top == 0 && s.xs.length == region_.width &&
                            s.ys.length == region_.height;
    return s.storedValue && wholeImage && s.sideCount >= 2 ? 128 : 0;
}

void BoxCountSink::tile(std::int32_t /*firstRow*/, std::int32_t firstColumn, const ImageView& tile)
{
    State& s = *state_;
    const bool value = *s.storedValue;
    const std::size_t words = tileHalvesStride(s.levels[1].shape.wordsPerRow);
    const auto pairs = static_cast<std::size_t>((tile.height + 1) / 2);
    if (s.tileHalves.size() < pairs * words)
        s.tileHalves.resize(pairs * words);
    const std::int64_t ones = halvePackedRowPairs(
        tile.firstRow, tile.stride, tile.height, tile.width, value,
        s.tileHalves.data() + static_cast<std::size_t>(firstColumn / 128), words, s.storedPairs.data());
    const std::int64_t pixels = std::int64_t{tile.width} * tile.height;
    s.pixelsInClass += value ? ones : pixels - ones;
}

void BoxCountSink::tilesDone(std::int32_t firstRow, std::int32_t count)
{
    State& s = *state_;
    const std::size_t words = s.levels[1].shape.wordsPerRow;
    const std::size_t stride = tileHalvesStride(words);
    for (std::int32_t i = 0; i < count; i += 2) {
        const std::int64_t last = std::int64_t{firstRow} + std::min(i + 1, count - 1);
        const std::uint64_t* halves = s.tileHalves.data() + static_cast<std::size_t>(i / 2) * stride;
        s.closeBoxRows(last, last == s.ys.length - 1, pixelClass_ == PixelClass::Black, halves);
    }
}

void BoxCountSink::State::closeBoxRows(std::int64_t regionRow, bool lastRow, bool black,
                                       const std::uint64_t* halves)
{
    // The box rows that this pixel row completes, side 2 upwards: a box row
    // of side 2^k ends where the region's row count reaches a multiple of
    // 2^k, or with the overlap's last row. The rows above side 2 are ORed
    // together from the rows below, and cleared once closed.
    for (std::size_t k = 1; k < sideCount; ++k) {
        if (!lastRow && ((regionRow + 1) & ((std::int64_t{1} << k) - 1)) != 0)
            break;
        Level& level = levels[k];
        const std::uint64_t* row = k == 1 ? halves : level.row.data();
        const std::int64_t j = regionRow >> k;
        if (black)
            level.occupied += countWordBits(row, level.shape.wordsPerRow);
        else if (j >= level.rowsOnImage.first && j < level.rowsOnImage.end)
            level.occupied += countBits(row, level.columnsOnImage.first - level.shape.firstColumn,
                                        level.columnsOnImage.end - level.shape.firstColumn);
        if (k + 1 < sideCount) {
            Level& next = levels[k + 1];
            halveBits(row, level.shape.columns, static_cast<int>(level.shape.firstColumn & 1), halved.data());
            orWords(next.row.data(), halved.data(), next.shape.wordsPerRow);
        }
        if (k > 1)
            std::fill(level.row.begin(), level.row.end(), 0);
    }
}

void BoxCountSink::end()
{
}

BoxCounts BoxCountSink::result() const
{
    const State& s = *state_;
    BoxCounts result;
    result.sides = boxSides(region_.width, region_.height, 1);
    if (!result.sides.empty()) {
        result.counts.assign(s.sideCount, 0);
        const bool black = pixelClass_ == PixelClass::Black;
        for (std::size_t k = 0; k < s.sideCount; ++k) {
            const std::int64_t side = std::int64_t{1} << k;
            const std::int64_t boxes = ceilDiv(region_.width, side) * ceilDiv(region_.height, side);
            if (s.missesImage) {
                // Nothing is black, everything non-black.
                result.counts[k] = black ? 0 : boxes;
            } else if (k == 0) {
                result.counts[k] = black ? s.pixelsInClass
                                         : std::int64_t{region_.width} * region_.height -
                                               s.xs.length * s.ys.length + s.pixelsInClass;
            } else {
                const State::Level& level = s.levels[k];
                // Non-black: a box with a region pixel off the image is
                // occupied by it; the others by their image pixels.
                result.counts[k] =
                    black ? level.occupied
                          : boxes - level.columnsOnImage.size() * level.rowsOnImage.size() + level.occupied;
            }
        }
    }
    const std::int64_t pixelsInClass = result.counts.empty() ? 0 : result.counts.front();
    const std::int64_t area = std::int64_t{region_.width} * region_.height;
    if (area == 0)
        fail(msg::kInvalidFloatOperation);
    result.coverage = static_cast<double>(pixelsInClass) / static_cast<double>(area) * 100.0;
    return result;
}

// ---- grayscale box counting -------------------------------------------------

namespace {

using grey_boxes::GreyLevels;
using grey_boxes::IndexRange;
using grey_boxes::kOutsideLevel;

// The side-2 loop is compiled for AVX2 as well, the processor choosing at
// load time.
#define GRAY_VECTORS DIMORA_AVX2_CLONES

// The sums of one side's boxes in the gray count.
struct GrayBoxSums {
    int exponent = 0;
    std::int64_t count = 0;
    unsigned highest = 0;
    unsigned lowest = 255;

    __attribute__((always_inline)) void addBox(unsigned a, unsigned b, unsigned c, unsigned d)
    {
        const unsigned hi = std::max(std::max(a, b), std::max(c, d));
        const unsigned lo = std::min(std::min(a, b), std::min(c, d));
        count += ((hi - lo) >> exponent) + 1;
        highest = std::max(highest, hi);
        lowest = std::min(lowest, lo);
    }
};

// Adds the boxes n = from .. to − 1 of side S (a power of 2), whose corners
// are bytes S·n and S·n + S − 1 of the top corner row (given as bytes 2n and
// 2n + 1 of `top`) and of the bottom row: in bytes, as vector instructions
// take them sixteen or thirty-two at a time, with the stride known; the
// differences' sum is kept in 32 bits for blocks short enough that it cannot
// overflow.
template <int S>
__attribute__((always_inline)) inline void addBoxesOfSide(GrayBoxSums& sums, const std::uint8_t* top,
                                                          const std::uint8_t* bottom, std::int64_t from,
                                                          std::int64_t to)
{
    constexpr int kExponent = std::countr_zero(static_cast<unsigned>(S));
    auto highest = static_cast<std::uint8_t>(sums.highest);
    auto lowest = static_cast<std::uint8_t>(sums.lowest);
    std::int64_t count = to > from ? to - from : 0;
    for (std::int64_t n = from; n < to;) {
        const std::int64_t end = std::min(to, n + 4096);
        std::uint32_t block = 0;
        for (; n < end; ++n) {
            const std::uint8_t a = top[2 * n], b = top[2 * n + 1];
            const std::uint8_t c = bottom[S * n], d = bottom[S * n + S - 1];
            const std::uint8_t hi = std::max(std::max(a, b), std::max(c, d));
            const std::uint8_t lo = std::min(std::min(a, b), std::min(c, d));
            block += static_cast<std::uint8_t>(hi - lo) >> kExponent;
            highest = std::max(highest, hi);
            lowest = std::min(lowest, lo);
        }
        count += block;
    }
    sums.count += count;
    sums.highest = highest;
    sums.lowest = lowest;
}

GRAY_VECTORS void addSide2Boxes(GrayBoxSums& sums, const std::uint8_t* top, const std::uint8_t* bottom,
                                std::int64_t from, std::int64_t to)
{
    addBoxesOfSide<2>(sums, top, bottom, from, to);
}

GRAY_VECTORS void addSide4Boxes(GrayBoxSums& sums, const std::uint8_t* top, const std::uint8_t* bottom,
                                std::int64_t from, std::int64_t to)
{
    addBoxesOfSide<4>(sums, top, bottom, from, to);
}

GRAY_VECTORS void addSide8Boxes(GrayBoxSums& sums, const std::uint8_t* top, const std::uint8_t* bottom,
                                std::int64_t from, std::int64_t to)
{
    addBoxesOfSide<8>(sums, top, bottom, from, to);
}

}  // namespace

struct GrayCountSink::State {
    using BoxSums = GrayBoxSums;

    // One side: its boxes near the image, the box row now open (`next`), the
    // levels of that row's two top corners per box column, and the sums.
    struct Side {
        std::int64_t side = 0;
        std::int64_t columns = 0, rows = 0;
        IndexRange near, nearRows;
        // The near box columns whose two corner columns both lie on the
        // image, as offsets into `near`: read without checks.
        std::int64_t insideFirst = 0, insideEnd = 0;
        std::int64_t next = 0;
        std::vector<std::uint8_t> top;
        BoxSums sums;
    };

    explicit State(const PixelLayout& layout)
        : grey(layout), format(layout.format()),
          rowIsLevels(format == PixelFormat::Indexed8 && grey.indexIsLevel())
    {
    }

    GreyLevels grey;
    PixelFormat format;
    // 8-bit rows of a gray ramp are their own levels; other rows are turned
    // into levels once, into `levels`, when a box row opens or closes on them.
    bool rowIsLevels;
    std::vector<std::uint8_t> levels;
    std::int32_t width = 0, height = 0;  // 0 × 0 when the image has no pixel
    std::vector<Side> sides;

    [[nodiscard]] unsigned level(const std::uint8_t* row, std::int64_t x) const
    {
        return row != nullptr && x >= 0 && x < width ? row[x] : kOutsideLevel;
    }

    // Adds the boxes n = from .. to − 1 whose bottom corners are corners[n·side]
    // and corners[n·side + side − 1].
    template <class Side_>
    __attribute__((always_inline)) static void closeInside(BoxSums& sums, const std::uint8_t* top,
                                                           const std::uint8_t* corners, Side_ side,
                                                           std::int64_t from, std::int64_t to)
    {
        for (std::int64_t n = from; n < to; ++n)
            sums.addBox(top[2 * n], top[2 * n + 1], corners[n * side], corners[n * side + side - 1]);
    }

    // Closes the open box row of `s` with its bottom corner row of levels
    // (null: off the image).
    void closeRow(Side& s, std::int64_t left, const std::uint8_t* bottom)
    {
        // The sums in locals: the level bytes written elsewhere may alias
        // anything, which would keep them in memory.
        BoxSums sums = s.sums;
        const std::uint8_t* top = s.top.data();
        const auto checked = [&](std::int64_t from, std::int64_t to) {
            for (std::int64_t n = from; n < to; ++n) {
                const std::int64_t x = left + (s.near.first + n) * s.side;
                sums.addBox(top[2 * n], top[2 * n + 1], level(bottom, x), level(bottom, x + s.side - 1));
            }
        };
        if (bottom == nullptr) {
            checked(0, s.near.size());
        } else {
            checked(0, s.insideFirst);
            // Sides 2, 4 and 8, most of the work, with their stride known:
            // loops the compiler turns into vector code.
            const std::uint8_t* corners = bottom + left + s.near.first * s.side;
            if (s.side == 2)
                addSide2Boxes(sums, top, corners, s.insideFirst, s.insideEnd);
            else if (s.side == 4)
                addSide4Boxes(sums, top, corners, s.insideFirst, s.insideEnd);
            else if (s.side == 8)
                addSide8Boxes(sums, top, corners, s.insideFirst, s.insideEnd);
            else
                closeInside(sums, top, corners, s.side, s.insideFirst, s.insideEnd);
            checked(s.insideEnd, s.near.size());
        }
        s.sums = sums;
        ++s.next;
    }

    void openRow(Side& s, std::int64_t left, const std::uint8_t* row)
    {
        std::uint8_t* top = s.top.data();
        const auto checked = [&](std::int64_t from, std::int64_t to) {
            for (std::int64_t n = from; n < to; ++n) {
                const std::int64_t x = left + (s.near.first + n) * s.side;
                top[2 * n] = static_cast<std::uint8_t>(level(row, x));
                top[2 * n + 1] = static_cast<std::uint8_t>(level(row, x + s.side - 1));
            }
        };
        checked(0, s.insideFirst);
        const std::uint8_t* corners = row + left + s.near.first * s.side;
        if (s.side == 2) {
            // The two top corners of side-2 boxes are the row's pixels.
            std::memcpy(top + 2 * s.insideFirst, corners + 2 * s.insideFirst,
                        static_cast<std::size_t>(2 * (s.insideEnd - s.insideFirst)));
        } else {
            const std::int64_t side = s.side;
            for (std::int64_t n = s.insideFirst; n < s.insideEnd; ++n) {
                top[2 * n] = corners[n * side];
                top[2 * n + 1] = corners[n * side + side - 1];
            }
        }
        checked(s.insideEnd, s.near.size());
    }

    // The row's levels: the row itself, or its pixels' levels in `levels`.
    template <PixelFormat F> const std::uint8_t* levelsOf(const std::uint8_t* row)
    {
        if (rowIsLevels)
            return row;
        std::uint8_t* out = levels.data();
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = static_cast<std::uint8_t>(grey.at<F>(row, x));
        return out;
    }

    template <PixelFormat F> void take(const Region& region, std::int32_t firstRow, const ImageView& band)
    {
        for (std::int32_t i = 0; i < band.height; ++i) {
            const std::int64_t y = std::int64_t{firstRow} + i;
            const std::uint8_t* row = nullptr;  // its levels, once a side needs them
            for (Side& s : sides) {
                if (s.next >= s.nearRows.end)
                    continue;
                const std::int64_t topRow = region.top + s.next * s.side;
                const bool opens = y == topRow;
                if (!opens && y != topRow + s.side - 1)
                    continue;
                if (row == nullptr)
                    row = levelsOf<F>(band.row(i));
                if (opens)
                    openRow(s, region.left, row);
                else
                    closeRow(s, region.left, row);
            }
        }
    }
};

GrayCountSink::GrayCountSink(const std::optional<Region>& region) : given_(region)
{
}

GrayCountSink::~GrayCountSink() = default;

void GrayCountSink::begin(std::int32_t width, std::int32_t height, const PixelLayout& layout)
{
    region_ = given_.value_or(Region{0, 0, width, height});
    state_ = std::make_unique<State>(layout);
    State& st = *state_;
    if (width > 0 && height > 0) {
        st.width = width;
        st.height = height;
        if (!st.rowIsLevels)
            st.levels.assign(static_cast<std::size_t>(width), 0);
    }
    for (const std::int64_t side : boxSides(region_.width, region_.height, 2)) {
        State::Side s;
        s.sums.exponent = std::countr_zero(static_cast<std::uint64_t>(side));
        s.side = side;
        s.columns = grey_boxes::ceilDiv(region_.width, side);
        s.rows = grey_boxes::ceilDiv(region_.height, side);
        s.near = grey_boxes::boxesNearImage(region_.left, s.columns, side, st.width);
        s.nearRows = grey_boxes::boxesNearImage(region_.top, s.rows, side, st.height);
        s.next = s.nearRows.first;
        // Both corners x = left + i·s and x + s − 1 on the image.
        const std::int64_t insideFirst =
            std::max(s.near.first, grey_boxes::ceilDiv(-std::int64_t{region_.left}, side));
        const std::int64_t insideEnd =
            std::min(s.near.end, grey_boxes::floorDiv(st.width - side - region_.left, side) + 1);
        s.insideFirst = std::clamp<std::int64_t>(insideFirst - s.near.first, 0, s.near.size());
        s.insideEnd = std::clamp<std::int64_t>(insideEnd - s.near.first, s.insideFirst, s.near.size());
        s.top.assign(static_cast<std::size_t>(2 * s.near.size()), static_cast<std::uint8_t>(kOutsideLevel));
        st.sides.push_back(std::move(s));
    }
}

void GrayCountSink::rows(std::int32_t firstRow, const ImageView& band)
{
    State& st = *state_;
    if (st.sides.empty() || st.width == 0)
        return;
    switch (st.format) {
    case PixelFormat::Indexed1:
        return st.take<PixelFormat::Indexed1>(region_, firstRow, band);
    case PixelFormat::Indexed4:
        return st.take<PixelFormat::Indexed4>(region_, firstRow, band);
    case PixelFormat::Indexed8:
        return st.take<PixelFormat::Indexed8>(region_, firstRow, band);
    case PixelFormat::Rgb24:
        return st.take<PixelFormat::Rgb24>(region_, firstRow, band);
    case PixelFormat::Masked16:
        return st.take<PixelFormat::Masked16>(region_, firstRow, band);
    case PixelFormat::Masked32:
        return st.take<PixelFormat::Masked32>(region_, firstRow, band);
    }
}

void GrayCountSink::end()
{
    State& st = *state_;
    for (State::Side& s : st.sides) {
        // Box rows whose bottom corners lie below the image.
        while (s.next < s.nearRows.end)
            st.closeRow(s, region_.left, nullptr);
        // Every other box has its four corners off the image: all 255, adding 1.
        const std::int64_t offImage = s.columns * s.rows - s.near.size() * s.nearRows.size();
        if (offImage > 0) {
            s.sums.count += offImage;
            s.sums.highest = kOutsideLevel;
        }
    }
}

GrayCounts GrayCountSink::result() const
{
    GrayCounts result;
    for (const State::Side& s : state_->sides) {
        result.sides.push_back(s.side);
        result.counts.push_back(s.sums.count);
    }
    if (!state_->sides.empty()) {
        const State::Side& last = state_->sides.back();
        result.brightnessDifference =
            static_cast<int>(last.sums.highest) - static_cast<int>(last.sums.lowest);
    }
    return result;
}

// ---- total length -----------------------------------------------------------

struct LengthSink::State {
    bool empty = true;    // the scan rectangle has no pixel
    bool active = false;  // it has centres on the image
    std::int64_t top = 0, bottom = 0, columns = 0;
    std::size_t words = 0;
    std::optional<BlackRowReader> reader;
    // Mask rows k = 0, 1, ... are image rows top − 1 + k, kept three at a time.
    std::vector<std::uint64_t> ring;
    std::int64_t pushed = 0;
    double sum = 0;

    std::uint64_t* slot(std::int64_t k) { return ring.data() + static_cast<std::size_t>(k % 3) * words; }

    // Takes the next mask row (null: a row off the image) and adds the links
    // of the row of centres it completes.
    void push(const std::uint8_t* row)
    {
        reader->read(row, slot(pushed));
        ++pushed;
        if (pushed >= 3)
            addRowLinks(slot(pushed - 3), slot(pushed - 2), slot(pushed - 1), columns, sum);
    }
};

LengthSink::LengthSink(const std::optional<Region>& selection) : selection_(selection)
{
}

LengthSink::~LengthSink() = default;

void LengthSink::begin(std::int32_t width, std::int32_t height, const PixelLayout& layout)
{
    scan_ = lengthScanRectangle(width, height, selection_);
    state_ = std::make_unique<State>();
    State& st = *state_;
    if (scan_.width <= 0 || scan_.height <= 0)
        return;
    st.empty = false;
    // Centres off the image are never black and add nothing: only those on
    // the image are visited, in the same order.
    const std::int64_t left = std::max<std::int64_t>(scan_.left, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{scan_.left} + scan_.width, width);
    st.top = std::max<std::int64_t>(scan_.top, 0);
    st.bottom = std::min<std::int64_t>(std::int64_t{scan_.top} + scan_.height, height);
    st.active = left < right && st.top < st.bottom;
    if (!st.active)
        return;
    st.columns = right - left + 2;
    st.words = bitWords(st.columns);
    st.reader.emplace(layout, width, left - 1, st.columns);
    st.ring.assign(3 * st.words, 0);
    if (st.top == 0)
        st.push(nullptr);  // the row above the image
}

void LengthSink::rows(std::int32_t firstRow, const ImageView& band)
{
    State& st = *state_;
    if (!st.active)
        return;
    for (std::int32_t i = 0; i < band.height; ++i) {
        const std::int64_t y = std::int64_t{firstRow} + i;
        if (y >= st.top - 1 && y <= st.bottom)
            st.push(band.row(i));
    }
}

void LengthSink::end()
{
    State& st = *state_;
    // The row below the image, when the last centres lie on its last row.
    if (st.active && st.pushed == st.bottom - st.top + 1)
        st.push(nullptr);
}

std::optional<TotalLength> LengthSink::result() const
{
    if (state_->empty)
        return std::nullopt;
    TotalLength result;
    result.scan = scan_;
    result.sum = state_->sum;
    result.length = result.sum / 2;
    result.field = totalLengthFieldText(result.length);
    return result;
}

// ---- lacunarity on the fixed grid ------------------------------------------

struct LacunarityGridSink::State {
    // One side r: the boxes of the region's grid that hold image pixels
    // (columns [first, end) of floor(W / r)), the masses of the open box row
    // (`row`), and the moments of the rows closed.
    struct Side {
        std::int64_t r = 0;
        std::int64_t first = 0, end = 0;
        std::int64_t boxRows = 0;  // floor(H / r): the rows of whole boxes
        std::int64_t openRow = -1;
        std::vector<std::uint64_t> masses;
        LacunarityMoments moments;
        std::uint64_t occupiedBoxes = 0;
    };

    Overlap xs, ys;
    std::optional<RowClassifier> classifier;
    std::vector<std::uint64_t> pixels;
    std::int64_t occupied = 0;
    std::vector<Side> sides;  // the sides that fit the region, in the order asked
    bool exclude = false;

    void close(Side& s)
    {
        if (s.openRow < 0)
            return;
        for (std::uint64_t& mass : s.masses) {
            s.moments.sum += mass;
            s.moments.squares += static_cast<unsigned __int128>(mass) * mass;
            s.occupiedBoxes += mass != 0 ? 1 : 0;
            mass = 0;
        }
        s.openRow = -1;
    }
};

LacunarityGridSink::LacunarityGridSink(const std::optional<Region>& region, LacunaritySettings settings)
    : given_(region), settings_(std::move(settings))
{
}

LacunarityGridSink::~LacunarityGridSink() = default;

void LacunarityGridSink::begin(std::int32_t width, std::int32_t height, const PixelLayout& layout)
{
    region_ = given_.value_or(Region{0, 0, width, height});
    state_ = std::make_unique<State>();
    State& st = *state_;
    st.exclude = settings_.empty == EmptyBoxes::Exclude;
    st.xs = overlapOf(region_.left, region_.width, width);
    st.ys = overlapOf(region_.top, region_.height, height);
    if (region_.width <= 0 || region_.height <= 0 || st.xs.length == 0 || st.ys.length == 0)
        return;
    // Black pixels are the occupied ones (pixels off the image never are).
    st.classifier.emplace(layout, PixelTest::BlackByRed);
    st.pixels.assign(bitWords(st.xs.length), 0);
    const std::int64_t shorter = std::min(region_.width, region_.height);
    for (const std::int64_t r : lacunaritySides(region_, settings_)) {
        State::Side s;
        s.r = r;
        // A side that does not fit ends the measurement with its error;
        // nothing is counted for it.
        if (r >= 1 && r <= shorter) {
            s.first = st.xs.offset / r;
            s.end = std::min<std::int64_t>(region_.width / r, ceilDiv(st.xs.offset + st.xs.length, r));
            s.boxRows = region_.height / r;
            s.masses.assign(static_cast<std::size_t>(std::max<std::int64_t>(s.end - s.first, 0)), 0);
        }
        st.sides.push_back(std::move(s));
    }
}

void LacunarityGridSink::rows(std::int32_t firstRow, const ImageView& band)
{
    State& st = *state_;
    if (!st.classifier)
        return;
    const std::int64_t firstOverlapRow = std::int64_t{region_.top} + st.ys.offset;
    const std::int64_t firstPixel = std::int64_t{region_.left} + st.xs.offset;
    for (std::int32_t i = 0; i < band.height; ++i) {
        const std::int64_t r = std::int64_t{firstRow} + i - firstOverlapRow;
        if (r < 0 || r >= st.ys.length)
            continue;
        st.classifier->classify(band.row(i), firstPixel, st.xs.length, st.pixels.data());
        st.occupied += countWordBits(st.pixels.data(), st.pixels.size());
        const std::int64_t regionRow = st.ys.offset + r;
        for (State::Side& s : st.sides) {
            if (s.masses.empty())
                continue;
            const std::int64_t boxRow = regionRow / s.r;
            if (boxRow >= s.boxRows)
                continue;  // below the last whole box
            if (boxRow != s.openRow) {
                st.close(s);
                s.openRow = boxRow;
            }
            // Box column c covers region columns [c·r, c·r + r), overlap
            // bits [c·r − offset, c·r + r − offset).
            for (std::int64_t c = s.first; c < s.end; ++c) {
                const std::int64_t from = std::max<std::int64_t>(c * s.r - st.xs.offset, 0);
                const std::int64_t to = std::min<std::int64_t>(c * s.r + s.r - st.xs.offset, st.xs.length);
                s.masses[static_cast<std::size_t>(c - s.first)] +=
                    static_cast<std::uint64_t>(countBits(st.pixels.data(), from, to));
            }
        }
    }
}

void LacunarityGridSink::end()
{
    for (State::Side& s : state_->sides)
        state_->close(s);
}

LacunarityResult LacunarityGridSink::result() const
{
    const State& st = *state_;
    return finishLacunarity(region_, settings_, st.occupied, [&](const std::vector<std::int64_t>&) {
        std::vector<LacunarityMoments> moments;
        for (const State::Side& s : st.sides) {
            LacunarityMoments m = s.moments;
            // Boxes without image pixels are empty; they are taken with
            // the empty boxes included.
            const std::uint64_t all = static_cast<std::uint64_t>(region_.width / s.r) *
                                      static_cast<std::uint64_t>(region_.height / s.r);
            m.boxes = st.exclude ? s.occupiedBoxes : all;
            moments.push_back(m);
        }
        return moments;
    });
}

}  // namespace dimora
