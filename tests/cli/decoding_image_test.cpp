// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Measuring a TIFF or JPEG file while it is decoded gives exactly what
// decoding it first and measuring then gives, errors included, for whole and
// damaged files.

#include "cli/arguments.hpp"
#include "cli/commands.hpp"
#include "cli/reports.hpp"
#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace dimora {
namespace {

// The JSON object, or the error text. The grid and the range of the fit
// (which follow from the counts) are left out: the reference below is the
// plain measurement.
std::string whileDecoding(const std::string& measurement, const std::string& path,
                          const cli::Arguments& arguments)
{
    try {
        nlohmann::json out = cli::measureFileJson(measurement, path, arguments);
        for (const char* key : {"grid", "range", "localSlopes"})
            out.erase(key);
        return out.dump();
    } catch (const Error& e) {
        return e.what();
    }
}

std::string oneAfterTheOther(const std::string& measurement, const std::string& path,
                             const cli::Arguments& arguments)
{
    try {
        const Bitmap image = loadImageFile(path, arguments.page);
        const Region region = arguments.region.value_or(Region{0, 0, image.width(), image.height()});
        const bool black = measurement == "black";
        return cli::dimensionJson(
                   black ? cli::MeasurementKind::Black : cli::MeasurementKind::NonBlack,
                   measureTwoValued(image.view(), region, black ? PixelClass::Black : PixelClass::NonBlack),
                   std::nullopt)
            .dump();
    } catch (const Error& e) {
        return e.what();
    }
}

unsigned rings(std::uint32_t x, std::uint32_t y, unsigned s)
{
    return ((x - 150) * (x - 150) + (y - 90) * (y - 90)) / 700 % 3 == 0 ? 0 : 200 + s;
}

TEST(DecodingImage, GivesTheOutcomesOfDecodingFirst)
{
    testing::TiffPage gray;
    gray.width = 300;
    gray.height = 700;
    gray.sample = rings;
    testing::TiffPage tiledRgb = gray;
    tiledRgb.samples = 3;
    tiledRgb.photometric = PHOTOMETRIC_RGB;
    tiledRgb.tiled = true;
    tiledRgb.compression = COMPRESSION_ADOBE_DEFLATE;
    testing::TiffPage lzw = gray;
    lzw.compression = COMPRESSION_LZW;
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"gray.tif", testing::encodeTiff({false, false, {gray}})},
        {"tiled.tif", testing::encodeTiff({false, false, {tiledRgb}})},
        {"pages.tif", testing::encodeTiff({true, false, {lzw, gray}})},
        {"gray.jpg", testing::encodeJpeg(300, 700, 1, false, rings)},
        {"colour.jpg", testing::encodeJpeg(300, 700, 3, true, rings)},
    };
    cli::Arguments whole, page2, inside, empty;
    page2.page = 2;
    inside.region = Region{-20, 100, 250, 500};
    empty.region = Region{0, 0, 0, 9};

    const testing::ScratchFolder folder;
    for (const auto& [name, bytes] : files) {
        // Whole, and cut at several places: damage found only after many rows
        // were measured must still end as the reading error.
        for (const std::size_t length : {bytes.size(), bytes.size() - 1, bytes.size() * 9 / 10,
                                         bytes.size() / 2, bytes.size() / 10, std::size_t{40}}) {
            const std::string path = folder.file(std::to_string(length) + name);
            testing::writeFile(path, std::span(bytes).first(length));
            for (const cli::Arguments* arguments : {&whole, &page2, &inside, &empty})
                for (const std::string measurement : {"black", "nonblack"})
                    EXPECT_EQ(whileDecoding(measurement, path, *arguments),
                              oneAfterTheOther(measurement, path, *arguments))
                        << name << " cut at " << length << " of " << bytes.size() << ", " << measurement;
        }
    }
}

}  // namespace
}  // namespace dimora
