// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as the arguments of dimora3-cli (split at NUL bytes, as the
// system hands them over), through its argument parser and, for a measuring
// command, through the measurement and its report with the options given:
// a region may be anything four 32-bit integers can say. The image is a
// fixed picture in memory, never a file named by the input, so nothing is
// read or written outside the process. A usage error or a measurement error
// is fine; a crash, a sanitizer report or a hang is a fault.

#include "fuzz_support.hpp"

#include "cli/arguments.hpp"
#include "cli/reports.hpp"

#include "core/measure/dimension_measurement.hpp"
#include "core/measure/total_length.hpp"

#include <string>
#include <string_view>
#include <vector>

using namespace dimora;
using namespace dimora::fuzz;

namespace {

constexpr std::size_t kMostArguments = 16;

// 45 × 37 pixels: black lines, a grey ramp and white, so that every
// measurement finds something to count.
const Bitmap& picture()
{
    static const Bitmap bitmap = [] {
        Bitmap b(45, 37, PixelLayout::rgb24());
        for (std::int32_t y = 0; y < b.height(); ++y)
            for (std::int32_t x = 0; x < b.width(); ++x) {
                const bool line = x == y || x == 2 * y % 45 || y == 20;
                const auto grey = static_cast<unsigned>((x * 5 + y * 3) % 256);
                b.setPixel(x, y, line ? kBlack : x > 30 ? kWhite : makeColour(grey, grey, grey));
            }
        return b;
    }();
    return bitmap;
}

std::vector<std::string> splitArguments(std::string_view bytes)
{
    std::vector<std::string> args;
    std::size_t start = 0;
    while (start <= bytes.size() && args.size() < kMostArguments) {
        const auto end = bytes.find('\0', start);
        if (end == std::string_view::npos) {
            args.emplace_back(bytes.substr(start));
            break;
        }
        args.emplace_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

std::string measure(const cli::Arguments& arguments)
{
    const ImageView view = picture().view();
    const std::string& command = arguments.command;
    if (command == "length") {
        const auto length = measureTotalLength(view, arguments.region);
        const Region scan = lengthScanRectangle(view.width, view.height, arguments.region);
        return cli::lengthReport(scan, length, arguments.form);
    }
    const Region region = arguments.region.value_or(Region{0, 0, view.width, view.height});
    if (command == "gray")
        return cli::dimensionReport(cli::MeasurementKind::Gray, measureGray(view, region), std::nullopt,
                                    arguments.form);
    const bool black = command == "black";
    const DimensionMeasurement m =
        measureTwoValued(view, region, black ? PixelClass::Black : PixelClass::NonBlack);
    for (std::size_t i = 0; i < m.counts.size(); ++i) {
        const std::int64_t side = m.sides[i];
        const std::int64_t boxes = (std::int64_t{region.width} + side - 1) / side *
                                   ((std::int64_t{region.height} + side - 1) / side);
        require(m.counts[i] >= 0 && m.counts[i] <= boxes, "more occupied boxes than the region has");
    }
    return cli::dimensionReport(black ? cli::MeasurementKind::Black : cli::MeasurementKind::NonBlack, m,
                                std::nullopt, arguments.form);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::string> args = splitArguments({reinterpret_cast<const char*>(data), size});
    cli::Arguments arguments;
    try {
        arguments = cli::parseArguments(args);
    } catch (const cli::UsageError&) {
        return 0;
    }
    const std::string& command = arguments.command;
    if (command != "black" && command != "nonblack" && command != "gray" && command != "length")
        return 0;
    try {
        const std::string report = measure(arguments);
        require(!report.empty(), "an empty report");
    } catch (const Error&) {
    }
    return 0;
}
