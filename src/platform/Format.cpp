#include "platform/Format.h"

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace dravia {

namespace {

void appendFormatV(std::string& out, const char* format, va_list args) {
    char small[512];
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (length < 0) return;
    if (static_cast<size_t>(length) < sizeof small) {
        out.append(small, static_cast<size_t>(length));
        return;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(length) + 1);
    std::vsnprintf(out.data() + start, static_cast<size_t>(length) + 1, format, args);
    out.resize(start + static_cast<size_t>(length));
}

}  // namespace

std::string formatText(const char* format, ...) {
    std::string out;
    va_list args;
    va_start(args, format);
    appendFormatV(out, format, args);
    va_end(args);
    return out;
}

void appendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    appendFormatV(out, format, args);
    va_end(args);
}

void appendFixed(std::string& out, double value, int width, int precision) {
    char digits[400];  // the longest finite double in fixed notation with a few decimals
    const std::to_chars_result result =
        std::isfinite(value)
            ? std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, precision)
            : std::to_chars_result{nullptr, std::errc::value_too_large};
    if (result.ec != std::errc{}) {
        appendFormat(out, "%*.*f", width, precision, value);
        return;
    }
    const auto length = static_cast<int>(result.ptr - digits);
    if (length < width) out.append(static_cast<size_t>(width - length), ' ');
    out.append(digits, static_cast<size_t>(length));
}

void appendInteger(std::string& out, int value, int width, bool zeroFilled) {
    if (zeroFilled && value < 0) {
        appendFormat(out, "%0*d", width, value);
        return;
    }
    char digits[16];
    const std::to_chars_result result = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<int>(result.ptr - digits);
    if (length < width) out.append(static_cast<size_t>(width - length), zeroFilled ? '0' : ' ');
    out.append(digits, static_cast<size_t>(length));
}

}  // namespace dravia
