// The species file reader, tree pictures included (a picture name that is not "NONE" is
// looked up in the scratch directory, where only the species file itself lies).

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "input/ReaderError.h"
#include "input/SpeciesFile.h"
#include "platform/ProgramExit.h"

using namespace dravia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    static fuzz::SilentHost host;
    ModelState& model = fuzz::freshModel(host);
    model.params.SPP_PARAM_FILE = "Data\\species.txt";
    fuzz::writeInputFile(model.params.SPP_PARAM_FILE, data, size);
    try {
        readSpeciesFile(model);
        if (model.NSPP < 0 || model.NSPP > MAX_SPECIES) fuzz::finding("species count out of range");
    } catch (const ReaderError& error) {
        fuzz::checkRefusal(error.what(), model.params.SPP_PARAM_FILE, host);
    } catch (const ProgramExit&) {
        fuzz::finding("the species file ended the program");
    }
    return 0;
}
