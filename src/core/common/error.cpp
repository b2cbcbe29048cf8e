// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/error.hpp"

namespace dimora {

std::string formatMessage(std::string_view templ, std::string_view argument)
{
    std::string text(templ);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

void fail(std::string_view templ, std::string_view argument)
{
    throw Error(formatMessage(templ, argument));
}

void fail(std::string_view message)
{
    throw Error(std::string(message));
}

std::string errorReportText(std::string_view message)
{
    std::string text(message);
    if (text.empty())
        return text;
    // The last character of UTF-8 text is a non-ASCII code point when its last
    // byte has the high bit set; every such code point sorts after ".".
    const auto last = static_cast<unsigned char>(text.back());
    if (last >= 0x80 || last > '.')
        text += '.';
    return text;
}

}  // namespace dimora
