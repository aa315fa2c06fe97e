#pragma once

#include <string>
#include <vector>

namespace dravia {

// Joins the run databases of several scenarios (runs, merged runs, or study databases made
// before) into one study database at target, so that one query compares them (GROUP BY scenario):
// every row keeps its scenario, parts and iterations as they were, each scenario its own settings
// and species. Inputs must be complete run databases whose scenario names all differ. Written
// under a temporary name beside target and renamed into place; nothing else is written. Returns
// an empty string, or what went wrong naming the file.
std::string combineRunDatabases(const std::vector<std::string>& inputs, const std::string& target);

}  // namespace dravia
