#include "output/TreeBiodata.h"

#include <cstdio>
#include <string>

#include "model/ErrorLog.h"
#include "model/TreeList.h"
#include "platform/Format.h"
#include "platform/Paths.h"
#include "platform/ProgramExit.h"

namespace dravia {

void writeTreeBiodata(ModelState& model, Plot* plot) {
    if (plot != nullptr) sortTreesByHeight(*plot);

    const Site& site = model.site;
    std::string text;
    appendFormat(text, "Elev_ft          %5.1f\n", site.ELEV_FT);
    appendFormat(text, "Latitude         %3.1f\n", site.LATITUDE);
    appendFormat(text, "Soil_Depth       %4.2f\n", site.SOIL_DEPTH);
    appendFormat(text, "Root_Depth       %4.2f\n", site.ROOT_DEPTH);
    appendFormat(text, "Water_Depth      %2.1f\n", site.WATER_DEPTH);
    appendFormat(text, "Texture          %3.0f\n", site.TEXTURE);
    appendFormat(text, "Percent_Rock     %3.1f\n", site.PERCENT_ROCK);
    appendFormat(text, "Avail_N          %3.0f\n\n", site.AVAIL_N);
    text += "   Sp.    DBH     HT\n";
    if (plot != nullptr && plot->NTREES >= 1) {
        for (const Tree& tree : plot->trees) {
            appendFormat(text, " %4d %7.1f %7.1f \n", tree.SN, tree.DBH, tree.HEIGHT);
        }
    }
    // Written beside the old file and renamed over it: a failure leaves the old one whole.
    if (!writeFileAtomically(TREE_BIODATA_FILE, text)) {
        reportError(model, ErrorMessage::CannotCreateFile, TREE_BIODATA_FILE);
        throw ProgramExit{EXIT_FATAL_ERROR};
    }
}

}  // namespace dravia
