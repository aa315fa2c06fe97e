// The parameter-file reader over both parameter files. The first byte picks the file kind
// (even: run-time control file, odd: initial-values file); the rest is the file.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "input/Parameters.h"
#include "input/ReaderError.h"
#include "platform/ProgramExit.h"

using namespace dravia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz::enterScratchDirectory();
    static fuzz::SilentHost host;
    ModelState& model = fuzz::freshModel(host);
    const std::string fileName = "Data\\params.txt";
    fuzz::writeInputFile(fileName, data + 1, size - 1);
    try {
        if (data[0] % 2 == 0) {
            readRunTimeControlFile(model, fileName);
        } else {
            readInitialValuesFile(model, fileName);
        }
    } catch (const ReaderError& error) {
        fuzz::checkRefusal(error.what(), fileName, host);
    } catch (const ProgramExit&) {
        fuzz::finding("a parameter file ended the program");
    }
    return 0;
}
