#pragma once

#include <string>

namespace dravia {

// Writes each table of the database at path as DIR/TABLE.csv: a header row, then one line per
// row, integers as they are, reals in the fewest digits that read back to the same double (C
// locale), texts quoted when they hold a comma, quote or line break. Returns an empty string, or
// what went wrong naming the file.
std::string exportRunDatabase(const std::string& path, const std::string& directory);

}  // namespace dravia
