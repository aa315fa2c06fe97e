#include "app/ChartsWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <map>
#include <new>

#include "app/WindowPlacement.h"
#include "output/rundb/RunDatabaseSchema.h"
#include "output/rundb/RunLibrary.h"

namespace dravia {

namespace {

const QString IMAGE_FILTERS = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)");
const QString COMPARE_NAME = QStringLiteral("compare");

// The runs read for comparison, kept while their files stay as they were.
std::map<QString, std::pair<QDateTime, std::shared_ptr<const RunChartData>>>& comparedCache() {
    static std::map<QString, std::pair<QDateTime, std::shared_ptr<const RunChartData>>> cache;
    return cache;
}

std::shared_ptr<const RunChartData> comparedRun(const QString& file) {
    const QDateTime modified = QFileInfo(file).lastModified();
    auto& cache = comparedCache();
    const auto found = cache.find(file);
    if (found != cache.end() && found->second.first == modified) return found->second.second;
    auto data = std::make_shared<const RunChartData>(readRunChartData(file.toStdString()));
    cache[file] = {modified, data};
    return data;
}

}  // namespace

ChartsWindow::ChartsWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Dravia4 Charts"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = file->addAction(QStringLiteral("&Open Run Database..."));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &ChartsWindow::chooseDatabase);
    save_ = file->addAction(QStringLiteral("&Save Image..."));
    save_->setShortcut(QKeySequence::Save);
    connect(save_, &QAction::triggered, this, [this] { chooseImageFile(1); });
    saveDouble_ = file->addAction(QStringLiteral("Save Image at &2\u00d7 Size..."));
    saveDouble_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(saveDouble_, &QAction::triggered, this, [this] { chooseImageFile(2); });
    export_ = file->addAction(QStringLiteral("&Export Chart Data (CSV)..."));
    export_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(export_, &QAction::triggered, this, &ChartsWindow::chooseDataFile);
    for (QAction* action : {save_, saveDouble_, export_}) action->setEnabled(false);
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("&Close"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);

    QToolBar* tools = addToolBar(QStringLiteral("Chart options"));
    tools->setMovable(false);
    iterationLines_ = new QCheckBox(QStringLiteral("&Iterations as lines"), tools);
    iterationLines_->setObjectName(QStringLiteral("iterationLines"));
    iterationLines_->setToolTip(
        QStringLiteral("Draw each iteration as a thin line instead of the shaded interval"));
    tools->addWidget(iterationLines_);
    connect(iterationLines_, &QCheckBox::toggled, this, &ChartsWindow::setIterationLines);
    tools->addSeparator();
    auto* yearLabel = new QLabel(QStringLiteral("  &Diameter classes in year: "), tools);
    tools->addWidget(yearLabel);
    years_ = new QComboBox(tools);
    years_->setObjectName(QStringLiteral("diameterYear"));
    years_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    yearLabel->setBuddy(years_);
    tools->addWidget(years_);
    connect(years_, &QComboBox::currentIndexChanged, this, [this] { applyOptions(); });

    tabs_ = new QTabWidget(this);
    tabs_->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(tabs_);
    compare_ = buildCompareTab();
    connect(tabs_, &QTabWidget::currentChanged, this, [this] {
        export_->setEnabled(!chartData().empty());
        save_->setEnabled(data_ != nullptr);
        saveDouble_->setEnabled(data_ != nullptr);
    });
    // At most nine tenths of the screen the window opens on, in the screen's own (scaled) units.
    resizeWithinScreen(*this, QSize(1100, 750));
}

QWidget* ChartsWindow::buildCompareTab() {
    auto* tab = new QWidget;
    tab->setObjectName(COMPARE_NAME);
    auto* layout = new QHBoxLayout(tab);
    auto* controls = new QVBoxLayout;
    auto* runsLabel = new QLabel(QStringLiteral("&Runs to compare (the first ticked is A):"), tab);
    runsLabel->setWordWrap(true);
    compareRuns_ = new QListWidget(tab);
    compareRuns_->setObjectName(QStringLiteral("compareRuns"));
    runsLabel->setBuddy(compareRuns_);
    auto* quantityLabel = new QLabel(QStringLiteral("&Quantity:"), tab);
    compareQuantity_ = new QComboBox(tab);
    compareQuantity_->setObjectName(QStringLiteral("compareQuantity"));
    for (const StandQuantity quantity : STAND_QUANTITIES)
        compareQuantity_->addItem(quantityName(quantity), static_cast<int>(quantity));
    quantityLabel->setBuddy(compareQuantity_);
    auto* subjectLabel = new QLabel(QStringLiteral("O&f:"), tab);
    compareSubject_ = new QComboBox(tab);
    compareSubject_->setObjectName(QStringLiteral("compareSubject"));
    subjectLabel->setBuddy(compareSubject_);
    for (QWidget* widget : std::initializer_list<QWidget*>{runsLabel, compareRuns_, quantityLabel,
                                                           compareQuantity_, subjectLabel, compareSubject_})
        controls->addWidget(widget);
    controls->setStretch(1, 1);
    auto* side = new QWidget(tab);
    side->setLayout(controls);
    side->setMaximumWidth(240);
    layout->addWidget(side);
    auto* chartLabel = new QLabel(QStringLiteral("C&hart:"), tab);
    compareChart_ = new QComboBox(tab);
    compareChart_->setObjectName(QStringLiteral("compareChart"));
    compareChart_->addItem(QStringLiteral("Scenarios side by side"));
    compareChart_->addItem(QStringLiteral("Difference from A"));
    chartLabel->setBuddy(compareChart_);
    controls->addWidget(chartLabel);
    controls->addWidget(compareChart_);
    // One chart at a time, the whole height for it.
    auto* charts = new QStackedWidget(tab);
    scenarios_ = new ComparisonPage(ComparisonKind::Scenarios, charts, true);
    difference_ = new ComparisonPage(ComparisonKind::Difference, charts, true);
    charts->addWidget(scenarios_);
    charts->addWidget(difference_);
    layout->addWidget(charts, 1);
    connect(compareChart_, &QComboBox::currentIndexChanged, charts, &QStackedWidget::setCurrentIndex);
    connect(compareRuns_, &QListWidget::itemChanged, this, [this] { compareChanged(); });
    connect(compareQuantity_, &QComboBox::currentIndexChanged, this, [this] { compareChanged(); });
    connect(compareSubject_, &QComboBox::currentIndexChanged, this, [this] { compareChanged(); });
    return tab;
}

void ChartsWindow::reloadCompareRuns() {
    QStringList checked;
    for (int row = 0; row < compareRuns_->count(); ++row) {
        if (compareRuns_->item(row)->checkState() == Qt::Checked)
            checked << compareRuns_->item(row)->data(Qt::UserRole).toString();
    }
    const QSignalBlocker quiet(compareRuns_);
    compareRuns_->clear();
    const QString shown = QFileInfo(file_).canonicalFilePath();
    bool shownListed = false;
    for (const LibraryEntry& entry : readRunLibrary(RUN_LIBRARY_FOLDER)) {
        if (!entry.problem.empty() || !entry.completed) continue;
        const QString path = QFileInfo(QString::fromStdString(entry.path)).canonicalFilePath();
        auto* item = new QListWidgetItem(QStringLiteral("%1 (%2 iterations, %3)")
                                             .arg(QString::fromStdString(entry.scenario))
                                             .arg(entry.iterations)
                                             .arg(QString::fromStdString(entry.startedUtc)
                                                      .left(16)
                                                      .replace(QLatin1Char('T'), QLatin1Char(' '))),
                                         compareRuns_);
        item->setData(Qt::UserRole, path);
        item->setToolTip(item->text());
        // The same file as the run shown (the working directory's hard link to it) stands for it.
        std::error_code error;
        const bool isShown =
            data_ && std::filesystem::equivalent(path.toStdString(), file_.toStdString(), error);
        shownListed = shownListed || isShown;
        const bool tick = checked.contains(path) || (checked.isEmpty() && isShown);
        item->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
    }
    if (data_ && !shownListed) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1 (%2, shown)")
                .arg(QString::fromStdString(data_->scenario), QFileInfo(file_).fileName()),
            compareRuns_);
        item->setData(Qt::UserRole, shown);
        item->setCheckState(checked.contains(shown) || checked.isEmpty() ? Qt::Checked : Qt::Unchecked);
    }
    for (int row = 0; row < compareRuns_->count(); ++row)
        compareRuns_->item(row)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    compareChanged();
}

void ChartsWindow::compareChanged() {
    compared_.clear();
    for (int row = 0; row < compareRuns_->count() && compared_.size() < MOST_COMPARED_RUNS; ++row) {
        QListWidgetItem* item = compareRuns_->item(row);
        if (item->checkState() != Qt::Checked) continue;
        try {
            compared_.push_back(comparedRun(item->data(Qt::UserRole).toString()));
        } catch (const RunDatabaseError& error) {
            const QSignalBlocker quiet(compareRuns_);
            item->setCheckState(Qt::Unchecked);
            QMessageBox::warning(this, QStringLiteral("Charts"), QString::fromStdString(error.what()));
        } catch (const std::bad_alloc&) {
            const QSignalBlocker quiet(compareRuns_);
            item->setCheckState(Qt::Unchecked);
            refuseForMemory(item->data(Qt::UserRole).toString());
        }
    }
    // The species of the runs compared, the stand total first.
    {
        const QString was = compareSubject_->currentText();
        const QSignalBlocker quiet(compareSubject_);
        compareSubject_->clear();
        compareSubject_->addItem(QStringLiteral("Stand total"));
        for (const std::string& name : comparedSpecies(compared_))
            compareSubject_->addItem(QString::fromStdString(name), QString::fromStdString(name));
        const int again = compareSubject_->findText(was);
        compareSubject_->setCurrentIndex(std::max(0, again));
    }
    ComparisonChoice choice;
    choice.quantity = static_cast<StandQuantity>(compareQuantity_->currentData().toInt());
    if (compareSubject_->currentIndex() > 0)
        choice.species = compareSubject_->currentData().toString().toStdString();
    scenarios_->showRuns(compared_, choice);
    difference_->showRuns(compared_, choice);
    if (onCompareTab()) export_->setEnabled(!chartData().empty());
}

void ChartsWindow::refuseForMemory(const QString& file) {
    // The program goes on: only this file's charts are given up.
    QMessageBox::warning(
        this, QStringLiteral("Charts"),
        QStringLiteral("The run database \"%1\" cannot be charted: there is not enough memory "
                       "for what it holds.")
            .arg(file));
}

bool ChartsWindow::openDatabase(const QString& file, const QString& runLabel) {
    try {
        data_ = std::make_shared<const RunChartData>(readRunChartData(file.toStdString()));
    } catch (const RunDatabaseError& error) {
        QMessageBox::warning(this, QStringLiteral("Charts"), QString::fromStdString(error.what()));
        return false;
    } catch (const std::bad_alloc&) {
        refuseForMemory(file);
        return false;
    }
    file_ = file;
    runLabel_ = runLabel;
    // Another run has other species: what was hidden or in focus does not carry over.
    hiddenSpecies_.clear();
    focus_.reset();
    setWindowTitle(QStringLiteral("Dravia4 Charts - %1%2")
                       .arg(runLabel.isEmpty() ? QString() : runLabel + QStringLiteral(": "),
                            QString::fromStdString(data_->scenario)));
    try {
        showCharts();
        reloadCompareRuns();
    } catch (const std::bad_alloc&) {
        data_.reset();
        while (tabs_->count() > 0) {
            QWidget* page = tabs_->widget(0);
            tabs_->removeTab(0);
            if (page != compare_) delete page;
        }
        refuseForMemory(file);
        return false;
    }
    return true;
}

void ChartsWindow::showCharts() {
    const int current = tabs_->currentIndex();
    while (tabs_->count() > 0) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        if (page != compare_) delete page;
    }
    {
        const QSignalBlocker quiet(years_);
        years_->clear();
        for (const int year : data_->years) years_->addItem(QString::number(year), year);
        years_->setCurrentIndex(years_->count() - 1);
    }
    iterationLines_->setEnabled(data_->hasIterationLines() && data_->hasIntervals());
    for (const ChartDescription& description : RUN_CHARTS) {
        auto* page = new ChartPage(data_, description.kind, options(), tabs_, true);
        page->setObjectName(QString::fromLatin1(description.name));
        connect(page, &ChartPage::speciesShown, this, &ChartsWindow::setSpeciesVisible);
        connect(page, &ChartPage::focusChosen, this, &ChartsWindow::setFocusSpecies);
        tabs_->addTab(page, QString::fromLatin1(description.tabTitle));
    }
    tabs_->addTab(compare_, QStringLiteral("Compare"));
    tabs_->setCurrentIndex(std::max(0, current));
    save_->setEnabled(true);
    saveDouble_->setEnabled(true);
    export_->setEnabled(!chartData().empty());
}

ChartOptions ChartsWindow::options() const {
    ChartOptions chosen;
    chosen.hiddenSpecies = hiddenSpecies_;
    chosen.focusSpecies = focus_;
    chosen.iterationLines = iterationLineOption_;
    chosen.runLabel = runLabel_;
    if (years_->currentIndex() >= 0) chosen.diameterYear = years_->currentData().toInt();
    return chosen;
}

void ChartsWindow::applyOptions() {
    for (int tab = 0; tab < tabs_->count(); ++tab) {
        if (auto* page = qobject_cast<ChartPage*>(tabs_->widget(tab))) page->setOptions(options());
    }
    export_->setEnabled(!chartData().empty());
}

void ChartsWindow::setSpeciesVisible(int species, bool visible) {
    if (visible) {
        hiddenSpecies_.erase(species);
    } else {
        hiddenSpecies_.insert(species);
    }
    applyOptions();
}

void ChartsWindow::setFocusSpecies(std::optional<int> species) {
    focus_ = species;
    // A species in focus is shown.
    if (species) hiddenSpecies_.erase(*species);
    applyOptions();
}

void ChartsWindow::setIterationLines(bool on) {
    iterationLineOption_ = on;
    {
        const QSignalBlocker quiet(iterationLines_);
        iterationLines_->setChecked(on);
    }
    applyOptions();
}

ChartPage* ChartsWindow::page(ChartKind kind) const {
    for (int tab = 0; tab < tabs_->count(); ++tab) {
        auto* page = qobject_cast<ChartPage*>(tabs_->widget(tab));
        if (page && page->kind() == kind) return page;
    }
    return nullptr;
}

ComparisonPage* ChartsWindow::shownComparison() const {
    return compareChart_->currentIndex() == 1 ? difference_ : scenarios_;
}

bool ChartsWindow::onCompareTab() const {
    return tabs_->currentWidget() == compare_;
}

bool ChartsWindow::saveImage(const QString& file, int scale) const {
    if (onCompareTab()) {
        if (compared_.empty()) return false;
        ComparisonPage page(shownComparison()->kind());
        ComparisonChoice choice;
        choice.quantity = static_cast<StandQuantity>(compareQuantity_->currentData().toInt());
        if (compareSubject_->currentIndex() > 0)
            choice.species = compareSubject_->currentData().toString().toStdString();
        page.showRuns(compared_, choice);
        return writeChartPage(page, file, scale);
    }
    const auto* page = qobject_cast<const ChartPage*>(tabs_->currentWidget());
    if (!data_ || !page) return false;
    return saveChartImage(data_, page->kind(), page->options(), file, scale);
}

std::string ChartsWindow::chartData() const {
    if (onCompareTab()) {
        if (compared_.empty() || shownComparison()->table().curves.empty()) return {};
        return chartTablesCsv({shownComparison()->table()});
    }
    const auto* page = qobject_cast<const ChartPage*>(tabs_->currentWidget());
    if (!data_ || !page) return {};
    const std::vector<ChartTable> tables = page->tables();
    return tables.empty() ? std::string() : chartTablesCsv(tables);
}

bool ChartsWindow::exportChartData(const QString& file) const {
    const std::string csv = chartData();
    if (csv.empty()) return false;
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           out.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) &&
           out.flush();
}

void ChartsWindow::chooseDatabase() {
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Run Database"), QDir::currentPath(),
        QStringLiteral("Run databases (*.sqlite *.sqlite3 *.db);;All files (*)"));
    if (!file.isEmpty()) openDatabase(file);
}

namespace {

QString currentChartName(const QTabWidget* tabs) {
    const QWidget* page = tabs->currentWidget();
    return page && !page->objectName().isEmpty() ? page->objectName() : QStringLiteral("chart");
}

}  // namespace

void ChartsWindow::chooseImageFile(int scale) {
    if (!data_ || tabs_->currentIndex() < 0) return;
    QString filter;
    const QString suggested = QDir::current().filePath(
        currentChartName(tabs_) + (scale > 1 ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
    QString file = QFileDialog::getSaveFileName(
        this, scale > 1 ? QStringLiteral("Save Image at 2\u00d7 Size") : QStringLiteral("Save Image"),
        suggested, IMAGE_FILTERS, &filter);
    if (file.isEmpty()) return;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg")) {
        file += filter.contains(QStringLiteral("svg")) ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    if (!saveImage(file, scale)) {
        QMessageBox::warning(this, QStringLiteral("Charts"),
                             QStringLiteral("The chart could not be saved as \"%1\".").arg(file));
    }
}

void ChartsWindow::chooseDataFile() {
    if (chartData().empty()) return;
    QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Export Chart Data"),
                                                QDir::current().filePath(currentChartName(tabs_) + ".csv"),
                                                QStringLiteral("CSV table (*.csv)"));
    if (file.isEmpty()) return;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".csv");
    if (!exportChartData(file)) {
        QMessageBox::warning(this, QStringLiteral("Charts"),
                             QStringLiteral("The chart data could not be written to \"%1\".").arg(file));
    }
}

}  // namespace dravia
