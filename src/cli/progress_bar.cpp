// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/progress_bar.hpp"

#include <cmath>
#include <cstdio>
#include <ostream>

namespace dimora::cli {

ProgressBar::ProgressBar(std::ostream& out, std::size_t total, BarVisibility visibility, const char* unit)
    : out_(out), total_(total), visibility_(visibility), unit_(unit)
{
}

std::string ProgressBar::line(std::size_t done, std::size_t total, double seconds, const char* unit)
{
    constexpr std::size_t kWidth = 30;
    const std::size_t filled = total == 0 ? kWidth : done * kWidth / total;
    std::string bar(1, '[');
    bar.append(filled, '#');
    bar.append(kWidth - filled, '-');
    bar += ']';
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char text[160];
    if (rate > 0 && done < total) {
        const auto left = std::lround(static_cast<double>(total - done) / rate);
        std::snprintf(text, sizeof text, " %zu/%zu %s  %.1f %s/s  %ld:%02ld left", done, total, unit, rate,
                      unit, left / 60, left % 60);
    } else {
        std::snprintf(text, sizeof text, " %zu/%zu %s  %.1f %s/s", done, total, unit, rate, unit);
    }
    bar += text;
    return bar;
}

void ProgressBar::show(std::size_t done)
{
    if (visibility_ == BarVisibility::Hidden)
        return;
    done_ = done;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && now - lastDraw_ < std::chrono::milliseconds(250))
        return;
    lastDraw_ = now;
    draw(done);
}

void ProgressBar::clear()
{
    if (visibility_ == BarVisibility::Hidden || !drawn_)
        return;
    out_ << "\r\x1b[K" << std::flush;
    drawn_ = false;
}

void ProgressBar::finish()
{
    if (visibility_ == BarVisibility::Hidden)
        return;
    draw(done_);
    out_ << '\n' << std::flush;
}

void ProgressBar::draw(std::size_t done)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    // Erase to the end of the line after the text, so a shorter line leaves
    // nothing behind.
    out_ << '\r' << line(done, total_, seconds, unit_) << "\x1b[K" << std::flush;
    drawn_ = true;
}

}  // namespace dimora::cli
