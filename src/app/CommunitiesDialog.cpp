#include "app/CommunitiesDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QVBoxLayout>
#include <algorithm>

#include "display/DisplayNames.h"
#include "input/Communities.h"

namespace dravia {

CommunitiesDialog::CommunitiesDialog(ModelState& model, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Communities and Climate Selection Parameters"), parent) {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    location_ = listField(grid, 0, 0, QStringLiteral("Community Location:"),
                          {QStringLiteral("Eastern Deciduous and Borial Forest (40 species)"),
                           QStringLiteral("Hubbard Brook Experimental Forest (13 species)"),
                           QStringLiteral("StMary SF, Minnesota BWCA (32 species)"),
                           QStringLiteral("Kirtland's Warbler habitat, Grayling, MI (34 species)")},
                          "location");
    // The climates named with their size, as the community files describe them.
    climate_ = listField(grid, 1, 0, QStringLiteral("Climate:"),
                         {climatePresetOf(model.params, 0), climatePresetOf(model.params, 1)}, "climate");
    layout->addLayout(grid);
    addButtonRow(layout);

    // COMMUNITY 0 (none) truncates to the first location with the normal climate.
    const int option = model_.params.COMMUNITY;
    location_->setCurrentIndex(std::clamp((option - 1) / 2, 0, 3));
    climate_->setCurrentIndex(std::clamp((option - 1) % 2, 0, 1));
}

int CommunitiesDialog::chosenCommunity() const {
    return 2 * location_->currentIndex() + 1 + climate_->currentIndex();
}

void CommunitiesDialog::accept() {
    const int option = chosenCommunity();
    model_.params.COMMUNITY = option;
    setSpeciesColours(model_);
    // A load error ends the program; exec() passes that on once the dialog has closed.
    guardedLoad([&] { applyCommunity(model_, option, true); });
    QDialog::accept();
}

}  // namespace dravia
