#pragma once

#include <string>

#include "model/ModelState.h"

namespace dravia {

// The initial-values file of community preset `option` (1..8); null for any other option.
const char* communityInitialValuesFile(int option);

// Switches to community preset `option` (1..8): its initial-values file and files when
// loadFiles is set, and its species switched off. A reader error while loading shows its text
// and ends the program (ProgramExit, status 255).
void applyCommunity(ModelState& model, int option, bool loadFiles);

// Copies row COMMUNITY of the colour table into every species' colourIndex.
void setSpeciesColours(ModelState& model);

// Re-reads the species file and the plot file's site items when their names were changed in
// the site dialog. A file that cannot be read shows its message and its old name is restored.
void reloadAfterNameChange(ModelState& model, const std::string& oldSpeciesFile,
                           const std::string& newSpeciesFile, const std::string& oldPlotFile,
                           const std::string& newPlotFile);

}  // namespace dravia
