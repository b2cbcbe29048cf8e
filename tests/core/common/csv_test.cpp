// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/csv.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dimora {
namespace {

TEST(CsvField, QuotesWhenAskedOrWhenTheTextNeedsIt)
{
    struct Case {
        std::string text;
        CsvQuoting quoting;
        std::string field;
    };
    const std::vector<Case> cases = {
        {"4096", CsvQuoting::WhenNeeded, "4096"},
        {"", CsvQuoting::WhenNeeded, ""},
        {"a,b", CsvQuoting::WhenNeeded, "\"a,b\""},
        {"say \"x\"", CsvQuoting::WhenNeeded, "\"say \"\"x\"\"\""},
        {"cr\r", CsvQuoting::WhenNeeded, "\"cr\r\""},
        {"two\nlines", CsvQuoting::WhenNeeded, "\"two\nlines\""},
        {"4096", CsvQuoting::Always, "\"4096\""},
        {"", CsvQuoting::Always, "\"\""},
        {"\"\"", CsvQuoting::Always, "\"\"\"\"\"\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(csvField(c.text, c.quoting), c.field) << c.text;
}

TEST(CsvRecord, JoinsTheFieldsAndEndsTheLine)
{
    const std::vector<std::string> fields = {"a", "b,c", ""};
    EXPECT_EQ(csvRecord(fields, CsvQuoting::WhenNeeded, "\n"), "a,\"b,c\",\n");
    EXPECT_EQ(csvRecord(fields, CsvQuoting::Always, "\r\n"), "\"a\",\"b,c\",\"\"\r\n");
    EXPECT_EQ(csvRecord({}, CsvQuoting::Always, "\r\n"), "\r\n");
}

}  // namespace
}  // namespace dimora
