// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Saving a file so that a failure never leaves it half-written: the bytes go to
// a new temporary file in the target's folder, which is then renamed over the
// target in one step. On failure the temporary file is removed and an existing
// target stays as it was.
//
// What is replaced is always a regular file. A symbolic link (or a chain of
// them) stays a link: the file it leads to is replaced, beside itself, or
// created when the link dangles. An existing target that is no regular file
// and no folder (a device such as /dev/null or /dev/stdout, a FIFO, a socket,
// or a link to one of these) is opened and written into directly, as a shell
// redirection would: renaming over it would put a file where the device or
// FIFO was.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace dimora {

// The text a failed save reports.
enum class SaveFailureText {
    // "ファイル <path> を作成できません", whatever went wrong (bitmap saves).
    CannotCreateFile,
    // The operating system's reason in the old platform's file error texts:
    // access denied, disk full, or "I/O エラー (<errno>)" (see
    // fileErrorText).
    SystemReason,
};

// Writes the bytes as the file at path, replacing any file of that name (its
// permission bits carry over). Throws Error with the chosen text when the file
// cannot be created, written or put in place.
void replaceFile(const std::string& path, std::span<const std::uint8_t> bytes,
                 SaveFailureText texts = SaveFailureText::CannotCreateFile);

// The same with the file's bytes given in parts, written one after another
// (a header and pixels that lie apart in memory, without joining them first).
void replaceFile(const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts,
                 SaveFailureText texts = SaveFailureText::CannotCreateFile);

// The old platform's text for a file that failed with the operating system's
// error number: no permission or a read-only file system
// "ファイルへのアクセスが拒否されました", no space or quota left
// "ディスクがいっぱいです", any other "I/O エラー (<errnum>)".
[[nodiscard]] std::string fileErrorText(int errnum);

}  // namespace dimora
