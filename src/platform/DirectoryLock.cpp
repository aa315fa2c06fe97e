#include "platform/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Format.h"

namespace dravia {

namespace {

std::string resolvedName(const std::string& directory) {
    char resolved[PATH_MAX];
    return realpath(directory.c_str(), resolved) ? resolved : directory;
}

}  // namespace

DirectoryLock::DirectoryLock(const std::string& directory) : directory_(directory.empty() ? "." : directory) {
    descriptor_ = open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int result = -1;
    if (descriptor_ >= 0) {
        do {
            result = flock(descriptor_, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
    }
    if (result == 0) {
        outcome_ = Outcome::Held;
        return;
    }
    const int error = errno;
    if (descriptor_ >= 0) close(descriptor_);
    descriptor_ = -1;
    if (error == EWOULDBLOCK) {
        outcome_ = Outcome::Busy;
    } else if (access(directory_.c_str(), W_OK) == 0) {
        outcome_ = Outcome::Failed;
        failure_ = std::strerror(error);
    }
}

DirectoryLock::~DirectoryLock() {
    if (descriptor_ >= 0) close(descriptor_);
}

std::string DirectoryLock::refusal() const {
    if (outcome_ == Outcome::Busy) return busyMessage(directory_);
    if (outcome_ != Outcome::Failed) return {};
    return formatText(
        "The working directory\n\"%s\"\ncannot be locked (%s), so another Dravia4 program could write "
        "into the same files.\nMake the directory readable to its owner, or work in another directory.",
        resolvedName(directory_).c_str(), failure_.c_str());
}

std::string DirectoryLock::busyMessage(const std::string& directory) {
    return formatText(
        "Another Dravia4 program is running, analysing or merging in the working directory\n\"%s\".\n"
        "Try again when it has finished.",
        resolvedName(directory.empty() ? "." : directory).c_str());
}

}  // namespace dravia
