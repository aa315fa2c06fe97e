#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "app/RunChartData.h"

class QChart;
class QChartView;
class QLabel;

namespace dravia {

enum class ChartKind { BasalArea, Biomass, Stems, Totals, Composition, Diameters };

struct ChartDescription {
    ChartKind kind;
    const char* name;  // the file name of its image, without extension
    const char* tabTitle;
};

inline constexpr ChartDescription RUN_CHARTS[] = {
    {ChartKind::BasalArea, "basal-area", "Basal area"},
    {ChartKind::Biomass, "biomass", "Biomass"},
    {ChartKind::Stems, "stems", "Stems"},
    {ChartKind::Totals, "totals", "Stand totals"},
    {ChartKind::Composition, "composition", "Composition"},
    {ChartKind::Diameters, "diameters", "Diameter classes"},
};

// The size of a saved chart image, in pixels (and the view box of a saved drawing).
inline constexpr QSize CHART_IMAGE_SIZE(1200, 800);

struct ChartOptions {
    std::set<int> hiddenSpecies;      // species numbers
    std::optional<int> diameterYear;  // the last recorded year when not given
};

// The year the diameter chart shows: the chosen one, or the last recorded year.
int diameterChartYear(const RunChartData& data, const ChartOptions& options);

// What every chart of the run says above its title: the scenario's name and, when the run was
// made with a model option on, a second line naming the options.
QString chartSubtitle(const RunChartData& data);

// One chart of a run: a single chart, or for the stand totals a panel per quantity, one above
// the other. Clicking a species' legend marker reports the species; whoever holds the page
// decides whether it is shown.
class ChartPage : public QWidget {
    Q_OBJECT
  public:
    ChartPage(std::shared_ptr<const RunChartData> data, ChartKind kind, ChartOptions options,
              QWidget* parent = nullptr);

    ChartKind kind() const { return kind_; }
    const ChartOptions& options() const { return options_; }
    void setOptions(ChartOptions options);

    std::vector<QChartView*> views() const { return views_; }
    QString subtitle() const;
    QChart* chart(size_t panel = 0) const;

  signals:
    void speciesClicked(int species);

  private:
    void rebuild();
    void connectLegend(QChart* chart);

    std::shared_ptr<const RunChartData> data_;
    ChartKind kind_;
    ChartOptions options_;
    QLabel* subtitle_ = nullptr;
    std::vector<QChartView*> views_;
};

// Writes the chart as CHART_IMAGE_SIZE: a PNG image, or an SVG drawing when the file name ends in
// ".svg". False when the file cannot be written.
bool saveChartImage(const std::shared_ptr<const RunChartData>& data, ChartKind kind,
                    const ChartOptions& options, const QString& file);

// The headless charts command: every chart of the run in `databaseFile` as NAME.png and NAME.svg
// in `outputDirectory`. Returns the exit status (1 unreadable or incomplete database or an image
// not written, 2 a year that was not recorded) after saying why on stderr.
int writeRunCharts(const QString& databaseFile, const QString& outputDirectory, std::optional<int> year);

}  // namespace dravia
