// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// dimora3-cli batch where things go wrong: folders that cannot be read, rows
// that cannot be written, file names that are not UTF-8, and the progress
// bar on the terminal that the rows go to.

#include "run_program.hpp"

#include "cli/batch.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/png_test_files.hpp"
#include "core/image/bitmap.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <filesystem>
#include <sstream>
#include <system_error>

namespace dimora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// A 16 × 16 BMP, its left half black.
std::string imageFile(const fs::path& path)
{
    fs::create_directories(path.parent_path());
    Bitmap image(16, 16, PixelLayout::rgb24());
    image.fill(kWhite);
    for (std::int32_t y = 0; y < 16; ++y)
        for (std::int32_t x = 0; x < 8; ++x)
            image.setPixel(x, y, kBlack);
    saveBmpFile(image, path.string());
    return path.string();
}

std::vector<json> jsonRows(const std::string& text)
{
    std::vector<json> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        rows.push_back(json::parse(line));
    return rows;
}

std::string lastLine(std::string text)
{
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text.substr(text.find_last_of('\n') + 1);
}

TEST(Batch, AFolderThatCannotBeReadIsAnErrorRowAndTheRestIsMeasured)
{
    if (!testing::canRunAsPlainUser())
        GTEST_SKIP() << "running as root without the right to narrow capabilities";
    testing::ScratchFolder folder;
    const fs::path top = folder.path() / "top";
    const fs::path locked = top / "locked";
    const std::vector<std::string> files = {imageFile(top / "a.bmp"), imageFile(locked / "c.bmp"),
                                            imageFile(top / "sub" / "b.bmp"), imageFile(top / "zz.bmp")};
    fs::permissions(locked, fs::perms::none);
    testing::ProgramSetup plainUser;
    plainUser.asPlainUser = true;
    const auto batch = [&](const std::vector<std::string>& paths) {
        std::vector<std::string> args = {"batch", "black", "--format", "jsonl", "--jobs", "2"};
        args.insert(args.end(), paths.begin(), paths.end());
        return testing::runProgram(DIMORA_CLI, args, plainUser);
    };
    const std::string denied = std::make_error_code(std::errc::permission_denied).message();

    // The folder's row comes where its files would, the others are measured.
    auto result = batch({top.string(), "--recursive"});
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    std::vector<json> rows = jsonRows(result.out);
    ASSERT_EQ(rows.size(), 4u) << result.out << result.err;
    const std::vector<std::string> order = {files[0], locked.string(), files[2], files[3]};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i]["path"], order[i]);
        EXPECT_EQ(rows[i]["status"], i == 1 ? "error" : "ok") << order[i];
    }
    EXPECT_EQ(rows[1]["error"], denied);

    // Named on the command line, it is the same error row, not "no image file found".
    result = batch({locked.string(), files[0]});
    EXPECT_EQ(result.exitStatus, 1) << result.err;
    rows = jsonRows(result.out);
    ASSERT_EQ(rows.size(), 2u) << result.err;
    EXPECT_EQ(rows[0], json({{"path", locked.string()}, {"status", "error"}, {"error", denied}}));
    fs::permissions(locked, fs::perms::owner_all);
}

// Rows that cannot be written end the run (and a single command) with the
// system's reason; a link to a device given as --output is written through
// and stays a link.
TEST(Batch, OutputThatCannotBeWrittenIsAnError)
{
    testing::ScratchFolder folder;
    const std::string image = imageFile(folder.path() / "a.bmp");
    const fs::path full = folder.path() / "full.csv";
    fs::create_symlink("/dev/full", full);
    // Standard output: collected, or "/dev/full", or closed ("").
    struct Case {
        std::vector<std::string> args;
        const char* output;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"batch", "black", image}, "/dev/full", fileErrorText(ENOSPC)},
        {{"batch", "black", image, "--format", "jsonl"}, "", fileErrorText(EBADF)},
        {{"black", image}, "/dev/full", fileErrorText(ENOSPC)},
        {{"black", image, "--json"}, "", fileErrorText(EBADF)},
        {{"batch", "black", image, "--output", full.string()},
         nullptr,
         formatMessage(msg::kCannotCreateFile, full.string())},
    };
    for (const Case& c : cases) {
        testing::ProgramSetup setup;
        setup.outputFile = c.output != nullptr ? c.output : "";
        setup.closedOutput = c.output != nullptr && setup.outputFile.empty();
        const auto result = testing::runProgram(DIMORA_CLI, c.args, setup);
        EXPECT_EQ(result.exitStatus, 1) << c.args.back();
        EXPECT_EQ(lastLine(result.err), errorReportText(c.message)) << c.args.back();
    }
    EXPECT_TRUE(fs::is_symlink(full));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(Batch, JsonLinesWriteBytesThatAreNotUtf8AsSurrogateEscapes)
{
    const std::vector<std::pair<std::string, std::string>> names = {
        {"x\xff.png", R"("x\udcff.png")"},
        {"x\xfe.png", R"("x\udcfe.png")"},
        {"画像 1.png", "\"画像 1.png\""},
        {"cut\xe2\x82.png", R"("cut\udce2\udc82.png")"},                            // a sequence cut short
        {"\xed\xa0\x80", R"("\udced\udca0\udc80")"},                                // an encoded surrogate
        {"\xc0\xaf\xf4\x90\x80\x80", R"("\udcc0\udcaf\udcf4\udc90\udc80\udc80")"},  // overlong, past U+10FFFF
        {"\xf0\x9f\x98\x80\x80\"\n", "\"\xf0\x9f\x98\x80\\udc80\\\"\\n\""},
    };
    for (const auto& [name, expected] : names)
        EXPECT_EQ(cli::jsonLine(json{{"path", name}}), "{\"path\":" + expected + "}\n") << expected;
    // Valid rows are written exactly as the JSON library writes them.
    const json row = {{"path", "a/b.png"},
                      {"n", 3},
                      {"r", -0.5},
                      {"ci95", nullptr},
                      {"sides", {1, 2, 4}},
                      {"fields", {" 1"}},
                      {"nested", {{"k", true}}}};
    EXPECT_EQ(cli::jsonLine(row), row.dump() + "\n");

    // Two such files give two rows that lead back to them.
    testing::ScratchFolder folder;
    imageFile(folder.path() / "x\xff.bmp");
    imageFile(folder.path() / "x\xfe.bmp");
    const auto result =
        testing::runProgram(DIMORA_CLI, {"batch", "black", folder.path().string(), "--format", "jsonl"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_NE(result.out.find(R"(x\udcfe.bmp")"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(R"(x\udcff.bmp")"), std::string::npos) << result.out;
}

// The lines a terminal shows after `text`: "\r" goes back to the line's
// start, "\x1b[K" erases to its end, "\n" goes on to the next line, and every
// other byte is written over what is there.
std::vector<std::string> screenLines(const std::string& text)
{
    std::vector<std::string> lines(1);
    std::size_t column = 0;
    for (std::size_t k = 0; k < text.size(); ++k) {
        std::string& line = lines.back();
        if (text[k] == '\r') {
            column = 0;
        } else if (text[k] == '\n') {
            lines.emplace_back();
            column = 0;
        } else if (text.compare(k, 3, "\x1b[K") == 0) {
            line.resize(column);
            k += 2;
        } else {
            if (column < line.size())
                line[column] = text[k];
            else
                line += text[k];
            ++column;
        }
    }
    return lines;
}

TEST(Batch, ProgressBarLeavesTheRowsWholeOnItsTerminal)
{
    testing::ScratchFolder folder;
    cli::Arguments arguments;
    arguments.command = "batch";
    arguments.operands = {"black"};
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        arguments.operands.push_back(imageFile(folder.path() / name));
    arguments.progress = true;
    arguments.jobs = 2;
    for (const char* format : {"csv", "jsonl"}) {
        arguments.format = format;
        std::ostringstream rows;
        std::ostringstream none;
        arguments.progress = false;
        ASSERT_EQ(cli::runBatch(arguments, {rows, none}), 0);
        arguments.progress = true;

        // Rows and bar on one terminal.
        std::ostringstream terminal;
        ASSERT_EQ(cli::runBatch(arguments, {terminal, terminal, cli::BarVisibility::Shown,
                                            cli::ScreenSharing::OneTerminal}),
                  0);
        std::vector<std::string> expected = screenLines(rows.str());
        expected.pop_back();
        const std::vector<std::string> shown = screenLines(terminal.str());
        ASSERT_EQ(shown.size(), expected.size() + 2) << terminal.str();
        EXPECT_EQ(std::vector(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(expected.size())),
                  expected);
        EXPECT_EQ(shown[expected.size()].rfind("[##############################] 4/4 files", 0), 0u)
            << shown[expected.size()];
    }
}

}  // namespace
}  // namespace dimora
