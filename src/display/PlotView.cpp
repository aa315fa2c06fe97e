#include "display/PlotView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <cmath>

#include "display/DisplayPalette.h"
#include "display/ForestPictures.h"
#include "display/GraphicsImage.h"
#include "display/TextBlock.h"
#include "display/TreeDrawing.h"
#include "platform/Format.h"

#if __has_include("output/TabularText.h")
#include "output/TabularText.h"
#define DRAVIA_HAS_TABULAR_TEXT 1
#endif

namespace dravia {

namespace {

QString tabularText(ModelState& model, bool showRemoved) {
#ifdef DRAVIA_HAS_TABULAR_TEXT
    return QString::fromStdString(buildTabularText(model, showRemoved));
#else
    (void)model;
    (void)showRemoved;
    return QStringLiteral("The tabular display is not part of this build.");
#endif
}

// Painting shows the first plot; a repaint in the middle of a yearly step must not disturb
// the step's walk through the plots.
class FirstPlotAsCurrent {
  public:
    explicit FirstPlotAsCurrent(ModelState& model) : model_(model), saved_(model.run.CURRENT_PLOT) {
        model.run.CURRENT_PLOT = model.plots.empty() ? nullptr : &model.plots.front();
    }
    ~FirstPlotAsCurrent() { model_.run.CURRENT_PLOT = saved_; }
    FirstPlotAsCurrent(const FirstPlotAsCurrent&) = delete;
    FirstPlotAsCurrent& operator=(const FirstPlotAsCurrent&) = delete;

  private:
    ModelState& model_;
    Plot* saved_;
};

}  // namespace

OpeningLayout openingLayout(int cw, int ch) {
    const double pictureWidth = OPENING_PICTURE_WIDTH;
    const double pictureHeight = OPENING_PICTURE_HEIGHT;
    const int boxWidth = cw - 6;
    const int boxHeight = static_cast<int>(std::trunc(0.75 * ch - 6));
    int width = boxWidth;
    int height = boxHeight;
    if (boxHeight > 0 && static_cast<double>(boxWidth) / boxHeight > pictureWidth / pictureHeight) {
        width = static_cast<int>(std::trunc(boxHeight * pictureWidth / pictureHeight));
    } else {
        height = static_cast<int>(std::trunc(boxWidth * pictureHeight / pictureWidth));
    }
    OpeningLayout layout;
    layout.picture =
        QRect((cw - width) / 2, static_cast<int>(std::trunc((0.75 * ch - height) * 0.5)), width, height);
    layout.textTop = static_cast<int>(std::trunc(height + (0.75 * ch - height) * 0.5));
    return layout;
}

PlotView::PlotView(ModelState& model, QWidget* parent) : QWidget(parent), model_(model) {
    // The view always paints every pixel itself: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);  // hovering over a tree inspects it
    // A click on the plot gives it the keyboard, where Space pauses and continues a run.
    setFocusPolicy(Qt::StrongFocus);
    for (int i = 0; i < DISPLAY_SLOT_COUNT; ++i) drawOrder_[static_cast<size_t>(i)] = i + 1;
}

void PlotView::layOutDisplay() {
    // A new run or iteration starts its plot again: no tree of the last one is followed, and no
    // note about one stays.
    inspector_.clear();
    pinned_ = false;
    layOutSlots(model_);
    placeSlotsOnScreen(model_, geometry_);
    drawOrder_ = sortDrawOrder(model_);
}

void PlotView::applyLayout(const QRect& rect) {
    layoutRect_ = rect;
    geometry_ = computeGeometry(model_.params, rect.width(), rect.height());
    placeSlotsOnScreen(model_, geometry_);
}

void PlotView::paintView(QPainter& painter, int cw, int ch) {
    // Before painting fills emptied slots again, so a removed tree is noticed while its slot
    // still says so.
    inspector_.noteRemovals(model_);
    inspector_.noteSiteQuality(model_);
    painter.fillRect(QRect(0, 0, cw, ch), VIEW_BACKGROUND);
    painter.setFont(viewTextFont(font(), ch));
    if (flags().run_started && !model_.plots.empty()) {
        paintModelDisplay(painter, cw, ch);
        if (graphicsShown()) paintInspector(painter, cw);
    } else {
        paintOpeningPicture(painter, cw, ch);
    }
}

void PlotView::paintModelDisplay(QPainter& painter, int cw, int ch) {
    FirstPlotAsCurrent firstPlot(model_);
    Plot& plot = model_.plots.front();
    switch (model_.params.SCREEN_OUTPUT_MODE) {
        case 1:
            drawGraphicsImage(painter, model_, plot, geometry_, drawOrder_, flags().disturbed_this_year);
            break;
        case 2:
            drawTextBlock(painter, tabularText(model_, flags().disturbed_this_year), cw, ch);
            break;
        case 3:
            drawTextBlock(
                painter,
                QString::fromStdString(formatText("Iteration = %3d  Year = %3d", model_.run.CURRENT_ITERATION,
                                                  model_.run.CURRENT_YEAR)),
                cw, ch);
            break;
        default:
            break;
    }
}

void PlotView::paintOpeningPicture(QPainter& painter, int cw, int ch) {
    const OpeningLayout layout = openingLayout(cw, ch);
    drawOpeningPicture(painter, layout.picture);
    const QString text = QString::fromLatin1(OPENING_INSTRUCTIONS);
    const QSize size = measureText(painter.fontMetrics(), text);
    drawTextLines(painter, text, QPoint((cw - size.width()) / 2, layout.textTop), Qt::black);
}

bool PlotView::graphicsShown() const {
    return flags().run_started && !model_.plots.empty() && model_.params.SCREEN_OUTPUT_MODE == 1;
}

void PlotView::paintInspector(QPainter& painter, int cw) {
    const QString text = inspector_.text(model_);
    if (text.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (const Tree* tree = inspector_.tree(model_)) {
        const DisplaySlot& slot = model_.displaySlots[static_cast<size_t>(inspector_.slot())];
        const QRect bounds =
            drawnTreeBounds(*tree, model_.species[static_cast<size_t>(tree->SN)], model_.params, slot.x,
                            slot.y, geometry_.viewWidth, geometry_.viewHeight)
                .adjusted(-3, -3, 3, 3);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(bounds.adjusted(-2, -2, 2, 2));
        painter.setPen(QPen(INSPECTOR_OUTLINE, 2));
        painter.drawRect(bounds);
    }
    const QSize size = measureText(painter.fontMetrics(), text);
    const QRect box(cw - size.width() - 20, 8, size.width() + 12, size.height() + 10);
    painter.setPen(QPen(QColor(60, 60, 60), 1));
    painter.setBrush(QColor(255, 255, 240, 235));
    painter.drawRect(box);
    drawTextLines(painter, text, box.topLeft() + QPoint(6, 5), Qt::black);
    painter.restore();
}

QString PlotView::inspectorText() {
    return graphicsShown() ? inspector_.text(model_) : QString();
}

void PlotView::inspectAt(const QPoint& point, bool click) {
    inspector_.noteRemovals(model_);
    const int slot = graphicsShown() ? treeSlotAt(model_, drawOrder_, geometry_, point) : 0;
    if (click) pinned_ = slot != 0;
    const bool same =
        slot != 0 && slot == inspector_.slot() && inspector_.state() == TreeInspector::State::Following;
    if (same) return;
    if (slot != 0) {
        inspector_.follow(model_, slot);
    } else {
        // Moving over the ground or the opening picture repaints nothing.
        if (inspector_.state() == TreeInspector::State::None) return;
        inspector_.clear();
    }
    update();
}

void PlotView::mouseMoveEvent(QMouseEvent* event) {
    if (!pinned_) inspectAt(event->position().toPoint(), false);
    QWidget::mouseMoveEvent(event);
}

void PlotView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) inspectAt(event->position().toPoint(), true);
    QWidget::mousePressEvent(event);
}

void PlotView::leaveEvent(QEvent* event) {
    if (!pinned_ && inspector_.state() != TreeInspector::State::None) {
        inspector_.clear();
        update();
    }
    QWidget::leaveEvent(event);
}

QImage PlotView::renderImage() {
    QImage image(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
    QPainter painter(&image);
    paintView(painter, width(), height());
    painter.end();
    return image;
}

void PlotView::paintEvent(QPaintEvent* event) {
    const QImage image = renderImage();
    QPainter screen(this);
    screen.drawImage(event->rect(), image, event->rect());
}

void PlotView::resizeEvent(QResizeEvent* event) {
    applyLayout(QRect(QPoint(0, 0), event->size()));
    QWidget::resizeEvent(event);
}

}  // namespace dravia
