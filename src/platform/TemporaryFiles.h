#pragma once

#include <string>

namespace dravia {

// Files written under a temporary name beside their final one, removed should the program be
// interrupted (SIGINT, SIGTERM) before they take their name: an interrupted run leaves no tens of
// megabytes behind. At most a few at a time; the handler only unlinks and re-raises the signal.
void rememberTemporaryFile(const std::string& path);
void forgetTemporaryFile(const std::string& path);

// createFileBeside and rememberTemporaryFile as one step: an interrupt in between would leave the
// file behind. Returns the open descriptor, or -1.
int createRememberedFileBeside(const std::string& path, std::string& temporary);

// Installs the handler for SIGINT and SIGTERM (once; a program's main calls it).
void removeTemporaryFilesOnInterrupt();

}  // namespace dravia
