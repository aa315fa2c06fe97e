#pragma once

#include "app/ParameterDialog.h"

class QCheckBox;
class QLineEdit;

namespace dravia {

// Logging or windthrow, never both. The model tells them apart by BLOW_PROB: logging is
// BLOW_PROB 0.0 with a frequency of at least one year, windthrow a probability above 0.
class DisturbanceDialog : public ParameterDialog {
    Q_OBJECT
  public:
    explicit DisturbanceDialog(ModelState& model, QWidget* parent = nullptr);

  public slots:
    void accept() override;

  private:
    void applyEnabling();

    QLineEdit* firstYear_;
    QLineEdit* logSize_;
    QLineEdit* killSize_;
    QCheckBox* logging_;
    QCheckBox* windthrow_;
    QLineEdit* frequency_;
    QLineEdit* probability_;
    QLineEdit* afterResults_;
    QLineEdit* afterStats_;
    QLineEdit* disturbResults_;
    QLineEdit* disturbStats_;
};

}  // namespace dravia
