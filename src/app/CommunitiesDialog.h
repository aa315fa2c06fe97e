#pragma once

#include "app/ParameterDialog.h"

class QComboBox;

namespace dravia {

// The community location and climate. OK chooses the community option, takes its species
// colours and loads its files, also when the choice did not change.
class CommunitiesDialog : public ParameterDialog {
    Q_OBJECT
  public:
    explicit CommunitiesDialog(ModelState& model, QWidget* parent = nullptr);

    // The option the lists choose: locations in pairs, normal climate before global warming.
    int chosenCommunity() const;

    QComboBox* locationList() const { return location_; }
    QComboBox* climateList() const { return climate_; }

  public slots:
    void accept() override;

  private:
    QComboBox* location_;
    QComboBox* climate_;
};

}  // namespace dravia
