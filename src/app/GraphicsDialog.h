#pragma once

#include "app/ParameterDialog.h"

class QLineEdit;

namespace dravia {

class PlotView;

// The shape of the plot image and the graph's height scale. After OK the plot geometry and
// the slot positions follow the new shape at once and the view is repainted.
class GraphicsDialog : public ParameterDialog {
    Q_OBJECT
  public:
    GraphicsDialog(ModelState& model, PlotView* view, QWidget* parent = nullptr);

  public slots:
    void accept() override;

  private:
    PlotView* view_;
    QLineEdit* baseYear_;
    QLineEdit* depth_;
    QLineEdit* heightMaximum_;
    QLineEdit* graphInterval_;
    QLineEdit* slant_;
    QLineEdit* width_;
};

}  // namespace dravia
