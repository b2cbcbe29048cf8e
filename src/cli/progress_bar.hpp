// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// A one-line progress bar for long runs on a terminal: files (or slices) done of all,
// the rate and the time left, redrawn in place at most four times a second.
// A bar that is not shown costs nothing.

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <string>

namespace dimora::cli {

// Whether a bar draws at all: a hidden one writes nothing.
enum class BarVisibility { Hidden, Shown };

class ProgressBar {
public:
    // `unit` names what is counted ("files", "slices").
    ProgressBar(std::ostream& out, std::size_t total, BarVisibility visibility, const char* unit = "files");

    // Redraws with `done` files done, unless the last redraw was less than a
    // quarter of a second ago and is still on the line.
    void show(std::size_t done);
    // Erases the bar, leaving the cursor at the start of its empty line, so
    // that other text written to the same terminal starts there; the next
    // show() draws again at once.
    void clear();
    // The last redraw, and the end of the line.
    void finish();

    // The line for `done` of `total` after `seconds`.
    [[nodiscard]] static std::string line(std::size_t done, std::size_t total, double seconds,
                                          const char* unit = "files");

private:
    void draw(std::size_t done);

    std::ostream& out_;
    std::size_t total_;
    BarVisibility visibility_;
    const char* unit_;
    std::size_t done_ = 0;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastDraw_{};
};

}  // namespace dimora::cli
