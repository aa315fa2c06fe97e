#include "platform/DirectoryLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/Format.h"

namespace dravia {

DirectoryLock::DirectoryLock(const std::string& directory) {
    const std::string path = (directory.empty() ? std::string(".") : directory) + "/.dravia4.lock";
    descriptor_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (descriptor_ < 0) return;
    int result = 0;
    do {
        result = flock(descriptor_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        outcome_ = Outcome::Held;
        return;
    }
    outcome_ = errno == EWOULDBLOCK ? Outcome::Busy : Outcome::Unavailable;
    close(descriptor_);
    descriptor_ = -1;
}

DirectoryLock::~DirectoryLock() {
    if (descriptor_ >= 0) close(descriptor_);
}

std::string DirectoryLock::busyMessage(const std::string& directory) {
    char resolved[PATH_MAX];
    const char* name =
        realpath(directory.empty() ? "." : directory.c_str(), resolved) ? resolved : directory.c_str();
    return formatText(
        "Another Dravia4 program is running, analysing or merging in the working directory\n\"%s\".\n"
        "Try again when it has finished.",
        name);
}

}  // namespace dravia
