#include "batch/HeadlessHost.h"

#include <string>

namespace dravia {

void HeadlessHost::showMessage(const std::string& text, MessageIcon icon) {
    const char* label = icon == MessageIcon::Error ? "Dravia4 error: " : "Dravia4: ";
    std::fprintf(messages_, "%s%s\n", label, text.c_str());
    std::fflush(messages_);
}

bool HeadlessHost::askOkCancel(const std::string& text) {
    std::fprintf(messages_, "Dravia4: %s [OK]\n", text.c_str());
    std::fflush(messages_);
    return true;
}

void HeadlessHost::showStatResults(const std::string& title, const std::string&) {
    // The report itself is in the report file; the box's title line says where it went.
    if (!atLineStart_) writeStandardOutput("\n");
    writeStandardOutput(title);
    writeStandardOutput("\n");
}

void HeadlessHost::writeStandardOutput(std::string_view text) {
    if (text.empty()) return;
    std::fwrite(text.data(), 1, text.size(), output_);
    atLineStart_ = text.back() == '\n';
    std::fflush(output_);
}

}  // namespace dravia
