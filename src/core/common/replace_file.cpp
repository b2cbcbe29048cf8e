// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/replace_file.hpp"

#include "core/common/error.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <system_error>

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

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

// Where the bytes go: the regular file to replace (perhaps absent yet), or a
// file to write into as it is.
struct SaveTarget {
    fs::path path;
    bool writeInto = false;
};

// The kernel's own limit on the links followed in one path.
constexpr int kMaxLinks = 40;

bool isInProc(const fs::path& folder)
{
    struct statfs info {};
    return ::statfs(folder.empty() ? "." : folder.c_str(), &info) == 0 && info.f_type == PROC_SUPER_MAGIC;
}

// Follows the chain of symbolic links that starts at target to the name it
// ends in. A link in /proc (/dev/stdout leads to /proc/self/fd/1) stands for
// an open file rather than a name ("pipe:[…]", "… (deleted)"): the target is
// then written into. Null with errno set when a link cannot be read or the
// chain does not end.
std::optional<SaveTarget> saveTargetOf(const fs::path& target)
{
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        return SaveTarget{target, true};
    fs::path current = target;
    for (int links = 0; links <= kMaxLinks; ++links) {
        // An absent name, or one that cannot be looked at, ends the chain;
        // creating the file there then says what is wrong.
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return SaveTarget{current, false};
        if (isInProc(current.parent_path()))
            return SaveTarget{target, true};
        std::error_code error;
        const fs::path next = fs::read_symlink(current, error);
        if (error) {
            errno = error.value();
            return std::nullopt;
        }
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    errno = ELOOP;
    return std::nullopt;
}

// Writes the parts and closes the file; the operating system's error number
// of the first failure, or 0.
int writeAndClose(std::FILE* file, std::initializer_list<std::span<const std::uint8_t>> parts)
{
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
    return writeError;
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
    errno = EISDIR;  // a path without a file name names a folder
    const fs::path named(path);
    const std::optional<SaveTarget> chosen = named.has_filename() ? saveTargetOf(named) : std::nullopt;
    if (!chosen)
        failSave(path, texts, errno);
    const fs::path& target = chosen->path;

    if (chosen->writeInto) {
        errno = 0;
        std::FILE* file = std::fopen(target.c_str(), "wb");
        if (!file)
            failSave(path, texts, errno);
        if (const int writeError = writeAndClose(file, parts); writeError != 0)
            failSave(path, texts, writeError);
        return;
    }

    fs::path temporary;
    std::FILE* file = createTemporaryBeside(target, temporary);
    if (!file)
        failSave(path, texts, errno);
    int writeError = writeAndClose(file, parts);

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
