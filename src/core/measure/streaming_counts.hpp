// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The measurements that need only a band of rows, as RowSinks that take an
// image's rows from the top down as a reader decodes them, so that an image
// of any size is measured in memory bounded by its width. Each gives exactly
// the numbers of its whole-image counterpart on the same pixels and region:
//
//   BoxCountSink     countBoxes: per side, one row of box bits, ORed as the
//                    box row's pixel rows go by, counted when it is complete
//                    and halved into the row of the next side
//   GrayCountSink    countGrayBoxes: per side, the levels of the top corners
//                    of the open row of boxes, until its bottom corner row
//                    comes
//   LengthSink       measureTotalLength: three rows of black bits, the links
//                    of each row of centres added in the same order
//   LacunarityGridSink  measureLacunarity with the fixed grid and no mask:
//                    per side, the masses of the open row of boxes, added up
//                    as its rows go by (the gliding box would need a band of
//                    r rows of column sums per side r; it is not streamed)
//
// The region is given, or (nullopt) the measurement's own default once the
// image's size is known: the whole image for the box counts, the scan
// rectangle without a selection for the length.

#include "core/image/region.hpp"
#include "core/image/row_sink.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/gray_box_count.hpp"
#include "core/measure/lacunarity.hpp"
#include "core/measure/total_length.hpp"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace dimora {

class BoxCountSink final : public RowSink {
public:
    BoxCountSink(const std::optional<Region>& region, PixelClass pixelClass);
    ~BoxCountSink() override;
    BoxCountSink(const BoxCountSink&) = delete;
    BoxCountSink& operator=(const BoxCountSink&) = delete;

    void begin(std::int32_t width, std::int32_t height, const PixelLayout& layout) override;
    void rows(std::int32_t firstRow, const ImageView& band) override;
    void end() override;
    // Stored 1-bit rows measured whole are taken tile by tile as well.
    [[nodiscard]] std::int32_t tileWidthMultiple() const override;
    void tile(std::int32_t firstRow, std::int32_t firstColumn, const ImageView& tile) override;
    void tilesDone(std::int32_t firstRow, std::int32_t count) override;

    // The region measured (valid after begin).
    [[nodiscard]] const Region& region() const { return region_; }
    // countBoxes's result, after end; throws as it does for a region without
    // pixels.
    [[nodiscard]] BoxCounts result() const;

private:
    struct State;
    std::optional<Region> given_;
    Region region_;
    PixelClass pixelClass_;
    std::unique_ptr<State> state_;
};

class GrayCountSink final : public RowSink {
public:
    explicit GrayCountSink(const std::optional<Region>& region);
    ~GrayCountSink() override;
    GrayCountSink(const GrayCountSink&) = delete;
    GrayCountSink& operator=(const GrayCountSink&) = delete;

    void begin(std::int32_t width, std::int32_t height, const PixelLayout& layout) override;
    void rows(std::int32_t firstRow, const ImageView& band) override;
    void end() override;

    [[nodiscard]] const Region& region() const { return region_; }
    // countGrayBoxes's result, after end.
    [[nodiscard]] GrayCounts result() const;

private:
    struct State;
    std::optional<Region> given_;
    Region region_;
    std::unique_ptr<State> state_;
};

class LengthSink final : public RowSink {
public:
    // `selection` as measureTotalLength takes it.
    explicit LengthSink(const std::optional<Region>& selection);
    ~LengthSink() override;
    LengthSink(const LengthSink&) = delete;
    LengthSink& operator=(const LengthSink&) = delete;

    void begin(std::int32_t width, std::int32_t height, const PixelLayout& layout) override;
    void rows(std::int32_t firstRow, const ImageView& band) override;
    void end() override;

    // The scan rectangle (valid after begin).
    [[nodiscard]] const Region& scan() const { return scan_; }
    // measureTotalLength's result, after end.
    [[nodiscard]] std::optional<TotalLength> result() const;

private:
    struct State;
    std::optional<Region> selection_;
    Region scan_;
    std::unique_ptr<State> state_;
};

class LacunarityGridSink final : public RowSink {
public:
    // `settings` must ask for the fixed grid.
    LacunarityGridSink(const std::optional<Region>& region, LacunaritySettings settings);
    ~LacunarityGridSink() override;
    LacunarityGridSink(const LacunarityGridSink&) = delete;
    LacunarityGridSink& operator=(const LacunarityGridSink&) = delete;

    void begin(std::int32_t width, std::int32_t height, const PixelLayout& layout) override;
    void rows(std::int32_t firstRow, const ImageView& band) override;
    void end() override;

    // measureLacunarity's result, after end; throws as it does.
    [[nodiscard]] LacunarityResult result() const;

private:
    struct State;
    std::optional<Region> given_;
    LacunaritySettings settings_;
    Region region_;
    std::unique_ptr<State> state_;
};

}  // namespace dimora
