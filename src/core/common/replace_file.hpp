// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Saving a file so that a failure never leaves it half-written: the bytes go to
// a new temporary file in the target's folder, which is then renamed over the
// target in one step. On failure the temporary file is removed and an existing
// target stays as it was.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

namespace dimora {

// Writes the bytes as the file at path, replacing any file of that name (its
// permission bits carry over). Throws Error("ファイル <path> を作成できません")
// when the file cannot be created, written or put in place.
void replaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

// The same with the file's bytes given in parts, written one after another
// (a header and pixels that lie apart in memory, without joining them first).
void replaceFile(const std::string& path, std::initializer_list<std::span<const std::uint8_t>> parts);

}  // namespace dimora
