#pragma once

#include <string>

#include "app/ParameterDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace dravia {

// Iterations, the screen display and the results files. Beyond the field checks, OK tests the
// intervals against the years step by step, storing as it goes: what was stored before a
// refused step stays in force even if the dialog is then cancelled.
class RunControlDialog : public ParameterDialog {
    Q_OBJECT
  public:
    explicit RunControlDialog(ModelState& model, QWidget* parent = nullptr);

    // The dialog's own copy of the values.
    struct Values {
        int screenOutputMode = 1;
        int pauseAtIntervals = 0;
        int numIters = 0;
        std::string resultsFile;
        int printInterv = 0;
        int resultsInterv = 0;
        int numYears = 0;
        int fileOutputFlag = 0;
        std::string statsResultsFile;
        int pauseEveryIteration = 0;
        bool outputEveryTree = false;
    };

  public slots:
    void accept() override;

  private:
    // Reads the fields in their test order; false after the first failure (its message shown).
    bool readFields(Values& values);
    // The print and results interval steps of OK, with their partial stores.
    bool storeChecked(const Values& values);
    // Re-reads the fields (messages included, nothing stored) and enables the fields for the
    // display mode and the two check boxes.
    void fieldsChanged();
    void applyEnabling();
    // Enables a refused interval box (greyed or not) and gives it the focus.
    void offerField(QLineEdit* field);

    QComboBox* screenMode_;
    QCheckBox* pauseAtIntervals_;
    QLineEdit* numIters_;
    QLineEdit* resultsFile_;
    QLineEdit* printInterv_;
    QLineEdit* resultsInterv_;
    QLineEdit* numYears_;
    QCheckBox* fileOutput_;
    QLineEdit* statsFile_;
    QCheckBox* pauseEveryIteration_;
    QCheckBox* outputEveryTree_;
};

}  // namespace dravia
