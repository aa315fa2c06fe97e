#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include "display/DisplaySlots.h"
#include "display/PlotGeometry.h"
#include "display/TreeInspector.h"
#include "model/ModelState.h"

namespace dravia {

// Where the opening picture goes in a cw by ch view (its size keeps the picture's aspect
// ratio), and the top of the instructions text below it.
struct OpeningLayout {
    QRect picture;
    int textTop = 0;
};
OpeningLayout openingLayout(int cw, int ch);

inline constexpr const char* OPENING_INSTRUCTIONS =
    "Use the pull down menus to set the\nParameters and Run the simulation.\nUse the Help menu for more "
    "information.";

// The main window's one child: paints the opening picture, the graphics image of the first
// plot, the tabular text or the iteration line, always into an off-screen image that is copied
// to the screen in one piece. Its run flags are the model's (model.run.flags), shared with the
// run loop.
class PlotView : public QWidget {
    Q_OBJECT
  public:
    explicit PlotView(ModelState& model, QWidget* parent = nullptr);

    RunFlags& flags() { return model_.run.flags; }
    ModelState& model() { return model_; }
    const ModelState& model() const { return model_; }
    const RunFlags& flags() const { return model_.run.flags; }

    // The rectangle the frame last gave the view.
    QRect layoutRect() const { return layoutRect_; }
    const PlotGeometry& plotGeometry() const { return geometry_; }
    const DrawOrder& drawOrder() const { return drawOrder_; }

    // Slot places, their screen positions and the drawing order, at the start of a run and of
    // every further iteration; the inspector lets go of the tree it showed.
    void layOutDisplay();
    // Geometry and slot screen positions for a new view rectangle (every resize, and after the
    // graphics dialog changes WIDTH, DEPTH or SLANT).
    void applyLayout(const QRect& rect);

    // Paints the whole view for a cw by ch client area.
    void paintView(QPainter& painter, int cw, int ch);
    // The view as it would appear on the screen now.
    QImage renderImage();

    // Inspecting a tree of the graphics image: hovering shows the tree under the mouse, a click
    // keeps showing it (through a run, year by year) until a click beside the trees.
    void inspectAt(const QPoint& point, bool click);
    TreeInspector& inspector() { return inspector_; }
    bool inspectorPinned() const { return pinned_; }
    // The text of the inspector's box, empty when no box is shown.
    QString inspectorText();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void paintOpeningPicture(QPainter& painter, int cw, int ch);
    void paintModelDisplay(QPainter& painter, int cw, int ch);
    // The outline of the inspected tree and the box describing it.
    void paintInspector(QPainter& painter, int cw);
    bool graphicsShown() const;

    ModelState& model_;
    QRect layoutRect_{0, 0, 0, 0};
    PlotGeometry geometry_;
    DrawOrder drawOrder_{};
    TreeInspector inspector_;
    bool pinned_ = false;
};

}  // namespace dravia
