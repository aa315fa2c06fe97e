#include "platform/Paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace dravia {

std::string toLocalPath(const std::string& storedName) {
    std::string path = storedName;
    for (char& c : path) {
        if (c == '\\') c = '/';
    }
    return path;
}

FileHandle openFile(const std::string& storedName, const char* mode) {
    const std::string path = toLocalPath(storedName);
    if (path.empty()) return nullptr;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return nullptr;
        if (mode[0] == 'r' && !S_ISREG(info.st_mode)) return nullptr;
    }
    return FileHandle(std::fopen(path.c_str(), mode));
}

namespace {

// The absolute path of a file that may not exist yet: its folder resolved, its own name kept.
std::string resolvedPath(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char resolved[PATH_MAX];
    if (realpath(folder.c_str(), resolved) == nullptr) return path;
    const std::string base(resolved);
    if (name.empty() || name == ".") return base;
    if (name == "..") return resolvedPath(base + "/..");
    return (base == "/" ? base : base + "/") + name;
}

}  // namespace

bool sameFile(const std::string& storedA, const std::string& storedB) {
    const std::string a = toLocalPath(storedA);
    const std::string b = toLocalPath(storedB);
    if (a.empty() || b.empty()) return false;
    struct stat infoA {};
    struct stat infoB {};
    if (stat(a.c_str(), &infoA) == 0 && stat(b.c_str(), &infoB) == 0)
        return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
    return resolvedPath(a) == resolvedPath(b);
}

bool largerThan(std::FILE* file, unsigned long long limit) {
    struct stat info {};
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<unsigned long long>(info.st_size) > limit;
}

bool canOpenForReading(const std::string& storedName) {
    return openFile(storedName, "r") != nullptr;
}

int createFileBeside(const std::string& path, std::string& temporary) {
    temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) return -1;
    // mkstemp makes the file private to its owner; the file it becomes is readable as any other
    // the user writes. Should that fail, the file stays private and its contents are still right.
    const mode_t mask = umask(0);
    umask(mask);
    (void)fchmod(descriptor, 0666 & ~mask);
    return descriptor;
}

bool writeFileAtomically(const std::string& storedName, const std::string& text) {
    const std::string path = toLocalPath(storedName);
    if (path.empty()) return false;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return false;
    // A name of its own for each writer: two programs writing the same file at once never share
    // (and never rename away) each other's half-written text.
    std::string temporary;
    const int descriptor = createFileBeside(path, temporary);
    if (descriptor < 0) return false;
    std::FILE* file = fdopen(descriptor, "w");
    if (!file) {
        close(descriptor);
        std::remove(temporary.c_str());
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
                         std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    int failure = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && !closed) failure = errno;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (written && closed) failure = errno;
        std::remove(temporary.c_str());
        errno = failure;
        return false;
    }
    return true;
}

bool appendWhole(int descriptor, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t count = write(descriptor, data + done, size - done);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            const int failure = count < 0 ? errno : ENOSPC;
            // The file's writer is this run alone (it holds the file's lock): the text's first
            // part ends the file, so the file ended `done` bytes earlier before it. Asked only
            // here, the file's end costs nothing on every write that succeeds.
            const off_t end = lseek(descriptor, 0, SEEK_END);
            const off_t before = end - static_cast<off_t>(done);
            if (end >= 0 && before >= 0 && ftruncate(descriptor, before) != 0) {
                // Nothing more can be done for a file that can neither grow nor shrink.
            }
            errno = failure;
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

bool appendWhole(std::FILE* file, const std::string& text) {
    if (std::fflush(file) != 0) return false;
    return appendWhole(fileno(file), text.data(), text.size());
}

std::string writeFailureReason() {
    return errno != 0 ? std::strerror(errno) : "the disk may be full";
}

std::string readWholeFile(std::FILE* file) {
    std::string content;
    // One allocation for a regular file of known size; the loop still reads to the true end.
    struct stat status {};
    if (fstat(fileno(file), &status) == 0 && status.st_size > 0)
        content.reserve(static_cast<size_t>(status.st_size));
    char buffer[1 << 16];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, count);
    return content;
}

}  // namespace dravia
