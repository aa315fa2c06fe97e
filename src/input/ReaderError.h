#pragma once

#include <stdexcept>
#include <string>

namespace dravia {

// A reader's refusal of a file, carrying the ready message text the user is shown.
// An empty text means the reader has already shown its numbered message.
struct ReaderError : std::runtime_error {
    explicit ReaderError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace dravia
