#pragma once

#include <stdexcept>
#include <string>

#include "platform/Host.h"

namespace dravia {

// A reader's refusal of a file, carrying the ready message text the user is shown.
// An empty text means the reader has already shown its numbered message.
struct ReaderError : std::runtime_error {
    explicit ReaderError(const std::string& text) : std::runtime_error(text) {}
};

// Shows a reader's refusal, unless the reader has already shown its numbered message.
inline void showReaderError(Host& host, const ReaderError& error) {
    if (error.what()[0] != '\0') host.showMessage(error.what(), MessageIcon::None);
}

}  // namespace dravia
