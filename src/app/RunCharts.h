#pragma once

#include <QSize>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "app/ChartTable.h"
#include "app/RunChartData.h"

class QChart;
class QChartView;
class QLabel;
class QTableWidget;

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

// The size of a saved chart image at 1x, in pixels (and the view box of a saved drawing); 2x
// doubles the pixels of the same picture.
inline constexpr QSize CHART_IMAGE_SIZE(1200, 800);

struct ChartOptions {
    std::set<int> hiddenSpecies;      // species numbers
    std::optional<int> focusSpecies;  // drawn in colour with its band, the others thin and grey
    bool iterationLines = false;      // each iteration a thin line instead of the band
    std::optional<int> diameterYear;  // the last recorded year when not given
    QString runLabel;                 // what the run is to the user ("Earlier run"), before its name
};

// Whether a chart kind draws one line per species (and so takes a focus).
bool isBySpecies(ChartKind kind);

// A quantity's columns and decimals, as charts show and export it.
ChartTable quantityTable(StandQuantity quantity);
QString quantityName(StandQuantity quantity);
QString quantityUnit(StandQuantity quantity);
StandQuantity quantityOfChart(ChartKind kind);

// The curves a chart of the run draws, for its export: the species shown (by-species charts),
// the stand totals (one table per quantity) or the basal-area shares.
std::vector<ChartTable> runChartTables(const RunChartData& data, ChartKind kind, const ChartOptions& options);

// The sentence under a chart saying what its lines and shading are.
QString chartCaption(const RunChartData& data, ChartKind kind, const ChartOptions& options);

// The colour of a charted species: by its place among the run's species, the same in every chart.
QColor speciesColour(const RunChartData& data, int species);

// The year the diameter chart shows: the chosen one, or the last recorded year.
int diameterChartYear(const RunChartData& data, const ChartOptions& options);

// What every chart of the run says above its title: the scenario's name (after `runLabel` when
// given); the community, climate, iterations x plots and years; and, when the run was made with a
// model option on, a line naming the options.
QString chartSubtitle(const RunChartData& data, const QString& runLabel = {});

// One chart of a run under its subtitle and over its caption: a single chart, or for the stand
// totals a panel per quantity, one above the other. A by-species chart shown in the window has a
// list of its species beside it, each with a check box (shown) and a focus choice; whoever holds
// the page is told of a change and decides.
class ChartPage : public QWidget {
    Q_OBJECT
  public:
    ChartPage(std::shared_ptr<const RunChartData> data, ChartKind kind, ChartOptions options,
              QWidget* parent = nullptr, bool withSpeciesList = false);

    ChartKind kind() const { return kind_; }
    const ChartOptions& options() const { return options_; }
    void setOptions(ChartOptions options);

    std::vector<QChartView*> views() const { return views_; }
    QString subtitle() const;
    QString caption() const;
    QChart* chart(size_t panel = 0) const;
    // The species list: column 0 checked = shown, column 1 checked = in focus; null without one.
    QTableWidget* speciesList() const { return list_; }
    std::vector<ChartTable> tables() const { return runChartTables(*data_, kind_, options_); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  signals:
    void speciesShown(int species, bool shown);
    void focusChosen(std::optional<int> species);

  private:
    void rebuild();
    void fillSpeciesList();
    void listChanged(int row, int column);

    std::shared_ptr<const RunChartData> data_;
    ChartKind kind_;
    ChartOptions options_;
    QLabel* subtitle_ = nullptr;
    QLabel* caption_ = nullptr;
    QTableWidget* list_ = nullptr;
    std::vector<QChartView*> views_;
};

// A line of text above or under a chart: centred, wrapped, plain, on the chart's white.
QLabel* newChartTextLine(QWidget* parent, const QString& name);

// Gives a wrapped label the height its lines take at `width`, so that a chart beside it gives
// way rather than the text being cut.
void keepTextWhole(QLabel& label, int width);

// Lays a page out at `size` without showing it and writes it: PNG at `scale` times the pixels, or
// an SVG drawing by the ".svg" extension. False when the file cannot be written.
bool writeChartPage(QWidget& page, const QString& file, int scale = 1);

// Writes the chart as CHART_IMAGE_SIZE: a PNG image, or an SVG drawing when the file name ends in
// ".svg". False when the file cannot be written.
bool saveChartImage(const std::shared_ptr<const RunChartData>& data, ChartKind kind,
                    const ChartOptions& options, const QString& file, int scale = 1);

// The headless charts command: every chart of the run in `databaseFile` as NAME.png and NAME.svg
// in `outputDirectory`. Returns the exit status (1 unreadable or incomplete database or an image
// not written, 2 a year that was not recorded) after saying why on stderr.
int writeRunCharts(const QString& databaseFile, const QString& outputDirectory, std::optional<int> year);

}  // namespace dravia
