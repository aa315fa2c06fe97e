#pragma once

#include <string>

namespace dravia {

// An output file a run holds open from its first write to its end, with an exclusive flock on it,
// so that a second run writing the same file (a results file named by an absolute path in two
// working directories, a data folder shared through a symbolic link) is refused instead of
// interleaving its records with this run's. The file is opened without truncating it and emptied
// only once the lock is held, so the refused run leaves the other run's file as it was.
//
// Records gather in a pending block and reach the file in one write: whole, or (a full disk, a
// file-size limit) not at all, the file cut back to where it ended before.
class HeldOutputFile {
  public:
    enum class Opening { Opened, CannotOpen, HeldByAnotherRun };

    HeldOutputFile() = default;
    ~HeldOutputFile();
    HeldOutputFile(HeldOutputFile&& other) noexcept;
    HeldOutputFile& operator=(HeldOutputFile&& other) noexcept;
    HeldOutputFile(const HeldOutputFile&) = delete;
    HeldOutputFile& operator=(const HeldOutputFile&) = delete;

    // Opens the stored name for appending and locks it; create says whether a missing file is
    // made. A directory never opens. Already open: Opened at once.
    Opening open(const std::string& storedName, bool create);
    bool isOpen() const { return descriptor_ >= 0; }

    // Empties a regular file for a new run's header (a device is left as it is); false with errno
    // set when it cannot be emptied.
    bool empty();

    // The text waiting for the next write.
    std::string& pending() { return pending_; }
    // Writes the pending text whole and clears it; false with errno set when it could not be
    // written (the file then ends where it ended before).
    bool writePending();
    // Writes the text whole at once.
    bool appendWhole(const std::string& text);

    // Closes the file, which releases its lock; pending text is dropped.
    void close();

  private:
    int descriptor_ = -1;
    std::string pending_;
};

// The message that refuses a run whose output file another run holds.
std::string heldByAnotherRunMessage(const std::string& storedName);

}  // namespace dravia
