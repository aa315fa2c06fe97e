#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>

#include "app/RunComparison.h"

class QChart;
class QChartView;
class QLabel;

namespace dravia {

enum class ComparisonKind { Scenarios, Difference };

// The subtitle of a comparison: each run, its letter, name, community, climate, iterations x plots
// and years.
QString comparisonSubtitle(const ComparedRuns& runs);
// The sentence under a comparison chart saying what its lines and shading are.
QString comparisonCaption(const ComparedRuns& runs, ComparisonKind kind, const ChartTable& table);

// One comparison chart under its subtitle, over its caption and, when the runs recorded different
// years, the note saying which are shown. Compact (in the window, beside the list of runs) its
// subtitle is smaller and the legend left to the subtitle and the labels at the lines' ends.
class ComparisonPage : public QWidget {
    Q_OBJECT
  public:
    ComparisonPage(ComparisonKind kind, QWidget* parent = nullptr, bool compact = false);

    void showRuns(const ComparedRuns& runs, const ComparisonChoice& choice);
    ComparisonKind kind() const { return kind_; }
    QChart* chart() const;
    QString caption() const;
    QString subtitle() const;
    QString yearsNote() const;
    const ChartTable& table() const { return table_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    ComparisonKind kind_;
    bool compact_ = false;
    ChartTable table_;
    QLabel* subtitle_;
    QChartView* view_;
    QLabel* caption_;
    QLabel* note_;
};

// The headless comparison: for the stand total and for one species (the given one, or the one
// with the most basal area in the first run), of each quantity, the scenarios' chart and their
// difference chart as NAME.png, NAME.svg and NAME.csv in `outputDirectory`. Returns the exit
// status after saying why on stderr.
int writeComparisonCharts(const QStringList& databaseFiles, const QString& outputDirectory,
                          const std::optional<QString>& species);

}  // namespace dravia
