#!/usr/bin/env python3
"""Write the species file, plot files, parameter files and colour file of the
shipped data set into Data/.

Deterministic, Python 3 standard library only.  The species values live in
tools/species_table.py; this script derives the growth constant and the
biomass coefficients from them and writes every file in the layouts the
program reads.  Weather records: tools/make-weather.py.  Tree pictures:
tools/make-bitmaps.py.

Usage:  python3 tools/make-data.py [output-directory]   (default: Data)
"""
import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from species_table import ROWS  # noqa: E402

# ---------------------------------------------------------------- biomass
# National-scale biomass equations for United States tree species (Jenkins,
# Chojnacky, Heath and Birdsey 2003, Forest Science 49:12-35):
#   total above-ground biomass, kg = exp(b0 + b1 ln DBH)
#   component ratio               = exp(c0 + c1 / DBH)
BIOMASS_GROUPS = {
    "aspen":      (-2.2094, 2.3867, "hw"),   # aspen, alder, cottonwood, willow
    "softmaple":  (-1.9123, 2.3651, "hw"),   # soft maple, birch
    "mixedhw":    (-2.4800, 2.4835, "hw"),   # mixed hardwood
    "hardmaple":  (-2.0127, 2.4342, "hw"),   # hard maple, oak, hickory, beech
    "cedar":      (-2.0336, 2.2592, "sw"),   # cedar, larch
    "firhemlock": (-2.5384, 2.4814, "sw"),   # true fir, hemlock
    "pine":       (-2.5356, 2.4349, "sw"),
    "spruce":     (-2.0773, 2.3323, "sw"),
}
RATIOS = {  # (foliage, coarse roots, stem bark, stem wood)
    "hw": ((-4.0813, 5.8816), (-1.6911, 0.8160), (-2.0129, -1.6805), (-0.3065, -5.4240)),
    "sw": ((-2.9584, 4.4766), (-1.5619, 0.6614), (-2.0980, -1.1432), (-0.3737, -1.8055)),
}
FIT_DBH = [5.0 + 2.5 * i for i in range(39)]          # 5 .. 100 cm


def fit_power(xs, ys):
    """Least-squares fit of y = a x^b in log-log space; returns (a, b)."""
    lx = [math.log(x) for x in xs]
    ly = [math.log(y) for y in ys]
    n = len(xs)
    mx, my = sum(lx) / n, sum(ly) / n
    b = sum((u - mx) * (v - my) for u, v in zip(lx, ly)) / sum((u - mx) ** 2 for u in lx)
    return math.exp(my - b * mx), b


def biomass_coefficients(group):
    """Coefficients for the program's rule  part kg per 100 m2 plot =
    coef * DBH^exp * 1e-5 kg/m2, i.e. part kg per tree = coef * DBH^exp / 1000."""
    b0, b1, kind = BIOMASS_GROUPS[group]
    fol, root, bark, wood = RATIOS[kind]
    parts = {"stem": [], "bark": [], "branch": [], "root": []}
    for d in FIT_DBH:
        agb = math.exp(b0 + b1 * math.log(d))
        r = lambda c: math.exp(c[0] + c[1] / d)  # noqa: E731
        w, k, f = agb * r(wood), agb * r(bark), agb * r(fol)
        parts["stem"].append(w)
        parts["bark"].append(k)
        parts["branch"].append(max(agb - w - k - f, 0.02 * agb))
        parts["root"].append(agb * r(root))
    out = {}
    for k, ys in parts.items():
        a, b = fit_power(FIT_DBH, ys)
        out[k] = (a * 1000.0, b)
    return out


# ---------------------------------------------------------------- growth
def growth_rate(dmax, hmax, d, g):
    b2 = 2.0 * (hmax - 137.0) / dmax
    b3 = (hmax - 137.0) / dmax ** 2
    h = 130.0 + d * (b2 - b3 * d)
    return g * d * (1.0 - d * h / (dmax * hmax)) / (260.0 + 3.0 * b2 * d - 4.0 * b3 * d * d)


# Share of its ideal growth that a free-growing canopy tree realises in a
# typical year: the product of its site-quality factors (temperature, drought,
# nitrogen, wetness: about 0.5-0.7 at the shipped sites) and the crowding
# factor of a mature stand (1 - BA / BA_MAX: about 0.5).
TYPICAL_GROWTH_FACTOR = 1.0 / 3.0


def growth_constant(dmax, hmax, age):
    """G such that a 2 cm sapling growing in full light under the typical
    site quality and crowding of a mature stand (TYPICAL_GROWTH_FACTOR)
    reaches two thirds of its maximum diameter at half its maximum age: the
    classic calibration rule of gap models, applied to the conditions the
    trees really meet instead of an ideal, uncrowded site."""
    def diam_at(g):
        d = 2.0
        for _ in range(int(age / 2)):
            d += growth_rate(dmax, hmax, d, g * TYPICAL_GROWTH_FACTOR)
        return d
    lo, hi = 1.0, 2000.0
    for _ in range(60):
        mid = 0.5 * (lo + hi)
        if diam_at(mid) < 2.0 * dmax / 3.0:
            lo = mid
        else:
            hi = mid
    return 0.5 * (lo + hi)


def species_records(cannot_enter=()):
    recs = []
    for row in ROWS:
        (sn, name, latin, grp, shade, ntype, sap, dmax, hmax, age, mininc,
         ddmin, ddmax, mwt, wilt, minlight, c, bmp) = row
        g = growth_constant(dmax, hmax, age)
        bm = biomass_coefficients(grp)
        b2 = 2.0 * (hmax - 137.0) / dmax
        b3 = (hmax - 137.0) / dmax ** 2
        if bmp:
            small, large = "Data\\%sSmall.bmp" % bmp, "Data\\%sLarge.bmp" % bmp
        else:
            small = large = "NONE"
        recs.append(dict(sn=sn, name=name, latin=latin, shade=shade, ntype=ntype,
                         sap=sap, able=0 if sn in cannot_enter else 1, g=g, c=c, dmax=dmax, hmax=hmax, age=age,
                         b2=b2, b3=b3, mininc=mininc, ddmin=ddmin, ddmax=ddmax,
                         mwt=mwt, wilt=wilt, minlight=minlight, bm=bm,
                         small=small, large=large, minht=60))
    return recs


def write_species_file(path, cannot_enter=()):
    recs = species_records(cannot_enter)
    with open(path, "w", newline="\n") as f:
        f.write("NAME ALT_NAME SHADE N_TYPE MAX_SAPLINGS ABLE G C DMAX HMAX AGEMAX B2 B3 "
                "MIN_DIAM_INC DDMIN_F DDMAX_F MIN_WATER_TABLE WILT_FACTOR MIN_LIGHT "
                "STEM_A STEM_B BARK_A BARK_B BRANCH_A BRANCH_B ROOT_A ROOT_B "
                "SMALL_BITMAP LARGE_BITMAP LARGE_BITMAP_MIN_HT\n")
        for r in recs:
            bm = r["bm"]
            vals = [r["name"], r["latin"], "%d" % r["shade"], "%d" % r["ntype"],
                    "%d" % r["sap"], "%d" % r["able"], "%.1f" % r["g"], "%.2f" % r["c"],
                    "%.1f" % r["dmax"], "%.1f" % r["hmax"], "%.1f" % r["age"],
                    "%.4f" % r["b2"], "%.6f" % r["b3"], "%.3f" % r["mininc"],
                    "%.1f" % r["ddmin"], "%.1f" % r["ddmax"], "%.2f" % r["mwt"],
                    "%.2f" % r["wilt"], "%.2f" % r["minlight"]]
            for part in ("stem", "bark", "branch", "root"):
                vals += ["%.2f" % bm[part][0], "%.4f" % bm[part][1]]
            vals += [r["small"], r["large"], "%d" % r["minht"]]
            f.write(" ".join(vals) + "\n")


# ---------------------------------------------------------------- sites
# Site items: ELEV_FT, LATITUDE, SOIL_DEPTH, ROOT_DEPTH, WATER_DEPTH, TEXTURE
# (water held at field capacity, mm per m of soil), PERCENT_ROCK, AVAIL_N
# (net nitrogen mineralisation, kg/ha/yr).  Initial stands: (SN, DBH cm).
SITES = {
    "hbk": dict(
        title="Hubbard Brook Experimental Forest, West Thornton, New Hampshire: "
              "mid-slope northern hardwood stand, south-facing, on stony glacial till",
        items=(1500.0, 43.94, 1.0, 0.8, 3.0, 160.0, 10.0, 95.0),
        trees=[(1, 25.3), (1, 19.9), (1, 12.6), (1, 5.1), (2, 21.9), (2, 10.5), (2, 6.1),
               (2, 3.2), (3, 27.4), (3, 11.6), (10, 17.9), (10, 7.4), (9, 8.6), (9, 3.5),
               (11, 19.0), (5, 14.8), (7, 7.6), (6, 2.7), (6, 2.1), (8, 2.3), (12, 3.8)]),
    "ndf": dict(
        title="Central Adirondacks near Newcomb, New York: mixed spruce-northern "
              "hardwood stand on sandy loam till",
        items=(1650.0, 43.97, 1.2, 0.9, 2.5, 150.0, 8.0, 80.0),
        trees=[(10, 18.5), (10, 11.5), (10, 5.5), (2, 16.1), (2, 7.4), (2, 3.5),
               (1, 20.4), (1, 8.3), (3, 22.8), (30, 21.7), (30, 8.9), (9, 9.3),
               (9, 4.1), (5, 14.5), (23, 35.3), (11, 12.8), (6, 2.2), (36, 4.7),
               (20, 14.8), (21, 10.2)]),
    "virginia": dict(
        title="Iron Range near Virginia, Minnesota, edge of the Boundary Waters: "
              "boreal mixedwood on thin loamy sand over bedrock, 70 years after fire",
        items=(1450.0, 47.52, 0.7, 0.6, 1.5, 140.0, 15.0, 65.0),
        trees=[(25, 17.2), (25, 15.2), (25, 12.6), (4, 18.6), (4, 14.1), (4, 11.3),
               (11, 15.5), (11, 10.4), (9, 9.4), (9, 6.1), (9, 3.5), (9, 2.2),
               (22, 10.9), (22, 7.5), (21, 13.5), (24, 23.5), (23, 26.8), (6, 2.4),
               (5, 6.5)]),
    "grayling": dict(
        title="Jack pine plains near Grayling, Michigan: 12-year-old jack pine "
              "regenerated after fire on deep excessively drained outwash sand",
        items=(1150.0, 44.66, 3.0, 1.2, 8.0, 90.0, 0.0, 45.0),
        trees=[(25, d) for d in (2.3, 2.8, 3.1, 3.6, 4.1, 4.4, 4.8, 5.3, 5.6, 6.1, 6.6,
                                 7.1, 2.5, 3.3, 3.9, 4.6, 5.1, 5.8, 6.9, 7.6, 2.2, 3.0,
                                 4.2, 5.0)]
              + [(39, 4.3), (39, 2.9), (24, 5.8), (16, 2.4), (17, 2.1), (4, 3.4),
                 (5, 2.6), (23, 3.2)]),
}


def write_plot_file(path, loc):
    s = SITES[loc]
    names = ("ELEV_FT", "LATITUDE", "SOIL_DEPTH", "ROOT_DEPTH", "WATER_DEPTH",
             "TEXTURE", "PERCENT_ROCK", "AVAIL_N")
    notes = ("elevation, feet", "latitude, degrees north", "soil depth, m",
             "rooting depth, m", "depth of the water table, m",
             "water held at field capacity, mm per m of soil",
             "percent of the plot covered by rock", "available nitrogen, kg/ha/yr")
    with open(path, "w", newline="\n") as f:
        f.write("// %s\n" % s["title"])
        f.write("// Site items, then the initial trees of every plot (species number, DBH in cm).\n\n")
        for n, v, note in zip(names, s["items"], notes):
            f.write("%-14s %8.2f   // %s\n" % (n, v, note))
        f.write("\nSN DBH UNUSED\n")
        for sn, d in s["trees"]:
            f.write("%3d %6.1f 0.0\n" % (sn, d))


# ---------------------------------------------------------------- parameter files
HABITATS = [
    "Spruce-northern hardwoods NY", "Spruce-northern hardwoods NY",
    "Northern hardwoods NH", "Northern hardwoods NH",
    "Boreal mixedwood MN", "Boreal mixedwood MN",
    "Jack pine plains MI", "Jack pine plains MI",
]
COMMUNITIES = [  # option, file stem, location, warm?, BA_MAX, seed
    (1, "ndf", "ndf", False, 6500.0, 1843.0),
    (2, "ndf", "ndf", True, 6500.0, 1843.0),
    (3, "hbk", "hbk", False, 6500.0, 1955.0),
    (4, "hbk", "hbk", True, 6500.0, 1955.0),
    (5, "virginia", "virginia", False, 6000.0, 1909.0),
    (6, "virginia", "virginia", True, 6000.0, 1909.0),
    (7, "grayling", "grayling", False, 5500.0, 1951.0),
    (8, "grayling", "grayling", True, 5500.0, 1951.0),
]


# Model options each preset switches on (written to the model-options file beside its
# initial-values file; Data/README.md says which and why).  Normal and warming presets of a
# location share them, so that the two differ by their weather alone.
MODEL_OPTIONS = {
    "ndf": dict(SLOW_GROWTH_YEARS=3, CLIMATE_MEMORY_YEARS=15),
    "hbk": dict(SLOW_GROWTH_YEARS=3, CLIMATE_MEMORY_YEARS=15),
    "virginia": dict(SLOW_GROWTH_YEARS=3, CLIMATE_MEMORY_YEARS=15),
    "grayling": dict(SLOW_GROWTH_YEARS=3, CLIMATE_MEMORY_YEARS=15),
}
MODEL_OPTION_NOTES = {
    "SLOW_GROWTH_YEARS": "consecutive slow years before the slow-growth risk can kill",
    "CLIMATE_MEMORY_YEARS": "years of degree-days and drought that trees of 10 cm and more follow",
}


def write_model_options_file(path, loc, warm):
    L = ["// Model options of the %s preset, %s climate: read beside the initial-values file" %
         (HABITATS[[c[2] for c in COMMUNITIES].index(loc)], "warmer" if warm else "normal"),
         "// of the same name.  Options not named here are off (the classic model).", ""]
    for key, value in MODEL_OPTIONS[loc].items():
        L.append("%-22s %-4d // %s" % (key, value, MODEL_OPTION_NOTES[key]))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(L) + "\n")


# Species that may not regenerate in a location's own species file.  On the excessively drained
# outwash sand of the Grayling jack pine plains the mesic, shade-tolerant trees of the region
# (American beech 2, yellow birch 3, black ash 27, northern white-cedar 29, eastern hemlock 30) do
# not establish: their seedlings need moist, organic or mineral seedbeds that these sands lack.
OWN_SPECIES_FILES = {
    "grayling": ("graylingSpeciesParams.txt", (2, 3, 27, 29, 30)),
}


def write_init_file(path, option, loc, warm, ba_max, seed):
    wthr = "Data\\%s%sWthr.txt" % (loc, "Tra" if warm else "Normal")
    L = []
    a = L.append
    a("// Initial values: %s, %s climate" % (HABITATS[option - 1],
                                              "warmer" if warm else "normal"))
    a("// Names the species, plot and weather files and sets the site, climate,")
    a("// disturbance and graphics options.  Items must stay in this order.")
    a("")
    a("SPP_PARAM_FILE         Data\\%s" % (OWN_SPECIES_FILES[loc][0] if loc in OWN_SPECIES_FILES
                                              else "speciesParams.txt"))
    a("PLOT_FILE              Data\\%sPlot.txt" % loc)
    a("CO2_FERT_OK            0")
    a("CO2_FACTOR_DEF         1.0")
    a("CALC_ITER_AVG          1")
    a("BA_MAX                 %.1f      // square cm per 100 m2 plot" % ba_max)
    a("SEED_INIT              %.1f" % seed)
    a("CLEAR_PLOT             0")
    a("CLIMATE_CHANGE         1         // 1 year-to-year weather, 0 average climate")
    a("")
    a("COMMUNITY              %d" % option)
    a("")
    for i, h in enumerate(HABITATS):
        a("HABITAT[%d]             %s" % (i + 1, h))
    a("")
    a("WTHR_TYPE              %d" % (1 if warm else 0))
    a("")
    a("WTHR_TYPES[0]          Normal climate")
    a("WTHR_TYPES[1]          Warming +3.6 C over 100 yr")
    a("")
    a("WTHR_CAL_YEARS         %s" % ("2021-2520" if warm else "1991-2490"))
    a("WTHR_FILE              %s" % wthr)
    a("")
    a("TEST_DISTURB           0")
    a("FIRST_DISTURB_YEAR     100")
    a("BLOW_DOWN              0")
    a("BLOW_FREQ              80")
    a("BLOW_PROB              0.005")
    a("MIN_DIAM_TO_KILL_FOR_LOGGING       25.0")
    a("")
    a("MIN_DIAM_TO_KILL_FOR_WINDTHROW     30.0")
    a("")
    a("NUM_PLOTS              1")
    a("")
    a("PLOT_1_OK                1")
    a("PLOT_2_OK                0")
    a("SPECIES_1_SN           1")
    a("SPECIES_2_SN           2")
    a("")
    a("GRAPH_INTVL            1")
    a("WIDTH                  60")
    a("DEPTH                  30")
    a("SLANT                  30.0")
    a("HT_MAX                 2500.0")
    a("BASE_YEAR              %d" % (2020 if warm else 1990))
    a("")
    a("MONITOR_FLAG           0")
    a("MONITOR_FILE           Data\\monitor.txt")
    a("")
    a("EVAP_FACTOR            1.0")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(L) + "\n")


RUN_TIME = """// Run-time control: length of the run, display and results files.
// Items must stay in this order.

SCREEN_OUTPUT_MODE       1      // 1 graphics, 2 tables, 3 display off
FILE_OUTPUT_FLAG         1      // 1 write results files
NUM_YEARS                300
NUM_ITERS                100
PRINT_INTERV             10
RESULTS_INTERV           25
RESULTS_FILE                     Data\\results.out
AFTER_DISTURBANCE_RESULTS_FILE   Data\\afterDisturbResults.out
DISTURBANCE_RESULTS_FILE         Data\\disturbResults.out
STATS_RESULTS_FILE               Data\\statsResults.out
DISTURBANCE_STATS_RESULTS_FILE   Data\\disturbStatsResults.out
AFTER_DISTURB_STATS_RESULTS_FILE Data\\afterDisturbStatsResults.out
PAUSE_EVERY_ITERATION            0
PAUSE_AT_INTERVALS               0
"""

# ---------------------------------------------------------------- colours
# Display palette indexes: 0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta,
# 6 brown, 7 white, 8 dark grey, 9 light blue, 10 light green, 11 light cyan,
# 12 pink, 13 light magenta, 14 yellow, 15 white.  Index 9 is close to the
# view background, so it is kept for species that cannot grow at the place.
COLOURS = {
    "ndf": {1: 14, 2: 6, 3: 13, 4: 10, 5: 4, 6: 12, 7: 5, 8: 8, 9: 3, 10: 2,
            11: 15, 12: 12, 13: 11, 14: 1, 15: 10, 16: 5, 17: 13, 19: 6, 20: 4,
            21: 11, 22: 0, 23: 2, 24: 12, 25: 14, 26: 10, 27: 8, 28: 6, 29: 3,
            30: 1, 31: 12, 32: 14, 36: 0, 37: 8, 38: 13, 39: 4},
    "hbk": {1: 14, 2: 6, 3: 13, 4: 10, 5: 4, 6: 12, 7: 5, 8: 8, 9: 3, 10: 2,
            11: 15, 12: 1, 13: 11},
    "virginia": {1: 14, 3: 13, 4: 10, 5: 4, 6: 12, 7: 5, 8: 8, 9: 3, 11: 15,
                 12: 1, 13: 11, 14: 6, 15: 10, 16: 5, 17: 13, 19: 6, 20: 4,
                 21: 11, 22: 0, 23: 2, 24: 12, 25: 14, 26: 10, 27: 8, 28: 6,
                 29: 3, 31: 12, 32: 14, 36: 0, 37: 8, 38: 13, 39: 1},
    "grayling": {1: 14, 2: 6, 3: 13, 4: 10, 5: 4, 6: 12, 7: 5, 8: 8, 9: 3,
                 11: 15, 12: 1, 13: 11, 14: 6, 15: 10, 16: 5, 17: 13, 19: 6,
                 20: 4, 21: 11, 22: 0, 23: 2, 24: 12, 25: 14, 26: 10, 27: 8,
                 28: 6, 29: 3, 30: 1, 31: 12, 32: 14, 36: 0, 37: 8, 38: 13, 39: 1},
}


def write_colour_file(path):
    names = {r[0]: r[1] for r in ROWS}
    L = ["Species display colours, one block per community option 1 to 8.",
         "The program skips these 22 heading lines and then reads each block by",
         "position: 6 lines of heading, then 10 lines of four pairs",
         "\"species-number colour\" for species i, i+10, i+20 and i+30.",
         "Only the position counts: do not add or remove lines.",
         "Colours: 0 black, 1 blue, 2 green, 3 cyan, 4 red, 5 magenta, 6 brown,",
         "7 white, 8 dark grey, 9 light blue (close to the background: species",
         "that cannot grow here), 10 light green, 11 light cyan, 12 pink,",
         "13 light magenta, 14 yellow, 15 white.  Species with a tree picture are",
         "drawn with the picture instead.  Species numbers:"]
    L.append("")
    for i in range(1, 41, 4):
        L.append("  " + "  ".join("%2d %s" % (k, names[k]) for k in range(i, i + 4)))
    L.append("")
    assert len(L) == 22, len(L)
    blocks = [("ndf", "Spruce-northern hardwoods, Adirondacks NY", "normal"),
              ("ndf", "Spruce-northern hardwoods, Adirondacks NY", "warmer"),
              ("hbk", "Northern hardwoods, Hubbard Brook NH", "normal"),
              ("hbk", "Northern hardwoods, Hubbard Brook NH", "warmer"),
              ("virginia", "Boreal mixedwood, Virginia MN", "normal"),
              ("virginia", "Boreal mixedwood, Virginia MN", "warmer"),
              ("grayling", "Jack pine plains, Grayling MI", "normal"),
              ("grayling", "Jack pine plains, Grayling MI", "warmer")]
    for k, (loc, title, clim) in enumerate(blocks, start=1):
        col = COLOURS[loc]
        head = ["Community option %d: %s, %s climate" % (k, title, clim),
                "-----------------------------------------------------------",
                "  SN colour   SN colour   SN colour   SN colour",
                "-----------------------------------------------------------",
                ""]
        if k == 1:
            head.insert(0, "=" * 59)
        L += head
        for i in range(1, 11):
            L.append("  ".join("%4d %6d" % (sn, col.get(sn, 9))
                               for sn in (i, i + 10, i + 20, i + 30)))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(L) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "Data"
    os.makedirs(out, exist_ok=True)
    write_species_file(os.path.join(out, "speciesParams.txt"))
    for name, cannot_enter in OWN_SPECIES_FILES.values():
        write_species_file(os.path.join(out, name), cannot_enter)
    for loc in SITES:
        write_plot_file(os.path.join(out, "%sPlot.txt" % loc), loc)
    for option, stem, loc, warm, ba_max, seed in COMMUNITIES:
        name = "%sInit%sParams.txt" % (stem, "Tra" if warm else "Normal")
        write_init_file(os.path.join(out, name), option, loc, warm, ba_max, seed)
        options_name = name.replace("Params.txt", "ModelOptions.txt")
        if MODEL_OPTIONS.get(loc):
            write_model_options_file(os.path.join(out, options_name), loc, warm)
        if option == 3:  # start-up file: Hubbard Brook northern hardwoods
            write_init_file(os.path.join(out, "initParams.txt"), option, loc, warm,
                            ba_max, seed)
            if MODEL_OPTIONS.get(loc):
                write_model_options_file(os.path.join(out, "initModelOptions.txt"), loc, warm)
    with open(os.path.join(out, "inputOutputRunTimeParams.txt"), "w", newline="\n") as f:
        f.write(RUN_TIME)
    write_colour_file(os.path.join(out, "colors.txt"))


if __name__ == "__main__":
    main()
