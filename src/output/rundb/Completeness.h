#pragma once

#include <string>

namespace dravia {

// Whether the file at path is a run database (every table there) of a run that completed (every
// part of it).
bool isCompleteRunDatabase(const std::string& path);

}  // namespace dravia
