#pragma once

#include <string>

namespace dravia {

// An advisory lock on a working directory, so that one program at a time runs, analyses or
// merges there: two runs at once would interleave their records in one results file, and two
// statistics commands would mix their reports. The lock is a file ".dravia4.lock" in the
// directory, locked with flock; it is released when the holder ends, however it ends.
class DirectoryLock {
  public:
    enum class Outcome { Held, Busy, Unavailable };

    // Tries once to take the lock of the directory ("." for the working directory).
    explicit DirectoryLock(const std::string& directory);
    ~DirectoryLock();
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // Held: this program holds it. Busy: another program does. Unavailable: no lock file can be
    // made there (a read-only directory), so nobody can write results there either.
    Outcome outcome() const { return outcome_; }

    // The message for a directory another program holds.
    static std::string busyMessage(const std::string& directory);

  private:
    int descriptor_ = -1;
    Outcome outcome_ = Outcome::Unavailable;
};

}  // namespace dravia
