#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPlainTextEdit;

namespace dravia {

// Shows a statistics report: its title line above the report text; it changes nothing.
class StatResultsDialog : public QDialog {
    Q_OBJECT
  public:
    StatResultsDialog(const QString& title, const QString& text, QWidget* parent = nullptr);

    QLineEdit* titleLine() const { return title_; }
    QPlainTextEdit* reportText() const { return text_; }

  private:
    QLineEdit* title_;
    QPlainTextEdit* text_;
};

}  // namespace dravia
