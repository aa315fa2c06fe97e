#pragma once

namespace dravia {

// Exit statuses of both programs.
inline constexpr int EXIT_NORMAL = 0;
inline constexpr int EXIT_FATAL_ERROR = 1;       // an error the program cannot go on from
inline constexpr int EXIT_USAGE = 2;             // command-line usage error
inline constexpr int EXIT_ABNORMAL = 3;          // abnormal termination
inline constexpr int EXIT_STARTUP_READER = 255;  // a reader error during start-up loading

// What both programs say when memory runs out, before they end with EXIT_FATAL_ERROR.
inline constexpr const char* OUT_OF_MEMORY_MESSAGE =
    "Error: the program ran out of memory. Files written so far are complete up to their last record.";

// Library code never calls exit(): where the program must end it throws this,
// and each product's main() catches it and returns the status.
struct ProgramExit {
    int status = EXIT_NORMAL;
};

}  // namespace dravia
