#!/usr/bin/env python3
"""Ecological validation runs of Dravia4 and summaries of their results files.

Python 3 standard library only.  Two commands:

  summarise   read a finished run's results file and print, per results year,
              the mean stand (over iterations and plots) and its composition:
                python3 tools/validate.py summarise --dir WORK [--top 4] [--markdown]

  experiment  copy Data/ into a scratch directory, set the run up there (community,
              clear plot, years, iterations, results interval, seed), run the batch
              tool and summarise the results:
                python3 tools/validate.py experiment --batch build/release/dravia4-batch \\
                    --community 3 --clear --years 400 --iterations 20 --interval 10

The shipped Data/ is never modified; every run works on its own copy.

Units are those of the results file: basal area cm sq./m sq. (= m2/ha), biomass
kg/m sq., population trees per 100 m2 plot.
"""
import argparse
import math
import os
import re
import shutil
import subprocess
import sys
import tempfile

COMMUNITY_FILES = {
    1: "ndfInitNormalParams.txt", 2: "ndfInitTraParams.txt",
    3: "hbkInitNormalParams.txt", 4: "hbkInitTraParams.txt",
    5: "virginiaInitNormalParams.txt", 6: "virginiaInitTraParams.txt",
    7: "graylingInitNormalParams.txt", 8: "graylingInitTraParams.txt",
}
SHADE_WORD = {1: "intolerant", 2: "intermediate", 3: "tolerant"}


# ------------------------------------------------------------------ reading
def read_species(data_dir):
    """Species number -> (name, shade type), from the species file."""
    species = {}
    with open(os.path.join(data_dir, "speciesParams.txt")) as f:
        lines = f.read().splitlines()
    sn = 0
    for line in lines[1:]:
        words = line.split()
        if len(words) < 30:
            continue
        sn += 1
        species[sn] = (words[0].replace("_", " "), int(words[2]))
    return species


def read_results(path):
    """Species records of a results file: list of
    (iteration, year, plot, sn, pop, ba, stem, bark, branch, root, leaf, total, volume).
    Tree records (16 fields) and header lines are skipped.  Values that are not
    finite numbers are kept as float('nan') so that callers can flag them."""
    records = []
    in_body = False
    with open(path) as f:
        for line in f:
            if not in_body:
                if line.startswith(" NUMBER  YEAR"):
                    in_body = True
                continue
            words = line.split()
            if len(words) != 13 or words[0] == "->":
                continue
            try:
                ints = [int(w) for w in words[:5]]
            except ValueError:
                continue
            values = []
            for w in words[5:]:
                try:
                    values.append(float(w))
                except ValueError:
                    values.append(float("nan"))
            records.append(tuple(ints + values))
    return records


def stand_table(records):
    """Per results year: number of (iteration, plot) stands, and per species the
    summed basal area, biomass and population over those stands."""
    years = {}
    for rec in records:
        it, year, plot, sn, pop = rec[:5]
        ba, total = rec[5], rec[11]
        y = years.setdefault(year, {"stands": set(), "species": {}})
        y["stands"].add((it, plot))
        s = y["species"].setdefault(sn, [0.0, 0.0, 0])
        s[0] += ba
        s[1] += total
        s[2] += pop
    return years


def summarise(records, species, top=4, markdown=False, stands_expected=None):
    """Text table: year, mean BA, mean biomass, pioneer and tolerant shares of BA,
    leading species with their share of basal area."""
    table = stand_table(records)
    out = []
    head = ["year", "BA cm2/m2", "biomass kg/m2", "stems/100m2", "intolerant %", "tolerant %",
            "leading species (% of basal area)"]
    if markdown:
        out.append("| " + " | ".join(head) + " |")
        out.append("|" + "---|" * len(head))
    else:
        out.append("%5s %9s %8s %7s %6s %6s  %s" % ("year", "BA", "biomass", "stems", "intol", "tol",
                                                    "leading species (% of basal area)"))
    for year in sorted(table):
        y = table[year]
        n = stands_expected or len(y["stands"])
        ba = sum(v[0] for v in y["species"].values()) / n
        bio = sum(v[1] for v in y["species"].values()) / n
        pop = sum(v[2] for v in y["species"].values()) / n
        shares = {sn: v[0] / n / ba * 100.0 if ba > 0 else 0.0 for sn, v in y["species"].items()}
        intol = sum(p for sn, p in shares.items() if species.get(sn, ("", 0))[1] == 1)
        tol = sum(p for sn, p in shares.items() if species.get(sn, ("", 0))[1] == 3)
        lead = sorted(shares.items(), key=lambda kv: -kv[1])[:top]
        lead_text = ", ".join("%s %.0f" % (species.get(sn, ("SN %d" % sn, 0))[0], p)
                              for sn, p in lead if p >= 0.5)
        if markdown:
            out.append("| %d | %.1f | %.1f | %.0f | %.0f | %.0f | %s |" % (year, ba, bio, pop, intol, tol, lead_text))
        else:
            out.append("%5d %9.1f %8.1f %7.0f %6.0f %6.0f  %s" % (year, ba, bio, pop, intol, tol, lead_text))
    return "\n".join(out)


def check(records, allowed=None, ba_limit_cm2=None):
    """Problems found in the records: non-finite values, species outside the
    allowed set, plot basal area (cm2 per 100 m2 plot = results BA x 100) at or
    above the limit."""
    problems = []
    plots = {}
    for rec in records:
        if not all(math.isfinite(v) for v in rec[5:]):
            problems.append("non-finite value: %r" % (rec,))
        if allowed is not None and rec[3] not in allowed:
            problems.append("species %d outside the community in year %d" % (rec[3], rec[1]))
        key = rec[:3]
        plots[key] = plots.get(key, 0.0) + rec[5]
    if ba_limit_cm2 is not None:
        for key, ba in plots.items():
            if ba * 100.0 >= ba_limit_cm2:
                problems.append("iteration %d year %d plot %d: %.0f cm2 >= %.0f" % (key + (ba * 100.0, ba_limit_cm2)))
    return problems


# ------------------------------------------------------------------ running
def set_item(path, key, value):
    """Replace the value of one parameter-file item, keeping its comment."""
    with open(path) as f:
        text = f.read()
    pattern = re.compile(r"^(%s[ \t]+)(\S+)" % re.escape(key), re.M)
    text, n = pattern.subn(lambda m: m.group(1) + str(value), text, count=1)
    if n != 1:
        raise SystemExit("item %s not found in %s" % (key, path))
    with open(path, "w") as f:
        f.write(text)


def prepare(work, source_data, community, clear, interval, plots, seed):
    if os.path.exists(work):
        shutil.rmtree(work)
    os.makedirs(work)
    data = os.path.join(work, "Data")
    shutil.copytree(source_data, data)
    control = os.path.join(data, "inputOutputRunTimeParams.txt")
    set_item(control, "SCREEN_OUTPUT_MODE", 3)
    if interval:
        set_item(control, "RESULTS_INTERV", interval)
        set_item(control, "PRINT_INTERV", interval)
    init = os.path.join(data, COMMUNITY_FILES[community])
    set_item(init, "CLEAR_PLOT", 1 if clear else 0)
    if plots:
        set_item(init, "NUM_PLOTS", plots)
    if seed is not None:
        set_item(init, "SEED_INIT", "%.1f" % seed)
    return data


def run_batch(batch, work, community, years, iterations):
    command = [batch, "run", "--dir", work, "--community", str(community)]
    if years:
        command += ["--years", str(years)]
    if iterations:
        command += ["--iterations", str(iterations)]
    done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if done.returncode != 0:
        sys.stderr.write(done.stdout)
        raise SystemExit("batch run failed with status %d" % done.returncode)
    return done.stdout


def main():
    top = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    s = sub.add_parser("summarise", help="summarise a finished run")
    s.add_argument("--dir", required=True, help="working directory holding Data/")
    s.add_argument("--results", default="Data/results.out", help="results file inside --dir")
    s.add_argument("--top", type=int, default=4)
    s.add_argument("--markdown", action="store_true")
    e = sub.add_parser("experiment", help="run the batch tool on a scratch copy of Data/ and summarise")
    e.add_argument("--batch", required=True, help="path of dravia4-batch")
    e.add_argument("--data", default=os.path.join(top, "Data"), help="data set to copy (default: the shipped one)")
    e.add_argument("--work", help="scratch directory (default: a new temporary one)")
    e.add_argument("--community", type=int, required=True, choices=range(1, 9))
    e.add_argument("--clear", action="store_true", help="start from a clear plot")
    e.add_argument("--years", type=int)
    e.add_argument("--iterations", type=int)
    e.add_argument("--interval", type=int, help="results interval in years")
    e.add_argument("--plots", type=int, help="plots side by side")
    e.add_argument("--seed", type=float)
    e.add_argument("--top", type=int, default=4)
    e.add_argument("--markdown", action="store_true")
    e.add_argument("--check", action="store_true", help="also report non-finite values and basal area above BA_MAX")
    args = parser.parse_args()

    if args.command == "summarise":
        data = os.path.join(args.dir, "Data")
        print(summarise(read_results(os.path.join(args.dir, args.results)), read_species(data),
                        args.top, args.markdown))
        return 0

    work = args.work or tempfile.mkdtemp(prefix="dravia-validation-")
    data = prepare(work, args.data, args.community, args.clear, args.interval, args.plots, args.seed)
    run_batch(os.path.abspath(args.batch), work, args.community, args.years, args.iterations)
    records = read_results(os.path.join(data, "results.out"))
    print(summarise(records, read_species(data), args.top, args.markdown))
    if args.check:
        with open(os.path.join(data, COMMUNITY_FILES[args.community])) as f:
            ba_max = float(re.search(r"^BA_MAX\s+(\S+)", f.read(), re.M).group(1))
        problems = check(records, None, ba_max)
        print("checks: %s" % ("; ".join(problems[:5]) if problems else "no non-finite values, plot basal area below BA_MAX"))
    if not args.work:
        shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
