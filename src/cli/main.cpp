// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// dimora3-cli: the desktop program's measurements and operations from the
// command line. Exit status 0 when done, 1 when the command ended with an
// error (the error report's text on standard error), 2 for a wrong command line.

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"

#include "core/common/error.hpp"

#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether standard output and standard error are one terminal, where rows
// and the progress bar share the screen.
bool outputsShareATerminal()
{
    struct stat out {};
    struct stat err {};
    return ::isatty(STDOUT_FILENO) == 1 && ::isatty(STDERR_FILENO) == 1 &&
           ::fstat(STDOUT_FILENO, &out) == 0 && ::fstat(STDERR_FILENO, &err) == 0 &&
           out.st_rdev == err.st_rdev;
}

}  // namespace

int main(int argc, char* argv[])
{
    using namespace dimora;
    std::vector<std::string> args(argv + 1, argv + argc);
    cli::Arguments arguments;
    try {
        arguments = cli::parseArguments(args);
    } catch (const cli::UsageError& e) {
        std::cerr << "dimora3-cli: " << e.what() << '\n' << cli::usageText();
        return 2;
    }
    try {
        return cli::runCommand(
            arguments,
            {std::cout, std::cerr,
             ::isatty(STDERR_FILENO) == 1 ? cli::BarVisibility::Shown : cli::BarVisibility::Hidden,
             outputsShareATerminal() ? cli::ScreenSharing::OneTerminal : cli::ScreenSharing::Separate});
    } catch (const Error& e) {
        std::cerr << errorReportText(e.what()) << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << errorReportText(e.what()) << '\n';
    }
    return 1;
}
