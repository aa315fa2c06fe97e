#pragma once

#include <QColor>
#include <QString>
#include <vector>

#include "app/ChartTable.h"

class QAbstractAxis;
class QChart;
class QValueAxis;

namespace dravia {

// A chart on white with the charts' fonts and no animation.
QChart* newChart(const QString& title);
void styleAxis(QAbstractAxis* axis, const QString& title);
QValueAxis* addYearAxis(QChart* chart, const std::vector<int>& years);
// A value axis from `minimum` to `maximum` with a little room and round labels.
QValueAxis* addValueAxis(QChart* chart, const QString& title, double minimum, double maximum);

// How one curve of a table is drawn.
struct DrawnLine {
    const TableCurve* curve = nullptr;
    QColor colour;
    double width = 2.5;
    Qt::PenStyle style = Qt::SolidLine;
    bool band = false;  // its interval shaded in its colour
    QString label;      // written at the line's end; none when empty
    QString legend;     // its legend entry; none when empty
    // Each iteration's value, [year][iteration]: drawn as thin lines in its colour instead of the band.
    const std::vector<std::vector<double>>* iterations = nullptr;
};

struct LineChartLayout {
    QString title;
    QString valueTitle;
    bool cutAtZero = true;  // bands stop at zero (the quantity cannot be negative)
    bool zeroLine = false;  // a marked line at zero (differences)
};

// The lines over the years of their curves, context lines first, the coloured ones over them. The
// value axis fits what is drawn: the lines, and the bands or iteration lines that are shown.
QChart* newLineChart(const LineChartLayout& layout, const std::vector<DrawnLine>& lines);

// The series names tests and exports find a curve's drawing by.
QString meanSeriesName(const TableCurve& curve);
QString bandSeriesName(const TableCurve& curve);

}  // namespace dravia
