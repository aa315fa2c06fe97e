#include "app/SiteDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "display/DisplayNames.h"
#include "input/Communities.h"

namespace dravia {

namespace {

constexpr double METRES_TO_FEET = 3.2808;

// Every field in plain words, with its unit.
constexpr FieldHelp FIELD_HELP[] = {
    {"CLEAR_PLOT",
     "Whether each iteration starts from the trees of the plot file or from bare ground, as "
     "after a clear-cut or a fire."},
    {"CLIMATE_CHANGE",
     "Constant: every simulated year has the average climate of the weather file. "
     "Year-to-year: each simulated year takes the next year of the weather file, with its "
     "warm, cold, wet and dry years."},
    {"WTHR_TYPE",
     "The name of the climate the results files and the plot's header give the run. The "
     "weather itself comes from the weather file below."},
    {"WATER_STRESS_MODE",
     "How the yearly water shortage is measured: from the evaporation the trees could "
     "not make (evap), or from the water left in the soil (soil water)."},
    {"RANDOM_STATE",
     "Where the chance events of the next run (saplings, deaths, windthrow) start from. "
     "The same number repeats a run exactly; another gives another possible forest."},
    {"BA_MAX",
     "The most basal area (the cross-sections of all stems at breast height) a plot of 100 m² can "
     "hold, in square centimetres: 6500 cm² per plot is 65 m² per hectare. Growth slows as the "
     "plot fills up and stops at it."},
    {"AVAIL_N",
     "Nitrogen the soil makes available to the trees each year, in kilograms per hectare: about "
     "45 on poor outwash sand, 95 on the rich soil of a northern hardwood forest."},
    {"ELEVATION",
     "Height of the site above sea level, in metres; the weather file's temperatures are "
     "lowered by 0.65 °C per 100 m above its station."},
    {"LATITUDE",
     "Latitude of the site, in degrees north; it sets the length of the days in the water "
     "balance."},
    {"PERCENT_ROCK",
     "Share of the ground that is rock, in percent (0 to below 100): rock holds no water "
     "and grows no trees."},
    {"SOIL_DEPTH", "Depth of the soil down to bedrock or hardpan, in metres."},
    {"ROOT_DEPTH",
     "How deep the roots reach, in metres; the soil water within this depth (and above the "
     "water table) is what the trees can use."},
    {"WATER_DEPTH",
     "Depth of the water table below the surface, in metres. Deeper than the soil: it neither "
     "helps nor harms the trees."},
    {"TEXTURE",
     "How much water the soil holds for the trees, in millimetres of water per metre of soil "
     "depth: about 90 for sand, 160 for sandy loam, 250 for silt loam."},
    {"WTHR_FILE",
     "The weather file of monthly temperatures (°F) and precipitation (inches), in the Data "
     "folder."},
    {"PLOT_FILE",
     "The plot file: the site's values and the trees each iteration starts from. A new name is "
     "read at OK, and its site values replace those above."},
    {"SPP_PARAM_FILE", "The species file: the values of every species. A new name is read at OK."},
};

}  // namespace

SiteDialog::SiteDialog(ModelState& model, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Site Information Parameters"), parent) {
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    // Two columns of label and field: the run's choices on the left, the soil on the right.
    initialState_ = listField(
        grid, 0, 0, QStringLiteral("Initial State:"),
        {QStringLiteral("Initial forest on plot"), QStringLiteral("Start with clear plot")}, "CLEAR_PLOT");
    climateChange_ = listField(
        grid, 1, 0, QStringLiteral("Climate Change:"),
        {QStringLiteral("Constant (average) climate"), QStringLiteral("Year-to-year climate changes")},
        "CLIMATE_CHANGE");
    // The climates named with their size, as the community's data describe them.
    weatherType_ =
        listField(grid, 2, 0, QStringLiteral("Weather Type:"),
                  {climatePresetOf(model.params, 0), climatePresetOf(model.params, 1)}, "WTHR_TYPE");
    siteMode_ = listField(grid, 3, 0, QStringLiteral("Site Mode:"),
                          {QStringLiteral("Water Stress: evap"), QStringLiteral("Water Stress: soil water")},
                          "WATER_STRESS_MODE");
    seed_ = lineField(grid, 4, 0, QStringLiteral("Random Number Seed:"), "RANDOM_STATE");
    basalAreaMaximum_ = lineField(grid, 5, 0, QStringLiteral("Max Basal Area (sq cm):"), "BA_MAX");
    availableNitrogen_ = lineField(grid, 6, 0, QStringLiteral("Avail N (-100's to +100's):"), "AVAIL_N");

    elevation_ = lineField(grid, 0, 2, QStringLiteral("Elevation (m):"), "ELEVATION");
    latitude_ = lineField(grid, 1, 2, QStringLiteral("Latitude (deg):"), "LATITUDE");
    percentRock_ = lineField(grid, 2, 2, QStringLiteral("Percent Rock in Soil:"), "PERCENT_ROCK");
    soilDepth_ = lineField(grid, 3, 2, QStringLiteral("Soil Depth (m):"), "SOIL_DEPTH");
    rootDepth_ = lineField(grid, 4, 2, QStringLiteral("Root Depth (m):"), "ROOT_DEPTH");
    waterDepth_ = lineField(grid, 5, 2, QStringLiteral("Water Depth (m):"), "WATER_DEPTH");
    texture_ = new QLineEdit(this);
    texture_->setObjectName(QStringLiteral("TEXTURE"));
    auto* moisture = new QVBoxLayout;
    moisture->setSpacing(0);
    auto* moistureLabel = new QLabel(QStringLiteral("Moisture Capacity"), this);
    moistureLabel->setBuddy(texture_);
    moisture->addWidget(moistureLabel);
    moisture->addWidget(new QLabel(QStringLiteral("(mm H20 / m depth):"), this));
    grid->addLayout(moisture, 6, 2);
    grid->addWidget(texture_, 6, 3);
    layout->addLayout(grid);

    auto* files = new QGridLayout;
    weatherFile_ = lineField(files, 0, 0, QStringLiteral("Weather File:"), "WTHR_FILE");
    plotFile_ = lineField(files, 1, 0, QStringLiteral("Plot File:"), "PLOT_FILE");
    speciesFile_ = lineField(files, 2, 0, QStringLiteral("Species File:"), "SPP_PARAM_FILE");
    for (QLineEdit* name : {weatherFile_, plotFile_, speciesFile_}) name->setMaxLength(255);
    layout->addLayout(files);
    addButtonRow(layout);
    explainFields(FIELD_HELP);

    // Each number is shown to the places a person enters it with (metres to the decimetre for
    // the elevation, the generator state to the smallest seed step).
    const RunParameters& p = model_.params;
    const Site& site = model_.site;
    initialState_->setCurrentIndex(std::clamp(p.CLEAR_PLOT, 0, 1));
    climateChange_->setCurrentIndex(std::clamp(p.CLIMATE_CHANGE, 0, 1));
    weatherType_->setCurrentIndex(std::clamp(p.WTHR_TYPE, 0, 1));
    showHeldNumber(availableNitrogen_, site.AVAIL_N, 2);
    showHeldNumber(basalAreaMaximum_, p.BA_MAX, 1);
    showHeldNumber(elevation_, site.ELEVATION, 1);
    showHeldNumber(latitude_, site.LATITUDE, 2);
    showHeldNumber(percentRock_, site.PERCENT_ROCK, 1);
    showHeldNumber(seed_, model_.run.RANDOM_STATE, 6);
    showHeldNumber(soilDepth_, site.SOIL_DEPTH, 3);
    showHeldNumber(texture_, site.TEXTURE, 1);
    showHeldNumber(waterDepth_, site.WATER_DEPTH, 2);
    weatherFile_->setText(storedText(p.WTHR_FILE));
    showHeldNumber(rootDepth_, site.ROOT_DEPTH, 3);
    siteMode_->setCurrentIndex(std::clamp(p.WATER_STRESS_MODE, 0, 1));
    plotFile_->setText(storedText(p.PLOT_FILE));
    speciesFile_->setText(storedText(p.SPP_PARAM_FILE));
    openedSpeciesFile_ = p.SPP_PARAM_FILE;
    openedPlotFile_ = p.PLOT_FILE;
}

void SiteDialog::accept() {
    Site site = model_.site;
    double basalAreaMaximum = 0.0, seed = 0.0;
    FieldReader reader = fieldReader();
    reader.number(availableNitrogen_, site.AVAIL_N);
    reader.number(basalAreaMaximum_, basalAreaMaximum, NumberRange{0.001, 10000000.0});
    reader.number(elevation_, site.ELEVATION, NumberRange{0.0, 100000.0});
    reader.number(latitude_, site.LATITUDE, NumberRange{0.0, 90.0});
    reader.number(percentRock_, site.PERCENT_ROCK, NumberRange{0.0, 100.0});
    reader.number(seed_, seed, NumberRange{0.000001, 999999999.0});
    reader.number(soilDepth_, site.SOIL_DEPTH, NumberRange{0.001, 100000.0});
    reader.number(texture_, site.TEXTURE, NumberRange{0.0, 1000.0});
    reader.number(waterDepth_, site.WATER_DEPTH);
    reader.number(rootDepth_, site.ROOT_DEPTH, NumberRange{0.001, 100000.0});
    if (!reader.passed()) return;

    RunParameters& p = model_.params;
    p.CLEAR_PLOT = initialState_->currentIndex();
    p.CLIMATE_CHANGE = climateChange_->currentIndex();
    p.WTHR_TYPE = weatherType_->currentIndex();
    p.BA_MAX = basalAreaMaximum;
    site.ELEV_FT = site.ELEVATION * METRES_TO_FEET;
    model_.site = site;
    // The next run goes on from this state of the generator.
    model_.run.RANDOM_STATE = seed;
    p.WTHR_FILE = storedName(weatherFile_);

    guardedLoad([&] {
        reloadAfterNameChange(model_, openedSpeciesFile_, storedName(speciesFile_), openedPlotFile_,
                              storedName(plotFile_));
    });
    p.WATER_STRESS_MODE = siteMode_->currentIndex();
    QDialog::accept();
}

}  // namespace dravia
