// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/png_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/png_test_files.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>

namespace dimora {
namespace {

using testing::PngImage;

std::string decodeError(std::span<const std::uint8_t> bytes)
{
    try {
        (void)decodePng(bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

std::string loadError(const std::string& path, Bitmap& bitmap)
{
    try {
        LoadPngBitmap(path, bitmap);
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

bool sameImage(const Bitmap& a, const Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (std::int32_t y = 0; y < a.height(); ++y)
        for (std::int32_t x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// ---- Every colour type and depth, against what the test wrote -------------

enum class Transparency { None, Chunk };

struct Kind {
    int colourType;
    int bitDepth;
    Transparency transparency;
};

std::string kindName(const ::testing::TestParamInfo<std::tuple<Kind, bool>>& info)
{
    const auto& [kind, interlaced] = info.param;
    static const char* const names[] = {"Gray", "", "Rgb", "Palette", "GrayAlpha", "", "Rgba"};
    return std::string(names[kind.colourType]) + std::to_string(kind.bitDepth) +
           (kind.transparency == Transparency::Chunk ? "Trns" : "") + (interlaced ? "Interlaced" : "");
}

// The colour a pixel must decode to, from its PNG samples: samples scaled to
// 8 bits (sub-byte gray widened, 16-bit cut to the high byte), gray as
// (g, g, g), and the alpha blended over white.
struct Expected {
    unsigned red = 0, green = 0, blue = 0, alpha = 255;

    [[nodiscard]] Colour overWhite() const
    {
        const unsigned transparency = 255 - alpha;
        const auto blend = [&](unsigned c) { return (255 * transparency + c * (255 - transparency)) / 255; };
        return makeColour(blend(red), blend(green), blend(blue));
    }
};

unsigned to8Bits(unsigned sample, int bitDepth)
{
    if (bitDepth == 16)
        return sample >> 8;
    return sample * 255 / ((1u << bitDepth) - 1);
}

class PngKinds : public ::testing::TestWithParam<std::tuple<Kind, bool>> {};

TEST_P(PngKinds, DecodeToTheWrittenColours)
{
    const auto& [kind, interlaced] = GetParam();
    const int channels = testing::channelsOf(kind.colourType);
    const unsigned maxSample = (1u << kind.bitDepth) - 1;
    std::mt19937 random(static_cast<unsigned>(kind.colourType * 100 + kind.bitDepth));

    for (const auto& [width, height] : {std::pair{1u, 1u}, {3u, 2u}, {7u, 5u}, {11u, 11u}, {33u, 9u}}) {
        PngImage image = testing::blankImage(width, height, kind.bitDepth, kind.colourType);
        image.interlaced = interlaced;
        if (kind.colourType == PNG_COLOR_TYPE_PALETTE) {
            for (unsigned i = 0; i <= maxSample; ++i)
                image.palette.push_back(png_color{static_cast<png_byte>(random()),
                                                  static_cast<png_byte>(random()),
                                                  static_cast<png_byte>(random())});
            if (kind.transparency == Transparency::Chunk) {
                // Entries past the chunk's end stay opaque.
                image.paletteAlpha = {0, 255, 128};
                for (unsigned i = 3; i < (maxSample + 1) / 2; ++i)
                    image.paletteAlpha.push_back(static_cast<std::uint8_t>(random()));
                image.paletteAlpha.resize(std::min<std::size_t>(image.paletteAlpha.size(), maxSample + 1));
            }
        }

        std::vector<std::vector<unsigned>> samples(width * height, std::vector<unsigned>(channels));
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x)
                for (int c = 0; c < channels; ++c) {
                    unsigned value = random() & maxSample;
                    // Some fully opaque and fully transparent pixels for sure.
                    if ((kind.colourType & PNG_COLOR_MASK_ALPHA) && c == channels - 1 && x % 3 != 2)
                        value = x % 3 == 0 ? maxSample : 0;
                    samples[y * width + x][c] = value;
                    testing::putSample(image.rows[y], kind.bitDepth, channels, x, c, value);
                }
        if (kind.transparency == Transparency::Chunk && kind.colourType != PNG_COLOR_TYPE_PALETTE) {
            // The colour of pixel 0 is the transparent one.
            png_color_16 colour{};
            const auto& first = samples[0];
            colour.gray = static_cast<png_uint_16>(first[0]);
            if (channels == 3) {
                colour.red = static_cast<png_uint_16>(first[0]);
                colour.green = static_cast<png_uint_16>(first[1]);
                colour.blue = static_cast<png_uint_16>(first[2]);
            }
            image.transparentColour = colour;
        }

        const auto bytes = testing::encodePng(image);
        ASSERT_FALSE(bytes.empty());
        const Bitmap bitmap = decodePng(bytes);
        ASSERT_EQ(bitmap.width(), static_cast<std::int32_t>(width));
        ASSERT_EQ(bitmap.height(), static_cast<std::int32_t>(height));
        EXPECT_EQ(bitmap.layout(), PixelLayout::rgb24());

        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                const auto& s = samples[y * width + x];
                Expected e;
                switch (kind.colourType) {
                case PNG_COLOR_TYPE_PALETTE: {
                    const png_color& p = image.palette[s[0]];
                    e = {p.red, p.green, p.blue, 255};
                    if (s[0] < image.paletteAlpha.size())
                        e.alpha = image.paletteAlpha[s[0]];
                    break;
                }
                case PNG_COLOR_TYPE_GRAY:
                case PNG_COLOR_TYPE_GRAY_ALPHA: {
                    const unsigned g = to8Bits(s[0], kind.bitDepth);
                    e = {g, g, g, channels == 2 ? to8Bits(s[1], kind.bitDepth) : 255};
                    break;
                }
                default:
                    e = {to8Bits(s[0], kind.bitDepth), to8Bits(s[1], kind.bitDepth),
                         to8Bits(s[2], kind.bitDepth), channels == 4 ? to8Bits(s[3], kind.bitDepth) : 255};
                }
                if (image.transparentColour && s == samples[0])
                    e.alpha = 0;
                ASSERT_EQ(bitmap.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)),
                          e.overWhite())
                    << "pixel " << x << "," << y << " of " << width << "x" << height;
            }
    }
}

constexpr Kind kKinds[] = {
    {PNG_COLOR_TYPE_GRAY, 1, Transparency::None},        {PNG_COLOR_TYPE_GRAY, 2, Transparency::None},
    {PNG_COLOR_TYPE_GRAY, 4, Transparency::None},        {PNG_COLOR_TYPE_GRAY, 8, Transparency::None},
    {PNG_COLOR_TYPE_GRAY, 16, Transparency::None},       {PNG_COLOR_TYPE_GRAY, 1, Transparency::Chunk},
    {PNG_COLOR_TYPE_GRAY, 4, Transparency::Chunk},       {PNG_COLOR_TYPE_GRAY, 8, Transparency::Chunk},
    {PNG_COLOR_TYPE_GRAY, 16, Transparency::Chunk},      {PNG_COLOR_TYPE_GRAY_ALPHA, 8, Transparency::None},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 16, Transparency::None}, {PNG_COLOR_TYPE_RGB, 8, Transparency::None},
    {PNG_COLOR_TYPE_RGB, 16, Transparency::None},        {PNG_COLOR_TYPE_RGB, 8, Transparency::Chunk},
    {PNG_COLOR_TYPE_RGB, 16, Transparency::Chunk},       {PNG_COLOR_TYPE_RGBA, 8, Transparency::None},
    {PNG_COLOR_TYPE_RGBA, 16, Transparency::None},       {PNG_COLOR_TYPE_PALETTE, 1, Transparency::None},
    {PNG_COLOR_TYPE_PALETTE, 2, Transparency::None},     {PNG_COLOR_TYPE_PALETTE, 4, Transparency::None},
    {PNG_COLOR_TYPE_PALETTE, 8, Transparency::None},     {PNG_COLOR_TYPE_PALETTE, 1, Transparency::Chunk},
    {PNG_COLOR_TYPE_PALETTE, 2, Transparency::Chunk},    {PNG_COLOR_TYPE_PALETTE, 4, Transparency::Chunk},
    {PNG_COLOR_TYPE_PALETTE, 8, Transparency::Chunk},
};

INSTANTIATE_TEST_SUITE_P(AllColourTypes, PngKinds,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::Bool()), kindName);

// ---- Single pixels with known answers ---------------------------------------

Colour decodeOnePixel(int colourType, int bitDepth, std::initializer_list<unsigned> samples)
{
    PngImage image = testing::blankImage(1, 1, bitDepth, colourType);
    int c = 0;
    for (const unsigned s : samples)
        testing::putSample(image.rows[0], bitDepth, testing::channelsOf(colourType), 0, c++, s);
    return decodePng(testing::encodePng(image)).pixel(0, 0);
}

TEST(PngPixels, AlphaIsBlendedOverWhite)
{
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_RGBA, 8, {10, 20, 30, 255}), makeColour(10, 20, 30));
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_RGBA, 8, {10, 20, 30, 0}), kWhite);
    // (255 × 127 + 0 × 128) div 255
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_RGBA, 8, {0, 0, 0, 128}), makeColour(127, 127, 127));
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_RGBA, 16, {0, 0, 0, 0x80FF}), makeColour(127, 127, 127));
}

TEST(PngPixels, GrayBecomesAllThreeChannels)
{
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 8, {0x5A}), makeColour(0x5A, 0x5A, 0x5A));
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 1, {1}), kWhite);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 1, {0}), kBlack);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 2, {1}), makeColour(85, 85, 85));
}

TEST(PngPixels, SixteenBitSamplesKeepTheirHighByte)
{
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 16, {0}), kBlack);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 16, {65535}), kWhite);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 16, {0x01FF}), makeColour(1, 1, 1));
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY, 16, {0x00FF}), kBlack);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_RGB, 16, {0x1234, 0xABCD, 0xFF00}), makeColour(0x12, 0xAB, 0xFF));
}

TEST(PngPixels, OpaqueWhiteGrayWithAlphaStaysWhite)
{
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {255, 255}), kWhite);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY_ALPHA, 16, {65535, 65535}), kWhite);
    EXPECT_EQ(decodeOnePixel(PNG_COLOR_TYPE_GRAY_ALPHA, 8, {0, 255}), kBlack);
}

TEST(PngPixels, FullyTransparentPaletteEntriesShowWhite)
{
    PngImage image = testing::blankImage(2, 1, 8, PNG_COLOR_TYPE_PALETTE);
    image.palette = {{0, 0, 0}, {0, 0, 0}};
    image.paletteAlpha = {0};
    image.rows[0] = {0, 1};
    const Bitmap bitmap = decodePng(testing::encodePng(image));
    EXPECT_EQ(bitmap.pixel(0, 0), kWhite);
    EXPECT_EQ(bitmap.pixel(1, 0), kBlack);
}

// ---- Files and failures -----------------------------------------------------

std::vector<std::uint8_t> checkerboardPng(std::uint32_t size, bool interlaced = false)
{
    PngImage image = testing::blankImage(size, size, 8, PNG_COLOR_TYPE_RGB);
    image.interlaced = interlaced;
    for (std::uint32_t y = 0; y < size; ++y)
        for (std::uint32_t x = 0; x < size; ++x)
            for (int c = 0; c < 3; ++c)
                testing::putSample(image.rows[y], 8, 3, x, c,
                                   (x + y) % 2 ? 255u : (x * 7 + y * 3 + c) & 0xFF);
    return testing::encodePng(image);
}

Bitmap sentinelBitmap()
{
    Bitmap bitmap(5, 3, PixelLayout::rgb24());
    bitmap.setPixel(2, 1, makeColour(1, 2, 3));
    return bitmap;
}

bool isSentinel(const Bitmap& bitmap)
{
    return bitmap.width() == 5 && bitmap.height() == 3 && bitmap.pixel(2, 1) == makeColour(1, 2, 3) &&
           bitmap.pixel(0, 0) == kBlack;
}

TEST(LoadPngBitmap, ReadsAFileIntoTheCallersBitmap)
{
    testing::ScratchFolder folder;
    const auto bytes = checkerboardPng(9);
    testing::writeFile(folder.file("a.png"), bytes);
    Bitmap bitmap = sentinelBitmap();
    LoadPngBitmap(folder.file("a.png"), bitmap);
    EXPECT_TRUE(sameImage(bitmap, decodePng(bytes)));
    EXPECT_EQ(bitmap.width(), 9);
    EXPECT_EQ(bitmap.pixel(1, 0), kWhite);
    EXPECT_EQ(bitmap.pixel(2, 1), kWhite);
    EXPECT_EQ(bitmap.pixel(2, 0), makeColour(14, 15, 16));
}

TEST(LoadPngReusing, OverwritesABitmapOfTheSameSizeEntirely)
{
    testing::ScratchFolder folder;
    // Gray with alpha goes through the row conversion, RGB straight into the
    // rows; an interlaced image through a whole-image buffer.
    auto gray = testing::blankImage(7, 5, 8, PNG_COLOR_TYPE_GRAY_ALPHA);
    for (std::uint32_t y = 0; y < 5; ++y)
        for (std::uint32_t x = 0; x < 7; ++x) {
            testing::putSample(gray.rows[y], 8, 2, x, 0, x * 30);
            testing::putSample(gray.rows[y], 8, 2, x, 1, y * 60);
        }
    auto interlaced = gray;
    interlaced.interlaced = true;
    for (const auto& image : {testing::encodePng(gray), testing::encodePng(interlaced), checkerboardPng(9)}) {
        testing::writeFile(folder.file("a.png"), image);
        const Bitmap fresh = decodePng(image);
        Bitmap stale(fresh.width(), fresh.height(), PixelLayout::rgb24());
        stale.fill(makeColour(1, 2, 3));
        const Bitmap reused = loadPngReusing(folder.file("a.png"), std::move(stale));
        EXPECT_TRUE(sameImage(reused, fresh));
        // A bitmap of another size or layout is not used.
        Bitmap other(fresh.width() + 1, fresh.height(), PixelLayout::rgb24());
        EXPECT_TRUE(sameImage(loadPngReusing(folder.file("a.png"), std::move(other)), fresh));
        Bitmap indexed(fresh.width(), fresh.height(), PixelLayout::indexed(8, {kWhite}));
        const Bitmap fromIndexed = loadPngReusing(folder.file("a.png"), std::move(indexed));
        EXPECT_EQ(fromIndexed.layout(), PixelLayout::rgb24());
        EXPECT_TRUE(sameImage(fromIndexed, fresh));
    }
}

TEST(LoadPngBitmap, MissingFileNamesTheFileAndLeavesTheBitmap)
{
    testing::ScratchFolder folder;
    Bitmap bitmap = sentinelBitmap();
    const std::string name = folder.file("missing 1.png");
    EXPECT_EQ(loadError(name, bitmap), "Error Opening File " + name + "!");
    EXPECT_TRUE(isSentinel(bitmap));
}

TEST(LoadPngBitmap, BrokenFilesFailAndLeaveTheBitmap)
{
    testing::ScratchFolder folder;
    const auto good = checkerboardPng(16);
    const std::vector<std::vector<std::uint8_t>> broken = {
        {good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2)},  // cut in the image data
        {good.begin(), good.begin() + 8},                                             // signature only
        {},                                                                           // empty file
        {'B', 'M', 0, 0, 0, 0},                                                       // not a PNG
    };
    for (const auto& bytes : broken) {
        testing::writeFile(folder.file("b.png"), bytes);
        Bitmap bitmap = sentinelBitmap();
        EXPECT_EQ(loadError(folder.file("b.png"), bitmap), "Error Reading File!");
        EXPECT_TRUE(isSentinel(bitmap));
    }
    // A folder opens but cannot be read.
    Bitmap bitmap = sentinelBitmap();
    EXPECT_EQ(loadError(folder.path().string(), bitmap), "Error Reading File!");
    EXPECT_TRUE(isSentinel(bitmap));

    // A good load after the failures starts afresh.
    testing::writeFile(folder.file("c.png"), good);
    LoadPngBitmap(folder.file("c.png"), bitmap);
    EXPECT_TRUE(sameImage(bitmap, decodePng(good)));
}

TEST(DecodePng, TruncationAtAnyLengthFailsOrGivesTheWholeImage)
{
    for (const bool interlaced : {false, true}) {
        const auto good = checkerboardPng(12, interlaced);
        const Bitmap whole = decodePng(good);
        for (std::size_t length = 0; length < good.size(); ++length) {
            const std::span<const std::uint8_t> cut(good.data(), length);
            const std::string error = decodeError(cut);
            if (error == "no error") {
                EXPECT_TRUE(sameImage(decodePng(cut), whole)) << length;
            } else {
                EXPECT_EQ(error, "Error Reading File!") << length;
            }
            // Without the end of the image data nothing can succeed.
            if (length < good.size() - 16) {
                EXPECT_NE(error, "no error") << length;
            }
        }
    }
}

TEST(DecodePng, CorruptBytesNeverCrash)
{
    const auto good = checkerboardPng(10, true);
    std::size_t failures = 0;
    for (std::size_t at = 0; at < good.size(); ++at)
        for (const std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            auto bytes = good;
            bytes[at] ^= flip;
            const std::string error = decodeError(bytes);
            if (error != "no error") {
                EXPECT_EQ(error, "Error Reading File!");
                ++failures;
            }
        }
    // Every byte of the signature, the header and the image data is checked.
    EXPECT_GT(failures, good.size());
}

// A PNG that is nothing but its signature and a header claiming the given
// size, followed by the start of an image data chunk.
std::vector<std::uint8_t> headerOnlyPng(std::uint32_t width, std::uint32_t height)
{
    const auto crc = [](const std::uint8_t* data, std::size_t length) {
        std::uint32_t c = 0xFFFFFFFFu;
        for (std::size_t i = 0; i < length; ++i) {
            c ^= data[i];
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        return ~c;
    };
    const auto put32 = [](std::vector<std::uint8_t>& out, std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(v >> shift));
    };
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    put32(out, 13);
    const std::size_t chunk = out.size();
    for (const char c : {'I', 'H', 'D', 'R'})
        out.push_back(static_cast<std::uint8_t>(c));
    put32(out, width);
    put32(out, height);
    for (const std::uint8_t b : {8, 2, 0, 0, 0})
        out.push_back(b);
    put32(out, crc(out.data() + chunk, out.size() - chunk));
    put32(out, 100);
    for (const char c : {'I', 'D', 'A', 'T'})
        out.push_back(static_cast<std::uint8_t>(c));
    out.resize(out.size() + 100, 0);
    return out;
}

TEST(DecodePng, DimensionsBeyondMemoryFailCleanly)
{
    EXPECT_EQ(decodeError(headerOnlyPng(100000, 100000)), "Error Reading File!");
    EXPECT_EQ(decodeError(headerOnlyPng(0x7FFFFFFF, 1)), "Error Reading File!");
    EXPECT_EQ(decodeError(headerOnlyPng(1, 0x7FFFFFFF)), "Error Reading File!");
    EXPECT_EQ(decodeError(headerOnlyPng(0x7FFFFFFF, 0x7FFFFFFF)), "Error Reading File!");
    EXPECT_EQ(decodeError(headerOnlyPng(0, 5)), "Error Reading File!");
}

TEST(DecodePng, ImagesBeyondTheMemoryBudgetAreRefused)
{
    const auto bytes = checkerboardPng(64);
    const std::uint64_t saved = Bitmap::memoryBudget();
    Bitmap::setMemoryBudget(64 * 64 * 3 - 1);
    const std::string error = decodeError(bytes);
    Bitmap::setMemoryBudget(64 * 64 * 4);
    const Bitmap fits = decodePng(bytes);
    Bitmap::setMemoryBudget(saved);
    EXPECT_EQ(error, "Error Reading File!");
    EXPECT_EQ(fits.width(), 64);
}

TEST(DecodePng, DamagedAncillaryChunkIsIgnoredSilently)
{
    auto bytes = checkerboardPng(6);
    // A text chunk with a wrong checksum right after the header.
    const std::vector<std::uint8_t> text = {0, 0,   0,   5,   't', 'E', 'X', 't', 'a',
                                            0, 'b', 'c', 'd', 1,   2,   3,   4};
    bytes.insert(bytes.begin() + 33, text.begin(), text.end());
    ::testing::internal::CaptureStderr();
    const Bitmap bitmap = decodePng(bytes);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(sameImage(bitmap, decodePng(checkerboardPng(6))));
    EXPECT_EQ(printed, "");
}

TEST(HasPngSignature, NeedsAllEightBytes)
{
    const std::vector<std::uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0};
    EXPECT_TRUE(hasPngSignature(signature));
    EXPECT_FALSE(hasPngSignature(std::span(signature).first(7)));
    for (std::size_t i = 0; i < 8; ++i) {
        auto bytes = signature;
        bytes[i] ^= 0x20;
        EXPECT_FALSE(hasPngSignature(bytes)) << i;
    }
}

// ---- PngSuite -----------------------------------------------------------------

TEST(PngSuite, GoodFilesDecodeAndCorruptOnesFail)
{
    const std::filesystem::path folder = std::filesystem::path(DIMORA_TEST_DATA) / "pngsuite";
    int good = 0;
    int corrupt = 0;
    ::testing::internal::CaptureStderr();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".png")
            continue;
        Bitmap bitmap = sentinelBitmap();
        const std::string error = loadError(entry.path().string(), bitmap);
        if (name.front() == 'x') {
            EXPECT_EQ(error, "Error Reading File!") << name;
            EXPECT_TRUE(isSentinel(bitmap)) << name;
            ++corrupt;
            continue;
        }
        ASSERT_EQ(error, "no error") << name;
        ++good;
        // The size files are named after their edge: s01 … s40.
        if (name.front() == 's' && std::isdigit(static_cast<unsigned char>(name[1]))) {
            const int edge = std::stoi(name.substr(1, 2));
            EXPECT_EQ(bitmap.width(), edge) << name;
            EXPECT_EQ(bitmap.height(), edge) << name;
        } else if (name.starts_with("bas")) {
            EXPECT_EQ(bitmap.width(), 32) << name;
        }
        // An interlaced file decodes to the same pixels as its plain twin.
        if (name.size() > 3 && name[3] == 'i' && (name.starts_with("bas") || name.front() == 's')) {
            std::string twin = name;
            twin[3] = 'n';
            Bitmap plain;
            LoadPngBitmap((folder / twin).string(), plain);
            EXPECT_TRUE(sameImage(bitmap, plain)) << name;
        }
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_GT(good, 100);
    EXPECT_EQ(corrupt, 14);
}

TEST(PngSuite, KnownPixels)
{
    const std::string folder = std::string(DIMORA_TEST_DATA) + "/pngsuite/";
    Bitmap bitmap;
    // Opaque 8-bit gray: a top-left black to bottom-right white ramp.
    LoadPngBitmap(folder + "basn0g08.png", bitmap);
    EXPECT_EQ(bitmap.pixel(0, 0), kBlack);
    const Colour c = bitmap.pixel(31, 31);
    EXPECT_EQ(redOf(c), greenOf(c));
    EXPECT_EQ(redOf(c), blueOf(c));
    // A gray image with alpha: every pixel is gray, over white.
    LoadPngBitmap(folder + "basn4a08.png", bitmap);
    for (std::int32_t y = 0; y < bitmap.height(); ++y)
        for (std::int32_t x = 0; x < bitmap.width(); ++x) {
            const Colour p = bitmap.pixel(x, y);
            ASSERT_TRUE(redOf(p) == greenOf(p) && greenOf(p) == blueOf(p)) << x << "," << y;
        }
}

}  // namespace
}  // namespace dimora
