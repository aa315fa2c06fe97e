#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The optional model-options file beside an initial-values file: the same name with its ending
// "Params.txt" (or, failing that, its extension) replaced by "ModelOptions.txt", so
// "Data\hbkInitNormalParams.txt" has "Data\hbkInitNormalModelOptions.txt" and the statistics copy
// "Data\statsInitParams.txt" has "Data\statsInitModelOptions.txt".
std::string modelOptionsFileOf(const std::string& initialValuesPath);

// The options text of a model-options file: comment lines after "//", blank lines, and one
// "KEY value" line per option set, in any order; options not named are off. Returns what is wrong
// with the text (empty when it is sound), naming the line.
std::string parseModelOptions(const std::string& text, ModelOptions& options);

// Reads the model-options file of the initial-values file in use into the preset layer of the
// options and puts the options in force; without such a file the preset sets every option off.
// A file that cannot be read or holds a wrong line throws ReaderError naming file and line.
void readModelOptionsFile(ModelState& model);

// Puts optionsInForce(model.optionSources) in force.
void applyModelOptions(ModelState& model);

}  // namespace dravia
