#pragma once

// Shared by the fuzz targets: a host that keeps what the readers show, a private working
// directory for the files a reader opens by name, and the checks every target makes on how
// a reader refused its input.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/ModelState.h"
#include "platform/Host.h"

namespace dravia::fuzz {

// Discards everything except the messages, which the targets inspect.
class SilentHost : public Host {
  public:
    std::vector<std::string> messages;

    void showMessage(const std::string& text, MessageIcon) override { messages.push_back(text); }
    bool askOkCancel(const std::string&) override { return true; }
    bool showPauseDialog() override { return true; }
    void repaintNow(ModelState&) override {}
    void layOutDisplay(ModelState&) override {}
    void processPendingEvents() override {}
    void sleepWhilePaused() override {}
    void showStatResults(const std::string&, const std::string&) override {}
    void writeStandardOutput(std::string_view) override {}
};

// The one model a target reuses for every input (building one clears a table of several
// megabytes), put back to its freshly built values before each input.
ModelState& freshModel(SilentHost& host);

// Enters a private scratch directory holding an empty Data folder, once per process; the
// directory is removed when the process ends normally.
void enterScratchDirectory();

// Writes the bytes to the stored name ("Data\\x.txt" lands in Data/x.txt).
void writeInputFile(const std::string& storedName, const std::uint8_t* data, std::size_t size);

// A refusal must say which file it refused: an empty text is allowed only when the reader
// has shown its own numbered message first. Aborts (a finding) otherwise.
void checkRefusal(const std::string& text, const std::string& fileName, const SilentHost& host);

// Aborts with the reason: libFuzzer records the input as a finding.
[[noreturn]] void finding(const std::string& reason);

}  // namespace dravia::fuzz
