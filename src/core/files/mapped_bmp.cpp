// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/mapped_bmp.hpp"

#include "core/common/error.hpp"
#include "core/files/bmp_header.hpp"
#include "core/files/bmp_rle.hpp"
#include "core/files/input_file.hpp"

#include <span>
#include <sys/mman.h>
#include <utility>

namespace dimora {

MappedBmpFile::MappedBmpFile(const std::string& path, BmpPixels pixels)
{
    const InputFile file(path);
    if (file.size() < kBmpFileHeaderSize)
        fail(msg::kInvalidBitmap);
    if (file.size() > SIZE_MAX)
        file.failToOpen();
    mappedBytes_ = static_cast<std::size_t>(file.size());
    // MAP_POPULATE maps the page-cache pages at once, so the scan that follows
    // takes no page faults; not for a file beyond the memory budget, which
    // may exceed memory itself.
    const bool populate = pixels == BmpPixels::Held || file.size() <= Bitmap::memoryBudget();
    void* p = ::mmap(nullptr, mappedBytes_, PROT_READ, MAP_PRIVATE | (populate ? MAP_POPULATE : 0),
                     file.descriptor(), 0);
    if (p == MAP_FAILED)
        file.failToOpen();
    mapping_ = static_cast<const std::uint8_t*>(p);

    try {
        const std::span<const std::uint8_t> bytes(mapping_, mappedBytes_);
        BmpInfo info = parseBmpHeaders(bytes, bytes.size(), pixels);
        width_ = info.width;
        height_ = info.height;
        order_ = info.order;
        pixelOffset_ = info.pixelOffset;
        stride_ = static_cast<std::size_t>(info.layout.strideFor(info.width));
        if (info.compression != BmpCompression::None) {
            decoded_.emplace(decodeBmpRle(info, bytes.subspan(static_cast<std::size_t>(info.pixelOffset))));
            unmap();
        }
        layout_ = std::move(info.layout);
        if (isMapped())
            requireIndicesInPalette(view());
    } catch (...) {
        unmap();
        throw;
    }
}

MappedBmpFile::~MappedBmpFile()
{
    unmap();
}

MappedBmpFile::MappedBmpFile(MappedBmpFile&& other) noexcept
    : mapping_(std::exchange(other.mapping_, nullptr)), mappedBytes_(std::exchange(other.mappedBytes_, 0)),
      width_(other.width_), height_(other.height_), layout_(std::move(other.layout_)), order_(other.order_),
      pixelOffset_(other.pixelOffset_), stride_(other.stride_), decoded_(std::move(other.decoded_))
{
}

MappedBmpFile& MappedBmpFile::operator=(MappedBmpFile&& other) noexcept
{
    if (this != &other) {
        unmap();
        mapping_ = std::exchange(other.mapping_, nullptr);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
        width_ = other.width_;
        height_ = other.height_;
        layout_ = std::move(other.layout_);
        order_ = other.order_;
        pixelOffset_ = other.pixelOffset_;
        stride_ = other.stride_;
        decoded_ = std::move(other.decoded_);
    }
    return *this;
}

void MappedBmpFile::unmap() noexcept
{
    if (mapping_ != nullptr)
        ::munmap(const_cast<std::uint8_t*>(mapping_), mappedBytes_);
    mapping_ = nullptr;
    mappedBytes_ = 0;
}

const PixelLayout& MappedBmpFile::layout() const
{
    return decoded_ ? decoded_->layout() : layout_;
}

ImageView MappedBmpFile::view() const
{
    if (decoded_)
        return decoded_->view();
    ImageView v;
    v.layout = &layout_;
    v.width = width_;
    v.height = height_;
    if (mapping_ == nullptr || height_ == 0)
        return v;
    const std::uint8_t* pixels = mapping_ + pixelOffset_;
    const auto stride = static_cast<std::ptrdiff_t>(stride_);
    if (order_ == RowOrder::BottomUp) {
        v.firstRow = pixels + (height_ - 1) * stride;
        v.stride = -stride;
    } else {
        v.firstRow = pixels;
        v.stride = stride;
    }
    return v;
}

}  // namespace dimora
