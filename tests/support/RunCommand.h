#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace dravia::test {

struct CommandResult {
    int status = -1;
    std::string output;  // what the command wrote to its stdout (and stderr when merged in)
};

// Runs a shell command line and collects its standard output.
inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Runs the batch tool in the current directory with its stderr merged into the output.
inline CommandResult runBatch(const std::string& arguments) {
    return runCommand(std::string(DRAVIA_BATCH_PATH) + " " + arguments + " 2>&1");
}

}  // namespace dravia::test
