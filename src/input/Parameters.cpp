#include "input/Parameters.h"

#include "input/ReaderError.h"

namespace dravia {

void readRunTimeControlFile(ModelState&, const std::string&) {
    throw ReaderError("The parameter-file readers are not built yet.");
}
void readInitialValuesFile(ModelState&, const std::string&) {
    throw ReaderError("The parameter-file readers are not built yet.");
}
void writeStatisticsCopies(ModelState&) {}

}  // namespace dravia
