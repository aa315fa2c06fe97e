#pragma once

#include <array>
#include <string>

#include "app/ParameterDialog.h"
#include "model/ModelOptions.h"

class QCheckBox;
class QLineEdit;

namespace dravia {

// The model options in plain words. Each either follows the preset (the value of the model-options
// file read with the community) or takes the value the person enters, which is kept over every
// preset chosen later; OK puts the options in force. Nothing is written to a file.
class ModelOptionsDialog : public ParameterDialog {
    Q_OBJECT
  public:
    explicit ModelOptionsDialog(ModelState& model, QWidget* parent = nullptr);

    // The manual's page on the model options, which the Help button opens.
    static constexpr const char* HELP_PAGE = "Manual\\Forest_chap5.html";

  public slots:
    void accept() override;

  private:
    // Every option back to the classic model's value, as the person's own choice.
    void chooseClassicModel();
    void followPreset(std::size_t option, bool follow);
    int presetValue(std::size_t option) const;

    std::array<QLineEdit*, MODEL_OPTION_COUNT> values_{};
    std::array<QCheckBox*, MODEL_OPTION_COUNT> fromPreset_{};
    // The explanations the fields show; FieldHelp points into them.
    std::array<std::string, MODEL_OPTION_COUNT> explanations_;
};

}  // namespace dravia
