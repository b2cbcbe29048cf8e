// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// The large files of bench/streaming.sh, made row by row (never whole in
// memory), and the bare library decodes they are timed against:
//
//   stream_files tiff PATH SIDE striped|tiled   a SIDE × SIDE bilevel Deflate TIFF
//   stream_files png PATH SIDE                  a SIDE × SIDE 8-bit gray PNG
//   stream_files decode-tiff PATH               libtiff decodes every strip or tile
//   stream_files decode-png PATH                libpng decodes every row
//   stream_files run COMMAND ARGS...            runs a command, its output thrown
//                                               away, and prints "seconds
//                                               cpu-seconds peak-MiB" of it
//
// The pictures are white with black runs at random places (a fixed seed),
// rows repeating in blocks, like a scanned drawing: not trivial to compress.

#include <fcntl.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <chrono>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// One row of levels (0 black, 255 white), the runs drawn afresh every few rows.
class Picture {
public:
    explicit Picture(std::uint32_t side) : side_(side), row_(side, 255) {}

    const std::vector<std::uint8_t>& row(std::uint32_t y)
    {
        if (y % 7 == 0) {
            std::fill(row_.begin(), row_.end(), 255);
            const int runs = static_cast<int>(side_ / 512) + 4;
            for (int i = 0; i < runs; ++i) {
                const std::uint32_t x = random_() % side_;
                const std::uint32_t w = 1 + random_() % 200;
                const std::uint8_t level = static_cast<std::uint8_t>(random_() % 64);
                for (std::uint32_t k = x; k < side_ && k < x + w; ++k)
                    row_[k] = level;
            }
        }
        return row_;
    }

private:
    std::uint32_t side_;
    std::vector<std::uint8_t> row_;
    std::mt19937 random_{1};
};

// Bits of a min-is-black bilevel row: 1 for white.
void packBits(const std::vector<std::uint8_t>& levels, std::uint8_t* out)
{
    std::memset(out, 0, (levels.size() + 7) / 8);
    for (std::size_t x = 0; x < levels.size(); ++x)
        if (levels[x] >= 128)
            out[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
}

int makeTiff(const char* path, std::uint32_t side, bool tiled)
{
    TIFF* tif = TIFFOpen(path, side >= 40000 ? "w8" : "w");
    if (!tif)
        return 1;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, side);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, side);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    const std::size_t rowBytes = (side + 7) / 8;
    Picture picture(side);
    if (!tiled) {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 64);
        std::vector<std::uint8_t> bits(rowBytes);
        for (std::uint32_t y = 0; y < side; ++y) {
            packBits(picture.row(y), bits.data());
            if (TIFFWriteScanline(tif, bits.data(), y, 0) < 0)
                return 1;
        }
    } else {
        constexpr std::uint32_t kTile = 512;
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, kTile);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, kTile);
        const std::uint32_t across = (side + kTile - 1) / kTile;
        std::vector<std::uint8_t> band(rowBytes * kTile);
        std::vector<std::uint8_t> tile(kTile / 8 * kTile);
        for (std::uint32_t top = 0; top < side; top += kTile) {
            std::fill(band.begin(), band.end(), 0);
            for (std::uint32_t r = 0; r < kTile && top + r < side; ++r)
                packBits(picture.row(top + r), band.data() + r * rowBytes);
            for (std::uint32_t t = 0; t < across; ++t) {
                std::fill(tile.begin(), tile.end(), 0);
                const std::size_t from = t * kTile / 8;
                const std::size_t bytes = std::min<std::size_t>(kTile / 8, rowBytes - from);
                for (std::uint32_t r = 0; r < kTile; ++r)
                    std::memcpy(tile.data() + r * (kTile / 8), band.data() + r * rowBytes + from, bytes);
                if (TIFFWriteTile(tif, tile.data(), t * kTile, top, 0, 0) < 0)
                    return 1;
            }
        }
    }
    TIFFClose(tif);
    return 0;
}

int decodeTiff(const char* path)
{
    TIFF* tif = TIFFOpen(path, "rm");
    if (!tif)
        return 1;
    const bool tiled = TIFFIsTiled(tif) != 0;
    const tmsize_t size = tiled ? TIFFTileSize(tif) : TIFFStripSize(tif);
    const std::uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(size));
    std::uint64_t sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const tmsize_t got = tiled ? TIFFReadEncodedTile(tif, i, buffer.data(), size)
                                   : TIFFReadEncodedStrip(tif, i, buffer.data(), size);
        if (got < 0)
            return 1;
        sum += buffer[0];
    }
    TIFFClose(tif);
    std::printf("%llu\n", static_cast<unsigned long long>(sum));
    return 0;
}

int makePng(const char* path, std::uint32_t side)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return 1;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        return 1;
    png_init_io(png, file);
    png_set_IHDR(png, info, side, side, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    png_write_info(png, info);
    Picture picture(side);
    for (std::uint32_t y = 0; y < side; ++y) {
        std::vector<std::uint8_t> row = picture.row(y);
        // Grey levels across the white too, so that the gray measurement
        // has a surface to count.
        for (std::uint32_t x = 0; x < side; ++x)
            if (row[x] == 255)
                row[x] = static_cast<std::uint8_t>(160 + (x / 64 + y / 64) % 96);
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return 0;
}

int decodePng(const char* path)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return 1;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        return 1;
    png_init_io(png, file);
    png_read_info(png, info);
    std::vector<std::uint8_t> row(png_get_rowbytes(png, info));
    std::uint64_t sum = 0;
    const png_uint_32 height = png_get_image_height(png, info);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
        sum += row[0];
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    std::printf("%llu\n", static_cast<unsigned long long>(sum));
    return 0;
}

}  // namespace

// Wall clock and processor time to the microsecond (the TIFFs decode in a
// tenth of a second, finer than /usr/bin/time shows), and the peak resident
// memory of the command alone.
int run(char** command)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        if (nothing >= 0)
            dup2(nothing, STDOUT_FILENO);
        execvp(command[0], command);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child)
        return 1;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%.4f %.4f %.0f\n", wall.count(), cpu, static_cast<double>(usage.ru_maxrss) / 1024);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}

int main(int argc, char** argv)
{
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "tiff" && argc == 5)
        return makeTiff(argv[2], static_cast<std::uint32_t>(std::atol(argv[3])),
                        std::string(argv[4]) == "tiled");
    if (what == "png" && argc == 4)
        return makePng(argv[2], static_cast<std::uint32_t>(std::atol(argv[3])));
    if (what == "decode-tiff" && argc == 3)
        return decodeTiff(argv[2]);
    if (what == "decode-png" && argc == 3)
        return decodePng(argv[2]);
    if (what == "run" && argc > 2)
        return run(argv + 2);
    std::fprintf(stderr, "usage: stream_files tiff PATH SIDE striped|tiled | png PATH SIDE | "
                         "decode-tiff PATH | decode-png PATH | run COMMAND ARGS...\n");
    return 2;
}
