#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <array>

#include "display/DisplaySlots.h"
#include "display/PlotGeometry.h"
#include "model/ModelState.h"

namespace dravia {

// The display slot of the drawn tree under a point of the graphics image, the front-most one
// where trees overlap; 0 when the point is on no tree.
int treeSlotAt(const ModelState& model, const DrawOrder& drawOrder, const PlotGeometry& geometry,
               const QPoint& point);

// A species' site-quality factors of the year: the combined one and its four parts.
struct SiteQualityFactors {
    double combined = 0.0, temperature = 0.0, drought = 0.0, wetness = 0.0, soilNitrogen = 0.0;
};
SiteQualityFactors siteQualityFactors(const Species& species);

// What a person learns about one tree: species, size, age, last year's growth and light, and
// its species' site-quality factors this year.
QString treeDescription(const ModelState& model, const Tree& tree, const SiteQualityFactors& factors);

// The tree a person inspects in the graphics image, followed from year to year through its
// display slot. The engine clears a slot when its tree is removed (death, logging, windthrow,
// the plots rebuilt for a new iteration) and only painting fills slots again, so checking the
// slot before every painting tells the inspector of every removal before the tree's memory
// could be reused: the inspector never reads a tree that is gone.
class TreeInspector {
  public:
    enum class State { None, Following, Removed };

    // Follows the tree in slot k (1..50); an empty slot follows nothing.
    void follow(const ModelState& model, int slot);
    void clear();

    // Looks whether the followed tree is still in its slot; call before the slots are filled
    // again. A tree no longer there turns the state to Removed.
    void noteRemovals(const ModelState& model);
    // Keeps the species' site-quality factors when they are those of the plot shown (the first):
    // with year-to-year climate every plot computes its own, the soil water carrying over from
    // plot to plot, so after the first plot's year they belong to another plot.
    void noteSiteQuality(const ModelState& model);

    State state() const { return state_; }
    int slot() const { return slot_; }
    // The followed tree while it is on the plot (checked now), else null.
    const Tree* tree(const ModelState& model);
    // The description of the tree, or the note that it is gone.
    QString text(const ModelState& model);

  private:
    State state_ = State::None;
    int slot_ = 0;
    const Tree* tree_ = nullptr;  // compared with the slot's reference; read only while they agree
    QString name_;                // the species, kept for the note after removal
    int iteration_ = 0;           // the iteration and year the tree was last seen on the plot in
    int yearSeen_ = 0;
    QString removedNote_;
    std::array<SiteQualityFactors, MAX_SPECIES + 1> factors_{};
    bool haveFactors_ = false;
};

}  // namespace dravia
