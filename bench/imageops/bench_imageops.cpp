// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// The whole-image operations on 4096 × 4096 images. Each iteration restores
// the input into an already touched bitmap (not timed) and runs the operation
// once.

#include "core/imageops/imageops.hpp"

#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>

namespace dimora {
namespace {

constexpr std::int32_t kSide = 4096;

enum class Content { Photo, Noise, SparseDots, Strokes, AllBlack };

PixelLayout layoutOf(int bits)
{
    if (bits == 1)
        return PixelLayout::indexed(1, {kBlack, kWhite});
    if (bits == 8) {
        std::vector<Colour> palette;
        for (unsigned i = 0; i < 256; ++i)
            palette.push_back(makeColour(i, (i * 7) & 0xFF, 255 - i));
        return PixelLayout::indexed(8, palette);
    }
    return PixelLayout::rgb24();
}

// Thick strokes and blobs such as thinning and the measurements meet.
void drawStrokes(Bitmap& image, std::mt19937& rng)
{
    image.fill(kWhite);
    std::uniform_int_distribution<int> pos(0, kSide - 1), len(50, 900), half(1, 12), dir(0, 3);
    // Horizontal, vertical and both diagonal directions.
    const int stepX[4] = {1, 0, 1, 1}, stepY[4] = {0, 1, 1, -1};
    for (int i = 0; i < 2500; ++i) {
        const int x0 = pos(rng), y0 = pos(rng), l = len(rng), h = half(rng), d = dir(rng);
        for (int s = 0; s < l; ++s)
            for (int dy = -h; dy <= h; ++dy)
                for (int dx = -h; dx <= h; ++dx)
                    image.setPixel(x0 + s * stepX[d] + dx, y0 + s * stepY[d] + dy, kBlack);
    }
}

const Bitmap& source(Content content, int bits)
{
    static std::map<std::pair<Content, int>, Bitmap> cache;
    auto found = cache.find({content, bits});
    if (found != cache.end())
        return found->second;
    Bitmap image(kSide, kSide, layoutOf(bits));
    std::mt19937 rng(static_cast<unsigned>(content) * 31 + static_cast<unsigned>(bits));
    switch (content) {
    case Content::Photo: {
        std::uniform_int_distribution<int> byte(0, 255);
        for (std::size_t i = 0; i < image.byteCount(); ++i)
            image.data()[i] = static_cast<std::uint8_t>(byte(rng));
        break;
    }
    case Content::Noise:
    case Content::SparseDots: {
        std::bernoulli_distribution black(content == Content::Noise ? 0.4 : 0.02);
        for (std::int32_t y = 0; y < kSide; ++y)
            for (std::int32_t x = 0; x < kSide; ++x)
                image.setPixel(x, y, black(rng) ? kBlack : kWhite);
        break;
    }
    case Content::Strokes:
        drawStrokes(image, rng);
        break;
    case Content::AllBlack:
        image.fill(kBlack);
        break;
    }
    return cache.emplace(std::pair{content, bits}, std::move(image)).first->second;
}

void runOperation(benchmark::State& state, Content content, int bits, const std::function<void(Bitmap&)>& op)
{
    const Bitmap& input = source(content, bits);
    Bitmap working = input;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(working.data(), input.data(), input.byteCount());
        state.ResumeTiming();
        op(working);
        benchmark::DoNotOptimize(working.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t{kSide} * kSide);
}

void registerAll()
{
    struct Case {
        std::string name;
        Content content;
        int bits;
        std::function<void(Bitmap&)> op;
    };
    static Bitmap scratch;
    const std::vector<Case> cases = {
        {"thinning/strokes/24", Content::Strokes, 24, thinFigures},
        {"thinning/strokes/1", Content::Strokes, 1, thinFigures},
        {"thinning/all_black/24", Content::AllBlack, 24, thinFigures},
        {"thinning/noise/24", Content::Noise, 24, thinFigures},
        {"median/noise/24", Content::Noise, 24, [](Bitmap& b) { medianFilter(b, scratch); }},
        {"median/noise/8", Content::Noise, 8, [](Bitmap& b) { medianFilter(b, scratch); }},
        {"median/noise/1", Content::Noise, 1, [](Bitmap& b) { medianFilter(b, scratch); }},
        {"dot_removal/sparse/24", Content::SparseDots, 24, removeIsolatedDots},
        {"dot_removal/sparse/1", Content::SparseDots, 1, removeIsolatedDots},
        {"green_extraction/photo/24", Content::Photo, 24,
         [](Bitmap& b) {
             extractColour(b, {ExtractedChannel::Green, 0});
         }},
        {"green_extraction/photo/8", Content::Photo, 8,
         [](Bitmap& b) {
             extractColour(b, {ExtractedChannel::Green, 0});
         }},
        {"percent/photo/24", Content::Photo, 24, convertToPercent},
        {"inversion/photo/24", Content::Photo, 24, invertColours},
        {"grayscale/photo/24", Content::Photo, 24, convertToGrayscale},
        {"grayscale/photo/8", Content::Photo, 8, convertToGrayscale},
    };
    for (const auto& c : cases) {
        benchmark::RegisterBenchmark(c.name.c_str(), [c](benchmark::State& state) {
            runOperation(state, c.content, c.bits, c.op);
        })->Unit(benchmark::kMillisecond);
    }
}

}  // namespace
}  // namespace dimora

int main(int argc, char** argv)
{
    dimora::registerAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
