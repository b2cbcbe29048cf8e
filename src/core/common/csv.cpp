// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/csv.hpp"

#include <csv.h>

namespace dimora {

std::string csvField(std::string_view text, CsvQuoting quoting)
{
    if (quoting == CsvQuoting::WhenNeeded && text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    // At worst every byte is a quote, doubled, between the two outer quotes.
    std::string quoted(text.size() * 2 + 2, '\0');
    const std::size_t length = csv_write(quoted.data(), quoted.size(), text.data(), text.size());
    quoted.resize(length);
    return quoted;
}

std::string csvRecord(std::span<const std::string> fields, CsvQuoting quoting, std::string_view lineEnd)
{
    std::string record;
    for (const std::string& field : fields) {
        if (&field != fields.data())
            record += ',';
        record += csvField(field, quoting);
    }
    record += lineEnd;
    return record;
}

}  // namespace dimora
