// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// dimora3-cli: the desktop program's measurements and operations from the
// command line. Exit status 0 when done, 1 when the command ended with an
// error (the error report's text on standard error), 2 for a wrong command line.

#include "cli/arguments.hpp"
#include "cli/batch.hpp"
#include "cli/commands.hpp"

#include "core/common/error.hpp"

#include <cstdio>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>

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
        if (arguments.command == "batch") {
            const int status = cli::runBatch(arguments, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
            if (status == 2)
                std::cerr << "dimora3-cli: no image file found\n";
            return status;
        }
        const std::string output = cli::runCommand(arguments);
        std::cout << output << std::flush;
        return std::cout ? 0 : 1;
    } catch (const Error& e) {
        std::cerr << errorReportText(e.what()) << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "out of memory\n";
    } catch (const std::exception& e) {
        std::cerr << errorReportText(e.what()) << '\n';
    }
    return 1;
}
