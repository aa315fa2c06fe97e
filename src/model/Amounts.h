#pragma once

#include <initializer_list>

namespace dravia {

// Basal area, biomass by tree part, total biomass and stem volume of one tree or of a group of
// trees, referred to a plot of 100 m sq., in the order the records print them.
struct Amounts {
    double BA = 0.0;                                                                     // cm sq./m sq.
    double STEM_BM = 0.0, BARK_BM = 0.0, BRANCH_BM = 0.0, ROOT_BM = 0.0, LEAF_BM = 0.0;  // kg/m sq.
    double TOT_BIOM = 0.0;                                                               // kg/m sq.
    double TOT_VOL = 0.0;                                                                // cu ft/acre
};

// Every amount of added summed into the same amount of sum.
inline Amounts& operator+=(Amounts& sum, const Amounts& added) {
    sum.BA += added.BA;
    sum.STEM_BM += added.STEM_BM;
    sum.BARK_BM += added.BARK_BM;
    sum.BRANCH_BM += added.BRANCH_BM;
    sum.ROOT_BM += added.ROOT_BM;
    sum.LEAF_BM += added.LEAF_BM;
    sum.TOT_BIOM += added.TOT_BIOM;
    sum.TOT_VOL += added.TOT_VOL;
    return sum;
}

// Every amount times factor (−1 takes a tree off a sum).
inline Amounts operator*(double factor, const Amounts& amounts) {
    return {factor * amounts.BA,        factor * amounts.STEM_BM, factor * amounts.BARK_BM,
            factor * amounts.BRANCH_BM, factor * amounts.ROOT_BM, factor * amounts.LEAF_BM,
            factor * amounts.TOT_BIOM,  factor * amounts.TOT_VOL};
}

// A sum from which its parts were taken off again may keep a tiny negative rounding residue:
// nothing is left of it.
inline void clampResidues(Amounts& amounts) {
    for (double* amount : {&amounts.BA, &amounts.STEM_BM, &amounts.BARK_BM, &amounts.BRANCH_BM,
                           &amounts.ROOT_BM, &amounts.LEAF_BM, &amounts.TOT_BIOM, &amounts.TOT_VOL}) {
        if (*amount < 0.0) *amount = 0.0;
    }
}

}  // namespace dravia
