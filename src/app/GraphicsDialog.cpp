#include "app/GraphicsDialog.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "display/PlotView.h"

namespace dravia {

GraphicsDialog::GraphicsDialog(ModelState& model, PlotView* view, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Graphics Output Parameters"), parent), view_(view) {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    baseYear_ = lineField(grid, 0, 0, QStringLiteral("Year prior to first weather record:"), "BASE_YEAR");
    graphInterval_ =
        lineField(grid, 1, 0, QStringLiteral("Interval in years between displays:"), "GRAPH_INTVL");
    heightMaximum_ = lineField(
        grid, 2, 0, QStringLiteral("Maximum tree height (cm) for graph (min = 250, max = 2500):"), "HT_MAX");
    width_ = lineField(grid, 3, 0, QStringLiteral("Plot width (% of screen, max = 90, min = 10):"), "WIDTH");
    depth_ = lineField(grid, 4, 0, QStringLiteral("Plot depth (% of screen, max = 90, min = 10):"), "DEPTH");
    slant_ = lineField(grid, 5, 0, QStringLiteral("Angle of plot image slant to right (max = 90):"), "SLANT");
    layout->addLayout(grid);
    addButtonRow(layout);

    const RunParameters& p = model_.params;
    baseYear_->setText(QString::number(p.BASE_YEAR));
    depth_->setText(QString::number(p.DEPTH));
    showHeldNumber(heightMaximum_, p.HT_MAX, 1);
    graphInterval_->setText(QString::number(p.GRAPH_INTVL));
    showHeldNumber(slant_, p.SLANT, 1);
    width_->setText(QString::number(p.WIDTH));
}

void GraphicsDialog::accept() {
    RunParameters values = model_.params;
    FieldReader reader = fieldReader();
    reader.integer(baseYear_, values.BASE_YEAR, IntegerRange{0, 2100});
    reader.integer(depth_, values.DEPTH, IntegerRange{10, 90});
    reader.number(heightMaximum_, values.HT_MAX, NumberRange{250.0, 2500.0});
    reader.integer(graphInterval_, values.GRAPH_INTVL, IntegerRange{0, 100000});
    reader.number(slant_, values.SLANT, NumberRange{0.0, 90.0});
    reader.integer(width_, values.WIDTH, IntegerRange{10, 90});
    if (!reader.passed()) return;

    RunParameters& p = model_.params;
    p.BASE_YEAR = values.BASE_YEAR;
    p.DEPTH = values.DEPTH;
    p.HT_MAX = values.HT_MAX;
    p.GRAPH_INTVL = values.GRAPH_INTVL;
    p.SLANT = values.SLANT;
    p.WIDTH = values.WIDTH;
    QDialog::accept();
    if (view_) {
        view_->applyLayout(view_->layoutRect());
        view_->repaint();
    }
}

}  // namespace dravia
