// The charts command under a memory limit of 1 GB, as a shared machine or a scheduler imposes:
// databases crafted to exhaust memory are refused within seconds with a message, never by the
// kernel or an uncaught exception. The sanitizers cannot start under such a limit, so these tests
// carry the label "memorylimit" and only the release pass runs them.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "app/ChartTestDatabase.h"
#include "support/RunCommand.h"
#include "support/TempDirectory.h"

namespace dravia::test {
namespace {

constexpr int LIMIT_KB = 1024 * 1024;

struct Crafted {
    const char* name;
    const char* sql;
    const char* message;
};

TEST(ChartsUnderMemoryLimit, CraftedDatabasesAreRefusedWithAMessage) {
    TempDirectory directory;
    const Crafted cases[] = {
        {"class", "UPDATE diameter_classes SET class_lower_cm = 2147483645",
         "a diameter class from 2147483645 cm"},
        {"name", "UPDATE species SET name = printf('%.*c', 1048576, 'x')", "1048576 bytes long"},
        {"iterations", "UPDATE run SET first_iteration = 2147483600, iterations = 1000000",
         "from iteration 2147483600"},
    };
    for (const Crafted& row : cases) {
        const std::filesystem::path file = directory.path() / (std::string(row.name) + ".sqlite");
        writeCraftedRun(file, row.sql);
        const auto start = std::chrono::steady_clock::now();
        const CommandResult result = runCommand(
            "bash -c 'ulimit -v " + std::to_string(LIMIT_KB) +
            " && QT_QPA_PLATFORM=offscreen exec \"$0\" \"$@\"' " + DRAVIA_APP_PATH + " --charts '" +
            file.string() + "' --out '" + (directory.path() / row.name).string() + "' 2>&1");
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(result.status, 1) << row.name << ": " << result.output;
        EXPECT_NE(result.output.find(row.message), std::string::npos) << result.output;
        // Not a speed measurement: a program that spent minutes exhausting the limit did not refuse.
        EXPECT_LT(seconds, 60.0) << row.name;
    }
}

}  // namespace
}  // namespace dravia::test
