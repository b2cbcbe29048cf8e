// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Any bytes as a count list file, split into lines by the reader that the
// command line's refit uses (lines end at LF, a final LF adds no line),
// through the count window's recalculation. It must end in a result that holds together
// or in one of the recalculation's errors, and lines past the fourteenth must
// not matter.

#include "fuzz_support.hpp"

#include "core/measure/count_list.hpp"

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

using namespace dimora;
using namespace dimora::fuzz;

namespace {

bool endsWith(std::string_view text, std::string_view tail)
{
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The error's text ends at a NUL byte (it is a C string), so the not-an-integer
// text of a line with a NUL in it is cut short there.
bool isRecalculationError(std::string_view message, std::string_view text)
{
    const std::string_view notInteger = "' は整数ではありません";
    const bool cut = text.find('\0') != std::string_view::npos;
    return message == msg::kInvalidFloatOperation || message == msg::kFloatDivideByZero ||
           (message.starts_with("'") && (endsWith(message, notInteger) || cut));
}

void checkResult(const Recalculation& result, const std::vector<ChartPoint>& points)
{
    const FitResult& fit = result.fit;
    require(fit.n >= 2 && static_cast<std::size_t>(fit.n) == result.pairs.size(),
            "n is not the number of pairs");
    require(points.size() == result.pairs.size(), "a pair without a chart point");
    std::int64_t lastSide = 0;
    for (std::size_t i = 0; i < result.pairs.size(); ++i) {
        const SideCount& pair = result.pairs[i];
        require(pair.side > lastSide && pair.side <= 8192 && (pair.side & (pair.side - 1)) == 0,
                "the sides are not rising powers of two up to 8192");
        require(pair.count >= 1, "a count below 1 entered the fit");
        require(points[i] == logPointOf(pair), "a chart point is not the pair's logarithms");
        lastSide = pair.side;
    }
    require(std::isfinite(fit.r) && std::isfinite(fit.slope) && std::isfinite(fit.intercept) &&
                std::isfinite(result.lineEnd.x),
            "the fit is not finite");
    // No bound on r: the fit centres its sums the textbook way, so two nearly
    // equal counts lose most digits to cancellation and r may leave [-1, 1]
    // (31000 and 31040 on sides 1 and 4 do). That is the fit as it is meant
    // to compute, not a fault of the reader.
    require(fit.dimension == -fit.slope, "the dimension is not the negated slope");
    require(result.lineStart.x == 0 && result.lineStart.y == fit.intercept && result.lineEnd.y == 0,
            "the fitted line does not run from side 1 to a count of 1");
    const std::string nText = " (" + std::to_string(fit.n) + ")";
    require(result.fields.edit3.starts_with(" ") && endsWith(result.fields.edit3, nText),
            "Edit3 is not the correlation and n");
    require(result.fields.edit4.starts_with(" ") && result.fields.edit4.size() > 5,
            "Edit4 is not a dimension");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> lines = splitCountListText(text);

    std::vector<ChartPoint> points = {{1, 1}};
    std::string error;
    std::optional<Recalculation> result;
    try {
        result = recalculateCountList(lines, points);
    } catch (const Error& e) {
        error = e.what();
    }
    require(points.size() <= static_cast<std::size_t>(kCountListLinesRead),
            "more chart points than lines read");
    if (result)
        checkResult(*result, points);
    else if (!isRecalculationError(error, text))
        failCheck("an unexpected error: " + error);

    // The same list cut after the lines that are read ends the same way.
    if (lines.size() > static_cast<std::size_t>(kCountListLinesRead)) {
        const std::vector<std::string> read(lines.begin(), lines.begin() + kCountListLinesRead);
        std::vector<ChartPoint> cutPoints;
        try {
            const Recalculation cut = recalculateCountList(read, cutPoints);
            require(result && cut.fields == result->fields && cut.pairs == result->pairs,
                    "lines past those read change the result");
        } catch (const Error& e) {
            require(!result && error == e.what(), "lines past those read change the error");
        }
        require(cutPoints == points, "lines past those read change the chart");
    }
    return 0;
}
