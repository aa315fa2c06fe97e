#include "batch/BatchCommand.h"

int main(int argc, char** argv) {
    return dravia::batchMain(argc, argv);
}
