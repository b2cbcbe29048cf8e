// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "imageops/thinning.hpp"

#include "imageops/row_codec.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dimora {
namespace {

constexpr int kWindowRows = 50;
constexpr int kMaxPasses = 48;

// 1 = foreground still present, 0 = background, −t = removed by pass t.
using Cell = std::int8_t;

// The window: kWindowRows rows of cells, each with a background cell on
// either side, used as a ring. Row −1 (above the image) starts as background
// in the slot that row 49 later takes over.
class RowRing {
public:
    explicit RowRing(std::int32_t width)
        : stride_(static_cast<std::size_t>(width) + 2), cells_(kWindowRows * stride_, 0),
          foreground_(kWindowRows, 0)
    {
    }

    // Cells of image row r (r ≥ −1); cell 0 and cell width + 1 are the borders.
    [[nodiscard]] Cell* cells(std::int64_t r) { return cells_.data() + slotOf(r) * stride_; }
    // How many cells of row r are still 1, so that a pass can skip empty rows.
    [[nodiscard]] std::int64_t& foreground(std::int64_t r) { return foreground_[slotOf(r)]; }

private:
    static std::size_t slotOf(std::int64_t r) { return static_cast<std::size_t>((r + kWindowRows) % kWindowRows); }

    std::size_t stride_;
    std::vector<Cell> cells_;
    std::vector<std::int64_t> foreground_;
};

// Nc, the 8-connectivity number of the neighbours n[1] .. n[8] (n[9] = n[1]):
// how many of the edge neighbours 1, 3, 5, 7 are background with foreground
// in at least one of the two positions that follow them counter-clockwise.
int connectivity(const int (&n)[10])
{
    int count = 0;
    for (int k = 1; k <= 7; k += 2)
        count += (1 - n[k]) * std::max(n[k + 1], n[k + 2]);
    return count;
}

// The removal test of pass t for the cell at index i of `row`, its rows above
// and below as they stand. Neighbours 1 .. 8 run counter-clockwise from east.
bool removable(const Cell* above, const Cell* row, const Cell* below, std::size_t i, Cell mark)
{
    const Cell a[9] = {0,          row[i + 1],   above[i + 1], above[i],    above[i - 1],
                       row[i - 1], below[i - 1], below[i],     below[i + 1]};
    // n: a pixel removed earlier in this pass still counts as foreground;
    // m: it counts as background.
    int n[10];
    int m[9];
    for (int k = 1; k <= 8; ++k) {
        n[k] = a[k] == 1 || a[k] == mark;
        m[k] = a[k] == 1;
    }
    n[9] = n[1];

    if (n[1] + n[3] + n[5] + n[7] >= 4)
        return false;  // not a border point
    int foreground = 0;
    int present = 0;
    for (int k = 1; k <= 8; ++k) {
        foreground += n[k];
        present += m[k];
    }
    if (foreground < 2)
        return false;  // an end point
    if (present < 1)
        return false;  // isolated
    if (connectivity(n) != 1)
        return false;
    if (a[3] == mark) {
        n[3] = 0;
        if (connectivity(n) != 1)
            return false;
        n[3] = 1;
    }
    if (a[5] == mark) {
        n[5] = 0;
        if (connectivity(n) != 1)
            return false;
    }
    return true;
}

// Pass t over one row. Returns how many pixels it removed.
std::int64_t passOverRow(const Cell* above, Cell* row, const Cell* below, std::int32_t width, int pass,
                         std::vector<std::uint8_t>& candidates)
{
    const Cell mark = static_cast<Cell>(-pass);
    // The border-point test sees a pixel removed in this pass as foreground,
    // so it cannot change while the pass sweeps the row: find the cells that
    // pass it for the whole row at once, with bitwise operations the compiler
    // can vectorise, and run the full test only on those.
    std::uint8_t* flag = candidates.data();
    for (std::int32_t x = 0; x < width; ++x) {
        const Cell* c = row + x + 1;
        const Cell e = c[1], w = c[-1], nth = above[x + 1], sth = below[x + 1];
        const bool inner = ((e == 1) | (e == mark)) & ((w == 1) | (w == mark)) & ((nth == 1) | (nth == mark)) &
                           ((sth == 1) | (sth == mark));
        flag[x] = static_cast<std::uint8_t>((c[0] == 1) & !inner);
    }

    std::int64_t removed = 0;
    for (std::int32_t x = 0; x < width;) {
        // The flag buffer has 8 spare zero bytes past the row's end.
        std::uint64_t eight;
        std::memcpy(&eight, flag + x, sizeof eight);
        if (eight == 0) {
            x += 8;
            continue;
        }
        const auto i = static_cast<std::size_t>(x) + 1;
        if (flag[x] != 0 && removable(above, row, below, i, mark)) {
            row[i] = mark;
            ++removed;
        }
        ++x;
    }
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
    std::vector<std::uint8_t> candidates(static_cast<std::size_t>(width) + 8, 0);
    RowRing ring(width);

    int passes = 1;
    for (std::int64_t n = 0;; ++n) {
        // Read row n into the slot of the oldest row; below the image every
        // cell is background.
        Cell* newest = ring.cells(n);
        std::int64_t foreground = 0;
        if (n < height) {
            decoder.decode(image.row(static_cast<std::int32_t>(n)), width, colours.data());
            for (std::int32_t x = 0; x < width; ++x) {
                newest[x + 1] = isBlackByColour(colours[static_cast<std::size_t>(x)]) ? 1 : 0;
                foreground += newest[x + 1];
            }
        } else {
            std::fill(newest + 1, newest + 1 + width, Cell{0});
        }
        ring.foreground(n) = foreground;

        // Pass t on row n − t, in increasing t.
        int lastRemoving = 0;
        for (int t = 1; t <= passes; ++t) {
            const std::int64_t r = n - t;
            if (r < 0 || r >= height || ring.foreground(r) == 0)
                continue;
            const std::int64_t removed =
                passOverRow(ring.cells(r - 1), ring.cells(r), ring.cells(r + 1), width, t, candidates);
            if (removed != 0) {
                ring.foreground(r) -= removed;
                lastRemoving = t;
            }
        }
        passes = std::min(lastRemoving + 1, kMaxPasses);

        // The oldest row has had all its passes: whiten what they removed.
        if (n >= kWindowRows - 1) {
            const std::int64_t r = n - (kWindowRows - 1);
            if (r < height) {
                const Cell* oldest = ring.cells(r);
                std::uint8_t* pixels = image.row(static_cast<std::int32_t>(r));
                for (std::int32_t x = 0; x < width; ++x)
                    if (oldest[x + 1] < 0)
                        imageops::storeValue(layout, pixels, x, whiteValue);
            }
            if (r >= height - 1)
                break;
        }
    }
}

}  // namespace dimora
