// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/image_file.hpp"
#include "core/files/jpeg_reader.hpp"
#include "core/files/tiff_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/png_test_files.hpp"
#include "tiff_jpeg_test_files.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>

namespace dimora {
namespace {

using testing::TiffFile;
using testing::TiffPage;

std::string errorOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

const std::string kRefused = "画像ファイル x.tif を読み込めません";

// A layout of the reader's table: how the file is written and what each
// pixel must read as.
struct Layout {
    std::string name;
    TiffPage page;
    std::function<Colour(std::uint32_t x, std::uint32_t y)> expected;
    PixelFormat format;
    bool bigEndian = false;
    bool bigTiff = false;
};

Colour grey(unsigned v)
{
    return makeColour(v, v, v);
}

unsigned blend(unsigned source, unsigned alpha)
{
    return (255 * (255 - alpha) + source * alpha) / 255;
}

std::vector<std::uint16_t> colourMap(unsigned entries, unsigned step)
{
    std::vector<std::uint16_t> map(entries);
    for (unsigned i = 0; i < entries; ++i)
        map[i] = static_cast<std::uint16_t>((i * step + 0x1234u) & 0xFFFF);
    return map;
}

TiffPage page(std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric, testing::SampleAt sample,
              std::uint32_t width = 37, std::uint32_t height = 21)
{
    TiffPage p;
    p.width = width;
    p.height = height;
    p.bits = bits;
    p.samples = samples;
    p.photometric = photometric;
    p.sample = std::move(sample);
    return p;
}

unsigned gray8(std::uint32_t x, std::uint32_t y)
{
    return (x * 20 + y * 7) % 256;
}
unsigned gray16(std::uint32_t x, std::uint32_t y)
{
    return (x * 4000 + y * 900) % 65536;
}
unsigned channel16(std::uint32_t x, std::uint32_t y, unsigned s)
{
    return (x * 1700 + y * 2900 + s * 20000) % 65536;
}
unsigned channel8(std::uint32_t x, std::uint32_t y, unsigned s)
{
    return (x * 17 + y * 29 + s * 80) % 256;
}
unsigned alpha8(std::uint32_t x, std::uint32_t y)
{
    return (x * 13 + y * 51) % 256;
}

std::vector<Layout> layouts()
{
    std::vector<Layout> all;
    const auto bilevel = [](std::uint32_t x, std::uint32_t y) { return (x + y) % 3 == 0 ? 1u : 0u; };
    all.push_back({"BilevelMinIsBlack",
                   page(1, 1, PHOTOMETRIC_MINISBLACK, [&](auto x, auto y, auto) { return bilevel(x, y); }),
                   [&](auto x, auto y) { return bilevel(x, y) ? kWhite : kBlack; }, PixelFormat::Indexed1});
    all.push_back({"BilevelMinIsWhitePackBits",
                   page(1, 1, PHOTOMETRIC_MINISWHITE, [&](auto x, auto y, auto) { return bilevel(x, y); }),
                   [&](auto x, auto y) { return bilevel(x, y) ? kBlack : kWhite; }, PixelFormat::Indexed1});
    all.back().page.compression = COMPRESSION_PACKBITS;
    all.push_back({"Gray2",
                   page(2, 1, PHOTOMETRIC_MINISBLACK, [](auto x, auto y, auto) { return (x + y) % 4; }),
                   [](auto x, auto y) { return grey((x + y) % 4 * 85); }, PixelFormat::Indexed8});
    all.push_back({"Gray4MinIsWhite",
                   page(4, 1, PHOTOMETRIC_MINISWHITE, [](auto x, auto y, auto) { return (3 * x + y) % 16; }),
                   [](auto x, auto y) { return grey(255 - (3 * x + y) % 16 * 17); }, PixelFormat::Indexed8});
    all.push_back({"Gray8",
                   page(8, 1, PHOTOMETRIC_MINISBLACK, [](auto x, auto y, auto) { return gray8(x, y); }),
                   [](auto x, auto y) { return grey(gray8(x, y)); }, PixelFormat::Indexed8});
    all.push_back({"Gray8MinIsWhiteLzw",
                   page(8, 1, PHOTOMETRIC_MINISWHITE, [](auto x, auto y, auto) { return gray8(x, y); }),
                   [](auto x, auto y) { return grey(255 - gray8(x, y)); }, PixelFormat::Indexed8});
    all.back().page.compression = COMPRESSION_LZW;
    all.push_back({"Gray8TiledDeflate",
                   page(8, 1, PHOTOMETRIC_MINISBLACK, [](auto x, auto y, auto) { return gray8(x, y); }),
                   [](auto x, auto y) { return grey(gray8(x, y)); }, PixelFormat::Indexed8});
    all.back().page.tiled = true;
    all.back().page.compression = COMPRESSION_ADOBE_DEFLATE;
    all.push_back({"Gray16BigEndian",
                   page(16, 1, PHOTOMETRIC_MINISBLACK, [](auto x, auto y, auto) { return gray16(x, y); }),
                   [](auto x, auto y) { return grey(gray16(x, y) >> 8); }, PixelFormat::Indexed8, true});
    for (const std::uint16_t bits : {1, 2, 4, 8}) {
        const unsigned entries = 1u << bits;
        TiffPage p =
            page(bits, 1, PHOTOMETRIC_PALETTE, [=](auto x, auto y, auto) { return (x + 2 * y) % entries; });
        p.red = colourMap(entries, 4099);
        p.green = colourMap(entries, 257 * 13);
        p.blue = colourMap(entries, 65535 / entries);
        const auto red = p.red, green = p.green, blue = p.blue;
        all.push_back({"Palette" + std::to_string(bits), p,
                       [=](auto x, auto y) {
                           const auto i = (x + 2 * y) % entries;
                           return makeColour(red[i] >> 8, green[i] >> 8, blue[i] >> 8);
                       },
                       bits == 8   ? PixelFormat::Indexed8
                       : bits == 1 ? PixelFormat::Indexed1
                                   : PixelFormat::Indexed4});
    }
    // Tiles whose rows do not end on a byte: a tile column starts inside a
    // byte (12 and 6 pixels of 1 and 2 bits).
    all.push_back(
        {"Bilevel12x8Tiles",
         page(
             1, 1, PHOTOMETRIC_MINISBLACK, [=](auto x, auto y, auto) { return bilevel(x, y); }, 50, 40),
         [=](auto x, auto y) { return bilevel(x, y) ? kWhite : kBlack; }, PixelFormat::Indexed1});
    all.back().page.tiled = true;
    all.back().page.tileWidth = 12;
    all.back().page.tileHeight = 8;
    all.push_back(
        {"Gray2MinIsWhite6x8Tiles",
         page(
             2, 1, PHOTOMETRIC_MINISWHITE, [](auto x, auto y, auto) { return (x + 3 * y) % 4; }, 50, 40),
         [](auto x, auto y) { return grey(255 - (x + 3 * y) % 4 * 85); }, PixelFormat::Indexed8});
    all.back().page.tiled = true;
    all.back().page.tileWidth = 6;
    all.back().page.tileHeight = 8;
    const auto rgb8 = [](auto x, auto y) {
        return makeColour(channel8(x, y, 0), channel8(x, y, 1), channel8(x, y, 2));
    };
    all.push_back({"Rgb8", page(8, 3, PHOTOMETRIC_RGB, channel8), rgb8, PixelFormat::Rgb24});
    all.push_back({"Rgb8SeparateTiledBigTiff", page(8, 3, PHOTOMETRIC_RGB, channel8), rgb8,
                   PixelFormat::Rgb24, false, true});
    all.back().page.planar = PLANARCONFIG_SEPARATE;
    all.back().page.tiled = true;
    all.push_back({"Rgb16BigEndianLzw", page(16, 3, PHOTOMETRIC_RGB, channel16),
                   [](auto x, auto y) {
                       return makeColour(channel16(x, y, 0) >> 8, channel16(x, y, 1) >> 8,
                                         channel16(x, y, 2) >> 8);
                   },
                   PixelFormat::Rgb24, true});
    all.back().page.compression = COMPRESSION_LZW;
    const auto rgba = [](auto x, auto y, unsigned s) { return s == 3 ? alpha8(x, y) : channel8(x, y, s); };
    const auto blended = [](auto x, auto y) {
        const unsigned a = alpha8(x, y);
        return makeColour(blend(channel8(x, y, 0), a), blend(channel8(x, y, 1), a),
                          blend(channel8(x, y, 2), a));
    };
    all.push_back({"RgbaUnassociated", page(8, 4, PHOTOMETRIC_RGB, rgba), blended, PixelFormat::Rgb24});
    all.back().page.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    all.push_back({"RgbaAssociatedSeparate", page(8, 4, PHOTOMETRIC_RGB, rgba), blended, PixelFormat::Rgb24});
    all.back().page.extraSamples = {EXTRASAMPLE_ASSOCALPHA};
    all.back().page.planar = PLANARCONFIG_SEPARATE;
    all.push_back(
        {"GrayAlpha16",
         page(16, 2, PHOTOMETRIC_MINISBLACK,
              [](auto x, auto y, unsigned s) { return s == 0 ? gray16(x, y) : alpha8(x, y) * 257; }),
         [](auto x, auto y) { return grey(blend(gray16(x, y) >> 8, alpha8(x, y))); }, PixelFormat::Rgb24});
    all.back().page.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    // Grey with alpha stored min-is-white: inverted first, then blended.
    for (const std::uint16_t bits : {8, 16})
        for (const std::uint16_t extra : {EXTRASAMPLE_ASSOCALPHA, EXTRASAMPLE_UNASSALPHA}) {
            const unsigned scale = bits == 8 ? 1 : 257;
            all.push_back({"GrayAlpha" + std::to_string(bits) + "MinIsWhite" +
                               (extra == EXTRASAMPLE_ASSOCALPHA ? "Associated" : "Unassociated"),
                           page(bits, 2, PHOTOMETRIC_MINISWHITE,
                                [=](auto x, auto y, unsigned s) {
                                    return (s == 0 ? gray8(x, y) : alpha8(x, y)) * scale;
                                }),
                           [](auto x, auto y) { return grey(blend(255 - gray8(x, y), alpha8(x, y))); },
                           PixelFormat::Rgb24});
            all.back().page.extraSamples = {extra};
        }
    return all;
}

class TiffLayouts : public ::testing::TestWithParam<Layout> {};

TEST_P(TiffLayouts, ReadEveryPixelAsTheTableGivesIt)
{
    const Layout& layout = GetParam();
    const auto bytes = testing::encodeTiff({layout.bigEndian, layout.bigTiff, {layout.page}});
    ASSERT_FALSE(bytes.empty());
    const Bitmap bitmap = decodeTiff(bytes, "x.tif");
    ASSERT_EQ(bitmap.width(), static_cast<std::int32_t>(layout.page.width));
    ASSERT_EQ(bitmap.height(), static_cast<std::int32_t>(layout.page.height));
    EXPECT_EQ(bitmap.layout().format(), layout.format);
    for (std::uint32_t y = 0; y < layout.page.height; ++y)
        for (std::uint32_t x = 0; x < layout.page.width; ++x)
            ASSERT_EQ(bitmap.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)),
                      layout.expected(x, y))
                << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(TiffReader, TiffLayouts, ::testing::ValuesIn(layouts()),
                         [](const auto& info) { return info.param.name; });

TEST(TiffReader, PagesArePickedByNumber)
{
    TiffFile file;
    for (unsigned k = 1; k <= 3; ++k)
        file.pages.push_back(page(
            8, 1, PHOTOMETRIC_MINISBLACK, [=](auto, auto, auto) { return 40 * k; }, 5 + k, 4));
    const auto bytes = testing::encodeTiff(file);
    EXPECT_EQ(decodeTiff(bytes, "x.tif").pixel(0, 0), grey(40));
    const Bitmap third = decodeTiff(bytes, "x.tif", 3);
    EXPECT_EQ(third.width(), 8);
    EXPECT_EQ(third.pixel(7, 3), grey(120));
    EXPECT_EQ(errorOf([&] { (void)decodeTiff(bytes, "x.tif", 4); }), kRefused);
    EXPECT_EQ(errorOf([&] { (void)decodeTiff(bytes, "x.tif", 0); }), kRefused);
}

TEST(TiffReader, RefusesWhatTheModelCannotHold)
{
    const auto any = [](auto, auto, auto) { return 1u; };
    std::vector<TiffPage> refused = {
        page(32, 1, PHOTOMETRIC_MINISBLACK, any), page(8, 4, PHOTOMETRIC_SEPARATED, any),
        page(8, 3, PHOTOMETRIC_CIELAB, any), page(8, 1, PHOTOMETRIC_MINISBLACK, any),
        page(32, 1, PHOTOMETRIC_MINISBLACK, any)};
    refused[3].sampleFormat = SAMPLEFORMAT_INT;
    refused[4].sampleFormat = SAMPLEFORMAT_IEEEFP;
    for (const TiffPage& p : refused) {
        const auto bytes = testing::encodeTiff({false, false, {p}});
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(errorOf([&] { (void)decodeTiff(bytes, "x.tif"); }), kRefused)
            << p.bits << " " << p.photometric;
    }
}

TEST(TiffReader, AHugeClaimCostsNothingAndDamageNeverCrashes)
{
    const auto bytes =
        testing::encodeTiff({false, false, {page(8, 1, PHOTOMETRIC_MINISBLACK, [](auto x, auto y, auto) {
                                 return gray8(x, y);
                             })}});
    // The width and height are the first two entries of the one directory:
    // claim 10^6 × 10^6 pixels.
    auto huge = bytes;
    const std::uint32_t ifd =
        huge[4] | huge[5] << 8 | huge[6] << 16 | static_cast<std::uint32_t>(huge[7]) << 24;
    for (int entry = 0; entry < 2; ++entry) {
        auto* field = &huge[ifd + 2 + 12 * static_cast<std::size_t>(entry)];
        field[2] = TIFF_LONG;
        field[4] = 1;
        const std::uint32_t million = 1000000;
        std::memcpy(field + 8, &million, 4);
    }
    EXPECT_EQ(errorOf([&] { (void)decodeTiff(huge, "x.tif"); }), kRefused);

    for (std::size_t length = 0; length < bytes.size(); length += 7) {
        const std::span<const std::uint8_t> cut(bytes.data(), length);
        const std::string error = errorOf([&] { (void)decodeTiff(cut, "x.tif"); });
        EXPECT_TRUE(error == kRefused || error == "no error") << length;
    }
    std::srand(7);
    for (int trial = 0; trial < 300; ++trial) {
        auto damaged = bytes;
        damaged[static_cast<std::size_t>(std::rand()) % damaged.size()] ^=
            static_cast<std::uint8_t>(1 + std::rand() % 255);
        const std::string error = errorOf([&] { (void)decodeTiff(damaged, "x.tif"); });
        EXPECT_TRUE(error == kRefused || error == "no error") << trial;
    }
}

// Files whose tags claim far more than their few stored bytes hold (every
// strip or tile is the same dozen bytes): each is read, to an image or the
// reader's error, taking memory for what really decodes, not for the claim.
TEST(TiffReader, ClaimsBeyondTheStoredBytesCostNoMemory)
{
    // A Deflate stream of five zero bytes; and bytes that no codec takes.
    const std::vector<std::uint8_t> deflated = {0x78, 0x01, 0x01, 0x05, 0x00, 0xFA, 0xFF, 0,
                                                0,    0,    0,    0,    0,    0x05, 0x00, 0x01};
    const std::vector<std::uint8_t> junk = {0x81, 0x00, 0x47, 0xFF, 0x12, 0x80, 0x00, 0x33};
    const auto any = [](auto, auto, auto) { return 0u; };
    struct Claim {
        std::string name;
        TiffPage page;
    };
    std::vector<Claim> claims;
    const auto claim = [&](std::string name, std::uint16_t bits, std::uint16_t samples,
                           std::uint16_t photometric, std::uint32_t side, std::uint16_t compression,
                           std::vector<std::uint8_t> raw) {
        TiffPage p = page(bits, samples, photometric, any, side, side);
        p.compression = compression;
        p.raw = std::move(raw);
        p.rowsPerStrip = side;
        if (samples == 4 || samples == 2)
            p.extraSamples = {EXTRASAMPLE_UNASSALPHA};
        claims.push_back({std::move(name), p});
        return &claims.back().page;
    };
    auto* tiles =
        claim("TileFarBeyondTheImage", 16, 4, PHOTOMETRIC_RGB, 16, COMPRESSION_ADOBE_DEFLATE, deflated);
    tiles->tiled = true;
    tiles->tileWidth = tiles->tileHeight = 16384;
    claim("OneDeflateStrip", 16, 4, PHOTOMETRIC_RGB, 10000, COMPRESSION_ADOBE_DEFLATE, deflated);
    claim("OneUncompressedStrip", 16, 3, PHOTOMETRIC_RGB, 10000, COMPRESSION_NONE, junk);
    claim("OneStripStraightIntoTheBitmap", 8, 1, PHOTOMETRIC_MINISBLACK, 10000, COMPRESSION_LZW, junk);
    claim("OneG4Strip", 1, 1, PHOTOMETRIC_MINISWHITE, 10000, COMPRESSION_CCITTFAX4, junk);
    // Codecs without a bound on what a stored byte decodes to are read, and
    // their buffers cost only what decodes.
    tiles = claim("TileFarBeyondTheImageZstd", 16, 4, PHOTOMETRIC_RGB, 16, COMPRESSION_ZSTD, junk);
    tiles->tiled = true;
    tiles->tileWidth = tiles->tileHeight = 16384;
    claim("OneLzmaStrip", 16, 4, PHOTOMETRIC_RGB, 4000, COMPRESSION_LZMA, junk);
    auto* planes = claim("SeparatePlanes", 16, 2, PHOTOMETRIC_MINISBLACK, 10000, COMPRESSION_PACKBITS, junk);
    planes->planar = PLANARCONFIG_SEPARATE;
    tiles = claim("OneTileOverTheImage", 16, 4, PHOTOMETRIC_RGB, 10000, COMPRESSION_ADOBE_DEFLATE, deflated);
    tiles->tiled = true;
    tiles->tileWidth = tiles->tileHeight = 16384;
    tiles = claim("ManyTallTiles", 8, 3, PHOTOMETRIC_RGB, 10000, COMPRESSION_PACKBITS, junk);
    tiles->tiled = true;
    tiles->tileWidth = 16;
    tiles->tileHeight = 16384;

    // The peak is counted from here (writing 5 to clear_refs resets it).
    if (!(std::ofstream("/proc/self/clear_refs") << "5"))
        GTEST_SKIP() << "no /proc/self/clear_refs";
    for (const Claim& c : claims) {
        const auto bytes = testing::encodeTiff({false, false, {c.page}});
        ASSERT_LT(bytes.size(), 16000u) << c.name;
        const std::uint64_t before = testing::memoryStatus("VmRSS");
        std::ofstream("/proc/self/clear_refs") << "5";
        const std::string error = errorOf([&] { (void)decodeTiff(bytes, "x.tif"); });
        EXPECT_TRUE(error == kRefused || error == "no error") << c.name << ": " << error;
        EXPECT_LT(testing::memoryStatus("VmHWM"), before + (std::uint64_t{48} << 20)) << c.name;
    }
}

TEST(JpegReader, GrayAndColourBecomeTheirLayoutsCloseToTheSource)
{
    const auto smooth = [](std::uint32_t x, std::uint32_t y, unsigned s) {
        return (x * 3 + y * 2 + s * 40) % 256;
    };
    for (const bool progressive : {false, true}) {
        const Bitmap gray = decodeJpeg(testing::encodeJpeg(40, 24, 1, progressive, smooth), "x.jpg");
        EXPECT_EQ(gray.layout().format(), PixelFormat::Indexed8);
        const Bitmap colour = decodeJpeg(testing::encodeJpeg(40, 24, 3, progressive, smooth), "x.jpg");
        EXPECT_EQ(colour.layout().format(), PixelFormat::Rgb24);
        ASSERT_EQ(colour.width(), 40);
        ASSERT_EQ(colour.height(), 24);
        for (std::int32_t y = 4; y < 20; ++y)
            for (std::int32_t x = 4; x < 36; ++x) {
                const auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
                EXPECT_NEAR(static_cast<int>(redOf(gray.pixel(x, y))), static_cast<int>(smooth(ux, uy, 0)),
                            4);
                EXPECT_EQ(greenOf(gray.pixel(x, y)), redOf(gray.pixel(x, y)));
                EXPECT_NEAR(static_cast<int>(blueOf(colour.pixel(x, y))), static_cast<int>(smooth(ux, uy, 2)),
                            6);
            }
    }
}

TEST(JpegReader, RefusesCmykAndDamagedFiles)
{
    const auto flat = [](auto, auto, auto) { return 100u; };
    const std::string refused = "画像ファイル x.jpg を読み込めません";
    EXPECT_EQ(errorOf([&] { (void)decodeJpeg(testing::encodeJpeg(16, 16, 4, false, flat), "x.jpg"); }),
              refused);
    const auto bytes = testing::encodeJpeg(64, 48, 3, true, flat);
    for (std::size_t length = 0; length + 2 < bytes.size(); length += 11) {
        const std::span<const std::uint8_t> cut(bytes.data(), length);
        EXPECT_EQ(errorOf([&] { (void)decodeJpeg(cut, "x.jpg"); }), refused) << length;
    }
}

// The pixels of a decoded JPEG, or the error.
std::string jpegOutcome(std::span<const std::uint8_t> bytes)
{
    try {
        const Bitmap bitmap = decodeJpeg(bytes, "x.jpg");
        return std::to_string(bitmap.width()) + "x" + std::to_string(bitmap.height()) + ":" +
               std::string(reinterpret_cast<const char*>(bitmap.data()), bitmap.byteCount());
    } catch (const Error& e) {
        return e.what();
    }
}

// Every cut of a file, bare or closed by an end marker (FF D9), and stray
// bytes before its end marker: each is refused, unless what it removed held
// no image data (the pixels are then exactly the whole file's).
TEST(JpegReader, EveryCutThatRemovesImageDataIsRefused)
{
    const std::string refused = "画像ファイル x.jpg を読み込めません";
    const auto texture = [](std::uint32_t x, std::uint32_t y, unsigned s) {
        return (x * x * 7 + y * 31 + s * 90 + (x ^ y) * 13) % 256;
    };
    for (const int components : {1, 3})
        for (const bool progressive : {false, true}) {
            const auto bytes = testing::encodeJpeg(40, 24, components, progressive, texture);
            const std::string whole = jpegOutcome(bytes);
            ASSERT_NE(whole, refused);
            // A progressive file closed just after one of its scans is a whole
            // file of fewer scans.
            const auto markerAt = [&](std::size_t i) {
                return i + 1 < bytes.size() && bytes[i] == 0xFF && bytes[i + 1] != 0 &&
                       (bytes[i + 1] < 0xD0 || bytes[i + 1] > 0xD7);
            };
            for (std::size_t length = 0; length < bytes.size(); ++length) {
                std::vector<std::uint8_t> cut(bytes.begin(),
                                              bytes.begin() + static_cast<std::ptrdiff_t>(length));
                const std::string bare = jpegOutcome(cut);
                EXPECT_TRUE(bare == refused || bare == whole)
                    << components << (progressive ? " progressive" : " baseline") << " cut at " << length;
                if (progressive && (markerAt(length) || (length > 0 && markerAt(length - 1))))
                    continue;
                cut.insert(cut.end(), {0xFF, 0xD9});
                const std::string closed = jpegOutcome(cut);
                EXPECT_TRUE(closed == refused || closed == whole)
                    << components << (progressive ? " progressive" : " baseline") << " closed at " << length;
            }
            auto stray = bytes;
            stray.insert(stray.end() - 2, 24, 0x55);
            EXPECT_EQ(jpegOutcome(stray), refused);
        }
}

TEST(LoadImageFile, ChoosesTiffAndJpegByContent)
{
    testing::ScratchFolder folder;
    const std::string tiff = folder.file("picture.bmp");
    testing::writeFile(
        tiff, testing::encodeTiff(
                  {true, false, {page(8, 1, PHOTOMETRIC_MINISBLACK, [](auto, auto, auto) { return 9u; })}}));
    EXPECT_EQ(imageFileKindOf(tiff), ImageFileKind::Tiff);
    EXPECT_EQ(loadImageFile(tiff).pixel(0, 0), grey(9));
    EXPECT_EQ(errorOf([&] { (void)loadImageFile(tiff, 2); }), "画像ファイル " + tiff + " を読み込めません");

    const std::string jpeg = folder.file("picture.png");
    testing::writeFile(jpeg, testing::encodeJpeg(8, 8, 1, false, [](auto, auto, auto) { return 0u; }));
    EXPECT_EQ(imageFileKindOf(jpeg), ImageFileKind::Jpeg);
    EXPECT_EQ(loadImageFile(jpeg).pixel(3, 3), kBlack);
    EXPECT_EQ(errorOf([&] { (void)loadImageFile(jpeg, 2); }), "画像ファイル " + jpeg + " を読み込めません");
}

}  // namespace
}  // namespace dimora
