#pragma once

#include <string>

#include "app/ParameterDialog.h"

class QComboBox;
class QLineEdit;

namespace dravia {

// The site, the climate choice, the random seed and the input file names. A changed species
// or plot file name reads that file again (the plot file's site values then replace the
// dialog's); a file that cannot be read keeps its old name.
class SiteDialog : public ParameterDialog {
    Q_OBJECT
  public:
    explicit SiteDialog(ModelState& model, QWidget* parent = nullptr);

  public slots:
    void accept() override;

  private:
    QComboBox* initialState_;
    QComboBox* climateChange_;
    QComboBox* weatherType_;
    QLineEdit* availableNitrogen_;
    QLineEdit* basalAreaMaximum_;
    QLineEdit* elevation_;
    QLineEdit* latitude_;
    QLineEdit* percentRock_;
    QLineEdit* seed_;
    QLineEdit* soilDepth_;
    QLineEdit* texture_;
    QLineEdit* waterDepth_;
    QLineEdit* weatherFile_;
    QLineEdit* rootDepth_;
    QComboBox* siteMode_;
    QLineEdit* plotFile_;
    QLineEdit* speciesFile_;

    // The file names as shown at opening.
    std::string openedSpeciesFile_;
    std::string openedPlotFile_;
};

}  // namespace dravia
