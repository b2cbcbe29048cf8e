// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "run_program.hpp"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <linux/capability.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dimora::testing {
namespace {

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Takes from the capability bounding set root's rights to pass over file
// modes; programs started afterwards do not get them back.
bool dropRootFileRights()
{
    return ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
           ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0;
}

int waitForExit(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

ProgramResult runProgramWith(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input, const ProgramSetup& setup)
{
    // Outputs go through files: simple, and no pipe can fill up and block.
    const auto dir = std::filesystem::temp_directory_path() /
                     ("dimora-run-" + std::to_string(::getpid()) + "-" + std::to_string(std::rand()));
    std::filesystem::create_directories(dir);
    const auto inPath = dir / "in", errPath = dir / "err";
    const auto outPath = setup.outputFile.empty() ? dir / "out" : std::filesystem::path(setup.outputFile);
    std::ofstream(inPath, std::ios::binary) << input;

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    // Between fork and exec only calls that are safe there.
    ProgramResult result;
    const pid_t pid = ::fork();
    if (pid == 0) {
        const auto redirect = [](const char* path, int flags, int fd) {
            const int opened = ::open(path, flags, 0644);
            return opened == fd || (opened >= 0 && ::dup2(opened, fd) == fd && ::close(opened) == 0);
        };
        const bool ready =
            redirect(inPath.c_str(), O_RDONLY, 0) &&
            (setup.closedOutput ? ::close(1) == 0
                                : redirect(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 1)) &&
            redirect(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 2) &&
            (!setup.asPlainUser || ::geteuid() != 0 || dropRootFileRights());
        if (ready)
            ::execve(program.c_str(), argv.data(), environ);
        ::_exit(127);
    }
    if (pid > 0)
        result.exitStatus = waitForExit(pid);
    if (setup.outputFile.empty() && !setup.closedOutput)
        result.out = readAll(outPath);
    result.err = readAll(errPath);
    std::filesystem::remove_all(dir);
    return result;
}

}  // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input)
{
    return runProgramWith(program, args, input, {});
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& args,
                         const ProgramSetup& setup)
{
    return runProgramWith(program, args, {}, setup);
}

bool canRunAsPlainUser()
{
    if (::geteuid() != 0)
        return true;
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(dropRootFileRights() ? 0 : 1);
    return pid > 0 && waitForExit(pid) == 0;
}

}  // namespace dimora::testing
