#include "app/ChartDrawing.h"

#include <QAreaSeries>
#include <QChart>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/ChartStyle.h"

namespace dravia {

namespace {

// A round step (1, 2 or 5 times a power of ten) giving at most about `ticks` intervals.
double roundStep(double span, int ticks) {
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) return factor * power;
    }
    return 10.0 * power;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

double drawnLower(const LineChartLayout& layout, const CurvePoint& point) {
    return layout.cutAtZero ? std::max(0.0, point.lower) : point.lower;
}

QAreaSeries* newBand(const LineChartLayout& layout, const DrawnLine& line) {
    auto* band = new QAreaSeries;
    auto* upper = new QLineSeries(band);
    auto* lower = new QLineSeries(band);
    for (const CurvePoint& point : line.curve->points) {
        upper->append(point.year, point.upper);
        lower->append(point.year, drawnLower(layout, point));
    }
    band->setUpperSeries(upper);
    band->setLowerSeries(lower);
    QColor fill = line.colour;
    fill.setAlpha(BAND_ALPHA);
    band->setBrush(fill);
    band->setPen(Qt::NoPen);
    band->setObjectName(bandSeriesName(*line.curve));
    return band;
}

QLineSeries* newMeanLine(const DrawnLine& line) {
    auto* series = new QLineSeries;
    for (const CurvePoint& point : line.curve->points) series->append(point.year, point.mean);
    QPen pen(line.colour, line.width, line.style);
    pen.setCapStyle(Qt::FlatCap);
    series->setPen(pen);
    // A single recorded year makes no line: its point shows instead.
    series->setPointsVisible(line.curve->points.size() == 1);
    series->setObjectName(meanSeriesName(*line.curve));
    series->setName(line.legend);
    return series;
}

// The labels at the lines' ends, moved apart where they would overlap: positions at least `gap`
// apart, within [low, high].
std::vector<double> spreadLabels(const std::vector<double>& wanted, double gap, double low, double high) {
    std::vector<size_t> order(wanted.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return wanted[a] < wanted[b]; });
    std::vector<double> placed(wanted.size());
    double floor = low + gap / 2;
    for (const size_t i : order) {
        placed[i] = std::max(wanted[i], floor);
        floor = placed[i] + gap;
    }
    // Those pushed beyond the end come back, each a gap before the next.
    double ceiling = high - gap / 2;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        placed[*it] = std::min(placed[*it], ceiling);
        ceiling = placed[*it] - gap;
    }
    return placed;
}

}  // namespace

QString meanSeriesName(const TableCurve& curve) {
    return QStringLiteral("mean:%1:%2")
        .arg(QString::fromStdString(curve.scenario), QString::fromStdString(curve.species));
}

QString bandSeriesName(const TableCurve& curve) {
    return QStringLiteral("band:%1:%2")
        .arg(QString::fromStdString(curve.scenario), QString::fromStdString(curve.species));
}

QChart* newChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setTitleFont(chartFont(TITLE_POINTS, true));
    chart->setTitleBrush(CHART_TEXT);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setBackgroundBrush(CHART_BACKGROUND);
    chart->setPlotAreaBackgroundBrush(CHART_BACKGROUND);
    chart->setPlotAreaBackgroundVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setFont(chartFont(AXIS_LABEL_POINTS));
    chart->legend()->setLabelColor(CHART_TEXT);
    // The chart's white fills its view, and a saved image, to the edges.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    return chart;
}

void styleAxis(QAbstractAxis* axis, const QString& title) {
    axis->setTitleText(title);
    axis->setTitleFont(chartFont(AXIS_TITLE_POINTS));
    axis->setTitleBrush(CHART_TEXT);
    axis->setLabelsFont(chartFont(AXIS_LABEL_POINTS));
    axis->setLabelsColor(CHART_TEXT);
    axis->setGridLineColor(GRID_GREY);
    axis->setLinePenColor(CONTEXT_GREY);
}

QValueAxis* addYearAxis(QChart* chart, const std::vector<int>& years) {
    auto* axis = new QValueAxis;
    styleAxis(axis, QStringLiteral("Year"));
    axis->setLabelFormat(QStringLiteral("%d"));
    const double first = years.empty() ? 0.0 : years.front();
    const double last = years.empty() ? 0.0 : years.back();
    if (last > first) {
        axis->setRange(first, last);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTickInterval(std::max(1.0, roundStep(last - first, 6)));
    } else {
        axis->setRange(first - 1.0, last + 1.0);
        axis->setTickCount(3);
    }
    chart->addAxis(axis, Qt::AlignBottom);
    return axis;
}

QValueAxis* addValueAxis(QChart* chart, const QString& title, double minimum, double maximum) {
    auto* axis = new QValueAxis;
    styleAxis(axis, title);
    if (!(maximum > minimum)) maximum = minimum + 1.0;
    // A little room above the highest value (and below a negative lowest), so that neither
    // touches the frame.
    const double room = 0.04 * (maximum - minimum);
    axis->setRange(minimum < 0.0 ? minimum - room : minimum, maximum + room);
    axis->applyNiceNumbers();
    // As many decimals as the step between the labels needs, and no more.
    const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    chart->addAxis(axis, Qt::AlignLeft);
    return axis;
}

QChart* newLineChart(const LineChartLayout& layout, const std::vector<DrawnLine>& lines) {
    QChart* chart = newChart(layout.title);
    std::vector<int> years;
    double minimum = layout.cutAtZero ? 0.0 : std::numeric_limits<double>::max();
    double maximum = layout.cutAtZero ? 0.0 : std::numeric_limits<double>::lowest();
    for (const DrawnLine& line : lines) {
        for (const CurvePoint& point : line.curve->points) {
            if (years.empty() || point.year > years.back()) years.push_back(point.year);
            minimum = std::min(minimum, point.mean);
            maximum = std::max(maximum, point.mean);
            if (line.band && !line.iterations) {
                minimum = std::min(minimum, drawnLower(layout, point));
                maximum = std::max(maximum, point.upper);
            }
        }
        if (line.iterations) {
            for (const std::vector<double>& values : *line.iterations) {
                for (const double value : values) {
                    minimum = std::min(minimum, value);
                    maximum = std::max(maximum, value);
                }
            }
        }
    }
    if (layout.zeroLine) {
        minimum = std::min(minimum, 0.0);
        maximum = std::max(maximum, 0.0);
    }
    if (lines.empty()) minimum = maximum = 0.0;
    QValueAxis* x = addYearAxis(chart, years);
    QValueAxis* y = addValueAxis(chart, layout.valueTitle, minimum, maximum);

    if (layout.zeroLine) {
        auto* zero = new QLineSeries;
        zero->append(x->min(), 0.0);
        zero->append(x->max(), 0.0);
        zero->setPen(QPen(CHART_TEXT, 1.5, Qt::SolidLine));
        zero->setObjectName(QStringLiteral("zero"));
        attach(chart, zero, x, y);
    }
    // Bands first, then iteration lines, then the means: grey context before coloured lines.
    for (const DrawnLine& line : lines) {
        if (line.band && !line.iterations) attach(chart, newBand(layout, line), x, y);
    }
    for (const DrawnLine& line : lines) {
        if (!line.iterations || line.iterations->empty()) continue;
        const size_t count = line.iterations->front().size();
        for (size_t i = 0; i < count; ++i) {
            auto* series = new QLineSeries;
            for (size_t t = 0; t < line.curve->points.size(); ++t)
                series->append(line.curve->points[t].year, (*line.iterations)[t][i]);
            QColor thin = line.colour;
            thin.setAlpha(110);
            series->setPen(QPen(thin, 1.0));
            series->setObjectName(QStringLiteral("iteration"));
            attach(chart, series, x, y);
        }
    }
    std::vector<const DrawnLine*> order;
    for (const DrawnLine& line : lines) order.push_back(&line);
    std::stable_sort(order.begin(), order.end(), [](const DrawnLine* a, const DrawnLine* b) {
        return (a->colour == CONTEXT_GREY) > (b->colour == CONTEXT_GREY);
    });
    for (const DrawnLine* line : order) attach(chart, newMeanLine(*line), x, y);

    // Direct labels at the lines' ends, which the eye finds faster than a legend.
    std::vector<const DrawnLine*> labelled;
    std::vector<double> ends;
    for (const DrawnLine& line : lines) {
        if (line.label.isEmpty() || line.curve->points.empty()) continue;
        labelled.push_back(&line);
        ends.push_back(line.curve->points.back().mean);
    }
    if (!labelled.empty()) {
        const QFont font = chartFont(AXIS_LABEL_POINTS);
        const QFontMetricsF metrics(font);
        double widest = 0.0;
        for (const DrawnLine* line : labelled)
            widest = std::max(widest, metrics.horizontalAdvance(line->label));
        QLineSeries* anchor = nullptr;
        for (QAbstractSeries* series : chart->series()) {
            if (!anchor) anchor = qobject_cast<QLineSeries*>(series);
        }
        std::vector<QGraphicsSimpleTextItem*> items;
        for (const DrawnLine* line : labelled) {
            auto* text = new QGraphicsSimpleTextItem(line->label, chart);
            text->setFont(font);
            text->setBrush(line->colour == CONTEXT_GREY ? QColor(0x60, 0x60, 0x60) : line->colour);
            text->setData(0, QStringLiteral("label"));
            items.push_back(text);
        }
        const double rightEnd = x->max();
        // Placed again whenever the plot area moves: just right of its edge, each at its line's
        // level, moved apart by a line of text where they would overlap.
        const auto place = [chart, anchor, items, ends, rightEnd](const QRectF& plot) {
            std::vector<double> wanted;
            double right = plot.right();
            for (const double end : ends) {
                const QPointF at = chart->mapToPosition(QPointF(rightEnd, end), anchor);
                wanted.push_back(at.y());
                right = at.x();
            }
            const double height = items.empty() ? 0.0 : items.front()->boundingRect().height();
            const QRectF room = chart->rect();
            const std::vector<double> placed = spreadLabels(wanted, height, room.top(), room.bottom());
            for (size_t i = 0; i < items.size(); ++i) items[i]->setPos(right + 6.0, placed[i] - height / 2.0);
        };
        QObject::connect(chart, &QChart::plotAreaChanged, chart, place);
        QMargins margins = chart->margins();
        margins.setRight(margins.right() + static_cast<int>(widest + 12.0));
        chart->setMargins(margins);
    }
    // Only the series with a legend text have an entry.
    for (QLegendMarker* marker : chart->legend()->markers()) {
        marker->setVisible(marker->series() && !marker->series()->name().isEmpty());
    }
    bool anyLegend = false;
    for (const DrawnLine& line : lines) anyLegend = anyLegend || !line.legend.isEmpty();
    chart->legend()->setVisible(anyLegend);
    return chart;
}

}  // namespace dravia
