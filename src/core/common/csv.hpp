// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// CSV as RFC 4180 writes it: fields joined by commas, a quoted field in
// double quotes with each quote inside doubled (libcsv's quoting). Every CSV
// the program writes (batch's rows, the count window's counts) is made here.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace dimora {

enum class CsvQuoting : std::uint8_t {
    WhenNeeded,  // only a field holding a comma, a double quote, CR or LF
    Always,      // every field
};

// One field, quoted as asked.
[[nodiscard]] std::string csvField(std::string_view text, CsvQuoting quoting);

// One record: the fields, each quoted as asked, joined by commas and ended
// by `lineEnd` ("\n", or "\r\n" as RFC 4180 has it).
[[nodiscard]] std::string csvRecord(std::span<const std::string> fields, CsvQuoting quoting,
                                    std::string_view lineEnd);

}  // namespace dimora
