#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace dravia {

// File names are stored exactly as read, with "\" separators, and written back unchanged.
// Every open maps "\" to "/" and resolves against the working directory; nothing else touches paths.
std::string toLocalPath(const std::string& storedName);

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file) std::fclose(file);
    }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens a stored file name with the C mode string ("r", "w", "a"); null on failure.
// A directory never opens, and reading takes regular files only: a device or a pipe named
// where a file should be could block a reader or never end.
FileHandle openFile(const std::string& storedName, const char* mode);

// True when two stored names reach one file: the same device and inode where both exist, else the
// same absolute path once "." and ".." and symbolic links of the existing folders are resolved.
bool sameFile(const std::string& storedA, const std::string& storedB);

// True when an open regular file holds more than limit bytes. Every reader bounds what it takes
// in, so that a huge or sparse file is refused with a message instead of exhausting memory.
bool largerThan(std::FILE* file, unsigned long long limit);

// True when the stored name names a readable regular file.
bool canOpenForReading(const std::string& storedName);

// The rest of an open file, to its true end.
std::string readWholeFile(std::FILE* file);

// Creates a new empty file beside a local path, under a name no other writer takes (the path
// followed by "." and six characters), with the permissions of any newly created file (0666 less
// the umask). Returns its open descriptor and sets temporary to its name; -1 with errno set when
// it cannot be created. Files written whole and renamed into place start here.
int createFileBeside(const std::string& path, std::string& temporary);

// Writes the whole text to a temporary file beside the target, flushes it to the disk and
// renames it into place, so a failure never leaves a half-written file where a good one stood.
// False on failure (the temporary file is removed).
bool writeFileAtomically(const std::string& storedName, const std::string& text);

// Appends the whole text to an open file in one write, so that an interrupted program leaves
// either all of it or none. When it cannot be written whole (a full disk), the file is cut back
// to where it ended before and false is returned: the file still ends with a complete record.
bool appendWhole(std::FILE* file, const std::string& text);
// The same for an open descriptor.
bool appendWhole(int descriptor, const char* data, std::size_t size);

// Why the write that has just failed failed, in the system's words ("No space left on device",
// "File too large"), for the message that says so; read it before anything else touches errno.
std::string writeFailureReason();

}  // namespace dravia
