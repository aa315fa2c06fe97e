#pragma once

// Runs the batch program's two commands in-process on a small data set that a catalogue row
// has damaged, and records what the user would see: every message, and the exit status.

#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "batch/BatchCommand.h"
#include "platform/ProgramExit.h"
#include "support/ScriptedHost.h"
#include "support/SmallDataSet.h"
#include "support/TempDirectory.h"

namespace dravia::test {

enum class Command { Run, Stats };

struct Outcome {
    int status = -1;
    std::vector<std::string> messages;
};

inline bool operator==(const Outcome& a, const Outcome& b) {
    return a.status == b.status && a.messages == b.messages;
}

inline void PrintTo(const Outcome& outcome, std::ostream* out) {
    *out << "status " << outcome.status << ", messages:";
    for (const std::string& message : outcome.messages) *out << "\n  [" << message << "]";
}

inline Outcome runCommand(Command command) {
    ScriptedHost host;
    Outcome outcome;
    outcome.status =
        command == Command::Run ? runBatch(RunOptions{}, host) : statsBatch(StatsOptions{}, host);
    for (const auto& message : host.messages) outcome.messages.push_back(message.text);
    return outcome;
}

inline bool runningAsRoot() {
    return geteuid() == 0;
}

// The user "nobody": file permissions bind it, as they bind every ordinary user (and not root).
inline constexpr uid_t ORDINARY_USER = 65534;
inline constexpr gid_t ORDINARY_GROUP = 65534;

// Runs the command as an ordinary user when the tests run as root (in a child process that
// gives up root), so that permission rows mean the same everywhere.
inline Outcome runCommandAsOrdinaryUser(Command command) {
    if (!runningAsRoot()) return runCommand(command);
    int channel[2];
    if (pipe(channel) != 0) return {};
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        int status = -2;
        std::string text;
        if (setgroups(0, nullptr) == 0 && setgid(ORDINARY_GROUP) == 0 && setuid(ORDINARY_USER) == 0) {
            const Outcome outcome = runCommand(command);
            status = outcome.status;
            for (const std::string& message : outcome.messages) text += message + '\0';
        }
        const std::string packet = std::to_string(status) + '\0' + text;
        (void)!write(channel[1], packet.data(), packet.size());
        close(channel[1]);
        _exit(0);
    }
    close(channel[1]);
    std::string packet;
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0)
        packet.append(buffer, static_cast<size_t>(count));
    close(channel[0]);
    int ignored = 0;
    waitpid(child, &ignored, 0);
    Outcome outcome;
    std::size_t start = packet.find('\0');
    if (start == std::string::npos) return outcome;
    outcome.status = std::stoi(packet.substr(0, start));
    ++start;
    while (start < packet.size()) {
        const std::size_t end = packet.find('\0', start);
        outcome.messages.push_back(packet.substr(start, end - start));
        start = end + 1;
    }
    return outcome;
}

// Lets the ordinary user into the scratch directory and its data.
inline void openToOrdinaryUser(const std::filesystem::path& directory) {
    std::filesystem::permissions(directory, std::filesystem::perms::all);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
        std::filesystem::permissions(
            entry.path(), entry.is_directory() ? std::filesystem::perms::all : std::filesystem::perms(0666));
    }
}

// A file system of a few kilobytes mounted on a directory, for the full-disk rows; mounting
// needs root, so the rows are skipped elsewhere.
class TinyFileSystem {
  public:
    TinyFileSystem(const std::filesystem::path& directory, const char* size) : directory_(directory) {
        std::filesystem::create_directories(directory);
        const std::string options = std::string("size=") + size;
        mounted_ = mount("tmpfs", directory.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~TinyFileSystem() {
        if (mounted_) umount(directory_.c_str());
    }
    TinyFileSystem(const TinyFileSystem&) = delete;
    TinyFileSystem& operator=(const TinyFileSystem&) = delete;
    bool mounted() const { return mounted_; }

  private:
    std::filesystem::path directory_;
    bool mounted_ = false;
};

// Replaces one line of a text (without its line break).
inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

inline std::string joinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The text with the value of item `name` (the rest of its line) replaced.
inline std::string withItemValue(const std::string& text, const std::string& name, const std::string& value) {
    std::vector<std::string> lines = linesOf(text);
    for (std::string& line : lines) {
        if (line.rfind(name + " ", 0) == 0) line = name + "    " + value;
    }
    return joinedLines(lines);
}

inline std::string withCrlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace dravia::test
