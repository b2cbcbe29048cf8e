// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/batch.hpp"

#include "cli/commands.hpp"
#include "cli/progress_bar.hpp"
#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/image_file.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>

#include <csv.h>

namespace dimora::cli {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// An RFC 4180 field, quoted by libcsv.
std::string csvField(const std::string& text)
{
    std::string quoted(text.size() * 2 + 2, '\0');
    const std::size_t length = csv_write(quoted.data(), quoted.size(), text.data(), text.size());
    quoted.resize(length);
    return quoted;
}

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

const char* const kColumns[] = {"path",       "status",   "error",    "width", "height",    "coverage",
                                "brightness", "length",   "n",        "r",     "dimension", "standardError",
                                "ci95Low",    "ci95High", "rSquared", "sides", "counts"};

// One row: the measurement's JSON object with the file's path and status,
// or the error.
json measureRow(const std::string& measurement, const std::string& path, const Arguments& arguments)
{
    json row;
    try {
        row = measureFileJson(measurement, path, arguments);
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

}  // namespace

std::vector<std::string> batchFiles(const std::vector<std::string>& paths, bool recursive)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        // A file, even one that does not exist, gets its row (with the
        // single command's error).
        if (!fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> found;
        const auto take = [&](const fs::directory_entry& entry) {
            if (entry.is_regular_file(error) && hasImageFileExtension(entry.path().string()))
                found.push_back(entry.path().string());
        };
        if (recursive)
            for (const auto& entry : fs::recursive_directory_iterator(path, error))
                take(entry);
        else
            for (const auto& entry : fs::directory_iterator(path, error))
                take(entry);
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::string csvHeader()
{
    std::string line;
    for (const char* column : kColumns) {
        if (!line.empty())
            line += ',';
        line += column;
    }
    line += "\r\n";
    return line;
}

std::string csvLine(const json& row)
{
    std::vector<std::string> cells;
    cells.push_back(row.value("path", ""));
    cells.push_back(row.value("status", ""));
    cells.push_back(row.value("error", ""));
    const json region = row.value("region", json());
    cells.push_back(region.is_array() && region.size() == 4 ? numberText(region[2]) : "");
    cells.push_back(region.is_array() && region.size() == 4 ? numberText(region[3]) : "");
    for (const char* key : {"coverage", "brightness", "length", "n", "r", "dimension", "standardError"})
        cells.push_back(row.contains(key) ? numberText(row[key]) : "");
    const json ci = row.value("ci95", json());
    cells.push_back(ci.is_array() ? numberText(ci[0]) : "");
    cells.push_back(ci.is_array() ? numberText(ci[1]) : "");
    cells.push_back(row.contains("rSquared") ? numberText(row["rSquared"]) : "");
    const bool fitted = row.contains("dimension");
    cells.push_back(fitted ? joined(row["sides"]) : "");
    cells.push_back(fitted ? joined(row["counts"]) : "");
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i > 0)
            line += ',';
        line += csvField(cells[i]);
    }
    line += "\r\n";
    return line;
}

int runBatch(const Arguments& arguments, std::ostream& out, std::ostream& progress, bool progressIsTerminal)
{
    const std::string& measurement = arguments.operands[0];
    const std::vector<std::string> files =
        batchFiles({arguments.operands.begin() + 1, arguments.operands.end()}, arguments.recursive);
    if (files.empty())
        return 2;
    const bool jsonLines = wantsJsonLines(arguments);
    const auto cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t jobs = std::min<std::size_t>(
        files.size(), arguments.jobs > 0 ? static_cast<std::size_t>(arguments.jobs) : cores);

    // Workers take the next file; the rows wait here until every row before
    // them is written.
    struct Row {
        std::string text;
        bool failed = false;
    };
    std::vector<std::optional<Row>> rows(files.size());
    std::mutex lock;
    std::condition_variable rowDone;
    std::size_t next = 0;
    const auto work = [&] {
        while (true) {
            std::size_t index;
            {
                const std::lock_guard guard(lock);
                if (next >= files.size())
                    return;
                index = next++;
            }
            const json row = measureRow(measurement, files[index], arguments);
            std::string text =
                jsonLines ? row.dump(-1, ' ', false, json::error_handler_t::replace) + "\n" : csvLine(row);
            {
                const std::lock_guard guard(lock);
                rows[index] = Row{std::move(text), row["status"] != "ok"};
            }
            rowDone.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    for (std::size_t k = 0; k < jobs; ++k)
        workers.emplace_back(work);

    const bool showProgress = arguments.progress.value_or(progressIsTerminal);
    ProgressBar bar(progress, files.size(), showProgress);
    std::string collected = jsonLines ? "" : csvHeader();
    if (!arguments.output) {
        out << collected << std::flush;
        collected.clear();
    }
    bool anyFailed = false;
    for (std::size_t index = 0; index < files.size(); ++index) {
        Row done;
        {
            std::unique_lock guard(lock);
            while (!rows[index]) {
                rowDone.wait_for(guard, std::chrono::milliseconds(250));
                guard.unlock();
                bar.show(index);
                guard.lock();
            }
            done = std::move(*rows[index]);
            rows[index].reset();
        }
        anyFailed = anyFailed || done.failed;
        if (arguments.output)
            collected += done.text;
        else
            out << done.text << std::flush;
        bar.show(index + 1);
    }
    bar.finish();
    if (arguments.output)
        replaceFile(*arguments.output,
                    std::span(reinterpret_cast<const std::uint8_t*>(collected.data()), collected.size()));
    return anyFailed ? 1 : 0;
}

}  // namespace dimora::cli
