#pragma once

#include <string>

namespace dravia {

// Whether the file at path is a run database (every table there) of a run that completed (every
// part of it).
bool isCompleteRunDatabase(const std::string& path);

// Throws DatabaseError saying which version of the program wrote the file when it is an SQLite
// file of a format this version does not read; anything else is left to isCompleteRunDatabase.
void refuseUnreadableFormat(const std::string& path);

// What the complete run database at path says that the run it is kept with does not: that run had
// these years, plots and iterations and began with the random state seed (as its statistics copies
// say). Parts must be numbered 1, 2, ... with their iterations following on from 1. Empty when
// the database describes the run.
std::string runDatabaseMismatch(const std::string& path, long long years, long long plots,
                                long long iterations, double seed);

}  // namespace dravia
