#pragma once

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
// Opening a directory for reading fails here, so readers never see one.
FileHandle openFile(const std::string& storedName, const char* mode);

// True when the stored name names a readable regular file.
bool canOpenForReading(const std::string& storedName);

// Writes the whole text to a temporary file beside the target and renames it into place,
// so a failure never leaves a half-written file where a good one stood. False on failure.
bool writeFileAtomically(const std::string& storedName, const std::string& text);

}  // namespace dravia
