#include "app/ChartsWindow.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabWidget>
#include <QToolBar>
#include <algorithm>
#include <new>

#include "app/WindowPlacement.h"

namespace dravia {

namespace {

const QString IMAGE_FILTERS = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)");

}  // namespace

ChartsWindow::ChartsWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Dravia4 Charts"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* open = file->addAction(QStringLiteral("&Open Run Database..."));
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &ChartsWindow::chooseDatabase);
    save_ = file->addAction(QStringLiteral("&Save Image..."));
    save_->setShortcut(QKeySequence::Save);
    save_->setEnabled(false);
    connect(save_, &QAction::triggered, this, &ChartsWindow::chooseImageFile);
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("&Close"));
    connect(close, &QAction::triggered, this, &QWidget::close);

    QToolBar* tools = addToolBar(QStringLiteral("Diameter classes"));
    tools->setMovable(false);
    tools->addWidget(new QLabel(QStringLiteral("Diameter classes in year: "), tools));
    years_ = new QComboBox(tools);
    years_->setObjectName(QStringLiteral("diameterYear"));
    years_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    tools->addWidget(years_);
    connect(years_, &QComboBox::currentIndexChanged, this, [this] { applyOptions(); });

    tabs_ = new QTabWidget(this);
    setCentralWidget(tabs_);
    resizeWithinScreen(*this, QSize(1100, 750));
}

void ChartsWindow::refuseForMemory(const QString& file) {
    // The program goes on: only this file's charts are given up.
    QMessageBox::warning(
        this, QStringLiteral("Charts"),
        QStringLiteral("The run database \"%1\" cannot be charted: there is not enough memory "
                       "for what it holds.")
            .arg(file));
}

bool ChartsWindow::openDatabase(const QString& file) {
    try {
        data_ = std::make_shared<const RunChartData>(readRunChartData(file.toStdString()));
    } catch (const RunDatabaseError& error) {
        QMessageBox::warning(this, QStringLiteral("Charts"), QString::fromStdString(error.what()));
        return false;
    } catch (const std::bad_alloc&) {
        refuseForMemory(file);
        return false;
    }
    hiddenSpecies_.clear();
    setWindowTitle(QStringLiteral("Dravia4 Charts - %1").arg(QFileInfo(file).fileName()));
    try {
        showCharts();
    } catch (const std::bad_alloc&) {
        data_.reset();
        while (tabs_->count() > 0) delete tabs_->widget(0);
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
        delete page;
    }
    {
        const QSignalBlocker quiet(years_);
        years_->clear();
        for (const int year : data_->years) years_->addItem(QString::number(year), year);
        years_->setCurrentIndex(years_->count() - 1);
    }
    for (const ChartDescription& description : RUN_CHARTS) {
        auto* page = new ChartPage(data_, description.kind, options(), tabs_);
        page->setObjectName(QString::fromLatin1(description.name));
        connect(page, &ChartPage::speciesClicked, this,
                [this](int species) { setSpeciesVisible(species, !speciesVisible(species)); });
        tabs_->addTab(page, QString::fromLatin1(description.tabTitle));
    }
    tabs_->setCurrentIndex(std::max(0, current));
    save_->setEnabled(true);
}

ChartOptions ChartsWindow::options() const {
    ChartOptions chosen;
    chosen.hiddenSpecies = hiddenSpecies_;
    if (years_->currentIndex() >= 0) chosen.diameterYear = years_->currentData().toInt();
    return chosen;
}

void ChartsWindow::applyOptions() {
    for (int tab = 0; tab < tabs_->count(); ++tab) {
        if (auto* page = qobject_cast<ChartPage*>(tabs_->widget(tab))) page->setOptions(options());
    }
}

void ChartsWindow::setSpeciesVisible(int species, bool visible) {
    if (visible) {
        hiddenSpecies_.erase(species);
    } else {
        hiddenSpecies_.insert(species);
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

bool ChartsWindow::saveImage(const QString& file) const {
    const auto* page = qobject_cast<const ChartPage*>(tabs_->currentWidget());
    if (!data_ || !page) return false;
    return saveChartImage(data_, page->kind(), page->options(), file);
}

void ChartsWindow::chooseDatabase() {
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Run Database"), QDir::currentPath(),
        QStringLiteral("Run databases (*.sqlite *.sqlite3 *.db);;All files (*)"));
    if (!file.isEmpty()) openDatabase(file);
}

void ChartsWindow::chooseImageFile() {
    const int tab = tabs_->currentIndex();
    if (!data_ || tab < 0) return;
    QString filter;
    const QString suggested = QDir::current().filePath(QString::fromLatin1(RUN_CHARTS[tab].name) + ".png");
    QString file =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save Image"), suggested, IMAGE_FILTERS, &filter);
    if (file.isEmpty()) return;
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != QStringLiteral("png") && suffix != QStringLiteral("svg")) {
        file += filter.contains(QStringLiteral("svg")) ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    if (!saveImage(file)) {
        QMessageBox::warning(this, QStringLiteral("Charts"),
                             QStringLiteral("The chart could not be saved as \"%1\".").arg(file));
    }
}

}  // namespace dravia
