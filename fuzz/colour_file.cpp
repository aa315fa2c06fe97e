// The colour file, read from its fixed name in the scratch directory.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "input/ColourFile.h"

using namespace dravia;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::enterScratchDirectory();
    static fuzz::SilentHost host;
    ModelState& model = fuzz::freshModel(host);
    fuzz::writeInputFile(COLOUR_FILE, data, size);
    readColourFile(model);
    for (int option = 0; option <= 8; ++option) {
        for (int sn = 0; sn <= MAX_SPECIES; ++sn) {
            const int colour = model.colourTable[static_cast<size_t>(option)][static_cast<size_t>(sn)];
            if (colour < 0 || colour > 15) fuzz::finding("a colour outside 0..15");
        }
    }
    return 0;
}
