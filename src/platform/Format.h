#pragma once

#include <string>

namespace dravia {

// printf-style formatting into a growable string with C semantics ("%5.1f", "%-15s", "%03d").
// Every formatted line of a file or message goes through here so the layouts stay exact.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends the formatted text to out.
void appendFormat(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The characters of "%*.*f" with the width and precision, without the general formatter: a
// results file's records take tens of thousands of numbers a run. The digits are the exact
// value correctly rounded, ties to even, as C's formatted output writes them.
void appendFixed(std::string& out, double value, int width, int precision);

// The characters of "%*d", or of "%0*d" when zero-filled.
void appendInteger(std::string& out, int value, int width, bool zeroFilled = false);

}  // namespace dravia
