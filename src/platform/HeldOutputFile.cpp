#include "platform/HeldOutputFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/Format.h"
#include "platform/Paths.h"

namespace dravia {

HeldOutputFile::~HeldOutputFile() {
    close();
}

HeldOutputFile::HeldOutputFile(HeldOutputFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)), pending_(std::move(other.pending_)) {}

HeldOutputFile& HeldOutputFile::operator=(HeldOutputFile&& other) noexcept {
    if (this != &other) {
        close();
        descriptor_ = std::exchange(other.descriptor_, -1);
        pending_ = std::move(other.pending_);
    }
    return *this;
}

HeldOutputFile::Opening HeldOutputFile::open(const std::string& storedName, bool create) {
    if (isOpen()) return Opening::Opened;
    const std::string path = toLocalPath(storedName);
    if (path.empty()) return Opening::CannotOpen;
    const int flags = O_WRONLY | O_APPEND | O_CLOEXEC | (create ? O_CREAT : 0);
    const int descriptor = ::open(path.c_str(), flags, 0666);
    if (descriptor < 0) return Opening::CannotOpen;
    int locked = -1;
    do {
        locked = flock(descriptor, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    // Only another holder refuses the run: a file system without locks still takes the records.
    if (locked != 0 && errno == EWOULDBLOCK) {
        ::close(descriptor);
        return Opening::HeldByAnotherRun;
    }
    descriptor_ = descriptor;
    return Opening::Opened;
}

bool HeldOutputFile::empty() {
    struct stat info {};
    if (fstat(descriptor_, &info) != 0) return false;
    return !S_ISREG(info.st_mode) || ftruncate(descriptor_, 0) == 0;
}

bool HeldOutputFile::writePending() {
    const bool written = pending_.empty() || appendWhole(pending_);
    pending_.clear();
    return written;
}

bool HeldOutputFile::appendWhole(const std::string& text) {
    return dravia::appendWhole(descriptor_, text.data(), text.size());
}

void HeldOutputFile::close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
    pending_.clear();
}

std::string heldByAnotherRunMessage(const std::string& storedName) {
    return formatText(
        "Error: the output file %s is being written by another run (it is locked).\n"
        "This run is refused and leaves it as it is; run again when that run has ended, or name "
        "another file.",
        storedName.c_str());
}

}  // namespace dravia
