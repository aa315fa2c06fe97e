#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>
#include <set>

#include "app/ComparisonCharts.h"
#include "app/RunCharts.h"

class QAction;
class QCheckBox;
class QComboBox;
class QListWidget;
class QTabWidget;

namespace dravia {

// The charts of one run, a tab per chart, and a tab comparing runs, beside the main window (not
// modal). The species shown and the one in focus are the same on every chart of the run.
class ChartsWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit ChartsWindow(QWidget* parent = nullptr);

    // Shows the charts of the run database `file`, named `runLabel` ("Earlier run") when given. A
    // file that cannot be charted is named in a message box, and the charts shown before stay.
    bool openDatabase(const QString& file, const QString& runLabel = {});
    // Saves the chart of the current tab (PNG at `scale` times 1200 x 800, or SVG by the ".svg"
    // extension); on the Compare tab, the scenarios' chart.
    bool saveImage(const QString& file, int scale = 1) const;
    // Writes what the current tab draws as CSV (see chartTablesCsv); false when it cannot.
    bool exportChartData(const QString& file) const;
    // The CSV of the current tab; empty on the diameter tab, which draws no years.
    std::string chartData() const;

    void setSpeciesVisible(int species, bool visible);
    bool speciesVisible(int species) const { return !hiddenSpecies_.count(species); }
    void setFocusSpecies(std::optional<int> species);
    std::optional<int> focusSpecies() const { return focus_; }
    void setIterationLines(bool on);

    const RunChartData* data() const { return data_.get(); }
    QTabWidget* tabs() const { return tabs_; }
    ChartPage* page(ChartKind kind) const;
    QComboBox* diameterYears() const { return years_; }
    QCheckBox* iterationLinesBox() const { return iterationLines_; }

    // The Compare tab: the runs to compare (checked, the first the reference), the quantity and
    // what of it (the stand total or a species), the scenarios' chart and the difference chart.
    QWidget* compareTab() const { return compare_; }
    QListWidget* compareRuns() const { return compareRuns_; }
    QComboBox* compareQuantity() const { return compareQuantity_; }
    QComboBox* compareSubject() const { return compareSubject_; }
    ComparisonPage* scenariosPage() const { return scenarios_; }
    ComparisonPage* differencePage() const { return difference_; }
    // Which of the two the tab shows (and saves and exports): 0 the scenarios, 1 the difference.
    QComboBox* compareChart() const { return compareChart_; }
    ComparisonPage* shownComparison() const;
    // Lists the completed runs of the library folder (and the run shown) for comparison.
    void reloadCompareRuns();

  public slots:
    void chooseDatabase();
    void chooseImageFile(int scale = 1);
    void chooseDataFile();

  private:
    void refuseForMemory(const QString& file);
    void showCharts();
    ChartOptions options() const;
    void applyOptions();
    QWidget* buildCompareTab();
    void compareChanged();
    bool onCompareTab() const;

    std::shared_ptr<const RunChartData> data_;
    QString file_;
    QString runLabel_;
    std::set<int> hiddenSpecies_;
    std::optional<int> focus_;
    bool iterationLineOption_ = false;
    QTabWidget* tabs_;
    QComboBox* years_;
    QCheckBox* iterationLines_;
    QAction* save_;
    QAction* saveDouble_;
    QAction* export_;
    QWidget* compare_ = nullptr;
    QListWidget* compareRuns_ = nullptr;
    QComboBox* compareQuantity_ = nullptr;
    QComboBox* compareSubject_ = nullptr;
    QComboBox* compareChart_ = nullptr;
    ComparisonPage* scenarios_ = nullptr;
    ComparisonPage* difference_ = nullptr;
    ComparedRuns compared_;
};

}  // namespace dravia
