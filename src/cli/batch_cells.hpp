// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Cells of batch's CSV rows taken from a row's JSON object, for the columns
// of the commands that keep theirs beside their runner.

#include "cli/batch.hpp"

#include <nlohmann/json.hpp>

#include <string>

namespace dimora::cli::cells {

// A text of the row, or an empty cell.
inline std::string text(const nlohmann::json& row, const char* key)
{
    return row.value(key, "");
}

// A number of the row in its shortest round-trip form, or an empty cell.
inline std::string number(const nlohmann::json& row, const char* key)
{
    return row.contains(key) ? csvNumber(row[key]) : "";
}

// Element `index` of the row's region [L, T, W, H].
inline std::string regionPart(const nlohmann::json& row, std::size_t index)
{
    const nlohmann::json region = row.value("region", nlohmann::json());
    return region.is_array() && region.size() == 4 ? csvNumber(region[index]) : "";
}

// An array of numbers joined by ';' (a null element left empty).
inline std::string numbers(const nlohmann::json& row, const char* key)
{
    return row.contains(key) ? csvNumbers(row[key]) : "";
}

}  // namespace dimora::cli::cells
