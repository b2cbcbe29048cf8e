// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/thinning.hpp"

#include "core/imageops/row_codec.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <vector>

namespace dimora {
namespace {

constexpr int kWindowRows = 50;
constexpr int kMaxPasses = 48;

using Word = std::uint64_t;

// One row of the window as bit sets over positions 0 .. width + 1: position
// x + 1 is column x; positions 0 and width + 1 are the background columns on
// either side and are never set. A pixel's cell value in the pass scheme is
//   1  when it is in `present`,
//   −t when it is in `removedByLastPass` and t = lastPass,
//   0  otherwise (background, or removed by an earlier pass).
struct WindowRow {
    std::vector<Word> foreground;  // as read from the image
    std::vector<Word> present;
    std::vector<Word> removedByLastPass;
    int lastPass = 0;
    std::int64_t presentCount = 0;
};

// The 50 newest rows, used as a ring. Row −1 (above the image) starts empty
// in the slot that row 49 later takes over.
class Window {
public:
    explicit Window(std::size_t words)
    {
        for (auto& row : rows_) {
            row.foreground.assign(words, 0);
            row.present.assign(words, 0);
            row.removedByLastPass.assign(words, 0);
        }
    }
    // Row r of the image, r ≥ −1.
    [[nodiscard]] WindowRow& row(std::int64_t r)
    {
        return rows_[static_cast<std::size_t>((r + kWindowRows) % kWindowRows)];
    }

private:
    std::array<WindowRow, kWindowRows> rows_;
};

// Bits p − 1, p, p + 1 of a bit set, as bits 0, 1, 2 (the set has a spare
// word at its end, and p ≥ 1).
unsigned threeBits(const Word* bits, std::size_t p)
{
    const std::size_t q = p - 1;
    const std::size_t word = q / 64;
    const unsigned offset = q % 64;
    // (next << 1) << (63 − offset) is next << (64 − offset) without a shift by 64.
    return static_cast<unsigned>(((bits[word] >> offset) | ((bits[word + 1] << 1) << (63 - offset))) & 7u);
}

// Nc, the 8-connectivity number of the neighbours n_1 .. n_8 (bit k − 1 of
// `n`; counter-clockwise from east, n_9 = n_1): how many of the edge
// neighbours 1, 3, 5, 7 are background with foreground in at least one of the
// two positions that follow them.
constexpr int connectivity(unsigned n)
{
    const auto bit = [n](int k) { return static_cast<int>(n >> ((k - 1) % 8) & 1u); };
    int count = 0;
    for (int k = 1; k <= 7; k += 2)
        count += (1 - bit(k)) * std::max(bit(k + 1), bit(k + 2));
    return count;
}

// The removal test's answer for every neighbourhood of a pixel still present,
// indexed by
//   bits 0 .. 2:  north-west, north, north-east  (n view: a pixel removed
//   bits 3, 4:    west, east                      earlier in this same pass
//   bits 5 .. 7:  south-west, south, south-east   still counts as foreground)
//   bit 8:        some neighbour is still present (m view);
//   bit 9:        the north neighbour was removed in this pass;
//   bit 10:       the west neighbour was removed in this pass.
// The steps of the test are pure checks, so one lookup gives the answer of
// running them in order: a border point (some edge neighbour background), not
// an end point (at least 2 foreground neighbours), not isolated, Nc = 1, and
// Nc still 1 without a north or west neighbour that this pass removed.
constexpr std::array<bool, 2048> makeRemovalTable()
{
    std::array<bool, 2048> table{};
    for (unsigned index = 0; index < 2048; ++index) {
        const auto at = [index](int bit) { return index >> bit & 1u; };
        // n_1 .. n_8: east, north-east, north, north-west, west, south-west, south, south-east.
        const unsigned n =
            at(4) | at(2) << 1 | at(1) << 2 | at(0) << 3 | at(3) << 4 | at(5) << 5 | at(6) << 6 | at(7) << 7;
        const bool border = (n & 0b01010101u) != 0b01010101u;
        const bool notEnd = std::popcount(n) >= 2;
        const bool notIsolated = at(8) != 0;
        const bool northRemoved = at(9) != 0;
        const bool westRemoved = at(10) != 0;
        table[index] = border && notEnd && notIsolated && connectivity(n) == 1 &&
                       (!northRemoved || connectivity(n & ~0b100u) == 1) &&
                       (!westRemoved || connectivity(n & ~0b10000u) == 1);
    }
    return table;
}

constexpr std::array<bool, 2048> kRemovalTable = makeRemovalTable();

// Buffers that one pass over a row needs, kept between passes.
struct PassBuffers {
    std::vector<Word> rowBefore;  // the row as the pass found it: its n view
    std::vector<Word> aboveN;     // the n view of the row above
};

// Pass t over row r (the rows above and below are in the window). Returns how
// many pixels it removed.
std::int64_t passOverRow(Window& window, std::int64_t r, int pass, PassBuffers& buffers)
{
    WindowRow& above = window.row(r - 1);
    WindowRow& row = window.row(r);
    const WindowRow& below = window.row(r + 1);
    const std::size_t words = row.present.size();

    // The row above has been through this pass already, unless the pass count
    // was lower there; the row below only through the pass before.
    const Word* aboveN = above.present.data();
    if (above.lastPass == pass) {
        for (std::size_t w = 0; w < words; ++w)
            buffers.aboveN[w] = above.present[w] | above.removedByLastPass[w];
        aboveN = buffers.aboveN.data();
    }
    const Word* aboveM = above.present.data();
    const Word* belowN = below.present.data();
    std::copy(row.present.begin(), row.present.end(), buffers.rowBefore.begin());
    const Word* before = buffers.rowBefore.data();
    std::fill(row.removedByLastPass.begin(), row.removedByLastPass.end(), Word{0});
    row.lastPass = pass;
    Word* present = row.present.data();

    std::int64_t removed = 0;
    for (std::size_t w = 0; w + 1 < words; ++w) {
        // Border points: pixels with an edge neighbour that is background in
        // the n view. The n views do not change during the pass, so these
        // candidates can be found a word at a time, ahead of the sweep.
        const Word self = before[w];
        if (self == 0)
            continue;
        const Word east = self >> 1 | before[w + 1] << 63;
        const Word west = self << 1 | (w > 0 ? before[w - 1] >> 63 : 0);
        for (Word candidates = self & ~(east & west & aboveN[w] & belowN[w]); candidates != 0;
             candidates &= candidates - 1) {
            const std::size_t p = w * 64 + static_cast<std::size_t>(std::countr_zero(candidates));
            const unsigned up = threeBits(aboveN, p);
            const unsigned upPresent = threeBits(aboveM, p);
            const unsigned middle = threeBits(before, p);
            const unsigned middlePresent = threeBits(present, p);
            const unsigned down = threeBits(belowN, p);
            const unsigned somePresent = (upPresent | (middlePresent & 0b101u) | down) != 0;
            const unsigned northRemoved = (up & ~upPresent) >> 1 & 1u;
            const unsigned westRemoved = (middle & ~middlePresent) & 1u;
            const unsigned index = up | (middle & 1u) << 3 | (middle >> 2) << 4 | down << 5 |
                                   somePresent << 8 | northRemoved << 9 | westRemoved << 10;
            const Word bit = kRemovalTable[index] ? Word{1} << (p % 64) : 0;
            present[w] &= ~bit;
            row.removedByLastPass[w] |= bit;
            removed += bit != 0;
        }
    }
    row.presentCount -= removed;
    return removed;
}

}  // namespace

void thinFigures(Bitmap& image)
{
    const std::int32_t width = image.width();
    const std::int32_t height = image.height();
    if (width == 0 || height == 0)
        return;

    const PixelLayout& layout = image.layout();
    const imageops::RowDecoder decoder(layout);
    const std::uint32_t whiteValue = layout.nearestValue(kWhite);
    std::vector<Colour> colours(static_cast<std::size_t>(width));
    // Positions 0 .. width + 1, and a spare word for reads past the end.
    const std::size_t words = (static_cast<std::size_t>(width) + 2 + 63) / 64 + 1;
    Window window(words);
    PassBuffers buffers{std::vector<Word>(words, 0), std::vector<Word>(words, 0)};

    int passes = 1;
    for (std::int64_t n = 0;; ++n) {
        // Read row n into the slot of the oldest row; below the image every
        // pixel is background.
        WindowRow& newest = window.row(n);
        std::fill(newest.foreground.begin(), newest.foreground.end(), Word{0});
        newest.lastPass = 0;
        newest.presentCount = 0;
        if (n < height) {
            decoder.decode(image.row(static_cast<std::int32_t>(n)), width, colours.data());
            for (std::size_t x = 0; x < colours.size(); ++x) {
                const bool black = isBlackByColour(colours[x]);
                newest.foreground[(x + 1) / 64] |= Word{black} << ((x + 1) % 64);
                newest.presentCount += black;
            }
        }
        newest.present = newest.foreground;

        // Pass t on row n − t, in increasing t. Rows outside the image and
        // rows without foreground give the pass nothing to remove.
        int lastRemoving = 0;
        for (int t = 1; t <= passes; ++t) {
            const std::int64_t r = n - t;
            if (r < 0 || r >= height || window.row(r).presentCount == 0)
                continue;
            if (passOverRow(window, r, t, buffers) != 0)
                lastRemoving = t;
        }
        passes = std::min(lastRemoving + 1, kMaxPasses);

        // The oldest row has had all its passes: whiten what they removed.
        if (n >= kWindowRows - 1) {
            const std::int64_t r = n - (kWindowRows - 1);
            if (r < height) {
                const WindowRow& oldest = window.row(r);
                std::uint8_t* pixels = image.row(static_cast<std::int32_t>(r));
                for (std::size_t w = 0; w < words; ++w)
                    for (Word gone = oldest.foreground[w] & ~oldest.present[w]; gone != 0; gone &= gone - 1) {
                        const auto p = static_cast<std::int32_t>(w * 64) + std::countr_zero(gone);
                        imageops::storeValue(layout, pixels, p - 1, whiteValue);
                    }
            }
            if (r >= height - 1)
                break;
        }
    }
}

}  // namespace dimora
