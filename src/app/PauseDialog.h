#pragma once

#include <QDialog>
#include <QPoint>
#include <QSize>

namespace dravia {

// A window rectangle in screen coordinates, right and bottom exclusive.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Where the pause dialog (w by h) opens beside the plot view R: to its right, else to its left,
// both vertically centred; else horizontally centred above it, or below it, or at the bottom of
// the usable screen.
QPoint pauseDialogPosition(const ScreenRect& view, QSize dialog, QSize usableScreen);

// Between two years of a run: OK goes on, Cancel ends the run. It places itself beside the
// plot view so the forest stays visible.
class PauseDialog : public QDialog {
    Q_OBJECT
  public:
    explicit PauseDialog(QWidget* view, QWidget* parent = nullptr);

    // Places the dialog beside the view; done every time it is shown.
    void placeBesideView();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QWidget* view_;
};

}  // namespace dravia
