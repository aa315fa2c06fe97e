#pragma once

#include <string>

namespace dravia {

// An advisory lock on a working directory, so that one program at a time runs, analyses or
// merges there: two runs at once would interleave their records in one results file, and two
// statistics commands would mix their reports. The directory itself is locked with flock, so no
// file in it (one replaced by a directory, linked elsewhere or made unwritable) can let the lock
// give way; it is released when the holder ends, however it ends.
class DirectoryLock {
  public:
    // Held: this program holds it. Busy: another program does. Failed: a directory this program
    // may write into cannot be locked, so nothing guards its files. Unavailable: a directory that
    // cannot be locked and that nobody can write into either, which needs no lock.
    enum class Outcome { Held, Busy, Failed, Unavailable };

    // Tries once to take the lock of the directory ("." for the working directory).
    explicit DirectoryLock(const std::string& directory);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    Outcome outcome() const { return outcome_; }
    // Whether the command must not go on in the directory, and the message that says why.
    bool refused() const { return outcome_ == Outcome::Busy || outcome_ == Outcome::Failed; }
    std::string refusal() const;

    // The message for a directory another program holds.
    static std::string busyMessage(const std::string& directory);

  private:
    std::string directory_;
    std::string failure_;  // the system's reason when the lock failed
    int descriptor_ = -1;
    Outcome outcome_ = Outcome::Unavailable;
};

}  // namespace dravia
