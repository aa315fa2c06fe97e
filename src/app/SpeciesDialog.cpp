#include "app/SpeciesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "display/DisplayNames.h"
#include "display/PlotView.h"
#include "input/SpeciesFile.h"
#include "input/TreeBitmapFile.h"
#include "model/Allometry.h"
#include "platform/Format.h"

namespace dravia {

namespace {

// The bitmap file name that stands for no picture.
constexpr const char* NO_BITMAP = "NONE";

constexpr NumberRange POSITIVE{0.001, 100000.0};
constexpr NumberRange NOT_NEGATIVE{0.0, 100000.0};

const QStringList TOLERANCE_TYPES{QStringLiteral("intolerant"), QStringLiteral("intermediate"),
                                  QStringLiteral("tolerant")};

// Every field in plain words, with its unit.
constexpr FieldHelp FIELD_HELP[] = {
    {"species",
     "The species whose values are shown. Choosing another species keeps the values entered "
     "for this one."},
    {"ABLE_TO_ENTER",
     "Whether saplings of this species can appear on the plots. Off: the species only "
     "grows where it already stands."},
    {"DMAX",
     "The largest stem diameter the species reaches, in centimetres at breast height (DBH, "
     "1.37 m above the ground). Growth slows as a tree comes near it."},
    {"HMAX",
     "The greatest height the species reaches, in centimetres (3700 cm = 37 m). A tree's height "
     "follows from its diameter and reaches this at the maximum diameter."},
    {"AGEMAX",
     "The age in years that about 2 in 100 trees of the species live to: every year a healthy "
     "tree dies with a chance of 4 in this age."},
    {"G",
     "How fast the species grows in diameter on an ideal site, in full light and without crowding "
     "(no unit). Set again from the maximum height and diameter when OK is pressed, so a value "
     "typed here does not stay."},
    {"B2",
     "Not a biomass value: with B3 it shapes the height curve, height (cm) = 130 + B2 × DBH − B3 × "
     "DBH², DBH in cm. Worked out from the maximum diameter and height when OK is pressed, so a "
     "value typed here does not stay."},
    {"B3",
     "Not a biomass value: with B2 it shapes the height curve, height (cm) = 130 + B2 × DBH − B3 × "
     "DBH², DBH in cm. Worked out from the maximum diameter and height when OK is pressed, so a "
     "value typed here does not stay."},
    {"C",
     "How leafy the species is: a tree carries C × DBH² / 1000 kilograms of leaves (DBH in cm). The "
     "leaves of the taller trees shade the smaller ones."},
    {"MAX_LEAF_WT",
     "The most leaves a tree of the species carries, in kilograms. Kept for reference: the "
     "model does not use it."},
    {"N_TYPE",
     "How the species copes with poor soil: intolerant species need soil rich in nitrogen, "
     "tolerant ones grow on poor soil too."},
    {"SHADE_TYPE",
     "How much shade the species stands: intolerant species need open ground, such as a gap "
     "left by a fallen tree; tolerant ones grow up under a closed canopy."},
    {"DDMIN",
     "The coolest climate the species grows in: the year's warmth as degree-days above 40 °F "
     "(4.4 °C), in °F-days (1 °C-day = 1.8 °F-days). Growth is best midway between the minimum "
     "and the maximum and stops at either."},
    {"DDMAX",
     "The warmest climate the species grows in: the year's warmth as degree-days above 40 °F "
     "(4.4 °C), in °F-days (1 °C-day = 1.8 °F-days). A warming climate that passes it stops the "
     "species' growth."},
    {"MIN_DIAM_INC",
     "The diameter growth in a year, in centimetres, below which a tree counts as "
     "suppressed; a suppressed tree runs a much higher risk of dying that year."},
    {"MIN_LIGHT",
     "For species of intermediate shade tolerance: the share of full light (0 to 1) that must "
     "reach the forest floor before their saplings appear."},
    {"MIN_WATER_TABLE",
     "The shallowest water table the species stands, in metres below the surface; a "
     "water table near the surface (a wet site) slows its growth."},
    {"WILT_FACTOR",
     "The water shortage the species endures, as the share (0 to 1) of the water the trees "
     "would use in a year that is missing; at this shortage its growth stops."},
    {"MAX_SAPLINGS", "The most saplings of the species that can appear on a plot in one year."},
    {"SMALL_BITMAP",
     "The picture file (BMP; white shows the ground through) a small tree of the species "
     "is drawn with, and its mark in the legend. NONE draws a coloured shape."},
    {"LARGE_BITMAP",
     "The picture file (BMP; white shows the ground through) a tall tree of the species is "
     "drawn with. NONE uses the small picture at every size."},
    {"LARGE_BITMAP_MIN_HT",
     "From this height on the screen, in pixels (not centimetres), a tree is drawn "
     "with the large picture."},
};

double toFahrenheitDays(double celsiusDays) {
    return celsiusDays / DEGREE_DAY_CONVERSION;
}
double toCelsiusDays(double fahrenheitDays) {
    return fahrenheitDays * DEGREE_DAY_CONVERSION;
}

}  // namespace

std::vector<int> speciesInNameOrder(const ModelState& model) {
    std::vector<int> order;
    for (int sn = 1; sn <= model.NSPP; ++sn) order.push_back(sn);
    std::stable_sort(order.begin(), order.end(), [&model](int a, int b) {
        return speciesDisplayName(model.species[static_cast<size_t>(a)].NAME)
                   .compare(speciesDisplayName(model.species[static_cast<size_t>(b)].NAME),
                            Qt::CaseInsensitive) < 0;
    });
    return order;
}

SpeciesDialog::SpeciesDialog(ModelState& model, PlotView* view, QWidget* parent)
    : ParameterDialog(model, QStringLiteral("Species Parameters"), parent), view_(view) {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QGridLayout;
    list_ = listField(top, 0, 0, QStringLiteral("Species:"), {}, "species");
    for (const int sn : speciesInNameOrder(model_)) {
        list_->addItem(speciesDisplayName(model_.species[static_cast<size_t>(sn)].NAME), sn);
    }
    ableToEnter_ = checkField(top, 0, 2, QStringLiteral("Able To Enter:"), "ABLE_TO_ENTER");
    top->setColumnStretch(1, 1);
    layout->addLayout(top);

    auto* grid = new QGridLayout;
    diameterMaximum_ = lineField(grid, 0, 0, QStringLiteral("Maximum Diameter (cm):"), "DMAX");
    heightMaximum_ = lineField(grid, 1, 0, QStringLiteral("Maximum Height (cm):"), "HMAX");
    ageMaximum_ = lineField(grid, 2, 0, QStringLiteral("Maximum Age (years):"), "AGEMAX");
    growth_ = lineField(grid, 3, 0, QStringLiteral("Growth Constant:"), "G");
    b2_ = lineField(grid, 4, 0, QStringLiteral("Biomass Constant B2:"), "B2");
    b3_ = lineField(grid, 5, 0, QStringLiteral("Biomass Constant B3:"), "B3");
    leafConstant_ = lineField(grid, 6, 0, QStringLiteral("Leaf weight DBH param:"), "C");
    leafWeightMaximum_ = lineField(grid, 7, 0, QStringLiteral("Maximum Leaf Weight (Kg):"), "MAX_LEAF_WT");
    nitrogenType_ =
        listField(grid, 8, 0, QStringLiteral("Nitrogen Tolerance Type:"), TOLERANCE_TYPES, "N_TYPE");
    shadeType_ =
        listField(grid, 9, 0, QStringLiteral("Shade Tolerance Type:"), TOLERANCE_TYPES, "SHADE_TYPE");

    degreeDaysMinimum_ = lineField(grid, 0, 2, QStringLiteral("Minimum degree-days (deg F-days):"), "DDMIN");
    degreeDaysMaximum_ = lineField(grid, 1, 2, QStringLiteral("Maximum degree-days (deg F-days):"), "DDMAX");
    diameterIncrementMinimum_ =
        lineField(grid, 2, 2, QStringLiteral("Minimum diameter increment (cm):"), "MIN_DIAM_INC");
    lightMinimum_ = lineField(grid, 3, 2, QStringLiteral("Minimum light factor:"), "MIN_LIGHT");
    waterTableMinimum_ =
        lineField(grid, 4, 2, QStringLiteral("Minimum water table depth (m):"), "MIN_WATER_TABLE");
    wiltFactor_ = lineField(grid, 5, 2, QStringLiteral("Wilting factor:"), "WILT_FACTOR");
    saplingsMaximum_ = lineField(grid, 6, 2, QStringLiteral("Maximum Number of Saplings:"), "MAX_SAPLINGS");
    smallBitmap_ = lineField(grid, 7, 2, QStringLiteral("Small Bitmap File:"), "SMALL_BITMAP");
    largeBitmap_ = lineField(grid, 8, 2, QStringLiteral("Large Bitmap File:"), "LARGE_BITMAP");
    largeBitmapHeight_ =
        lineField(grid, 9, 2, QStringLiteral("Min Height for Large Bitmap:"), "LARGE_BITMAP_MIN_HT");
    // The species' numbers are short: their boxes leave the room to the picture names, so the
    // dialog fits a projector's screen.
    for (QLineEdit* number :
         {diameterMaximum_, heightMaximum_, ageMaximum_, growth_, b2_, b3_, leafConstant_, leafWeightMaximum_,
          degreeDaysMinimum_, degreeDaysMaximum_, diameterIncrementMinimum_, lightMinimum_,
          waterTableMinimum_, wiltFactor_, saplingsMaximum_, largeBitmapHeight_}) {
        number->setMinimumWidth(number->fontMetrics().horizontalAdvance(QStringLiteral("000000.000000")) +
                                12);
    }
    for (QLineEdit* name : {smallBitmap_, largeBitmap_}) {
        name->setMaxLength(static_cast<int>(SPECIES_TEXT_LENGTH));
        // The whole of the longest picture name shipped with the program.
        name->setMinimumWidth(
            name->fontMetrics().horizontalAdvance(QStringLiteral("Data\\americanBeechSmall.bmp")) + 16);
    }
    layout->addLayout(grid);
    addButtonRow(layout);
    explainFields(FIELD_HELP);

    if (list_->count() > 0) {
        list_->setCurrentIndex(0);
        showSpecies(list_->itemData(0).toInt());
    }
    connect(list_, &QComboBox::currentIndexChanged, this, &SpeciesDialog::selectionChanged);
}

void SpeciesDialog::showSpecies(int sn) {
    shown_ = sn;
    const Species& s = model_.species[static_cast<size_t>(sn)];
    showHeldNumber(diameterMaximum_, s.DMAX, 1);
    ableToEnter_->setChecked(s.ABLE_TO_ENTER != 0);
    nitrogenType_->setCurrentIndex(std::clamp(s.N_TYPE - 1, 0, 2));
    shadeType_->setCurrentIndex(std::clamp(s.SHADE_TYPE - 1, 0, 2));
    showHeldNumber(ageMaximum_, s.AGEMAX,
                   QString::number(static_cast<long long>(std::trunc(s.AGEMAX + 0.5))));
    showHeldNumber(b2_, s.B2, 3);
    showHeldNumber(b3_, s.B3, 5);
    showHeldNumber(leafConstant_, s.C, 3);
    showHeldNumber(degreeDaysMinimum_, toFahrenheitDays(s.DDMIN), 1);
    showHeldNumber(degreeDaysMaximum_, toFahrenheitDays(s.DDMAX), 1);
    showHeldNumber(diameterIncrementMinimum_, s.MIN_DIAM_INC, 3);
    showHeldNumber(growth_, s.G, 3);
    showHeldNumber(heightMaximum_, s.HMAX, 1);
    showHeldNumber(leafWeightMaximum_, s.MAX_LEAF_WT, 2);
    showHeldNumber(lightMinimum_, s.MIN_LIGHT, 3);
    showHeldNumber(waterTableMinimum_, s.MIN_WATER_TABLE, 2);
    showHeldNumber(wiltFactor_, s.WILT_FACTOR, 3);
    saplingsMaximum_->setText(QString::number(s.MAX_SAPLINGS));
    smallBitmap_->setText(storedText(s.SMALL_BITMAP));
    largeBitmap_->setText(storedText(s.LARGE_BITMAP));
    largeBitmapHeight_->setText(QString::number(s.LARGE_BITMAP_MIN_HT));
}

bool SpeciesDialog::readFields(Values& v) {
    FieldReader reader = fieldReader();
    reader.number(diameterMaximum_, v.DMAX, POSITIVE);
    reader.integer(ageMaximum_, v.AGEMAX, IntegerRange{1, 100000});
    reader.number(b2_, v.B2, POSITIVE);
    reader.number(b3_, v.B3, POSITIVE);
    reader.number(leafConstant_, v.C, POSITIVE);
    reader.number(degreeDaysMinimum_, v.DDMIN, NOT_NEGATIVE);
    reader.number(degreeDaysMaximum_, v.DDMAX, POSITIVE);
    reader.number(diameterIncrementMinimum_, v.MIN_DIAM_INC, POSITIVE);
    reader.number(growth_, v.G, POSITIVE);
    reader.number(heightMaximum_, v.HMAX, POSITIVE);
    reader.number(leafWeightMaximum_, v.MAX_LEAF_WT, NOT_NEGATIVE);
    reader.number(lightMinimum_, v.MIN_LIGHT, NOT_NEGATIVE);
    reader.number(waterTableMinimum_, v.MIN_WATER_TABLE, NOT_NEGATIVE);
    reader.number(wiltFactor_, v.WILT_FACTOR, NOT_NEGATIVE);
    reader.integer(saplingsMaximum_, v.MAX_SAPLINGS, IntegerRange{0, 100000});
    reader.integer(largeBitmapHeight_, v.LARGE_BITMAP_MIN_HT);
    return reader.passed();
}

void SpeciesDialog::storeSpecies(int sn, const Values& v) {
    Species& s = model_.species[static_cast<size_t>(sn)];
    s.DMAX = v.DMAX;
    s.ABLE_TO_ENTER = ableToEnter_->isChecked() ? 1 : 0;
    s.N_TYPE = nitrogenType_->currentIndex() + 1;
    s.SHADE_TYPE = shadeType_->currentIndex() + 1;
    // A field left as shown keeps the exact value held (an AGEMAX of 99.6 shown as 100, a
    // degree-day limit held in °C-days).
    if (!showsHeldNumber(ageMaximum_)) s.AGEMAX = v.AGEMAX;
    s.C = v.C;
    if (!showsHeldNumber(degreeDaysMinimum_)) s.DDMIN = toCelsiusDays(v.DDMIN);
    if (!showsHeldNumber(degreeDaysMaximum_)) s.DDMAX = toCelsiusDays(v.DDMAX);
    s.MIN_DIAM_INC = v.MIN_DIAM_INC;
    s.HMAX = v.HMAX;
    s.MAX_LEAF_WT = v.MAX_LEAF_WT;
    s.MIN_LIGHT = v.MIN_LIGHT;
    s.MIN_WATER_TABLE = v.MIN_WATER_TABLE;
    s.WILT_FACTOR = v.WILT_FACTOR;
    s.MAX_SAPLINGS = v.MAX_SAPLINGS;

    // Only a picture whose name changed is read again; an unreadable one is reported and
    // its name becomes "NONE".
    storeBitmapName(s.SMALL_BITMAP, s.smallBitmap, storedName(smallBitmap_), "small");
    storeBitmapName(s.LARGE_BITMAP, s.largeBitmap, storedName(largeBitmap_), "large");
    s.LARGE_BITMAP_MIN_HT = v.LARGE_BITMAP_MIN_HT;

    // The height curve reaches HMAX at DMAX, and growth keeps its ratio to them: the values
    // typed for B2, B3 and G give way to these.
    fitHeightCurve(s);
    s.G = s.GROWTH_RATIO * s.HMAX / s.DMAX;
}

void SpeciesDialog::storeBitmapName(std::string& storedFileName, std::shared_ptr<const TreeBitmap>& bitmap,
                                    const std::string& enteredName, const char* size) {
    if (enteredName == storedFileName) return;
    storedFileName = enteredName;
    bitmap.reset();
    if (enteredName == NO_BITMAP) return;
    bitmap = loadTreeBitmap(enteredName);
    if (!bitmap) {
        // The species is the one the dialog shows, so the message names only the file.
        showMessage(QString::fromStdString(
            formatText("Could not read in %s tree bitmap file \"%s\".", size, enteredName.c_str())));
        storedFileName = NO_BITMAP;
    }
}

void SpeciesDialog::selectionChanged(int position) {
    if (position < 0) return;
    Values values;
    if (shown_ != 0 && readFields(values)) storeSpecies(shown_, values);
    showSpecies(list_->itemData(position).toInt());
}

void SpeciesDialog::accept() {
    Values values;
    if (shown_ != 0) {
        if (!readFields(values)) return;
        storeSpecies(shown_, values);
    }
    QDialog::accept();
    if (view_) view_->update();
}

}  // namespace dravia
