#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "batch/HeadlessHost.h"

namespace dravia::bench {

// A scratch working directory holding a copy of the shipped Data/; the benchmark enters it and
// it is removed when the benchmark ends.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        char pattern[] = "/tmp/dravia-bench-XXXXXX";
        path_ = mkdtemp(pattern);
        previous_ = std::filesystem::current_path();
        std::filesystem::copy(std::filesystem::path(DRAVIA_SOURCE_DIR) / "Data", path_ / "Data",
                              std::filesystem::copy_options::recursive);
        std::filesystem::current_path(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// A batch host whose messages and standard output go nowhere, so printing costs nothing
// measurable and the benchmark's own table stays readable.
class SilentHost : public HeadlessHost {
  public:
    SilentHost() : HeadlessHost(nullSink(), nullSink()) {}

  private:
    static std::FILE* nullSink() {
        static std::FILE* sink = std::fopen("/dev/null", "w");
        return sink;
    }
};

}  // namespace dravia::bench
