#include "app/RunCharts.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarLegendMarker>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <new>
#include <set>

#include "display/DisplayNames.h"
#include "display/DisplayPalette.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

// A light grey behind the curves, so that the white and yellow species colours still show.
const QColor PLOT_AREA_BACKGROUND(222, 226, 230);
const QColor OUTLINE(70, 70, 70);
constexpr int BAND_ALPHA = 70;
constexpr const char* SPECIES_PROPERTY = "species";
constexpr const char* BAND_PROPERTY = "band";

StandQuantity quantityOf(ChartKind kind) {
    switch (kind) {
        case ChartKind::Biomass:
            return StandQuantity::AboveGroundBiomass;
        case ChartKind::Stems:
            return StandQuantity::Stems;
        default:
            return StandQuantity::BasalArea;
    }
}

QString quantityName(StandQuantity quantity) {
    switch (quantity) {
        case StandQuantity::AboveGroundBiomass:
            return QStringLiteral("Above-ground biomass");
        case StandQuantity::Stems:
            return QStringLiteral("Stems");
        case StandQuantity::BasalArea:
            break;
    }
    return QStringLiteral("Basal area");
}

QString quantityUnit(StandQuantity quantity) {
    switch (quantity) {
        case StandQuantity::AboveGroundBiomass:
            return QStringLiteral("Mg/ha");
        case StandQuantity::Stems:
            return QStringLiteral("stems/ha");
        case StandQuantity::BasalArea:
            break;
    }
    return QStringLiteral("m²/ha");
}

QString iterationsText(const RunChartData& data) {
    return data.iterations == 1 ? QStringLiteral("one iteration")
                                : QStringLiteral("mean of %1 iterations").arg(data.iterations);
}

QString meanAndBandText(const RunChartData& data) {
    return data.hasIntervals() ? iterationsText(data) + QStringLiteral(", shaded: 95 % confidence interval")
                               : iterationsText(data);
}

QChart* newChart(const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    QFont titleFont = chart->titleFont();
    titleFont.setPointSize(13);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(PLOT_AREA_BACKGROUND);
    chart->setPlotAreaBackgroundVisible(true);
    chart->legend()->setAlignment(Qt::AlignRight);
    // The legend on the same grey as the curves, where white and yellow markers show.
    chart->legend()->setBackgroundVisible(true);
    chart->legend()->setBrush(PLOT_AREA_BACKGROUND);
    chart->legend()->setPen(Qt::NoPen);
    // The chart's white fills its view, and a saved image, to the edges.
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    return chart;
}

void styleAxis(QAbstractAxis* axis, const QString& title) {
    axis->setTitleText(title);
    QFont font = axis->titleFont();
    font.setPointSize(11);
    font.setBold(false);
    axis->setTitleFont(font);
    QFont labels = axis->labelsFont();
    labels.setPointSize(10);
    axis->setLabelsFont(labels);
}

// A round step (1, 2 or 5 times a power of ten) giving at most about `ticks` intervals.
double roundStep(double span, int ticks) {
    const double raw = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw) return factor * power;
    }
    return 10.0 * power;
}

QValueAxis* addYearAxis(QChart* chart, const RunChartData& data) {
    auto* axis = new QValueAxis;
    styleAxis(axis, QStringLiteral("Year"));
    axis->setLabelFormat(QStringLiteral("%d"));
    const double first = data.years.front();
    const double last = data.years.back();
    if (last > first) {
        axis->setRange(first, last);
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setTickInterval(std::max(1.0, roundStep(last - first, 10)));
    } else {
        axis->setRange(first - 1.0, last + 1.0);
        axis->setTickCount(3);
    }
    chart->addAxis(axis, Qt::AlignBottom);
    return axis;
}

QValueAxis* addValueAxis(QChart* chart, const QString& title, double maximum) {
    auto* axis = new QValueAxis;
    styleAxis(axis, title);
    // A little room above the highest value, so that it does not touch the frame.
    axis->setRange(0.0, maximum > 0.0 ? 1.04 * maximum : 1.0);
    axis->applyNiceNumbers();
    // As many decimals as the step between the labels needs, and no more.
    const double step = (axis->max() - axis->min()) / std::max(1, axis->tickCount() - 1);
    const int decimals = std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(decimals));
    chart->addAxis(axis, Qt::AlignLeft);
    return axis;
}

void attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// The shaded 95 % band between mean − half-width and mean + half-width.
QAreaSeries* newBand(const RunChartData& data, const std::vector<MeanWithInterval>& curve, QColor colour) {
    auto* band = new QAreaSeries;
    auto* upper = new QLineSeries(band);
    auto* lower = new QLineSeries(band);
    for (size_t y = 0; y < data.years.size(); ++y) {
        upper->append(data.years[y], curve[y].mean + curve[y].halfWidth);
        lower->append(data.years[y], std::max(0.0, curve[y].mean - curve[y].halfWidth));
    }
    band->setUpperSeries(upper);
    band->setLowerSeries(lower);
    colour.setAlpha(BAND_ALPHA);
    band->setBrush(colour);
    band->setPen(Qt::NoPen);
    band->setProperty(BAND_PROPERTY, true);
    return band;
}

QLineSeries* newMeanLine(const RunChartData& data, const std::vector<MeanWithInterval>& curve,
                         const QColor& colour, Qt::PenStyle style) {
    auto* line = new QLineSeries;
    for (size_t y = 0; y < data.years.size(); ++y) line->append(data.years[y], curve[y].mean);
    QPen pen(colour, 2.5, style);
    line->setPen(pen);
    // A single recorded year makes no line: its point shows instead.
    line->setPointsVisible(data.years.size() == 1);
    return line;
}

double curveMaximum(const std::vector<MeanWithInterval>& curve) {
    double maximum = 0.0;
    for (const MeanWithInterval& point : curve) maximum = std::max(maximum, point.mean + point.halfWidth);
    return maximum;
}

// How many charted species before each one share its palette colour: those that do are told
// apart by the pattern of their line or fill.
std::vector<int> colourRepeats(const RunChartData& data) {
    std::map<QRgb, int> uses;
    std::vector<int> repeats;
    for (const ChartSpecies& species : data.species)
        repeats.push_back(uses[paletteColour(species.colourIndex).rgb()]++);
    return repeats;
}

Qt::PenStyle lineStyle(int repeat) {
    constexpr Qt::PenStyle STYLES[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    return STYLES[repeat % 4];
}

QBrush fill(const QColor& colour, int repeat) {
    constexpr Qt::BrushStyle STYLES[] = {Qt::SolidPattern, Qt::BDiagPattern, Qt::FDiagPattern,
                                         Qt::DiagCrossPattern};
    return QBrush(colour, STYLES[repeat % 4]);
}

QChart* speciesChart(const RunChartData& data, StandQuantity quantity, const ChartOptions& options) {
    const QString name = quantityName(quantity);
    QChart* chart = newChart(QStringLiteral("%1 by species (%2)").arg(name, meanAndBandText(data)));
    const QuantityCurves& curves = data.curves(quantity);
    double maximum = 0.0;
    for (size_t s = 0; s < data.species.size(); ++s) {
        if (!options.hiddenSpecies.count(data.species[s].species)) {
            maximum = std::max(maximum, curveMaximum(curves.bySpecies[s]));
        }
    }
    QValueAxis* x = addYearAxis(chart, data);
    QValueAxis* y = addValueAxis(chart, QStringLiteral("%1 (%2)").arg(name, quantityUnit(quantity)), maximum);
    const std::vector<int> repeats = colourRepeats(data);
    // A piece of each line in the legend shows its pattern too.
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    // The bands first, so that every mean line is drawn over them.
    for (size_t s = 0; s < data.species.size(); ++s) {
        const ChartSpecies& species = data.species[s];
        if (!data.hasIntervals() || options.hiddenSpecies.count(species.species)) continue;
        QAreaSeries* band = newBand(data, curves.bySpecies[s], paletteColour(species.colourIndex));
        band->setName(speciesDisplayName(species.name) + QStringLiteral(" 95 %"));
        band->setProperty(SPECIES_PROPERTY, species.species);
        attach(chart, band, x, y);
    }
    for (size_t s = 0; s < data.species.size(); ++s) {
        const ChartSpecies& species = data.species[s];
        const bool hidden = options.hiddenSpecies.count(species.species) > 0;
        QColor colour = paletteColour(species.colourIndex);
        // A hidden species' line stays for its legend entry, which shows it pale.
        if (hidden) colour.setAlpha(70);
        QLineSeries* line = newMeanLine(data, curves.bySpecies[s], colour, lineStyle(repeats[s]));
        line->setName(speciesDisplayName(species.name));
        line->setProperty(SPECIES_PROPERTY, species.species);
        attach(chart, line, x, y);
        line->setVisible(!hidden);
    }
    return chart;
}

QChart* totalChart(const RunChartData& data, StandQuantity quantity) {
    const QString name = quantityName(quantity);
    const QString unit = quantityUnit(quantity);
    QChart* chart = newChart(QStringLiteral("Stand %1 (%2)").arg(name.toLower(), unit));
    const std::vector<MeanWithInterval>& curve = data.curves(quantity).total;
    QValueAxis* x = addYearAxis(chart, data);
    // The panels are low: the title names the quantity, the axis only its unit.
    QValueAxis* y = addValueAxis(chart, unit, curveMaximum(curve));
    if (data.hasIntervals()) {
        QAreaSeries* band = newBand(data, curve, OUTLINE);
        band->setName(QStringLiteral("95 % confidence interval"));
        attach(chart, band, x, y);
    }
    QLineSeries* line = newMeanLine(data, curve, Qt::black, Qt::SolidLine);
    const QString mean = iterationsText(data);
    line->setName(mean.left(1).toUpper() + mean.mid(1));
    attach(chart, line, x, y);
    return chart;
}

QChart* compositionChart(const RunChartData& data, const ChartOptions& options) {
    QChart* chart = newChart(QStringLiteral("Composition: share of the mean basal area by species (%1)")
                                 .arg(iterationsText(data)));
    QValueAxis* x = addYearAxis(chart, data);
    QValueAxis* y = addValueAxis(chart, QStringLiteral("Share of basal area (%)"), 100.0);
    // Shares fill the height exactly.
    y->setRange(0.0, 100.0);
    y->setTickCount(6);
    y->setLabelFormat(QStringLiteral("%.0f"));
    const std::vector<std::vector<double>> shares = basalAreaShares(data);
    std::vector<double> stacked(data.years.size(), 0.0);
    const std::vector<int> repeats = colourRepeats(data);
    for (size_t s = 0; s < data.species.size(); ++s) {
        const ChartSpecies& species = data.species[s];
        const bool hidden = options.hiddenSpecies.count(species.species) > 0;
        auto* layer = new QAreaSeries;
        auto* upper = new QLineSeries(layer);
        auto* lower = new QLineSeries(layer);
        for (size_t t = 0; t < data.years.size(); ++t) {
            lower->append(data.years[t], stacked[t]);
            if (!hidden) stacked[t] += shares[s][t];
            upper->append(data.years[t], stacked[t]);
        }
        layer->setUpperSeries(upper);
        layer->setLowerSeries(lower);
        layer->setBrush(fill(paletteColour(species.colourIndex), repeats[s]));
        layer->setPen(QPen(OUTLINE, 1.0));
        layer->setName(speciesDisplayName(species.name));
        layer->setProperty(SPECIES_PROPERTY, species.species);
        attach(chart, layer, x, y);
        layer->setVisible(!hidden);
    }
    return chart;
}

QString classLabel(int lowerCm) {
    return QStringLiteral("%1–%2").arg(lowerCm).arg(lowerCm + 5);
}

QChart* diameterChart(const RunChartData& data, const ChartOptions& options) {
    const int year = diameterChartYear(data, options);
    QChart* chart = newChart(
        QStringLiteral("Stems by 5-cm diameter class in year %1 (%2)").arg(year).arg(iterationsText(data)));
    const auto found = data.diameters.find(year);
    const DiameterDistribution empty;
    const DiameterDistribution& distribution = found != data.diameters.end() ? found->second : empty;
    // The classes present, and where they span no more than a chart can show every class of, the
    // empty ones between 0 cm and the largest too, so that gaps show as gaps.
    constexpr int MOST_FILLED_CLASSES = 100;
    std::set<int> classes;
    for (const auto& entry : distribution) classes.insert(entry.first);
    const int largest = distribution.empty() ? 0 : distribution.rbegin()->first;
    if (largest / 5 < MOST_FILLED_CLASSES) {
        for (int lower = 0; lower <= largest; lower += 5) classes.insert(lower);
    }

    auto* bars = new QStackedBarSeries;
    double maximum = 0.0;
    std::map<int, double> classTotals;
    const std::vector<int> repeats = colourRepeats(data);
    for (size_t s = 0; s < data.species.size(); ++s) {
        const ChartSpecies& species = data.species[s];
        const bool hidden = options.hiddenSpecies.count(species.species) > 0;
        auto* set = new QBarSet(speciesDisplayName(species.name));
        for (const int lower : classes) {
            double stems = 0.0;
            const auto row = distribution.find(lower);
            if (!hidden && row != distribution.end()) {
                const auto cell = row->second.find(species.species);
                if (cell != row->second.end()) stems = cell->second;
            }
            set->append(stems);
            maximum = std::max(maximum, classTotals[lower] += stems);
        }
        set->setBrush(fill(paletteColour(species.colourIndex), repeats[s]));
        set->setBorderColor(OUTLINE);
        set->setProperty(SPECIES_PROPERTY, species.species);
        bars->append(set);
    }
    chart->addSeries(bars);
    auto* x = new QBarCategoryAxis;
    styleAxis(x, QStringLiteral("Diameter at breast height (cm)"));
    for (const int lower : classes) x->append(classLabel(lower));
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    bars->attachAxis(addValueAxis(chart, QStringLiteral("Stems (stems/ha)"), maximum));
    return chart;
}

// The species a legend marker stands for, or 0 for the markers of the stand totals.
int markerSpecies(QLegendMarker* marker) {
    if (auto* bar = qobject_cast<QBarLegendMarker*>(marker)) {
        return bar->barset()->property(SPECIES_PROPERTY).toInt();
    }
    return marker->series()->property(SPECIES_PROPERTY).toInt();
}

bool isSpeciesBand(QLegendMarker* marker) {
    return marker->series() && marker->series()->property(BAND_PROPERTY).toBool() &&
           markerSpecies(marker) != 0;
}

// The page laid out at `size` without showing it on a screen, ready to be painted.
void layOutOffScreen(ChartPage& page, QSize size) {
    page.resize(size);
    page.layout()->activate();
    // The views pass their sizes on to their charts, which lay themselves out, through events.
    QCoreApplication::sendPostedEvents();
}

bool writeImage(ChartPage& page, const QString& file) {
    if (QFileInfo(file).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator drawing;
        drawing.setFileName(file);
        drawing.setSize(CHART_IMAGE_SIZE);
        drawing.setViewBox(QRect(QPoint(0, 0), CHART_IMAGE_SIZE));
        drawing.setTitle(page.chart()->title());
        // Text in points comes out the size it has on the screen the page was laid out for.
        drawing.setResolution(page.logicalDpiX());
        QPainter painter;
        if (!painter.begin(&drawing)) return false;
        page.render(&painter);
        return painter.end();
    }
    QImage image(CHART_IMAGE_SIZE, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        page.render(&painter);
    }
    return image.save(file, "PNG");
}

}  // namespace

QString chartSubtitle(const RunChartData& data) {
    QString text = QString::fromStdString(data.scenario);
    if (!data.modelOptions.empty())
        text += QStringLiteral("\nModel options: ") + QString::fromStdString(data.modelOptions);
    return text;
}

int diameterChartYear(const RunChartData& data, const ChartOptions& options) {
    return options.diameterYear.value_or(data.years.empty() ? 0 : data.years.back());
}

ChartPage::ChartPage(std::shared_ptr<const RunChartData> data, ChartKind kind, ChartOptions options,
                     QWidget* parent)
    : QWidget(parent), data_(std::move(data)), kind_(kind), options_(std::move(options)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // One subtitle over every panel, on the charts' white, so that a saved image says what ran.
    subtitle_ = new QLabel(chartSubtitle(*data_), this);
    subtitle_->setObjectName(QStringLiteral("subtitle"));
    subtitle_->setAlignment(Qt::AlignCenter);
    subtitle_->setContentsMargins(8, 6, 8, 0);
    subtitle_->setAutoFillBackground(true);
    QPalette white = subtitle_->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, QColor(60, 60, 60));
    subtitle_->setPalette(white);
    QFont subtitleFont = subtitle_->font();
    subtitleFont.setPointSize(10);
    subtitle_->setFont(subtitleFont);
    layout->addWidget(subtitle_);
    const int panels = kind_ == ChartKind::Totals ? static_cast<int>(STAND_QUANTITIES.size()) : 1;
    for (int panel = 0; panel < panels; ++panel) {
        auto* view = new QChartView(this);
        view->setRenderHint(QPainter::Antialiasing);
        view->setFrameShape(QFrame::NoFrame);
        layout->addWidget(view);
        views_.push_back(view);
    }
    rebuild();
}

QString ChartPage::subtitle() const {
    return subtitle_->text();
}

QChart* ChartPage::chart(size_t panel) const {
    return panel < views_.size() ? views_[panel]->chart() : nullptr;
}

void ChartPage::setOptions(ChartOptions options) {
    options_ = std::move(options);
    rebuild();
}

void ChartPage::rebuild() {
    for (size_t panel = 0; panel < views_.size(); ++panel) {
        QChart* chart = nullptr;
        switch (kind_) {
            case ChartKind::BasalArea:
            case ChartKind::Biomass:
            case ChartKind::Stems:
                chart = speciesChart(*data_, quantityOf(kind_), options_);
                break;
            case ChartKind::Totals:
                chart = totalChart(*data_, STAND_QUANTITIES[panel]);
                break;
            case ChartKind::Composition:
                chart = compositionChart(*data_, options_);
                break;
            case ChartKind::Diameters:
                chart = diameterChart(*data_, options_);
                break;
        }
        connectLegend(chart);
        // The view owns the chart it shows; the one it showed before goes.
        QChart* previous = views_[panel]->chart();
        views_[panel]->setChart(chart);
        delete previous;
    }
}

void ChartPage::connectLegend(QChart* chart) {
    for (QLegendMarker* marker : chart->legend()->markers()) {
        const int species = markerSpecies(marker);
        if (isSpeciesBand(marker)) {
            // The band goes with its species' mean line, which has the legend entry.
            marker->setVisible(false);
            continue;
        }
        marker->setPen(QPen(OUTLINE));
        if (species == 0) continue;
        if (options_.hiddenSpecies.count(species)) {
            // A hidden species keeps a pale entry, to be clicked back.
            marker->setVisible(true);
            marker->setLabelBrush(QColor(150, 150, 150));
            QColor faded = marker->brush().color();
            faded.setAlpha(60);
            marker->setBrush(faded);
        }
        // Queued: whoever hides the species rebuilds this chart, marker and all, which must not
        // happen inside the marker's own mouse handling.
        connect(
            marker, &QLegendMarker::clicked, this, [this, species] { emit speciesClicked(species); },
            Qt::QueuedConnection);
    }
}

bool saveChartImage(const std::shared_ptr<const RunChartData>& data, ChartKind kind,
                    const ChartOptions& options, const QString& file) {
    ChartPage page(data, kind, options);
    layOutOffScreen(page, CHART_IMAGE_SIZE);
    return writeImage(page, file);
}

namespace {
int writeRunChartsOf(const QString& databaseFile, const QString& outputDirectory, std::optional<int> year);
}  // namespace

int writeRunCharts(const QString& databaseFile, const QString& outputDirectory, std::optional<int> year) {
    // Whatever a database holds, the command says so and ends, rather than being ended.
    try {
        return writeRunChartsOf(databaseFile, outputDirectory, year);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "dravia4: %s\n", OUT_OF_MEMORY_MESSAGE);
        return EXIT_FATAL_ERROR;
    }
}

namespace {

int writeRunChartsOf(const QString& databaseFile, const QString& outputDirectory, std::optional<int> year) {
    std::shared_ptr<const RunChartData> data;
    try {
        data = std::make_shared<const RunChartData>(readRunChartData(databaseFile.toStdString()));
    } catch (const RunDatabaseError& error) {
        std::fprintf(stderr, "dravia4: %s\n", error.what());
        return EXIT_FATAL_ERROR;
    }
    if (year && std::find(data->years.begin(), data->years.end(), *year) == data->years.end()) {
        std::fprintf(stderr, "dravia4: year %d is not a recorded year of \"%s\" (%zu recorded, %d to %d)\n",
                     *year, qPrintable(databaseFile), data->years.size(), data->years.front(),
                     data->years.back());
        return EXIT_USAGE;
    }
    if (!QDir().mkpath(outputDirectory)) {
        std::fprintf(stderr, "dravia4: cannot create the directory \"%s\"\n", qPrintable(outputDirectory));
        return EXIT_FATAL_ERROR;
    }
    ChartOptions options;
    options.diameterYear = year;
    const QDir directory(outputDirectory);
    for (const ChartDescription& description : RUN_CHARTS) {
        ChartPage page(data, description.kind, options);
        layOutOffScreen(page, CHART_IMAGE_SIZE);
        for (const char* extension : {".png", ".svg"}) {
            const QString file = directory.filePath(QString::fromLatin1(description.name) + extension);
            if (!writeImage(page, file)) {
                std::fprintf(stderr, "dravia4: cannot write the chart \"%s\"\n", qPrintable(file));
                return EXIT_FATAL_ERROR;
            }
        }
    }
    return EXIT_NORMAL;
}

}  // namespace

}  // namespace dravia
