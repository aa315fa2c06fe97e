#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Host.h"

namespace dravia {

struct RunOptions {
    std::string directory = ".";
    std::optional<int> years;
    std::optional<int> iterations;
    std::optional<double> seed;
    std::optional<int> community;
    bool everyTree = false;
    std::optional<int> waterStressMode;
    std::string database;  // the run database to write, none when empty
    bool databaseYearly = false;
    bool databaseTrees = false;
    std::string commandLine;
    std::vector<std::string> modelOptions;  // "KEY=VALUE", each checked by the command line
    bool classic = false;                   // every model option off, whatever the preset's file says
};

struct ExportOptions {
    std::string database;
    std::string csvDirectory;
};

struct StatsOptions {
    std::string directory = ".";
    bool tabSeparated = false;
};

// `dravia4-batch run`: the start-up load, the options, then one run. Returns the exit status.
int runBatch(const RunOptions& options, Host& host);

// `dravia4-batch stats`: the statistics command. Returns the exit status.
int statsBatch(const StatsOptions& options, Host& host);

// `dravia4-batch export`: the run database's tables as CSV files. Returns the exit status.
int exportBatch(const ExportOptions& options, Host& host);

// The whole command line; returns the exit status.
int batchMain(int argc, char** argv);

}  // namespace dravia
