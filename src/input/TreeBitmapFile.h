#pragma once

#include <memory>
#include <string>

#include "model/TreeBitmap.h"

namespace dravia {

// Reads and decodes the tree picture file of a stored name. Null when the file cannot be
// opened or read, or is not a BMP picture this program can draw.
std::shared_ptr<const TreeBitmap> loadTreeBitmap(const std::string& storedName);

}  // namespace dravia
