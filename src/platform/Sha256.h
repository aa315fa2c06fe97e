#pragma once

#include <string>
#include <string_view>

namespace dravia {

// The SHA-256 digest of bytes as 64 lower-case hexadecimal digits: the fingerprint by which a
// run database names the contents of the input files the run read.
std::string sha256Hex(std::string_view bytes);

}  // namespace dravia
