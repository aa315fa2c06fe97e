#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/RunCommand.h"
#include "support/TempDirectory.h"

namespace dravia::test {

inline std::string quoted(const std::filesystem::path& path) {
    std::string text = "'";
    text += path.string();
    text += "'";
    return text;
}

inline std::string batchTool() {
    return quoted(DRAVIA_BATCH_PATH);
}

// A working directory holding a copy of the shipped Data/.
inline std::filesystem::path shippedScenario(const std::filesystem::path& directory) {
    std::filesystem::create_directories(directory);
    std::filesystem::copy(std::filesystem::path(DRAVIA_SOURCE_DIR) / "Data", directory / "Data",
                          std::filesystem::copy_options::recursive);
    return directory;
}

// Replaces the value of one item of a parameter file ("KEY   value  // note").
inline void setParameter(const std::filesystem::path& file, const std::string& key,
                         const std::string& value) {
    std::string text = readTextFile(file);
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (line.compare(0, key.size() + 1, key + " ") == 0) line = key + "    " + value;
        out += line;
        if (end < text.size()) out += "\n";
        start = end + 1;
    }
    writeTextFile(file, out);
}

inline std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace dravia::test
