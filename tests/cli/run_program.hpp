// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace dimora::testing {

struct ProgramResult {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs a program with the given arguments (no shell), feeding `input` to its
// standard input, and collects its outputs and exit status.
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = {});

}  // namespace dimora::testing
