#include "app/ComparisonCharts.h"

#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <cstdio>
#include <new>

#include "app/ChartDrawing.h"
#include "app/ChartStyle.h"
#include "app/RunCharts.h"
#include "display/DisplayNames.h"
#include "platform/ProgramExit.h"

namespace dravia {

namespace {

QString letter(size_t run) {
    return QString(QChar(static_cast<char16_t>(u'A' + run)));
}

// "Stand basal area", "Sugar maple basal area".
QString choiceName(const ComparisonChoice& choice) {
    const QString what = choice.species ? QString::fromStdString(*choice.species) : QStringLiteral("Stand");
    return QStringLiteral("%1 %2").arg(what, quantityName(choice.quantity).toLower());
}

QChart* comparisonChart(const ComparedRuns& runs, ComparisonKind kind, const ComparisonChoice& choice,
                        const ChartTable& table, bool compact) {
    std::vector<DrawnLine> lines;
    for (size_t c = 0; c < table.curves.size(); ++c) {
        // A difference takes the colour of the run it is taken from.
        const size_t run = kind == ComparisonKind::Difference ? c + 1 : c;
        DrawnLine line;
        line.curve = &table.curves[c];
        line.colour = chartColour(run);
        line.style = seriesLineStyle(run);
        line.band = table.curves[c].band;
        line.legend =
            QStringLiteral("%1: %2").arg(letter(run), QString::fromStdString(table.curves[c].scenario));
        line.label =
            kind == ComparisonKind::Difference ? letter(run) + QStringLiteral(" \u2212 A") : letter(run);
        lines.push_back(line);
    }
    LineChartLayout layout;
    const QString unit = quantityUnit(choice.quantity);
    if (kind == ComparisonKind::Scenarios) {
        layout.title = QStringLiteral("%1 (%2) by scenario").arg(choiceName(choice), unit);
        layout.valueTitle = unit;
    } else {
        layout.title = QStringLiteral("%1 minus A (%2)").arg(choiceName(choice), unit);
        layout.valueTitle = unit;
        layout.cutAtZero = false;
        layout.zeroLine = true;
    }
    QChart* chart = newLineChart(layout, lines);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // Beside the window's run list the subtitle names A, B...: the legend gives the chart its room.
    if (compact) chart->legend()->setVisible(false);
    (void)runs;
    return chart;
}

bool anyBelowZero(const ChartTable& table) {
    for (const TableCurve& curve : table.curves) {
        if (!curve.band) continue;
        for (const CurvePoint& point : curve.points)
            if (point.lower < 0.0) return true;
    }
    return false;
}

int fewestIterations(const ComparedRuns& runs) {
    int fewest = runs.empty() ? 0 : runs.front()->iterations;
    for (const auto& run : runs) fewest = std::min(fewest, run->iterations);
    return fewest;
}

}  // namespace

QString comparisonSubtitle(const ComparedRuns& runs) {
    QStringList lines;
    const std::vector<std::string> names = comparedNames(runs);
    for (size_t r = 0; r < runs.size(); ++r) {
        const RunChartData& run = *runs[r];
        const QString name = QString::fromStdString(names[r]);
        // The community and climate where the scenario's name does not already say them.
        QStringList facts;
        const QString community = QString::fromStdString(run.community);
        const QString climate = climatePresetName(run.climate, QString::fromStdString(run.climate));
        if (!community.isEmpty() && !name.contains(community)) facts << community;
        if (!climate.isEmpty() && !name.contains(climate) &&
            !name.contains(QString::fromStdString(run.climate)))
            facts << climate;
        facts << QStringLiteral("%1 iterations × %2 plots").arg(run.iterations).arg(run.plots);
        if (!run.years.empty())
            facts << QStringLiteral("years %1–%2").arg(run.years.front()).arg(run.years.back());
        lines << QStringLiteral("%1: %2 · %3").arg(letter(r), name, facts.join(QStringLiteral(" · ")));
    }
    return lines.join(QLatin1Char('\n'));
}

QString comparisonCaption(const ComparedRuns& runs, ComparisonKind kind, const ChartTable& table) {
    const int fewest = fewestIterations(runs);
    const QString rough = fewest < 10 ? QStringLiteral(" (few iterations: rough)") : QString();
    if (kind == ComparisonKind::Scenarios) {
        QString caption = QStringLiteral(
                              "Lines: each scenario's average of its iterations%1. Shading: 95 % "
                              "confidence interval of that average.")
                              .arg(rough);
        if (anyBelowZero(table))
            caption += QStringLiteral(" Where the interval reaches below zero, the shading is cut at zero.");
        return caption;
    }
    return QStringLiteral(
               "Line: each scenario's average minus A's%1. Shading: 95 % interval of the difference "
               "(Welch); where it leaves the zero line, the difference is larger than chance.")
        .arg(rough);
}

ComparisonPage::ComparisonPage(ComparisonKind kind, QWidget* parent, bool compact)
    : QWidget(parent), kind_(kind) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    subtitle_ = newChartTextLine(this, QStringLiteral("subtitle"));
    view_ = new QChartView(this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setFocusPolicy(Qt::NoFocus);
    caption_ = newChartTextLine(this, QStringLiteral("caption"));
    note_ = newChartTextLine(this, QStringLiteral("yearsNote"));
    // Beside the window's controls the run list says the rest: the subtitle steps back.
    compact_ = compact;
    if (compact) subtitle_->setFont(chartFont(COMPACT_SUBTITLE_POINTS));
    layout->addWidget(subtitle_);
    layout->addWidget(view_, 1);
    layout->addWidget(caption_);
    layout->addWidget(note_);
    note_->hide();
}

void ComparisonPage::showRuns(const ComparedRuns& runs, const ComparisonChoice& choice) {
    table_ =
        kind_ == ComparisonKind::Scenarios ? comparisonTable(runs, choice) : differenceTable(runs, choice);
    subtitle_->setText(comparisonSubtitle(runs));
    caption_->setText(comparisonCaption(runs, kind_, table_));
    const QString note = QString::fromStdString(sharedYearsNote(runs));
    note_->setText(note);
    note_->setVisible(!note.isEmpty());
    QChart* previous = view_->chart();
    view_->setChart(comparisonChart(runs, kind_, choice, table_, compact_));
    delete previous;
}

void ComparisonPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (QLabel* label : {subtitle_, caption_, note_}) keepTextWhole(*label, event->size().width());
}

QChart* ComparisonPage::chart() const {
    return view_->chart();
}

QString ComparisonPage::caption() const {
    return caption_->text();
}

QString ComparisonPage::subtitle() const {
    return subtitle_->text();
}

QString ComparisonPage::yearsNote() const {
    return note_->text();
}

namespace {

const char* quantityFileName(StandQuantity quantity) {
    switch (quantity) {
        case StandQuantity::AboveGroundBiomass:
            return "biomass";
        case StandQuantity::Stems:
            return "stems";
        case StandQuantity::BasalArea:
            break;
    }
    return "basal-area";
}

bool writeText(const QString& file, const std::string& text) {
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           out.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) &&
           out.flush();
}

int writeComparisonChartsOf(const QStringList& databaseFiles, const QString& outputDirectory,
                            const std::optional<QString>& species) {
    ComparedRuns runs;
    for (const QString& file : databaseFiles) {
        try {
            runs.push_back(std::make_shared<const RunChartData>(readRunChartData(file.toStdString())));
        } catch (const RunDatabaseError& error) {
            std::fprintf(stderr, "dravia4: %s\n", error.what());
            return EXIT_FATAL_ERROR;
        }
    }
    if (sharedYears(runs).empty()) {
        std::fprintf(stderr, "dravia4: the runs share no recorded year, so they cannot be compared: %s\n",
                     sharedYearsNote(runs).c_str());
        return EXIT_FATAL_ERROR;
    }
    const std::string note = sharedYearsNote(runs);
    if (!note.empty()) std::fprintf(stderr, "dravia4: %s\n", note.c_str());
    const std::vector<std::string> known = comparedSpecies(runs);
    std::string chosen = species ? species->toStdString() : leadingSpecies(runs);
    if (species && std::find(known.begin(), known.end(), chosen) == known.end()) {
        std::string list;
        for (const std::string& name : known) list += (list.empty() ? "" : ", ") + name;
        std::fprintf(stderr, "dravia4: no run has the species \"%s\" (they have: %s)\n", chosen.c_str(),
                     list.c_str());
        return EXIT_USAGE;
    }
    if (!QDir().mkpath(outputDirectory)) {
        std::fprintf(stderr, "dravia4: cannot create the directory \"%s\"\n", qPrintable(outputDirectory));
        return EXIT_FATAL_ERROR;
    }
    const QDir directory(outputDirectory);
    std::vector<std::optional<std::string>> subjects = {std::nullopt};
    if (!chosen.empty()) subjects.push_back(chosen);
    for (const auto& subject : subjects) {
        for (const StandQuantity quantity : STAND_QUANTITIES) {
            const ComparisonChoice choice{quantity, subject};
            for (const ComparisonKind kind : {ComparisonKind::Scenarios, ComparisonKind::Difference}) {
                ComparisonPage page(kind);
                page.showRuns(runs, choice);
                const QString name = QStringLiteral("%1-%2-%3")
                                         .arg(kind == ComparisonKind::Scenarios ? "compare" : "difference",
                                              subject ? "species" : "total", quantityFileName(quantity));
                for (const char* extension : {".png", ".svg"}) {
                    const QString file = directory.filePath(name + extension);
                    if (!writeChartPage(page, file)) {
                        std::fprintf(stderr, "dravia4: cannot write the chart \"%s\"\n", qPrintable(file));
                        return EXIT_FATAL_ERROR;
                    }
                }
                const QString csv = directory.filePath(name + ".csv");
                if (!writeText(csv, chartTablesCsv({page.table()}))) {
                    std::fprintf(stderr, "dravia4: cannot write the chart data \"%s\"\n", qPrintable(csv));
                    return EXIT_FATAL_ERROR;
                }
            }
        }
    }
    return EXIT_NORMAL;
}

}  // namespace

int writeComparisonCharts(const QStringList& databaseFiles, const QString& outputDirectory,
                          const std::optional<QString>& species) {
    try {
        return writeComparisonChartsOf(databaseFiles, outputDirectory, species);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "dravia4: %s\n", OUT_OF_MEMORY_MESSAGE);
        return EXIT_FATAL_ERROR;
    }
}

}  // namespace dravia
