// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The accuracy table: synthetic sets of known dimension, each drawn at an
// aligned placement (its corner on the image's corner) and a shifted one,
// measured black with the origin grid over all sides (the default), with the
// grid of least count, and with the grid of least count over the automatic
// range; the dimension, its error against the exact value, and the mean
// absolute error of each way.
//
// Usage: accuracy_table [--shift X,Y] [--tolerance T] [--canvas N]
//   --shift      the shifted placement (default 93,141)
//   --tolerance  the automatic range's tolerance (default the program's own)
//   --canvas     the image's edge in pixels (default 1024)
//   --slopes     also print the local slopes of each set's least counts

#include "core/measure/fit_range.hpp"
#include "core/measure/min_grid_count.hpp"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dimora {
namespace {

// A set drawn into a bitmap: paint(draw) calls draw(x, y) for each of its
// pixels, relative to its corner.
struct Shape {
    std::string name;
    double exact;
    std::function<void(const std::function<void(int, int)>&)> paint;
};

// Base-3 digits of x and y, pairwise, from the lowest; keep(dx, dy) decides
// whether a pixel of the 3^levels square survives every level.
void ternarySet(int levels, const std::function<bool(int, int)>& keep,
                const std::function<void(int, int)>& draw)
{
    int edge = 1;
    for (int i = 0; i < levels; ++i)
        edge *= 3;
    for (int y = 0; y < edge; ++y)
        for (int x = 0; x < edge; ++x) {
            bool in = true;
            for (int a = x, b = y; in && (a > 0 || b > 0); a /= 3, b /= 3)
                in = keep(a % 3, b % 3);
            if (in)
                draw(x, y);
        }
}

// The pixels of a segment, one per step along its longer direction.
void segment(double x0, double y0, double x1, double y1, const std::function<void(int, int)>& draw)
{
    const int steps = static_cast<int>(std::ceil(std::max(std::abs(x1 - x0), std::abs(y1 - y0))));
    for (int i = 0; i <= steps; ++i) {
        const double t = steps == 0 ? 0 : static_cast<double>(i) / steps;
        draw(static_cast<int>(std::lround(x0 + t * (x1 - x0))),
             static_cast<int>(std::lround(y0 + t * (y1 - y0))));
    }
}

void koch(double x0, double y0, double x1, double y1, int level, const std::function<void(int, int)>& draw)
{
    if (level == 0) {
        segment(x0, y0, x1, y1, draw);
        return;
    }
    const double dx = (x1 - x0) / 3, dy = (y1 - y0) / 3;
    const double ax = x0 + dx, ay = y0 + dy, bx = x0 + 2 * dx, by = y0 + 2 * dy;
    // The apex, a third turned by 60° (upwards in the image: y grows down).
    const double px = ax + dx * 0.5 + dy * std::sqrt(3.0) / 2, py = ay + dy * 0.5 - dx * std::sqrt(3.0) / 2;
    koch(x0, y0, ax, ay, level - 1, draw);
    koch(ax, ay, px, py, level - 1, draw);
    koch(px, py, bx, by, level - 1, draw);
    koch(bx, by, x1, y1, level - 1, draw);
}

std::vector<Shape> shapes()
{
    const double log3 = std::log(3.0);
    return {
        {"Sierpinski gasket", std::log(3.0) / std::log(2.0),
         [](const auto& draw) {
             for (int y = 0; y < 512; ++y)
                 for (int x = 0; x < 512; ++x)
                     if ((x & y) == 0)
                         draw(x, y);
         }},
        {"Sierpinski carpet", std::log(8.0) / log3,
         [](const auto& draw) {
             ternarySet(
                 6, [](int a, int b) { return !(a == 1 && b == 1); }, draw);
         }},
        {"Vicsek fractal", std::log(5.0) / log3,
         [](const auto& draw) {
             ternarySet(
                 6, [](int a, int b) { return a == 1 || b == 1; }, draw);
         }},
        {"Koch curve", std::log(4.0) / log3, [](const auto& draw) { koch(0, 215, 729, 215, 6, draw); }},
        {"Cantor dust", std::log(4.0) / log3,
         [](const auto& draw) {
             ternarySet(
                 6, [](int a, int b) { return a != 1 && b != 1; }, draw);
         }},
        {"circle", 1.0,
         [](const auto& draw) {
             for (int y = 0; y <= 600; ++y)
                 for (int x = 0; x <= 600; ++x)
                     if (std::abs(std::hypot(x - 300.0, y - 300.0) - 300.0) < 0.5)
                         draw(x, y);
         }},
        {"disk", 2.0,
         [](const auto& draw) {
             for (int y = 0; y <= 600; ++y)
                 for (int x = 0; x <= 600; ++x)
                     if (std::hypot(x - 300.0, y - 300.0) <= 300.0)
                         draw(x, y);
         }},
        {"line", 1.0, [](const auto& draw) { segment(0, 0, 700, 260, draw); }},
    };
}

std::vector<SideCount> pairsOf(const BoxCounts& counts)
{
    std::vector<SideCount> pairs;
    for (std::size_t k = 0; k < counts.sides.size(); ++k)
        pairs.push_back({counts.sides[k], counts.counts[k]});
    return pairs;
}

struct Options {
    int shiftX = 93, shiftY = 141;
    double tolerance = kPlateauTolerance;
    int canvas = 1024;
    bool slopes = false;
};

[[noreturn]] void usage()
{
    std::fprintf(stderr, "usage: accuracy_table [--shift X,Y] [--tolerance T] [--canvas N] [--slopes]\n");
    std::exit(2);
}

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--slopes") {
            options.slopes = true;
            continue;
        }
        if (i + 1 >= argc)
            usage();
        const char* value = argv[++i];
        if (name == "--shift" && std::sscanf(value, "%d,%d", &options.shiftX, &options.shiftY) == 2)
            continue;
        if (name == "--tolerance")
            options.tolerance = std::atof(value);
        else if (name == "--canvas")
            options.canvas = std::atoi(value);
        else
            usage();
    }
    return options;
}

int run(const Options& options)
{
    const PixelLayout layout = PixelLayout::indexed(1, {kBlack, kWhite});
    const Region region{0, 0, options.canvas, options.canvas};
    double errors[3] = {0, 0, 0};
    int rows = 0;
    std::printf("%-18s %-9s %7s | %7s %7s | %7s %7s | %7s %7s  %s\n", "set", "placement", "exact", "default",
                "error", "min", "error", "min+auto", "error", "range");
    for (const Shape& shape : shapes()) {
        for (const auto& [placement, at] :
             {std::pair{"aligned", std::pair{0, 0}},
              std::pair{"shifted", std::pair{options.shiftX, options.shiftY}}}) {
            Bitmap bitmap(options.canvas, options.canvas, layout);
            bitmap.fill(kWhite);
            shape.paint([&](int x, int y) { bitmap.setPixel(x + at.first, y + at.second, kBlack); });
            const auto origin = pairsOf(countBoxes(bitmap.view(), region, PixelClass::Black));
            const auto min = pairsOf(countBoxesMinGrid(bitmap.view(), region, PixelClass::Black));
            const double plain = LogLogFit(origin).dimension;
            const double least = LogLogFit(min).dimension;
            // The program's own automatic range, or the rule with another
            // tolerance.
            const PairRun chosen = options.tolerance == kPlateauTolerance
                                       ? fitOverRange(min, {FitRange::Kind::Auto}).run
                                       : plateauRun(min, options.tolerance).value_or(PairRun{0, min.size()});
            const std::span<const SideCount> fitted(min.data() + chosen.first, chosen.count);
            const double ranged = LogLogFit(fitted).dimension;
            const double e[3] = {plain - shape.exact, least - shape.exact, ranged - shape.exact};
            for (int k = 0; k < 3; ++k)
                errors[k] += std::abs(e[k]);
            ++rows;
            if (options.slopes) {
                for (const auto& d : localSlopes(min))
                    std::printf(" %.3f", d.value_or(NAN));
                std::printf("\n");
            }
            std::printf("%-18s %-9s %7.4f | %7.4f %+7.4f | %7.4f %+7.4f | %7.4f %+7.4f  %lld-%lld\n",
                        shape.name.c_str(), placement, shape.exact, plain, e[0], least, e[1], ranged, e[2],
                        static_cast<long long>(fitted.front().side),
                        static_cast<long long>(fitted.back().side));
        }
    }
    std::printf("mean absolute error: default %.4f, min %.4f, min+auto %.4f (tolerance %.3f)\n",
                errors[0] / rows, errors[1] / rows, errors[2] / rows, options.tolerance);
    return 0;
}

}  // namespace
}  // namespace dimora

int main(int argc, char** argv)
{
    return dimora::run(dimora::parse(argc, argv));
}
