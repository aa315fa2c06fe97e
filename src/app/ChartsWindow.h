#pragma once

#include <QMainWindow>
#include <memory>
#include <set>

#include "app/RunCharts.h"

class QAction;
class QComboBox;
class QTabWidget;

namespace dravia {

// The charts of one run, a tab per chart, beside the main window (not modal). Clicking a
// species in a legend hides or shows it on every chart.
class ChartsWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit ChartsWindow(QWidget* parent = nullptr);

    // Shows the charts of the run database `file`. A file that cannot be charted is named in a
    // message box, and the charts shown before stay.
    bool openDatabase(const QString& file);
    // Saves the chart of the current tab (PNG, or SVG by the ".svg" extension).
    bool saveImage(const QString& file) const;

    void setSpeciesVisible(int species, bool visible);
    bool speciesVisible(int species) const { return !hiddenSpecies_.count(species); }

    const RunChartData* data() const { return data_.get(); }
    QTabWidget* tabs() const { return tabs_; }
    ChartPage* page(ChartKind kind) const;
    QComboBox* diameterYears() const { return years_; }

  public slots:
    void chooseDatabase();
    void chooseImageFile();

  private:
    void refuseForMemory(const QString& file);
    void showCharts();
    ChartOptions options() const;
    void applyOptions();

    std::shared_ptr<const RunChartData> data_;
    std::set<int> hiddenSpecies_;
    QTabWidget* tabs_;
    QComboBox* years_;
    QAction* save_;
};

}  // namespace dravia
