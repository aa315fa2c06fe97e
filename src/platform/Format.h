#pragma once

#include <string>

namespace dravia {

// printf-style formatting into a growable string with C semantics ("%5.1f", "%-15s", "%03d").
// Every formatted line of a file or message goes through here so the layouts stay exact.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the formatted text to out.
void appendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace dravia
