#pragma once

#include <QDialog>

class QAction;

namespace dravia {

// The version box: shown once as the opening box at start-up and from Help > Version Info.
// Window managers give a dialog no menu of its own to extend, so "About Dravia4..." is the
// box's context menu (right button, or the menu key / Shift+F10 from the keyboard).
class VersionInfoDialog : public QDialog {
    Q_OBJECT
  public:
    explicit VersionInfoDialog(QWidget* parent = nullptr);

    QAction* aboutAction() const { return about_; }

  public slots:
    void showAbout();

  private:
    QAction* about_;
};

}  // namespace dravia
