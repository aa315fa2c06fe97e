#include "app/RunCharts.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <new>
#include <set>

#include "app/ChartDrawing.h"
#include "app/ChartStyle.h"
#include "display/DisplayNames.h"
#include "model/ModelOptions.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

constexpr const char* SPECIES_PROPERTY = "species";
constexpr int FEW_ITERATIONS = 10;
// The height below which a chart panel's title, axes and curves no longer fit.
constexpr int MINIMUM_PANEL_HEIGHT = 220;

QString speciesName(const ChartSpecies& species) {
    return speciesDisplayName(species.name);
}

std::string speciesText(const ChartSpecies& species) {
    return speciesName(species).toStdString();
}

// The curve of a species or total with its true 95 % bounds.
TableCurve curveOf(const RunChartData& data, const std::vector<MeanWithInterval>& values,
                   std::string species) {
    TableCurve curve;
    curve.scenario = data.scenario;
    curve.species = std::move(species);
    curve.iterations = data.iterations;
    curve.plots = data.plots;
    for (size_t y = 0; y < data.years.size() && y < values.size(); ++y) {
        const MeanWithInterval& value = values[y];
        curve.points.push_back(
            {data.years[y], value.mean, value.mean - value.halfWidth, value.mean + value.halfWidth});
    }
    return curve;
}

bool shown(const ChartOptions& options, int species) {
    return !options.hiddenSpecies.count(species);
}

bool inFocus(const ChartOptions& options, int species) {
    return options.focusSpecies && *options.focusSpecies == species && shown(options, species);
}

// Whether some shaded lower bound of the tables is below zero, where the shading stops.
bool anyCut(const std::vector<ChartTable>& tables) {
    for (const ChartTable& table : tables) {
        for (const TableCurve& curve : table.curves) {
            if (!curve.band || !table.cutAtZero) continue;
            for (const CurvePoint& point : curve.points) {
                if (point.lower < 0.0) return true;
            }
        }
    }
    return false;
}

QString iterationsAndPlots(const RunChartData& data) {
    return QStringLiteral("%1 iteration%2 of %3 plot%4")
        .arg(data.iterations)
        .arg(data.iterations == 1 ? "" : "s")
        .arg(data.plots)
        .arg(data.plots == 1 ? "" : "s");
}

QString roughNote(int iterations) {
    return iterations < FEW_ITERATIONS ? QStringLiteral(" (few iterations: rough)") : QString();
}

QChart* speciesChart(const RunChartData& data, ChartKind kind, const ChartOptions& options) {
    const StandQuantity quantity = quantityOfChart(kind);
    // The lines point into the table while the chart is built; its series copy the points.
    const ChartTable kept = runChartTables(data, kind, options).front();
    const QuantityCurves& curves = data.curves(quantity);
    std::vector<DrawnLine> lines;
    for (const TableCurve& curve : kept.curves) {
        const ChartSpecies* species = nullptr;
        for (const ChartSpecies& candidate : data.species)
            if (speciesText(candidate) == curve.species) species = &candidate;
        if (!species) continue;
        const int position = data.speciesPosition(species->species);
        DrawnLine line;
        line.curve = &curve;
        line.label = speciesName(*species);
        const bool focus = inFocus(options, species->species);
        if (options.focusSpecies && !focus) {
            // Context: thin, grey and unnamed, so that the eye goes to the species in focus.
            line.colour = CONTEXT_GREY;
            line.width = 1.2;
            line.label.clear();
        } else {
            line.colour = speciesColour(data, species->species);
            line.style = seriesLineStyle(static_cast<size_t>(position));
            line.width = focus ? 3.5 : 2.5;
            line.band = curve.band;
            if (focus && options.iterationLines && data.hasIterationLines())
                line.iterations = &curves.iterationsBySpecies[static_cast<size_t>(position)];
        }
        lines.push_back(line);
    }
    LineChartLayout layout;
    layout.title = QStringLiteral("%1 by species (%2)").arg(quantityName(quantity), quantityUnit(quantity));
    // The title names the quantity; the axis its unit, which fits a low chart on a small screen.
    layout.valueTitle = quantityUnit(quantity);
    return newLineChart(layout, lines);
}

QChart* totalChart(const RunChartData& data, StandQuantity quantity, const ChartOptions& options) {
    const ChartTable kept = runChartTables(data, ChartKind::Totals, options)[static_cast<size_t>(quantity)];
    DrawnLine line;
    line.curve = &kept.curves.front();
    line.colour = Qt::black;
    line.band = line.curve->band;
    if (options.iterationLines && data.hasIterationLines())
        line.iterations = &data.curves(quantity).iterationTotals;
    LineChartLayout layout;
    layout.title =
        QStringLiteral("Stand %1 (%2)").arg(quantityName(quantity).toLower(), quantityUnit(quantity));
    // The panels are low: the title names the quantity, the axis only its unit.
    layout.valueTitle = quantityUnit(quantity);
    return newLineChart(layout, {line});
}

QChart* compositionChart(const RunChartData& data, const ChartOptions& options) {
    QChart* chart = newChart(QStringLiteral("Composition: share of the average basal area by species"));
    QValueAxis* x = addYearAxis(chart, data.years);
    QValueAxis* y = addValueAxis(chart, QStringLiteral("Share of basal area (%)"), 0.0, 100.0);
    // Shares fill the height exactly.
    y->setRange(0.0, 100.0);
    y->setTickCount(6);
    y->setLabelFormat(QStringLiteral("%.0f"));
    const std::vector<std::vector<double>> shares = basalAreaShares(data);
    std::vector<double> stacked(data.years.size(), 0.0);
    for (size_t s = 0; s < data.species.size(); ++s) {
        const ChartSpecies& species = data.species[s];
        if (!shown(options, species.species)) continue;
        auto* layer = new QAreaSeries;
        auto* upper = new QLineSeries(layer);
        auto* lower = new QLineSeries(layer);
        for (size_t t = 0; t < data.years.size(); ++t) {
            lower->append(data.years[t], stacked[t]);
            stacked[t] += shares[s][t];
            upper->append(data.years[t], stacked[t]);
        }
        layer->setUpperSeries(upper);
        layer->setLowerSeries(lower);
        QColor colour = speciesColour(data, species.species);
        // Out of focus, a species' layer steps back into a pale tint of its colour.
        if (options.focusSpecies && !inFocus(options, species.species)) colour = colour.lighter(170);
        layer->setBrush(QBrush(colour, seriesFillStyle(s)));
        layer->setPen(QPen(Qt::white, 1.0));
        layer->setName(speciesName(species));
        layer->setProperty(SPECIES_PROPERTY, species.species);
        chart->addSeries(layer);
        layer->attachAxis(x);
        layer->attachAxis(y);
    }
    return chart;
}

QString classLabel(int lowerCm) {
    return QStringLiteral("%1–%2").arg(lowerCm).arg(lowerCm + 5);
}

QChart* diameterChart(const RunChartData& data, const ChartOptions& options) {
    const int year = diameterChartYear(data, options);
    QChart* chart = newChart(QStringLiteral("Stems by 5-cm diameter class in year %1").arg(year));
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
    for (size_t s = 0; s < data.species.size(); ++s) {
        const ChartSpecies& species = data.species[s];
        if (!shown(options, species.species)) continue;
        auto* set = new QBarSet(speciesName(species));
        for (const int lower : classes) {
            double stems = 0.0;
            const auto row = distribution.find(lower);
            if (row != distribution.end()) {
                const auto cell = row->second.find(species.species);
                if (cell != row->second.end()) stems = cell->second;
            }
            set->append(stems);
            maximum = std::max(maximum, classTotals[lower] += stems);
        }
        QColor colour = speciesColour(data, species.species);
        if (options.focusSpecies && !inFocus(options, species.species)) colour = colour.lighter(170);
        set->setBrush(QBrush(colour, seriesFillStyle(s)));
        set->setBorderColor(Qt::white);
        set->setProperty(SPECIES_PROPERTY, species.species);
        bars->append(set);
    }
    chart->addSeries(bars);
    auto* x = new QBarCategoryAxis;
    styleAxis(x, QStringLiteral("Diameter at breast height (cm)"));
    for (const int lower : classes) x->append(classLabel(lower));
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    bars->attachAxis(addValueAxis(chart, QStringLiteral("Stems (stems/ha)"), 0.0, maximum));
    return chart;
}

}  // namespace

bool isBySpecies(ChartKind kind) {
    return kind == ChartKind::BasalArea || kind == ChartKind::Biomass || kind == ChartKind::Stems;
}

StandQuantity quantityOfChart(ChartKind kind) {
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

ChartTable quantityTable(StandQuantity quantity) {
    ChartTable table;
    switch (quantity) {
        case StandQuantity::AboveGroundBiomass:
            table.quantity = "above_ground_biomass";
            table.unit = "Mg_per_ha";
            table.decimals = 1;
            break;
        case StandQuantity::Stems:
            table.quantity = "stems";
            table.unit = "stems_per_ha";
            table.decimals = 0;
            break;
        case StandQuantity::BasalArea:
            table.quantity = "basal_area";
            table.unit = "m2_per_ha";
            table.decimals = 2;
            break;
    }
    return table;
}

QColor speciesColour(const RunChartData& data, int species) {
    return seriesColour(static_cast<size_t>(std::max(0, data.speciesPosition(species))));
}

std::vector<ChartTable> runChartTables(const RunChartData& data, ChartKind kind,
                                       const ChartOptions& options) {
    std::vector<ChartTable> tables;
    if (isBySpecies(kind)) {
        const StandQuantity quantity = quantityOfChart(kind);
        ChartTable table = quantityTable(quantity);
        const QuantityCurves& curves = data.curves(quantity);
        for (size_t s = 0; s < data.species.size(); ++s) {
            const ChartSpecies& species = data.species[s];
            if (!shown(options, species.species)) continue;
            table.curves.push_back(curveOf(data, curves.bySpecies[s], speciesText(species)));
            table.curves.back().band = data.hasIntervals() && inFocus(options, species.species);
        }
        tables.push_back(std::move(table));
    } else if (kind == ChartKind::Totals) {
        for (const StandQuantity quantity : STAND_QUANTITIES) {
            ChartTable table = quantityTable(quantity);
            table.curves.push_back(curveOf(data, data.curves(quantity).total, "Stand total"));
            table.curves.back().band = data.hasIntervals();
            tables.push_back(std::move(table));
        }
    } else if (kind == ChartKind::Composition) {
        ChartTable table{"basal_area_share", "percent", 1, true, {}};
        const std::vector<std::vector<double>> shares = basalAreaShares(data);
        for (size_t s = 0; s < data.species.size(); ++s) {
            if (!shown(options, data.species[s].species)) continue;
            TableCurve curve = curveOf(data, {}, speciesText(data.species[s]));
            for (size_t y = 0; y < data.years.size(); ++y)
                curve.points.push_back({data.years[y], shares[s][y], shares[s][y], shares[s][y]});
            table.curves.push_back(std::move(curve));
        }
        tables.push_back(std::move(table));
    }
    return tables;
}

QString chartCaption(const RunChartData& data, ChartKind kind, const ChartOptions& options) {
    const QString behind = iterationsAndPlots(data);
    const QString rough = roughNote(data.iterations);
    switch (kind) {
        case ChartKind::Composition:
            return QStringLiteral("Layers: each species' share of the average basal area of %1.").arg(behind);
        case ChartKind::Diameters:
            return QStringLiteral("Bars: average stems per hectare of %1, in year %2.")
                .arg(behind)
                .arg(diameterChartYear(data, options));
        default:
            break;
    }
    const bool focusShown = options.focusSpecies && shown(options, *options.focusSpecies) &&
                            data.speciesPosition(*options.focusSpecies) >= 0;
    if (isBySpecies(kind) && !focusShown) {
        return QStringLiteral(
                   "Lines: averages of %1%2. Choose a species in focus to see how sure its average is.")
            .arg(behind, rough);
    }
    if (!data.hasIntervals()) {
        return QStringLiteral(
                   "Line: one iteration of %1 plot%2; a single iteration has no confidence interval.")
            .arg(data.plots)
            .arg(data.plots == 1 ? "" : "s");
    }
    const QString line = QStringLiteral("Line: average of %1%2.");
    if (options.iterationLines && data.hasIterationLines()) {
        return line.arg(behind, rough) + QStringLiteral(" Thin lines: each iteration on its own.");
    }
    QString caption =
        line.arg(behind, rough) + QStringLiteral(" Shading: 95 % confidence interval of that average.");
    if (anyCut(runChartTables(data, kind, options)))
        caption += QStringLiteral(" Where the interval reaches below zero, the shading is cut at zero.");
    return caption;
}

namespace {

// Whether a scenario's name already says each option of "KEY=value, KEY=value" (as its default
// name does: "slow-growth years 3").
bool namesEveryOption(const QString& scenario, const std::string& options) {
    for (const QString& option : QString::fromStdString(options).split(QStringLiteral(", "))) {
        const QStringList keyAndValue = option.split(QLatin1Char('='));
        if (keyAndValue.size() != 2) return false;
        bool named = false;
        for (const ModelOptionKind& kind : MODEL_OPTION_KINDS) {
            if (keyAndValue[0] == QLatin1String(kind.key))
                named = scenario.contains(QString::fromLatin1(kind.name) + QLatin1Char(' ') + keyAndValue[1]);
        }
        if (!named) return false;
    }
    return true;
}

}  // namespace

QString chartSubtitle(const RunChartData& data, const QString& runLabel) {
    const QString scenario = QString::fromStdString(data.scenario);
    QString text = runLabel.isEmpty() ? scenario : runLabel + QStringLiteral(": ") + scenario;
    // The community and climate where the scenario's name does not already say them.
    QStringList facts;
    const QString community = QString::fromStdString(data.community);
    const QString climate = climatePresetName(data.climate, QString::fromStdString(data.climate));
    if (!community.isEmpty() && !scenario.contains(community))
        facts << QStringLiteral("Community: %1").arg(community);
    if (!climate.isEmpty() && !scenario.contains(climate) &&
        !scenario.contains(QString::fromStdString(data.climate)))
        facts << QStringLiteral("Climate: %1").arg(climate);
    facts << QStringLiteral("%1 iterations × %2 plots").arg(data.iterations).arg(data.plots);
    if (!data.years.empty())
        facts << QStringLiteral("Years %1–%2").arg(data.years.front()).arg(data.years.back());
    if (!data.modelOptions.empty() && !namesEveryOption(scenario, data.modelOptions))
        facts << QStringLiteral("Model options: ") + QString::fromStdString(data.modelOptions);
    return text + QStringLiteral("\n") + facts.join(QStringLiteral(" · "));
}

int diameterChartYear(const RunChartData& data, const ChartOptions& options) {
    return options.diameterYear.value_or(data.years.empty() ? 0 : data.years.back());
}

QLabel* newChartTextLine(QWidget* parent, const QString& name) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setContentsMargins(8, 3, 8, 3);
    label->setAutoFillBackground(true);
    QPalette white = label->palette();
    white.setColor(QPalette::Window, CHART_BACKGROUND);
    white.setColor(QPalette::WindowText, CHART_TEXT);
    label->setPalette(white);
    label->setFont(chartFont(CAPTION_POINTS));
    return label;
}

void keepTextWhole(QLabel& label, int width) {
    // A wrapped line asks for the height of its lines at the width it will have; the chart gives
    // way. Before the page has a width of its own there is nothing to ask.
    if (width < 200) return;
    const int needed = label.heightForWidth(width);
    if (needed > 0 && label.minimumHeight() != needed) label.setMinimumHeight(needed);
}

ChartPage::ChartPage(std::shared_ptr<const RunChartData> data, ChartKind kind, ChartOptions options,
                     QWidget* parent, bool withSpeciesList)
    : QWidget(parent), data_(std::move(data)), kind_(kind), options_(std::move(options)) {
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    outer->addLayout(column, 1);
    // One subtitle over every panel and one caption under them, on the charts' white, so that a
    // saved image says what ran and what the lines mean.
    subtitle_ = newChartTextLine(this, QStringLiteral("subtitle"));
    column->addWidget(subtitle_);
    const int panels = kind_ == ChartKind::Totals ? static_cast<int>(STAND_QUANTITIES.size()) : 1;
    // In the window, panels that do not fit a small screen scroll rather than push the window off it.
    QVBoxLayout* panelColumn = column;
    if (withSpeciesList && panels > 1) {
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("panels"));
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        auto* inner = new QWidget(scroll);
        inner->setMinimumHeight(panels * MINIMUM_PANEL_HEIGHT);
        panelColumn = new QVBoxLayout(inner);
        panelColumn->setContentsMargins(0, 0, 0, 0);
        panelColumn->setSpacing(0);
        scroll->setWidget(inner);
        column->addWidget(scroll, 1);
    }
    for (int panel = 0; panel < panels; ++panel) {
        auto* view = new QChartView(this);
        view->setRenderHint(QPainter::Antialiasing);
        view->setFrameShape(QFrame::NoFrame);
        view->setFocusPolicy(Qt::NoFocus);
        // Low rather than pushing the caption off a small screen.
        view->setMinimumHeight(MINIMUM_PANEL_HEIGHT / 2);
        panelColumn->addWidget(view, 1);
        views_.push_back(view);
    }
    caption_ = newChartTextLine(this, QStringLiteral("caption"));
    column->addWidget(caption_);
    if (withSpeciesList &&
        (isBySpecies(kind_) || kind_ == ChartKind::Composition || kind_ == ChartKind::Diameters)) {
        list_ = new QTableWidget(0, 2, this);
        list_->setObjectName(QStringLiteral("speciesList"));
        list_->setHorizontalHeaderLabels({QStringLiteral("Shown"), QStringLiteral("Focus")});
        list_->verticalHeader()->hide();
        list_->setSelectionMode(QAbstractItemView::SingleSelection);
        list_->setSelectionBehavior(QAbstractItemView::SelectItems);
        list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list_->setTabKeyNavigation(false);
        list_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
        list_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
        list_->setToolTip(
            QStringLiteral("Space ticks the cell: Shown draws the species, Focus draws it in colour with "
                           "its confidence interval and the others in grey"));
        outer->addWidget(list_);
        connect(list_, &QTableWidget::cellChanged, this, &ChartPage::listChanged);
    }
    rebuild();
}

void ChartPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int width = event->size().width() - (list_ ? list_->width() : 0);
    keepTextWhole(*subtitle_, width);
    keepTextWhole(*caption_, width);
}

QString ChartPage::subtitle() const {
    return subtitle_->text();
}

QString ChartPage::caption() const {
    return caption_->text();
}

QChart* ChartPage::chart(size_t panel) const {
    return panel < views_.size() ? views_[panel]->chart() : nullptr;
}

void ChartPage::setOptions(ChartOptions options) {
    options_ = std::move(options);
    rebuild();
}

void ChartPage::fillSpeciesList() {
    if (!list_) return;
    const QSignalBlocker quiet(list_);
    list_->setRowCount(static_cast<int>(data_->species.size()));
    for (size_t s = 0; s < data_->species.size(); ++s) {
        const ChartSpecies& species = data_->species[s];
        const int row = static_cast<int>(s);
        auto* name = new QTableWidgetItem(speciesName(species));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        name->setCheckState(shown(options_, species.species) ? Qt::Checked : Qt::Unchecked);
        // A swatch of the species' colour, the same as its line.
        QPixmap swatch(14, 14);
        swatch.fill(speciesColour(*data_, species.species));
        name->setIcon(QIcon(swatch));
        name->setData(Qt::UserRole, species.species);
        list_->setItem(row, 0, name);
        auto* focus = new QTableWidgetItem;
        focus->setToolTip(
            QStringLiteral("Draw %1 in colour with its confidence interval").arg(speciesName(species)));
        focus->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        focus->setCheckState(options_.focusSpecies == species.species ? Qt::Checked : Qt::Unchecked);
        focus->setData(Qt::UserRole, species.species);
        list_->setItem(row, 1, focus);
    }
    // As wide as its names, the rest of the page for the chart.
    list_->resizeColumnsToContents();
    list_->setFixedWidth(list_->horizontalHeader()->length() + 2 * list_->frameWidth() +
                         list_->verticalScrollBar()->sizeHint().width());
}

void ChartPage::listChanged(int row, int column) {
    const QTableWidgetItem* item = list_->item(row, column);
    if (!item) return;
    const int species = item->data(Qt::UserRole).toInt();
    const bool checked = item->checkState() == Qt::Checked;
    // Told queued: whoever decides rebuilds this list, which must not happen inside its own signal.
    if (column == 0) {
        QMetaObject::invokeMethod(
            this, [this, species, checked] { emit speciesShown(species, checked); }, Qt::QueuedConnection);
    } else {
        const std::optional<int> focus = checked ? std::optional<int>(species) : std::nullopt;
        QMetaObject::invokeMethod(
            this, [this, focus] { emit focusChosen(focus); }, Qt::QueuedConnection);
    }
}

void ChartPage::rebuild() {
    subtitle_->setText(chartSubtitle(*data_, options_.runLabel));
    caption_->setText(chartCaption(*data_, kind_, options_));
    fillSpeciesList();
    for (size_t panel = 0; panel < views_.size(); ++panel) {
        QChart* chart = nullptr;
        switch (kind_) {
            case ChartKind::BasalArea:
            case ChartKind::Biomass:
            case ChartKind::Stems:
                chart = speciesChart(*data_, kind_, options_);
                break;
            case ChartKind::Totals:
                chart = totalChart(*data_, STAND_QUANTITIES[panel], options_);
                break;
            case ChartKind::Composition:
                chart = compositionChart(*data_, options_);
                break;
            case ChartKind::Diameters:
                chart = diameterChart(*data_, options_);
                break;
        }
        // The view owns the chart it shows; the one it showed before goes.
        QChart* previous = views_[panel]->chart();
        views_[panel]->setChart(chart);
        delete previous;
    }
}

bool writeChartPage(QWidget& page, const QString& file, int scale) {
    page.resize(CHART_IMAGE_SIZE);
    if (page.layout()) page.layout()->activate();
    // The views pass their sizes on to their charts, which lay themselves out, through events.
    QCoreApplication::sendPostedEvents();
    if (QFileInfo(file).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        QSvgGenerator drawing;
        drawing.setFileName(file);
        drawing.setSize(CHART_IMAGE_SIZE);
        drawing.setViewBox(QRect(QPoint(0, 0), CHART_IMAGE_SIZE));
        drawing.setTitle(page.windowTitle());
        // Text in points comes out the size it has on the screen the page was laid out for.
        drawing.setResolution(page.logicalDpiX());
        QPainter painter;
        if (!painter.begin(&drawing)) return false;
        page.render(&painter);
        return painter.end();
    }
    QImage image(CHART_IMAGE_SIZE * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        page.render(&painter);
    }
    return image.save(file, "PNG");
}

bool saveChartImage(const std::shared_ptr<const RunChartData>& data, ChartKind kind,
                    const ChartOptions& options, const QString& file, int scale) {
    ChartPage page(data, kind, options);
    return writeChartPage(page, file, scale);
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
        for (const char* extension : {".png", ".svg"}) {
            const QString file = directory.filePath(QString::fromLatin1(description.name) + extension);
            if (!writeChartPage(page, file)) {
                std::fprintf(stderr, "dravia4: cannot write the chart \"%s\"\n", qPrintable(file));
                return EXIT_FATAL_ERROR;
            }
        }
    }
    return EXIT_NORMAL;
}

}  // namespace

}  // namespace dravia
