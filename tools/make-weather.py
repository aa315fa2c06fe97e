#!/usr/bin/env python3
"""Write the monthly weather records of the shipped data set.

For each location this writes two weather files in the program's weather
layout (temperatures in degrees F, precipitation in inches):

  <loc>NormalWthr.txt  500 years synthesised around the station's 1991-2020
                       climate normals, with realistic year-to-year variation
                       (long enough that no short cycle of wet and dry years
                       repeats within a run);
  <loc>TraWthr.txt     the same years under a warming climate: the change
                       (about +3.6 C for the year, wetter winters and springs,
                       drier summers) grows linearly from nothing in the first
                       year to its full size after WARMING_YEARS years, as a
                       climate that warms through this century, and then holds.

Only the Python standard library is used and every random stream has a fixed
seed, so running the script again writes exactly the same files.

Usage:  python3 tools/make-weather.py [output-directory]   (default: Data)
"""
import math
import os
import random
import sys

YEARS = 500
FIRST_YEAR = 1991        # labels of the normal record: 1991, 1992, ...
WARM_FIRST_YEAR = 2021   # labels of the warming record: 2021, 2022, ...
WARMING_YEARS = 100      # full change reached in the record's 100th year (2120)

# Station normals (approximate 1991-2020 monthly means, Jan..Dec).
# temp: mean monthly temperature, deg F; prec: monthly precipitation, inches.
# tsd: standard deviation of monthly mean temperature between years, deg F.
STATIONS = {
    "hbk": dict(
        wmo=27, name="HUBBARD_BROOK_HQ_NH", elev_ft=830.0,
        temp=[17.5, 20.5, 29.0, 41.5, 54.0, 62.5, 67.0, 65.5, 57.5, 45.5, 34.5, 23.5],
        prec=[3.8, 3.3, 4.0, 4.1, 4.4, 4.8, 4.6, 4.4, 4.2, 4.9, 4.4, 4.5],
        tsd=[5.5, 5.0, 4.2, 3.0, 2.8, 2.2, 1.8, 2.0, 2.2, 2.8, 3.0, 4.8],
        seed=4301),
    "ndf": dict(
        wmo=58, name="NEWCOMB_ADIRONDACKS_NY", elev_ft=1620.0,
        temp=[13.5, 16.0, 25.5, 39.0, 52.0, 60.5, 65.0, 63.5, 55.5, 43.5, 32.5, 20.5],
        prec=[3.0, 2.5, 3.2, 3.5, 3.8, 4.2, 4.4, 4.1, 3.9, 4.1, 3.6, 3.3],
        tsd=[6.0, 5.5, 4.5, 3.0, 2.8, 2.2, 1.8, 2.0, 2.2, 2.8, 3.2, 5.0],
        seed=4358),
    "virginia": dict(
        wmo=137, name="VIRGINIA_MINNESOTA", elev_ft=1435.0,
        temp=[3.5, 9.0, 21.5, 36.5, 50.0, 59.5, 64.5, 62.5, 53.0, 39.5, 24.5, 10.0],
        prec=[0.8, 0.7, 1.2, 2.0, 3.1, 4.2, 3.9, 3.4, 3.1, 2.7, 1.5, 0.9],
        tsd=[7.0, 6.5, 5.5, 3.5, 3.0, 2.2, 1.8, 2.0, 2.5, 3.0, 4.0, 6.0],
        seed=4752),
    "grayling": dict(
        wmo=84, name="GRAYLING_MICHIGAN", elev_ft=1137.0,
        temp=[18.0, 19.5, 28.5, 41.0, 53.5, 62.5, 66.5, 64.5, 57.0, 45.5, 34.0, 23.5],
        prec=[1.9, 1.5, 1.9, 2.6, 3.0, 3.2, 3.0, 3.3, 3.2, 3.0, 2.2, 1.9],
        tsd=[5.5, 5.5, 4.5, 3.0, 3.0, 2.2, 1.8, 2.0, 2.2, 2.8, 3.0, 4.5],
        seed=4466),
}

# Warmer climate: added deg F per month (about +4.3 C in winter, +3.1 C in
# summer, +3.6 C for the year) and precipitation multipliers (wetter winter
# and spring, drier mid-summer), in line with the range of late-21st-century
# projections for the north-eastern United States and the Great Lakes.
WARM_DT = [7.8, 7.6, 7.0, 6.2, 5.8, 5.6, 5.6, 5.8, 6.0, 6.4, 7.0, 7.6]
WARM_DP = [1.15, 1.15, 1.12, 1.10, 1.06, 0.98, 0.88, 0.88, 0.95, 1.02, 1.08, 1.12]

PREC_CV = 0.45          # year-to-year coefficient of variation of a month's rain
ANNUAL_T_SD = 0.9       # shared anomaly of a whole year, deg F
MONTH_AR = 0.35         # month-to-month persistence of temperature anomalies


def synthesise(st):
    """Return (temps, precs): YEARS rows of 12 values each, normal climate."""
    rnd = random.Random(st["seed"])
    temps, precs = [], []
    carry = 0.0
    shape = 1.0 / (PREC_CV * PREC_CV)
    for _ in range(YEARS):
        year_anom = rnd.gauss(0.0, ANNUAL_T_SD)
        row_t, row_p = [], []
        for m in range(12):
            sd = st["tsd"][m]
            z = MONTH_AR * carry + math.sqrt(1.0 - MONTH_AR ** 2) * rnd.gauss(0.0, 1.0)
            carry = z
            row_t.append(st["temp"][m] + year_anom + sd * z)
            # gamma-distributed monthly total with the normal as its mean
            row_p.append(st["prec"][m] * rnd.gammavariate(shape, 1.0 / shape))
        temps.append(row_t)
        precs.append(row_p)
    # Re-centre each month on its normal so that the record's means match.
    for m in range(12):
        mt = sum(r[m] for r in temps) / YEARS
        mp = sum(r[m] for r in precs) / YEARS
        for r in temps:
            r[m] += st["temp"][m] - mt
        for r in precs:
            r[m] = max(0.02, r[m] * st["prec"][m] / mp)
    return temps, precs


def warming_fraction(index):
    """Share of the full climate change in the record's year index (0 = first year)."""
    return min(1.0, index / float(WARMING_YEARS))


def write(path, st, temps, precs, first_year):
    with open(path, "w", newline="\n") as f:
        f.write("%d %d %s %d %.1f\n" % (st["wmo"], 12, st["name"], YEARS, st["elev_ft"]))
        f.write("1\n")
        for i, r in enumerate(temps):
            f.write("%d " % (first_year + i) + " ".join("%5.1f" % v for v in r) + "\n")
        f.write("2\n")
        for i, r in enumerate(precs):
            f.write("%d " % (first_year + i) + " ".join("%5.2f" % v for v in r) + "\n")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "Data"
    os.makedirs(out, exist_ok=True)
    for loc, st in STATIONS.items():
        temps, precs = synthesise(st)
        write(os.path.join(out, loc + "NormalWthr.txt"), st, temps, precs, FIRST_YEAR)
        wt, wp = [], []
        for y, (rt, rp) in enumerate(zip(temps, precs)):
            k = warming_fraction(y)
            wt.append([v + k * WARM_DT[m] for m, v in enumerate(rt)])
            wp.append([max(0.02, v * (1.0 + k * (WARM_DP[m] - 1.0))) for m, v in enumerate(rp)])
        write(os.path.join(out, loc + "TraWthr.txt"), st, wt, wp, WARM_FIRST_YEAR)


if __name__ == "__main__":
    main()
