#include <csignal>

#include "batch/BatchCommand.h"
#include "platform/TemporaryFiles.h"

int main(int argc, char** argv) {
    // Under a file-size limit (ulimit -f, a scheduler's limit) a write past it fails with EFBIG
    // and is reported like a full disk, instead of the signal killing the program mid-record.
    std::signal(SIGXFSZ, SIG_IGN);
    dravia::removeTemporaryFilesOnInterrupt();
    return dravia::batchMain(argc, argv);
}
