// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/replace_file.hpp"

#include "core/common/error.hpp"

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

[[noreturn]] void failSave(const std::string& path, SaveFailureText texts, int errnum)
{
    if (texts == SaveFailureText::SystemReason)
        fail(fileErrorText(errnum));
    fail(msg::kCannotCreateFile, path);
}

}  // namespace

std::string fileErrorText(int errnum)
{
    switch (errnum) {
    case EACCES:
    case EPERM:
    case EROFS:
        return "ファイルへのアクセスが拒否されました";
    case ENOSPC:
    case EDQUOT:
        return "ディスクがいっぱいです";
    default:
        return "I/O エラー (" + std::to_string(errnum) + ")";
    }
}

void replaceFile(const std::string& path, std::span<const std::uint8_t> bytes, SaveFailureText texts)
{
    replaceFile(path, {bytes}, texts);
}

void replaceFile(const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts,
                 SaveFailureText texts)
{
    const fs::path target(path);
    fs::path temporary;
    errno = EISDIR;  // a path without a file name names a folder
    std::FILE* file = target.has_filename() ? createTemporaryBeside(target, temporary) : nullptr;
    if (!file)
        failSave(path, texts, errno);

    int writeError = 0;
    for (const auto& part : parts) {
        if (std::fwrite(part.data(), 1, part.size(), file) != part.size()) {
            writeError = errno != 0 ? errno : EIO;
            break;
        }
    }
    // Buffered bytes reach the disk at the close, so a full disk often shows
    // only there.
    if (std::fclose(file) != 0 && writeError == 0)
        writeError = errno != 0 ? errno : EIO;

    std::error_code ignored;
    if (writeError == 0) {
        const auto existing = fs::status(target, ignored);
        if (fs::is_regular_file(existing))
            fs::permissions(temporary, existing.permissions(), ignored);
        std::error_code renameError;
        fs::rename(temporary, target, renameError);
        if (!renameError)
            return;
        writeError = renameError.value();
    }
    fs::remove(temporary, ignored);
    failSave(path, texts, writeError);
}

}  // namespace dimora
