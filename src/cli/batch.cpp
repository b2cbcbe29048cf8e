// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/batch.hpp"

#include "cli/progress_bar.hpp"
#include "core/common/csv.hpp"
#include "core/common/error.hpp"
#include "core/common/ordered_pipeline.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/image_file.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stop_token>
#include <string_view>
#include <thread>

namespace dimora::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A number in its shortest form that reads back as the same double.
std::string numberText(const json& value)
{
    if (value.is_number_integer())
        return std::to_string(value.get<std::int64_t>());
    if (!value.is_number())
        return {};
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value.get<double>());
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string joined(const json& values)
{
    std::string text;
    for (const auto& value : values) {
        if (!text.empty())
            text += ';';
        text += numberText(value);
    }
    return text;
}

std::string textCell(const json& row, const char* key)
{
    return row.value(key, "");
}

// A number of the row, or an empty cell where it does not apply.
std::string numberCell(const json& row, const char* key)
{
    return row.contains(key) ? numberText(row[key]) : "";
}

// Element `index` of the row's array `key` of `size` numbers.
std::string elementCell(const json& row, const char* key, std::size_t size, std::size_t index)
{
    const json values = row.value(key, json());
    return values.is_array() && values.size() == size ? numberText(values[index]) : "";
}

// The fitted sides or counts, joined by ';' (empty without a fit).
std::string fittedCell(const json& row, const char* key)
{
    return row.contains("dimension") ? joined(row[key]) : "";
}

const BatchColumn kMeasurementColumns[] = {
    {"path", [](const json& row) { return textCell(row, "path"); }},
    {"status", [](const json& row) { return textCell(row, "status"); }},
    {"error", [](const json& row) { return textCell(row, "error"); }},
    {"width", [](const json& row) { return elementCell(row, "region", 4, 2); }},
    {"height", [](const json& row) { return elementCell(row, "region", 4, 3); }},
    {"coverage", [](const json& row) { return numberCell(row, "coverage"); }},
    {"brightness", [](const json& row) { return numberCell(row, "brightness"); }},
    {"length", [](const json& row) { return numberCell(row, "length"); }},
    {"n", [](const json& row) { return numberCell(row, "n"); }},
    {"r", [](const json& row) { return numberCell(row, "r"); }},
    {"dimension", [](const json& row) { return numberCell(row, "dimension"); }},
    {"standardError", [](const json& row) { return numberCell(row, "standardError"); }},
    {"ci95Low", [](const json& row) { return elementCell(row, "ci95", 2, 0); }},
    {"ci95High", [](const json& row) { return elementCell(row, "ci95", 2, 1); }},
    {"rSquared", [](const json& row) { return numberCell(row, "rSquared"); }},
    {"grid", [](const json& row) { return textCell(row, "grid"); }},
    {"rangeLow", [](const json& row) { return elementCell(row, "range", 2, 0); }},
    {"rangeHigh", [](const json& row) { return elementCell(row, "range", 2, 1); }},
    {"sides", [](const json& row) { return fittedCell(row, "sides"); }},
    {"counts", [](const json& row) { return fittedCell(row, "counts"); }},
};

// One row: the measurement's JSON object with the file's path and status,
// or the error (for a folder that cannot be read, the system's reason).
json measureRow(const Command& measurement, const BatchEntry& entry, const Arguments& arguments)
{
    const std::string& path = entry.path;
    if (entry.unreadableFolder)
        return json{{"path", path}, {"status", "error"}, {"error", *entry.unreadableFolder}};
    json row;
    try {
        row = measurement.measureFile(path, arguments);
        row["status"] = "ok";
    } catch (const std::bad_alloc&) {
        row = json::object();
        row["status"] = "error";
        row["error"] = "out of memory";
    } catch (const std::exception& e) {
        row = json::object();
        row["status"] = "error";
        row["error"] = errorReportText(e.what());
    }
    row["path"] = path;
    return row;
}

// The image files of a folder, and with FolderWalk::Recursive those of its subfolders
// (not those behind links to folders, as `find` does it), in no order; a
// folder that cannot be read gives its entry with the reason, and its
// siblings are still read. Each folder is closed before its subfolders are
// opened, so the depth costs no file descriptors.
void listFolder(const fs::path& folder, FolderWalk walk, std::vector<BatchEntry>& entries)
{
    std::vector<fs::path> subfolders;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        std::error_code ignored;
        if (walk == FolderWalk::Recursive && entry->is_directory(ignored) && !entry->is_symlink(ignored))
            subfolders.push_back(entry->path());
        else if (entry->is_regular_file(ignored) && hasImageFileExtension(entry->path().string()))
            entries.push_back({entry->path().string(), std::nullopt});
    }
    if (error)
        entries.push_back({folder.string(), error.message()});
    for (const fs::path& subfolder : subfolders)
        listFolder(subfolder, walk, entries);
}

// The length of the valid UTF-8 sequence that starts at text[at], or 0 when
// none does there (RFC 3629: no overlong forms, no surrogates, nothing past
// U+10FFFF).
std::size_t utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t k) -> unsigned {
        return at + k < text.size() ? static_cast<unsigned char>(text[at + k]) : 0x100u;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned low = 0x80;
    unsigned high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(k) < 0x80 || byte(k) > 0xBF)
            return 0;
    return length;
}

// A JSON string: the runs of valid UTF-8 escaped as the JSON library
// escapes them, each other byte as \udcXX.
void appendJsonString(std::string_view text, std::string& line)
{
    line += '"';
    std::size_t runStart = 0;
    const auto endRun = [&](std::size_t end) {
        if (end > runStart) {
            const std::string quoted = json(std::string(text.substr(runStart, end - runStart))).dump();
            line.append(quoted, 1, quoted.size() - 2);
        }
    };
    for (std::size_t at = 0; at < text.size();) {
        if (const std::size_t length = utf8SequenceLength(text, at); length > 0) {
            at += length;
            continue;
        }
        endRun(at);
        static constexpr char kHex[] = "0123456789abcdef";
        const auto value = static_cast<unsigned char>(text[at]);
        line += "\\udc";
        line += kHex[value >> 4];
        line += kHex[value & 0xF];
        runStart = ++at;
    }
    endRun(text.size());
    line += '"';
}

// Compact JSON as the library writes it (dump()), with strings written by
// appendJsonString.
void appendJson(const json& value, std::string& line)
{
    if (value.is_object()) {
        line += '{';
        bool first = true;
        for (const auto& [key, item] : value.items()) {
            if (!first)
                line += ',';
            first = false;
            appendJsonString(key, line);
            line += ':';
            appendJson(item, line);
        }
        line += '}';
    } else if (value.is_array()) {
        line += '[';
        for (std::size_t k = 0; k < value.size(); ++k) {
            if (k > 0)
                line += ',';
            appendJson(value[k], line);
        }
        line += ']';
    } else if (value.is_string()) {
        appendJsonString(value.get_ref<const std::string&>(), line);
    } else {
        line += value.dump();
    }
}

}  // namespace

bool wantsJsonLines(const Arguments& arguments)
{
    if (arguments.format)
        return *arguments.format == "jsonl";
    if (!arguments.output)
        return false;
    const std::string& name = *arguments.output;
    const auto endsWith = [&](const std::string& end) {
        return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
    };
    return endsWith(".jsonl") || endsWith(".json");
}

std::vector<BatchEntry> batchEntries(const std::vector<std::string>& paths, FolderWalk walk)
{
    std::vector<BatchEntry> entries;
    for (const std::string& path : paths) {
        std::error_code error;
        // A file, even one that does not exist, gets its row (with the
        // single command's error).
        if (!fs::is_directory(path, error)) {
            entries.push_back({path, std::nullopt});
            continue;
        }
        std::vector<BatchEntry> found;
        listFolder(path, walk, found);
        std::sort(found.begin(), found.end(),
                  [](const BatchEntry& a, const BatchEntry& b) { return a.path < b.path; });
        entries.insert(entries.end(), found.begin(), found.end());
    }
    return entries;
}

std::string csvNumber(const json& value)
{
    return numberText(value);
}

std::string csvNumbers(const json& values)
{
    return joined(values);
}

std::span<const BatchColumn> measurementColumns()
{
    return kMeasurementColumns;
}

std::string csvHeader(std::span<const BatchColumn> columns)
{
    std::vector<std::string> names;
    for (const BatchColumn& column : columns)
        names.emplace_back(column.name);
    return csvRecord(names, CsvQuoting::WhenNeeded, "\r\n");
}

std::string csvLine(const json& row, std::span<const BatchColumn> columns)
{
    std::vector<std::string> cells;
    for (const BatchColumn& column : columns)
        cells.push_back(column.cell(row));
    return csvRecord(cells, CsvQuoting::Always, "\r\n");
}

std::string jsonLine(const json& row)
{
    std::string line;
    appendJson(row, line);
    line += '\n';
    return line;
}

int runBatch(const Arguments& arguments, const OutputStreams& streams)
{
    const Command* measurement = findCommand(arguments.operands[0]);
    if (!measurement || !measurement->measureFile)
        fail("unknown measurement " + arguments.operands[0]);
    const std::span<const BatchColumn> columns = measurement->batchColumns;
    const std::vector<BatchEntry> entries =
        batchEntries({arguments.operands.begin() + 1, arguments.operands.end()}, arguments.folderWalk);
    if (entries.empty())
        return 2;
    const bool jsonLines = wantsJsonLines(arguments);
    const auto cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(
        entries.size(), arguments.jobs > 0 ? static_cast<std::size_t>(arguments.jobs) : cores);

    // Workers measure the next files while the rows before them are written;
    // the rows come in the order of the files, each as soon as it and every
    // row before it are done. Leaving this function in any way asks the
    // workers to stop after the file in hand, and waits for them.
    struct Row {
        std::string text;
        bool failed = false;
    };
    OrderedPipeline<Row> rows({.count = entries.size(), .workers = jobs, .ahead = entries.size()}, [&] {
        return [&](std::size_t index, const Row&, const std::stop_token&) {
            const json row = measureRow(*measurement, entries[index], arguments);
            return Row{jsonLines ? jsonLine(row) : csvLine(row, columns), row["status"] != "ok"};
        };
    });

    BarVisibility visibility = streams.progressByDefault;
    if (arguments.progress)
        visibility = *arguments.progress ? BarVisibility::Shown : BarVisibility::Hidden;
    ProgressBar bar(streams.err, entries.size(), visibility);
    std::string collected;
    // Rows go to --output at the end, or to the row stream at once; a row
    // stream that fails (a full disk, a closed standard output) ends the run.
    const auto emit = [&](const std::string& text) {
        if (arguments.output) {
            collected += text;
            return;
        }
        if (streams.screen == ScreenSharing::OneTerminal)
            bar.clear();
        errno = 0;
        streams.out << text << std::flush;
        if (!streams.out) {
            const int reason = errno != 0 ? errno : EIO;
            bar.finish();
            fail(fileErrorText(reason));
        }
    };
    if (!jsonLines)
        emit(csvHeader(columns));
    bool anyFailed = false;
    bar.show(0);
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const Row done = rows.next().value();
        anyFailed = anyFailed || done.failed;
        emit(done.text);
        bar.show(index + 1);
    }
    bar.finish();
    if (arguments.output)
        replaceFile(*arguments.output,
                    std::span(reinterpret_cast<const std::uint8_t*>(collected.data()), collected.size()));
    return anyFailed ? 1 : 0;
}

}  // namespace dimora::cli
