#pragma once

#include <QDialog>
#include <QStringList>
#include <optional>
#include <span>

#include "app/FieldChecks.h"
#include "model/ModelState.h"
#include "platform/ProgramExit.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QVBoxLayout;

namespace dravia {

// A field's explanation in plain words, with its unit: `field` is the field's object name.
struct FieldHelp {
    const char* field;
    const char* text;
};

// What the parameter dialogs share: their own copy of the values, filled on opening and
// stored into the model only by an OK whose fields all pass their checks; messages in a box
// with an OK button over the dialog; OK on Enter, Cancel on Escape.
class ParameterDialog : public QDialog {
    Q_OBJECT
  public:
    // A message box over the dialog, or the model's host when it is not a window (tests).
    void showMessage(const QString& text);

    QDialogButtonBox* buttons() const { return buttons_; }

    // Shows the dialog modally. An end of the program raised by a load inside OK (ProgramExit)
    // is held until the dialog's event loop has returned and is thrown from here.
    int exec() override;

  protected:
    ParameterDialog(ModelState& model, const QString& title, QWidget* parent);

    // A reader that reports its first failure with showMessage.
    FieldReader fieldReader();

    // The dialog's OK and Cancel row, last in the layout. OK calls accept(), which each dialog
    // overrides with its checks and stores.
    void addButtonRow(QVBoxLayout* layout);

    // A labelled text box, list or check box in a two-column grid, named after its value so
    // that it can be found again. The label is the box's buddy, so a mnemonic in it reaches it.
    QLineEdit* lineField(QGridLayout* grid, int row, int column, const QString& label, const char* name);
    QComboBox* listField(QGridLayout* grid, int row, int column, const QString& label,
                         const QStringList& entries, const char* name);
    QCheckBox* checkField(QGridLayout* grid, int row, int column, const QString& text, const char* name);

    // Gives each named field its explanation as a tooltip and as What's This help, on the field
    // and on its caption, so that pointing at either explains it.
    void explainFields(std::span<const FieldHelp> help);

    // Runs a load that may end the program, holding its ProgramExit for exec().
    template <typename Load>
    void guardedLoad(Load load) {
        try {
            load();
        } catch (const ProgramExit& exit) {
            pendingExit_ = exit.status;
        }
    }

    ModelState& model_;

  private:
    std::optional<int> pendingExit_;
    QDialogButtonBox* buttons_ = nullptr;
};

// Greys the label out whenever the field is disabled, and back.
void greyWithField(QLabel* label, QWidget* field);

// The text of a text field as a stored file name, and back.
QString storedText(const std::string& value);
std::string storedName(const QLineEdit* field);

}  // namespace dravia
