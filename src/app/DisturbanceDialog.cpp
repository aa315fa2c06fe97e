#include "app/DisturbanceDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace dravia {

namespace {

constexpr double SMALLEST_PROBABILITY = 0.0001;

}  // namespace

DisturbanceDialog::DisturbanceDialog(ModelState& model, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Logging/Windthrow Parameters"), parent) {
    auto* layout = new QVBoxLayout(this);

    auto* logging = new QGroupBox(QStringLiteral("Logging"), this);
    auto* loggingGrid = new QGridLayout(logging);
    logging_ = checkField(loggingGrid, 0, 0, QStringLiteral("Permit &Logging"), "logging");
    firstYear_ =
        lineField(loggingGrid, 1, 0, QStringLiteral("Years Until First Logging:"), "FIRST_DISTURB_YEAR");
    frequency_ = lineField(loggingGrid, 2, 0, QStringLiteral("Logging Frequency (years):"), "BLOW_FREQ");
    logSize_ = lineField(loggingGrid, 3, 0, QStringLiteral("Minimum Size to Log (cm):"),
                         "MIN_DIAM_TO_KILL_FOR_LOGGING");
    layout->addWidget(logging);

    auto* windthrow = new QGroupBox(QStringLiteral("Windthrow"), this);
    auto* windthrowGrid = new QGridLayout(windthrow);
    windthrow_ = checkField(windthrowGrid, 0, 0, QStringLiteral("Permit &Windthrow"), "windthrow");
    probability_ =
        lineField(windthrowGrid, 1, 0, QStringLiteral("Windthrow Probability (0.0 - 1.0):"), "BLOW_PROB");
    killSize_ = lineField(windthrowGrid, 2, 0, QStringLiteral("Minimum Size to Kill (cm):"),
                          "MIN_DIAM_TO_KILL_FOR_WINDTHROW");
    layout->addWidget(windthrow);

    auto* files = new QGroupBox(QStringLiteral("File Names"), this);
    auto* filesGrid = new QGridLayout(files);
    afterResults_ = lineField(filesGrid, 0, 0, QStringLiteral("After Disturbance Results File:"),
                              "AFTER_DISTURBANCE_RESULTS_FILE");
    afterStats_ = lineField(filesGrid, 1, 0, QStringLiteral("After Disturbance Statistics Results File:"),
                            "AFTER_DISTURB_STATS_RESULTS_FILE");
    disturbResults_ =
        lineField(filesGrid, 2, 0, QStringLiteral("Disturbance Results File:"), "DISTURBANCE_RESULTS_FILE");
    disturbStats_ = lineField(filesGrid, 3, 0, QStringLiteral("Disturbance Statistics Results File:"),
                              "DISTURBANCE_STATS_RESULTS_FILE");
    for (QLineEdit* name : {afterResults_, afterStats_, disturbResults_, disturbStats_}) {
        name->setMaxLength(255);
        name->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 36);
    }
    layout->addWidget(files);
    addButtonRow(layout);

    const RunParameters& p = model_.params;
    logging_->setChecked(p.BLOW_DOWN == 1 && p.BLOW_PROB == 0.0 && p.BLOW_FREQ >= 1);
    windthrow_->setChecked(p.BLOW_DOWN == 1 && p.BLOW_PROB != 0.0);
    // Disabled fields are checked too: show values that pass.
    firstYear_->setText(QString::number(std::max(p.FIRST_DISTURB_YEAR, 1)));
    showHeldNumber(logSize_, p.MIN_DIAM_TO_KILL_FOR_LOGGING, 1);
    showHeldNumber(killSize_, p.MIN_DIAM_TO_KILL_FOR_WINDTHROW, 1);
    frequency_->setText(QString::number(std::max(p.BLOW_FREQ, 1)));
    showHeldNumber(probability_, p.BLOW_PROB < SMALLEST_PROBABILITY ? SMALLEST_PROBABILITY : p.BLOW_PROB, 4);
    afterResults_->setText(storedText(p.AFTER_DISTURBANCE_RESULTS_FILE));
    afterStats_->setText(storedText(p.AFTER_DISTURB_STATS_RESULTS_FILE));
    disturbResults_->setText(storedText(p.DISTURBANCE_RESULTS_FILE));
    disturbStats_->setText(storedText(p.DISTURBANCE_STATS_RESULTS_FILE));
    applyEnabling();

    connect(logging_, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked) windthrow_->setChecked(false);
        applyEnabling();
    });
    connect(windthrow_, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked) logging_->setChecked(false);
        applyEnabling();
    });
}

void DisturbanceDialog::applyEnabling() {
    const bool logging = logging_->isChecked();
    const bool windthrow = windthrow_->isChecked();
    firstYear_->setEnabled(logging);
    frequency_->setEnabled(logging);
    logSize_->setEnabled(logging);
    probability_->setEnabled(windthrow);
    killSize_->setEnabled(windthrow);
}

void DisturbanceDialog::accept() {
    int firstYear = 0, frequency = 0;
    double logSize = 0.0, killSize = 0.0, probability = 0.0;
    FieldReader reader = fieldReader();
    reader.integer(firstYear_, firstYear, IntegerRange{1, 50000});
    reader.number(logSize_, logSize, NumberRange{0.0, 100000.0});
    reader.number(killSize_, killSize, NumberRange{0.0, 100000.0});
    reader.integer(frequency_, frequency, IntegerRange{1, 100000});
    reader.number(probability_, probability, NumberRange{SMALLEST_PROBABILITY, 1.0});
    if (!reader.passed()) return;

    RunParameters& p = model_.params;
    p.BLOW_DOWN = 0;
    p.TEST_DISTURB = 0;
    p.BLOW_FREQ = 0;
    p.BLOW_PROB = 0.0;
    if (logging_->isChecked()) {
        p.BLOW_DOWN = 1;
        p.TEST_DISTURB = 1;
        p.FIRST_DISTURB_YEAR = firstYear;
        p.MIN_DIAM_TO_KILL_FOR_LOGGING = logSize;
        p.BLOW_FREQ = frequency;
    }
    if (windthrow_->isChecked()) {
        p.BLOW_DOWN = 1;
        p.TEST_DISTURB = 1;
        p.MIN_DIAM_TO_KILL_FOR_WINDTHROW = killSize;
        p.BLOW_PROB = probability;
    }
    p.AFTER_DISTURBANCE_RESULTS_FILE = storedName(afterResults_);
    p.AFTER_DISTURB_STATS_RESULTS_FILE = storedName(afterStats_);
    p.DISTURBANCE_RESULTS_FILE = storedName(disturbResults_);
    p.DISTURBANCE_STATS_RESULTS_FILE = storedName(disturbStats_);
    QDialog::accept();
}

}  // namespace dravia
