// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "common/replace_file.hpp"

#include "common/error.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

namespace dimora {
namespace {

namespace fs = std::filesystem;

// A new, empty file beside the target, opened for writing; null when none can
// be created. "x" makes the creation fail rather than reuse an existing name.
std::FILE* createTemporaryBeside(const fs::path& target, fs::path& temporary)
{
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const unsigned tag = entropy() ^ (counter.fetch_add(1) * 2654435761u);
        std::string name = target.filename().string();
        name.insert(name.begin(), '.');
        name += '.';
        name += std::to_string(tag);
        name += ".tmp";
        temporary = target;
        temporary.replace_filename(name);
        if (std::FILE* file = std::fopen(temporary.c_str(), "wbx"))
            return file;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

}  // namespace

void replaceFile(const std::string& path, std::span<const std::uint8_t> bytes)
{
    replaceFile(path, {bytes});
}

void replaceFile(const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts)
{
    const fs::path target(path);
    fs::path temporary;
    std::FILE* file = target.has_filename() ? createTemporaryBeside(target, temporary) : nullptr;
    if (!file)
        fail(msg::kCannotCreateFile, path);

    bool written = true;
    for (const auto& part : parts)
        written = written && std::fwrite(part.data(), 1, part.size(), file) == part.size();
    written = std::fclose(file) == 0 && written;

    std::error_code ignored;
    if (written) {
        const auto existing = fs::status(target, ignored);
        if (fs::is_regular_file(existing))
            fs::permissions(temporary, existing.permissions(), ignored);
        std::error_code renameError;
        fs::rename(temporary, target, renameError);
        if (!renameError)
            return;
    }
    fs::remove(temporary, ignored);
    fail(msg::kCannotCreateFile, path);
}

}  // namespace dimora
