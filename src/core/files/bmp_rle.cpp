// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/bmp_rle.hpp"

#include "core/common/error.hpp"

namespace dimora {
namespace {

[[noreturn]] void invalid()
{
    fail(msg::kInvalidBitmap);
}

// The decoder's position: x in the row, r the stored row (0 = bottom).
class RleWriter {
public:
    RleWriter(Bitmap& bitmap, std::size_t paletteSize)
        : bitmap_(bitmap), paletteSize_(paletteSize), width_(bitmap.width()), rows_(bitmap.height())
    {
    }

    // Checks that n more pixels fit in the current row.
    void reserve(std::int64_t n) const
    {
        if (r_ >= rows_ || x_ + n > width_)
            invalid();
    }
    void put(std::uint32_t index)
    {
        if (index >= paletteSize_)
            invalid();
        // Stored row r is image row (height − 1 − r) of a bottom-up bitmap.
        bitmap_.layout().writeValue(bitmap_.row(static_cast<std::int32_t>(rows_ - 1 - r_)),
                                    static_cast<int>(x_), index);
        ++x_;
    }
    void endOfLine()
    {
        x_ = 0;
        ++r_;
    }
    void delta(std::int64_t dx, std::int64_t dy)
    {
        x_ += dx;
        r_ += dy;
        if (x_ > width_ || r_ > rows_)
            invalid();
    }
    // True once every row has been written to its end (or left behind).
    [[nodiscard]] bool complete() const { return r_ >= rows_ || (r_ == rows_ - 1 && x_ == width_); }

private:
    Bitmap& bitmap_;
    std::size_t paletteSize_;
    std::int64_t width_;
    std::int64_t rows_;
    std::int64_t x_ = 0;
    std::int64_t r_ = 0;
};

}  // namespace

Bitmap decodeBmpRle(const BmpInfo& info, std::span<const std::uint8_t> stream)
{
    // Every pixel the stream leaves alone is index 0, which must exist.
    if (info.layout.palette().empty())
        invalid();
    Bitmap bitmap(info.width, info.height, info.layout, RowOrder::BottomUp);
    const bool four = info.compression == BmpCompression::Rle4;
    RleWriter out(bitmap, info.layout.palette().size());

    std::size_t at = 0;
    const std::size_t size = stream.size();
    while (true) {
        if (at == size) {
            // No end-of-bitmap mark: accepted only when nothing is missing.
            if (!out.complete())
                invalid();
            break;
        }
        if (at + 2 > size)
            invalid();
        const unsigned count = stream[at];
        const unsigned value = stream[at + 1];
        at += 2;
        if (count > 0) {
            // A run: RLE8 repeats one index, RLE4 alternates two.
            out.reserve(count);
            for (unsigned i = 0; i < count; ++i)
                out.put(four ? ((i & 1) ? value & 0xFu : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            out.endOfLine();
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (at + 2 > size)
                invalid();
            out.delta(stream[at], stream[at + 1]);
            at += 2;
        } else {
            // A literal of `value` pixels, padded to an even number of bytes.
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::size_t padded = bytes + (bytes & 1);
            if (padded > size - at)
                invalid();
            out.reserve(value);
            for (unsigned i = 0; i < value; ++i) {
                const unsigned byte = stream[at + (four ? i / 2 : i)];
                out.put(four ? ((i & 1) ? byte & 0xFu : byte >> 4) : byte);
            }
            at += padded;
        }
    }
    return bitmap;
}

}  // namespace dimora
