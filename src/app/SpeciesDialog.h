#pragma once

#include "app/ParameterDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace dravia {

class PlotView;

// One species at a time, chosen from the species list in alphabetical order. Moving to another
// species stores the one shown (the table changes species by species, and Cancel keeps what
// was stored that way); OK stores the one shown and repaints the view so changed tree
// pictures appear at once.
//
// The degree-day limits are shown and entered in °F-days, as the species file gives them; the
// model holds °C-days, so the dialog converts both ways.
class SpeciesDialog : public ParameterDialog {
    Q_OBJECT
  public:
    SpeciesDialog(ModelState& model, PlotView* view, QWidget* parent = nullptr);

    QComboBox* speciesList() const { return list_; }
    // The species number whose values the fields show.
    int shownSpecies() const { return shown_; }

  public slots:
    void accept() override;

  private:
    struct Values {
        double DMAX = 0.0, B2 = 0.0, B3 = 0.0, C = 0.0, DDMIN = 0.0, DDMAX = 0.0, MIN_DIAM_INC = 0.0, G = 0.0;
        double HMAX = 0.0, MAX_LEAF_WT = 0.0, MIN_LIGHT = 0.0, MIN_WATER_TABLE = 0.0, WILT_FACTOR = 0.0;
        int AGEMAX = 0, MAX_SAPLINGS = 0, LARGE_BITMAP_MIN_HT = 0;
    };

    void showSpecies(int sn);
    bool readFields(Values& values);
    void storeSpecies(int sn, const Values& values);
    void selectionChanged(int position);
    // A changed picture name is stored and its picture read; an unreadable one is reported
    // and the name becomes "NONE". An unchanged name keeps the picture already loaded.
    void storeBitmapName(std::string& storedFileName, std::shared_ptr<const TreeBitmap>& bitmap,
                         const std::string& enteredName, const char* size);

    PlotView* view_;
    int shown_ = 0;

    QComboBox* list_;
    QLineEdit* diameterMaximum_;
    QCheckBox* ableToEnter_;
    QComboBox* nitrogenType_;
    QComboBox* shadeType_;
    QLineEdit* ageMaximum_;
    QLineEdit* b2_;
    QLineEdit* b3_;
    QLineEdit* leafConstant_;
    QLineEdit* degreeDaysMinimum_;
    QLineEdit* degreeDaysMaximum_;
    QLineEdit* diameterIncrementMinimum_;
    QLineEdit* growth_;
    QLineEdit* heightMaximum_;
    QLineEdit* leafWeightMaximum_;
    QLineEdit* lightMinimum_;
    QLineEdit* waterTableMinimum_;
    QLineEdit* wiltFactor_;
    QLineEdit* saplingsMaximum_;
    QLineEdit* smallBitmap_;
    QLineEdit* largeBitmap_;
    QLineEdit* largeBitmapHeight_;
};

// The species numbers 1..NSPP in the order of their names, case ignored; equal names keep
// their species order.
std::vector<int> speciesInNameOrder(const ModelState& model);

}  // namespace dravia
