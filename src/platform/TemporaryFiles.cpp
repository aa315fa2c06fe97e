#include "platform/TemporaryFiles.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>

#include "platform/Paths.h"

namespace dravia {

namespace {

constexpr std::size_t SLOTS = 8;
constexpr std::size_t LONGEST_PATH = 4096;

// Written only outside the handler, with the slot's flag cleared while its text changes.
struct Slot {
    volatile sig_atomic_t used = 0;
    char path[LONGEST_PATH] = {};
};
std::array<Slot, SLOTS> slots;

extern "C" void removeAndReraise(int signal) {
    for (Slot& slot : slots) {
        if (slot.used) unlink(slot.path);
    }
    std::signal(signal, SIG_DFL);
    raise(signal);
}

}  // namespace

void rememberTemporaryFile(const std::string& path) {
    if (path.size() >= LONGEST_PATH) return;
    for (Slot& slot : slots) {
        if (slot.used) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.used = 1;
        return;
    }
}

void forgetTemporaryFile(const std::string& path) {
    for (Slot& slot : slots) {
        if (slot.used && path == slot.path) slot.used = 0;
    }
}

int createRememberedFileBeside(const std::string& path, std::string& temporary) {
    sigset_t interrupts;
    sigset_t before;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    sigprocmask(SIG_BLOCK, &interrupts, &before);
    const int descriptor = createFileBeside(path, temporary);
    if (descriptor >= 0) rememberTemporaryFile(temporary);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return descriptor;
}

void removeTemporaryFilesOnInterrupt() {
    struct sigaction action {};
    action.sa_handler = removeAndReraise;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

}  // namespace dravia
