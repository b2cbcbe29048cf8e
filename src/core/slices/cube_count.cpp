// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_count.hpp"

#include "core/common/error.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <optional>
#include <string_view>

namespace dimora {

namespace {

// A non-negative integer in decimal digits, most significant first, without
// leading zeros (zero: no digits).
using Digits = std::string;

void trimLeadingZeros(Digits& digits)
{
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
}

// A positive decimal number, exactly: digits × 10^exponent.
struct Decimal {
    Digits digits;
    std::int64_t exponent = 0;
};

// Exponents beyond this come from no text that reads as a finite double; such
// texts are left to the double.
constexpr std::int64_t kExponentLimit = 100000;

// Optional blanks, an optional "+", digits with an optional point, an
// optional exponent, optional blanks. Nothing for anything else, and for
// zero or a number too far from 1.
std::optional<Decimal> exactDecimal(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    Decimal number;
    std::size_t i = 0;
    std::size_t mantissaDigits = 0;
    for (; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits)
        number.digits += text[i];
    if (i < text.size() && text[i] == '.')
        for (++i; i < text.size() && isDigit(text[i]); ++i, ++mantissaDigits) {
            number.digits += text[i];
            --number.exponent;
        }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        const bool negative = i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        std::int64_t exponent = 0;
        const std::size_t first = i;
        for (; i < text.size() && isDigit(text[i]); ++i)
            exponent = std::min(exponent * 10 + (text[i] - '0'), kExponentLimit);
        if (i == first)
            return std::nullopt;
        number.exponent += negative ? -exponent : exponent;
    }
    if (i != text.size())
        return std::nullopt;
    trimLeadingZeros(number.digits);
    const std::size_t last = number.digits.find_last_not_of('0');
    if (last == std::string::npos)
        return std::nullopt;
    number.exponent += static_cast<std::int64_t>(number.digits.size() - last - 1);
    number.digits.resize(last + 1);
    if (std::abs(number.exponent) >= kExponentLimit)
        return std::nullopt;
    return number;
}

// The shortest decimal text that reads back as `value`.
std::string shortestText(double value)
{
    char buffer[32];
    const auto end = std::to_chars(std::begin(buffer), std::end(buffer), value).ptr;
    return std::string(buffer, end);
}

// The edge's text taken exactly; else its double's shortest decimal text,
// which is what was written whenever that had 15 or fewer significant digits.
Decimal exactEdge(double edge, const std::string& text)
{
    std::optional<Decimal> number = exactDecimal(text);
    if (!number)
        number = exactDecimal(shortestText(edge));
    if (!number)
        fail(msg::kVoxelSizeNotPositive);
    return *number;
}

Digits multiply(const Digits& a, const Digits& b)
{
    if (a.empty() || b.empty())
        return {};
    std::vector<std::uint32_t> product(a.size() + b.size(), 0);
    for (std::size_t i = a.size(); i-- > 0;) {
        std::uint32_t carry = 0;
        for (std::size_t j = b.size(); j-- > 0;) {
            std::uint32_t& cell = product[i + j + 1];
            const std::uint32_t sum = cell + static_cast<std::uint32_t>((a[i] - '0') * (b[j] - '0')) + carry;
            cell = sum % 10;
            carry = sum / 10;
        }
        product[i] += carry;
    }
    Digits digits;
    for (const std::uint32_t cell : product)
        digits += static_cast<char>('0' + cell);
    trimLeadingZeros(digits);
    return digits;
}

Digits add(const Digits& a, const Digits& b)
{
    Digits sum;
    int carry = 0;
    for (std::size_t i = 0; i < std::max(a.size(), b.size()) || carry; ++i) {
        const int digit = (i < a.size() ? a[a.size() - 1 - i] - '0' : 0) +
                          (i < b.size() ? b[b.size() - 1 - i] - '0' : 0) + carry;
        sum += static_cast<char>('0' + digit % 10);
        carry = digit / 10;
    }
    std::reverse(sum.begin(), sum.end());
    return sum;
}

bool less(const Digits& a, const Digits& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// a -= b, for a ≥ b.
void subtract(Digits& a, const Digits& b)
{
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char& cell = a[a.size() - 1 - i];
        int digit = cell - '0' - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = digit < 0;
        cell = static_cast<char>('0' + digit + 10 * borrow);
    }
    trimLeadingZeros(a);
}

constexpr std::int64_t kSaturated = std::int64_t{1} << 62;

// floor(numerator / denominator), or kSaturated when that is kSaturated or more.
std::int64_t quotient(const Digits& numerator, const Digits& denominator)
{
    // 10^19 > 2^62: a quotient of that many digits saturates.
    if (numerator.size() > denominator.size() + 19)
        return kSaturated;
    std::int64_t result = 0;
    Digits remainder;
    for (const char next : numerator) {
        remainder += next;
        trimLeadingZeros(remainder);
        int digit = 0;
        for (; !less(remainder, denominator); ++digit)
            subtract(remainder, denominator);
        if (result > (kSaturated - digit) / 10)
            return kSaturated;
        result = result * 10 + digit;
    }
    return result;
}

}  // namespace

bool isVoxelEdge(double edge)
{
    return edge > 0 && std::isfinite(edge);
}

VoxelProblem voxelProblem(const VoxelSize& voxel)
{
    if (!isVoxelEdge(voxel.x) || !isVoxelEdge(voxel.y) || !isVoxelEdge(voxel.z))
        return VoxelProblem::EdgeNotPositive;
    if (voxel.x != voxel.y)
        return VoxelProblem::NotSquare;
    return VoxelProblem::None;
}

void requireUsableVoxel(const VoxelSize& voxel)
{
    switch (voxelProblem(voxel)) {
    case VoxelProblem::None:
        return;
    case VoxelProblem::EdgeNotPositive:
        fail(msg::kVoxelSizeNotPositive);
    case VoxelProblem::NotSquare:
        fail(msg::kVoxelNotSquare);
    }
}

std::string voxelEdgeText(double edge, const std::string& text)
{
    std::string_view written = text;
    while (!written.empty() && written.front() == ' ')
        written.remove_prefix(1);
    while (!written.empty() && written.back() == ' ')
        written.remove_suffix(1);
    return written.empty() ? shortestText(edge) : std::string(written);
}

std::int64_t slicesPerBox(std::int64_t side, const VoxelSize& voxel)
{
    // round(s × X / Z), halves up, is floor((2 s X + Z) / 2 Z); with
    // X = x × 10^p and Z = z × 10^q, both scaled to integers by 10^|p − q|.
    const Decimal x = exactEdge(voxel.x, voxel.xText);
    const Decimal z = exactEdge(voxel.z, voxel.zText);
    const std::int64_t shift = x.exponent - z.exponent;
    const Digits zeros(static_cast<std::size_t>(std::abs(shift)), '0');
    const Digits scaledX = shift > 0 ? x.digits + zeros : x.digits;
    const Digits scaledZ = shift < 0 ? z.digits + zeros : z.digits;
    const Digits twoSX = multiply(multiply("2", std::to_string(std::max<std::int64_t>(side, 0))), scaledX);
    const std::int64_t slices = quotient(add(twoSX, scaledZ), multiply("2", scaledZ));
    if (slices >= kSaturated)
        return std::numeric_limits<std::int64_t>::max();
    return std::max<std::int64_t>(1, slices);
}

std::vector<std::int64_t> cubeSides(std::int32_t width, std::int32_t height, std::int32_t slices,
                                    const VoxelSize& voxel)
{
    std::vector<std::int64_t> sides = boxSides(width, height, 1);
    const double halfSlices = slices / 2.0;
    const auto tooDeep = std::find_if(sides.begin(), sides.end(), [&](std::int64_t side) {
        return !(static_cast<double>(slicesPerBox(side, voxel)) < halfSlices);
    });
    sides.erase(tooDeep, sides.end());
    return sides;
}

CubeCounter::CubeCounter(const Region& region, std::int32_t imageWidth, std::int32_t imageHeight,
                         std::int32_t slices, const VoxelSize& voxel)
    : imageWidth_(imageWidth), imageHeight_(imageHeight)
{
    requireUsableVoxel(voxel);
    counts_.region = region;
    counts_.sliceCount = slices;
    counts_.voxel = voxel;
    counts_.sides = cubeSides(region.width, region.height, slices, voxel);
    for (const std::int64_t side : counts_.sides)
        counts_.slicesPerBox.push_back(slicesPerBox(side, voxel));
    counts_.counts.assign(counts_.sides.size(), 0);

    xs_ = overlapOf(region.left, region.width, imageWidth);
    ys_ = overlapOf(region.top, region.height, imageHeight);
    if (xs_.length == 0 || ys_.length == 0)
        return;
    rowA_.resize(bitWords(xs_.length));
    rowB_.resize(bitWords(xs_.length));
    for (std::size_t k = 0; k < counts_.sides.size(); ++k) {
        Grid& grid = grids_.emplace_back();
        grid.shape = levelShape(xs_, ys_, static_cast<int>(k));
        grid.block.assign(grid.shape.words(), 0);
        if (k > 0)
            grid.slice.assign(grid.shape.words(), 0);
    }
}

void CubeCounter::countBlock(Grid& grid, std::int64_t& count)
{
    count += countWordBits(grid.block.data(), grid.block.size());
    std::fill(grid.block.begin(), grid.block.end(), 0);
}

void CubeCounter::addSlice(const ImageView& slice)
{
    if (slice.width != imageWidth_ || slice.height != imageHeight_)
        fail(msg::kInvalidBitmap);
    ++slicesAdded_;
    if (xs_.length == 0 || ys_.length == 0)
        return;

    // Side 1: the slice's pixel bits go straight into the block's occupancy;
    // side 2 of this slice is made from them on the way.
    const RowClassifier classifier(*slice.layout, PixelTest::BlackByRed);
    const std::size_t pixelWords = bitWords(xs_.length);
    const std::int64_t firstPixel = counts_.region.left + xs_.offset;
    OccupancyLevel sideTwo;
    if (grids_.size() >= 2) {
        sideTwo = grids_[1].shape;
        sideTwo.bits = grids_[1].slice.data();
    }
    readPixelRows(
        xs_, ys_, slice.rowOrder(), sideTwo, rowA_.data(), rowB_.data(),
        [&](std::int64_t r, std::uint64_t* bits) {
            classifier.classify(slice.row(static_cast<std::int32_t>(counts_.region.top + ys_.offset + r)),
                                firstPixel, xs_.length, bits);
            counts_.occupiedVoxels += countWordBits(bits, pixelWords);
            if (!grids_.empty())
                orWords(grids_[0].block.data() + static_cast<std::size_t>(r) * pixelWords, bits, pixelWords);
        });

    // Sides 2, 4, ...: each from the side before within this slice, then ORed
    // into the block.
    for (std::size_t k = 1; k < grids_.size(); ++k) {
        Grid& grid = grids_[k];
        orWords(grid.block.data(), grid.slice.data(), grid.block.size());
        if (k + 1 < grids_.size()) {
            OccupancyLevel in = grid.shape;
            in.bits = grid.slice.data();
            OccupancyLevel out = grids_[k + 1].shape;
            out.bits = grids_[k + 1].slice.data();
            if (rowA_.size() < in.wordsPerRow)
                rowA_.resize(in.wordsPerRow);
            halveLevel(in, out, rowA_.data());
        }
    }

    for (std::size_t k = 0; k < grids_.size(); ++k)
        if (slicesAdded_ % counts_.slicesPerBox[k] == 0)
            countBlock(grids_[k], counts_.counts[k]);
}

CubeCounts CubeCounter::finish()
{
    // The last block of a side may be short.
    for (std::size_t k = 0; k < grids_.size(); ++k)
        if (slicesAdded_ % counts_.slicesPerBox[k] != 0)
            countBlock(grids_[k], counts_.counts[k]);
    // W × H × slices exactly (an extended mantissa holds 64 bits).
    const long double voxels =
        static_cast<long double>(counts_.region.width) * counts_.region.height * counts_.sliceCount;
    if (voxels == 0)
        fail(msg::kInvalidFloatOperation);
    counts_.coverage = static_cast<double>(counts_.occupiedVoxels / voxels * 100);
    return counts_;
}

CountReport reportCubeCounts(const CubeCounts& counts)
{
    return reportOccupiedBoxes(counts.sides, counts.counts, counts.coverage, kCubeZeroReportCoverage);
}

}  // namespace dimora
