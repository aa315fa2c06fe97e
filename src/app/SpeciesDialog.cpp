#include "app/SpeciesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "display/PlotView.h"
#include "input/SpeciesFile.h"
#include "model/Allometry.h"

namespace dravia {

namespace {

constexpr NumberRange POSITIVE{0.001, 100000.0};
constexpr NumberRange NOT_NEGATIVE{0.0, 100000.0};

// The height of a sapling at breast height the height curve is anchored to, cm.

const QStringList TOLERANCE_TYPES{QStringLiteral("intolerant"), QStringLiteral("intermediate"),
                                  QStringLiteral("tolerant")};

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
        return QString::fromStdString(model.species[static_cast<size_t>(a)].NAME)
                   .compare(QString::fromStdString(model.species[static_cast<size_t>(b)].NAME),
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
        list_->addItem(QString::fromStdString(model_.species[static_cast<size_t>(sn)].NAME), sn);
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
    for (QLineEdit* name : {smallBitmap_, largeBitmap_})
        name->setMaxLength(static_cast<int>(SPECIES_TEXT_LENGTH));
    layout->addLayout(grid);
    addButtonRow(layout);

    if (list_->count() > 0) {
        list_->setCurrentIndex(0);
        showSpecies(list_->itemData(0).toInt());
    }
    connect(list_, &QComboBox::currentIndexChanged, this, &SpeciesDialog::selectionChanged);
}

void SpeciesDialog::showSpecies(int sn) {
    shown_ = sn;
    const Species& s = model_.species[static_cast<size_t>(sn)];
    diameterMaximum_->setText(numberText(s.DMAX));
    ableToEnter_->setChecked(s.ABLE_TO_ENTER != 0);
    nitrogenType_->setCurrentIndex(std::clamp(s.N_TYPE - 1, 0, 2));
    shadeType_->setCurrentIndex(std::clamp(s.SHADE_TYPE - 1, 0, 2));
    ageMaximum_->setText(QString::number(static_cast<long long>(std::trunc(s.AGEMAX + 0.5))));
    b2_->setText(numberText(s.B2));
    b3_->setText(numberText(s.B3));
    leafConstant_->setText(numberText(s.C));
    degreeDaysMinimum_->setText(numberText(toFahrenheitDays(s.DDMIN)));
    degreeDaysMaximum_->setText(numberText(toFahrenheitDays(s.DDMAX)));
    diameterIncrementMinimum_->setText(numberText(s.MIN_DIAM_INC));
    growth_->setText(numberText(s.G));
    heightMaximum_->setText(numberText(s.HMAX));
    leafWeightMaximum_->setText(numberText(s.MAX_LEAF_WT));
    lightMinimum_->setText(numberText(s.MIN_LIGHT));
    waterTableMinimum_->setText(numberText(s.MIN_WATER_TABLE));
    wiltFactor_->setText(numberText(s.WILT_FACTOR));
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
    s.AGEMAX = v.AGEMAX;
    s.C = v.C;
    s.DDMIN = toCelsiusDays(v.DDMIN);
    s.DDMAX = toCelsiusDays(v.DDMAX);
    s.MIN_DIAM_INC = v.MIN_DIAM_INC;
    s.HMAX = v.HMAX;
    s.MAX_LEAF_WT = v.MAX_LEAF_WT;
    s.MIN_LIGHT = v.MIN_LIGHT;
    s.MIN_WATER_TABLE = v.MIN_WATER_TABLE;
    s.WILT_FACTOR = v.WILT_FACTOR;
    s.MAX_SAPLINGS = v.MAX_SAPLINGS;

    // Only a picture whose name changed is read again; an unreadable one is reported and
    // its name becomes "NONE".
    const std::string smallName = storedName(smallBitmap_);
    const std::string largeName = storedName(largeBitmap_);
    if (smallName != s.SMALL_BITMAP || largeName != s.LARGE_BITMAP) {
        Species pictures;
        pictures.NAME = s.NAME;
        pictures.SMALL_BITMAP = smallName != s.SMALL_BITMAP ? smallName : std::string("NONE");
        pictures.LARGE_BITMAP = largeName != s.LARGE_BITMAP ? largeName : std::string("NONE");
        loadSpeciesBitmaps(model_, pictures);
        if (smallName != s.SMALL_BITMAP) {
            s.SMALL_BITMAP = pictures.SMALL_BITMAP;
            s.smallBitmap = pictures.smallBitmap;
        }
        if (largeName != s.LARGE_BITMAP) {
            s.LARGE_BITMAP = pictures.LARGE_BITMAP;
            s.largeBitmap = pictures.largeBitmap;
        }
    }
    s.LARGE_BITMAP_MIN_HT = v.LARGE_BITMAP_MIN_HT;

    // The height curve reaches HMAX at DMAX, and growth keeps its ratio to them: the values
    // typed for B2, B3 and G give way to these.
    fitHeightCurve(s);
    s.G = s.GROWTH_RATIO * s.HMAX / s.DMAX;
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
