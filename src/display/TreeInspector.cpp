#include "display/TreeInspector.h"

#include "display/DisplayNames.h"
#include "display/TreeDrawing.h"
#include "platform/Format.h"

namespace dravia {

namespace {

const Species* speciesOf(const ModelState& model, const Tree& tree) {
    if (tree.SN < 1 || tree.SN > MAX_SPECIES) return nullptr;
    return &model.species[static_cast<size_t>(tree.SN)];
}

constexpr double CENTIMETRES_PER_METRE = 100.0;

bool validSlot(int slot) {
    return slot >= 1 && slot <= DISPLAY_SLOT_COUNT;
}

}  // namespace

int treeSlotAt(const ModelState& model, const DrawOrder& drawOrder, const PlotGeometry& geometry,
               const QPoint& point) {
    // The trees are drawn back to front, so the last one drawn over the point is the one seen.
    for (auto k = drawOrder.rbegin(); k != drawOrder.rend(); ++k) {
        const DisplaySlot& slot = model.displaySlots[static_cast<size_t>(*k)];
        if (!slot.tree) continue;
        const Species* species = speciesOf(model, *slot.tree);
        if (species && drawnTreeContains(*slot.tree, *species, model.params, slot.x, slot.y,
                                         geometry.viewWidth, geometry.viewHeight, point)) {
            return *k;
        }
    }
    return 0;
}

SiteQualityFactors siteQualityFactors(const Species& s) {
    return {s.SITE_QUALITY, s.SQ_TEMP, s.SQ_WILT, s.SQ_WETNESS, s.SQ_SOIL_N};
}

QString treeDescription(const ModelState& model, const Tree& tree, const SiteQualityFactors& q) {
    const Species* species = speciesOf(model, tree);
    if (!species) return {};
    // Heights in metres and the diameter named in full: the words of a forester's tally sheet.
    return speciesDisplayName(species->NAME) +
           QString::fromStdString(formatText("\n"
                                             "Diameter at breast height (DBH, 1.37 m): %.1f cm\n"
                                             "Height: %.1f m\n"
                                             "Age: %d years\n"
                                             "Diameter growth last year: %.3f cm\n"
                                             "Light reaching the crown: %.0f%% of full light\n"
                                             "Site quality this year: %.2f (1 = not limiting)\n"
                                             "  temperature %.2f, drought %.2f,\n"
                                             "  wetness %.2f, soil nitrogen %.2f",
                                             tree.DBH, tree.HEIGHT / CENTIMETRES_PER_METRE, tree.AGE,
                                             tree.LAST_DIAM_INC, tree.AVAILABLE_LIGHT * 100.0, q.combined,
                                             q.temperature, q.drought, q.wetness, q.soilNitrogen));
}

void TreeInspector::follow(const ModelState& model, int slot) {
    clear();
    if (!validSlot(slot)) return;
    const Tree* tree = model.displaySlots[static_cast<size_t>(slot)].tree;
    if (!tree) return;
    state_ = State::Following;
    slot_ = slot;
    tree_ = tree;
    const Species* species = speciesOf(model, *tree);
    name_ = species ? speciesDisplayName(species->NAME) : QString();
    iteration_ = model.run.CURRENT_ITERATION;
    yearSeen_ = model.run.CURRENT_YEAR;
}

void TreeInspector::clear() {
    state_ = State::None;
    slot_ = 0;
    tree_ = nullptr;
    name_.clear();
    removedNote_.clear();
}

void TreeInspector::noteRemovals(const ModelState& model) {
    if (state_ != State::Following) return;
    if (validSlot(slot_) && model.displaySlots[static_cast<size_t>(slot_)].tree == tree_) {
        iteration_ = model.run.CURRENT_ITERATION;
        yearSeen_ = model.run.CURRENT_YEAR;
        return;
    }
    // Gone: only the address is left, and it is never followed again.
    tree_ = nullptr;
    state_ = State::Removed;
    const int calendarYear = model.params.BASE_YEAR + model.run.CURRENT_YEAR;
    // A new iteration or run rebuilds the plots from the plot file: every tree goes at once.
    const bool startedAgain = model.run.CURRENT_ITERATION != iteration_ ||
                              model.run.CURRENT_YEAR < yearSeen_ || model.run.CURRENT_YEAR <= 1;
    if (startedAgain) {
        removedNote_ = name_ + QStringLiteral(
                                   "\nThe plot started again from its first year:\nthis tree is no "
                                   "longer on it.");
    } else {
        removedNote_ = name_ + QString::fromStdString(formatText(
                                   "\nNo longer on the plot in %d:\nit died, or was logged or blown down.",
                                   calendarYear));
    }
}

void TreeInspector::noteSiteQuality(const ModelState& model) {
    if (model.plots.empty()) return;
    const bool ofTheFirstPlot = model.plots.size() == 1 || model.params.CLIMATE_CHANGE != 1 ||
                                model.run.CURRENT_PLOT == &model.plots.front();
    if (!ofTheFirstPlot) return;
    for (int sn = 1; sn <= MAX_SPECIES; ++sn)
        factors_[static_cast<size_t>(sn)] = siteQualityFactors(model.species[static_cast<size_t>(sn)]);
    haveFactors_ = true;
}

const Tree* TreeInspector::tree(const ModelState& model) {
    noteRemovals(model);
    return state_ == State::Following ? tree_ : nullptr;
}

QString TreeInspector::text(const ModelState& model) {
    if (const Tree* followed = tree(model)) {
        const Species* species = speciesOf(model, *followed);
        if (!species) return {};
        return treeDescription(
            model, *followed,
            haveFactors_ ? factors_[static_cast<size_t>(followed->SN)] : siteQualityFactors(*species));
    }
    return state_ == State::Removed ? removedNote_ : QString();
}

}  // namespace dravia
