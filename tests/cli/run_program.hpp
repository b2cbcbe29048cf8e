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

// How the program's surroundings differ from the above.
struct ProgramSetup {
    // Standard output goes to this file (such as /dev/full) instead of being
    // collected; with closedOutput the program starts without one.
    std::string outputFile;
    bool closedOutput = false;
    // When the tests run as root, the program runs without root's right to
    // read and search any folder, so that a folder's mode stops it as it
    // stops any user (see canRunAsPlainUser).
    bool asPlainUser = false;
};

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const ProgramSetup& setup);

// Whether a program can be run as a plain user: always when the tests do not
// run as root; as root only with the right to narrow the capabilities that
// programs started from here may have.
bool canRunAsPlainUser();

}  // namespace dimora::testing
