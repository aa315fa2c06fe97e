#include "app/RunControlDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "platform/Format.h"

namespace dravia {

namespace {

constexpr int DISPLAY_OFF = 3;

// Beyond these counts the display and the statistics table cannot keep up.
constexpr int MAX_PRINTS = 200;
constexpr int MAX_RESULTS = RESULT_INTERVAL_LIMIT;

// Every field in plain words, with its unit.
constexpr FieldHelp FIELD_HELP[] = {
    {"SCREEN_OUTPUT_MODE",
     "What the window shows during a run: the picture of the plot, a table of its "
     "species, or nothing (the fastest; results go to the files only)."},
    {"PAUSE_AT_INTERVALS", "Stop every pause interval and ask whether to go on."},
    {"PRINT_INTERV", "Years between two such stops, and between two refreshes of the table display."},
    {"PAUSE_EVERY_ITERATION", "Ask after each iteration whether to go on with the next."},
    {"NUM_ITERS",
     "How many times the run repeats its years from the same start. Chance makes every "
     "iteration a different possible forest; their average, with its 95 % confidence "
     "interval, is what the statistics and the charts show. At least 2 for the statistics."},
    {"NUM_YEARS", "How many years each iteration simulates."},
    {"FILE_OUTPUT_FLAG", "Write the results of every iteration to the results file, for the statistics."},
    {"OUTPUT_EVERY_TREE", "Also write every tree of every plot to the results file (large files)."},
    {"RESULTS_INTERV",
     "Years between two records in the results file (every record year is one line of "
     "the statistics)."},
    {"RESULTS_FILE", "The file the results of the run are written to, in the Data folder."},
    {"STATS_RESULTS_FILE",
     "The file the statistics of the run (averages and confidence intervals) are "
     "written to."},
};

constexpr IntegerRange ITERATIONS{1, 10000};
constexpr IntegerRange YEARS{1, 50000};

}  // namespace

RunControlDialog::RunControlDialog(ModelState& model, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Input, Output, Run-Time Control Parameters"), parent) {
    auto* layout = new QVBoxLayout(this);

    auto* iterations = new QGroupBox(QStringLiteral("Iterations"), this);
    auto* iterationsGrid = new QGridLayout(iterations);
    numIters_ = lineField(iterationsGrid, 0, 0, QStringLiteral("Number of Iterations:"), "NUM_ITERS");
    numYears_ = lineField(iterationsGrid, 1, 0, QStringLiteral("Years per Iteration:"), "NUM_YEARS");
    layout->addWidget(iterations);

    auto* display = new QGroupBox(QStringLiteral("Displaying of Results"), this);
    auto* displayGrid = new QGridLayout(display);
    screenMode_ = listField(displayGrid, 0, 0, QStringLiteral("Screen Output Mode:"),
                            {QStringLiteral("Graphics Image Display"), QStringLiteral("Tabular Display"),
                             QStringLiteral("Display Off - File Output Only")},
                            "SCREEN_OUTPUT_MODE");
    pauseAtIntervals_ =
        checkField(displayGrid, 1, 0, QStringLiteral("Pause at I&ntervals:"), "PAUSE_AT_INTERVALS");
    printInterv_ = lineField(displayGrid, 2, 0, QStringLiteral("Pause Interval:"), "PRINT_INTERV");
    auto* years = new QLabel(QStringLiteral("(years)"), this);
    greyWithField(years, printInterv_);
    displayGrid->addWidget(years, 2, 2);
    pauseEveryIteration_ =
        checkField(displayGrid, 3, 0, QStringLiteral("&Pause Every Iteration:"), "PAUSE_EVERY_ITERATION");
    layout->addWidget(display);

    auto* files = new QGroupBox(QStringLiteral("Writing Results to File"), this);
    auto* filesGrid = new QGridLayout(files);
    fileOutput_ = checkField(filesGrid, 0, 0, QStringLiteral("&Output Results To File:"), "FILE_OUTPUT_FLAG");
    outputEveryTree_ =
        checkField(filesGrid, 1, 0, QStringLiteral("Output &Every Tree:"), "OUTPUT_EVERY_TREE");
    resultsInterv_ = lineField(filesGrid, 2, 0, QStringLiteral("Results Interval:"), "RESULTS_INTERV");
    resultsFile_ = lineField(filesGrid, 3, 0, QStringLiteral("Results File:"), "RESULTS_FILE");
    statsFile_ = lineField(filesGrid, 4, 0, QStringLiteral("Results Statistics File:"), "STATS_RESULTS_FILE");
    for (QLineEdit* name : {resultsFile_, statsFile_}) {
        name->setMaxLength(255);
        name->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    }
    layout->addWidget(files);
    addButtonRow(layout);
    explainFields(FIELD_HELP);

    const RunParameters& p = model_.params;
    screenMode_->setCurrentIndex(std::clamp(p.SCREEN_OUTPUT_MODE - 1, 0, 2));
    pauseAtIntervals_->setChecked(p.PAUSE_AT_INTERVALS != 0);
    numIters_->setText(QString::number(p.NUM_ITERS));
    resultsFile_->setText(storedText(p.RESULTS_FILE));
    printInterv_->setText(QString::number(p.PRINT_INTERV));
    resultsInterv_->setText(QString::number(p.RESULTS_INTERV));
    numYears_->setText(QString::number(p.NUM_YEARS));
    fileOutput_->setChecked(p.FILE_OUTPUT_FLAG != 0);
    statsFile_->setText(storedText(p.STATS_RESULTS_FILE));
    pauseEveryIteration_->setChecked(p.PAUSE_EVERY_ITERATION != 0);
    outputEveryTree_->setChecked(p.OUTPUT_EVERY_TREE);
    applyEnabling();

    // Only the user's changes re-read the fields, never the filling above.
    connect(screenMode_, &QComboBox::activated, this, [this](int position) {
        if (position + 1 == DISPLAY_OFF) fileOutput_->setChecked(true);
        fieldsChanged();
    });
    connect(pauseAtIntervals_, &QCheckBox::clicked, this, &RunControlDialog::fieldsChanged);
    connect(fileOutput_, &QCheckBox::clicked, this, &RunControlDialog::fieldsChanged);
}

bool RunControlDialog::readFields(Values& values) {
    FieldReader reader = fieldReader();
    values.screenOutputMode = screenMode_->currentIndex() + 1;
    values.pauseAtIntervals = pauseAtIntervals_->isChecked() ? 1 : 0;
    reader.integer(numIters_, values.numIters, ITERATIONS);
    values.resultsFile = storedName(resultsFile_);
    reader.integer(printInterv_, values.printInterv);
    reader.integer(resultsInterv_, values.resultsInterv);
    reader.integer(numYears_, values.numYears, YEARS);
    values.fileOutputFlag = fileOutput_->isChecked() ? 1 : 0;
    values.statsResultsFile = storedName(statsFile_);
    values.pauseEveryIteration = pauseEveryIteration_->isChecked() ? 1 : 0;
    values.outputEveryTree = outputEveryTree_->isChecked();
    return reader.passed();
}

void RunControlDialog::fieldsChanged() {
    Values ignored;
    readFields(ignored);
    applyEnabling();
}

void RunControlDialog::applyEnabling() {
    const bool displayOn = screenMode_->currentIndex() + 1 != DISPLAY_OFF;
    pauseAtIntervals_->setEnabled(displayOn);
    pauseEveryIteration_->setEnabled(displayOn);
    printInterv_->setEnabled(displayOn && pauseAtIntervals_->isChecked());
    const bool toFile = fileOutput_->isChecked();
    for (QWidget* field :
         std::initializer_list<QWidget*>{outputEveryTree_, resultsInterv_, resultsFile_, statsFile_}) {
        field->setEnabled(toFile);
    }
}

void RunControlDialog::offerField(QLineEdit* field) {
    // The pause interval also sets how often the tabular display is drawn, and both intervals
    // gate the results written at intervals, so their checks hold while their boxes are greyed;
    // a refusal then makes the box editable, so a message never names a box the user cannot change.
    field->setEnabled(true);
    field->setFocus();
    field->selectAll();
}

bool RunControlDialog::storeChecked(const Values& v) {
    RunParameters& p = model_.params;
    p.SCREEN_OUTPUT_MODE = v.screenOutputMode;
    p.FILE_OUTPUT_FLAG = v.fileOutputFlag;
    p.OUTPUT_EVERY_TREE = v.outputEveryTree;
    p.NUM_YEARS = v.numYears;

    if (v.numIters < 2) {
        showMessage(
            QStringLiteral("Warning: Number of iterations must be at least 2 in order to run the "
                           "statistics program on the data."));
    }
    p.NUM_ITERS = v.numIters;

    // The yearly step divides by the pause interval, so it must be at least one year.
    if (v.printInterv < 1) {
        showMessage(QStringLiteral("Pause interval must be at least 1 year."));
        offerField(printInterv_);
        return false;
    }
    if (v.printInterv > v.numYears) {
        showMessage(QStringLiteral("Pause interval must be less than or equal to number of years."));
        offerField(printInterv_);
        return false;
    }
    if (v.numYears / v.printInterv > MAX_PRINTS) {
        showMessage(QString::fromStdString(formatText(
            "Print interval would cause more than %d prints to be displayed.  Number of years / print "
            "interval should be %d or less.",
            MAX_PRINTS, MAX_PRINTS)));
        offerField(printInterv_);
        return false;
    }
    p.PRINT_INTERV = v.printInterv;

    // A results interval of 0 writes no results records; below that has no meaning.
    if (v.resultsInterv < 0) {
        showMessage(QStringLiteral("Results interval must be 0 (no results) or more."));
        offerField(resultsInterv_);
        return false;
    }
    if (v.resultsInterv > v.numYears) {
        showMessage(QStringLiteral("Results interval must be less than or equal to number of years."));
        offerField(resultsInterv_);
        return false;
    }
    if (v.resultsInterv > 0 && v.numYears / v.resultsInterv > MAX_RESULTS) {
        showMessage(QString::fromStdString(formatText(
            "Results interval would cause more than %d results.  Number of years / results interval "
            "should be %d or less.",
            MAX_RESULTS, MAX_RESULTS)));
        offerField(resultsInterv_);
        return false;
    }

    p.RESULTS_INTERV = v.resultsInterv;
    p.RESULTS_FILE = v.resultsFile;
    p.STATS_RESULTS_FILE = v.statsResultsFile;
    p.PAUSE_AT_INTERVALS = v.pauseAtIntervals;
    p.PAUSE_EVERY_ITERATION = v.pauseEveryIteration;
    return true;
}

void RunControlDialog::accept() {
    Values values;
    if (!readFields(values)) return;
    if (!storeChecked(values)) return;
    QDialog::accept();
}

}  // namespace dravia
