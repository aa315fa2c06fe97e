#!/usr/bin/env bash
# Times dravia4-batch against a peer gap model in one interleaved run, CPU time and peak memory of
# each program, so that both meet the same load on a shared machine.
#
#   peer-comparison.sh BATCH PEER_PROGRAM PEER_INPUTS [options]
#
#   BATCH          this program's dravia4-batch
#   PEER_PROGRAM   the peer's built program, run in PEER_INPUTS (its working directory)
#   PEER_INPUTS    the folder holding the peer's inputs for the workload
#   --peer-args "A B"     arguments of the peer program (default none)
#   --peer-tree-years N   tree-years the peer's workload simulates (from its own output: the
#                         living trees summed over every plot-year); without it only plot-years
#                         are compared
#   --peer-plot-years N   plot-years of the peer's workload (sites x plots x years x replicates)
#   --years Y --iterations I --plots P   this program's workload (default 1000 x 20 x 1, long
#                         enough for the 10 ms resolution of the CPU times); --community K picks
#                         a shipped community (default the shipped one)
#   --rounds R            interleaved rounds (default 5)
#
# Skips (status 0, saying why) when the peer program or its inputs are absent: the peer is not
# installable on our machines, and neither `make test` nor CI runs this script.
#
# This program's workload: the shipped Data/ with the given years, iterations and plots, no file
# output (FILE_OUTPUT_FLAG 0, no run database), screen output 3. Its tree-years are counted once,
# before the timed rounds, from a run with the same seed writing a results file every year: the
# population of each species record is the living trees of that species on that plot at the end
# of that year, so their sum over the file is the trees standing summed over every plot-year. The
# timed runs write no file, and output changes no tree, so they simulate the same trees.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)

usage() { sed -n '2,30p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
[ $# -ge 3 ] || usage
batch=$(realpath -m "$1") peer=$(realpath -m "$2") peer_inputs=$3
shift 3
peer_args="" peer_tree_years="" peer_plot_years="" years=1000 iterations=20 plots=1 community="" rounds=5
while [ $# -gt 0 ]; do
  case $1 in
    --peer-args) peer_args=$2; shift 2 ;;
    --peer-tree-years) peer_tree_years=$2; shift 2 ;;
    --peer-plot-years) peer_plot_years=$2; shift 2 ;;
    --years) years=$2; shift 2 ;;
    --iterations) iterations=$2; shift 2 ;;
    --plots) plots=$2; shift 2 ;;
    --community) community=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    *) usage ;;
  esac
done
if [ ! -x "$peer" ] || [ ! -d "$peer_inputs" ]; then
  echo "peer-comparison: skipped: the peer program \"$peer\" or its inputs \"$peer_inputs\" are not here"
  exit 0
fi
[ -x "$batch" ] || { echo "peer-comparison: $batch is not an executable dravia4-batch" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$here/Data" "$work/Data"
set_item() { sed -i -E "s/^($2[[:space:]]+)[^[:space:]/]+/\1$3/" "$1"; }
for f in "$work"/Data/*InitNormalParams.txt "$work"/Data/*InitTraParams.txt "$work"/Data/initParams.txt; do
  [ -f "$f" ] && set_item "$f" NUM_PLOTS "$plots"
done
run_flags="--years $years --iterations $iterations --seed 7"
[ -n "$community" ] && run_flags="$run_flags --community $community"

# The tree-years of this program's workload, from a counting run with results every year.
rt="$work/Data/inputOutputRunTimeParams.txt"
cp "$rt" "$work/rt.saved"
set_item "$rt" RESULTS_INTERV 1; set_item "$rt" PRINT_INTERV 1; set_item "$rt" FILE_OUTPUT_FLAG 1
results=$(awk '$1 == "RESULTS_FILE" { print $2 }' "$rt" | tr '\\' '/')
(cd "$work" && "$batch" run $run_flags >/dev/null 2>&1) || true
tree_years=$(awk 'NF >= 6 && $1 ~ /^[0-9]+$/ && $2 ~ /^[0-9]+$/ && $3 ~ /^[0-9]+$/ { s += $5 } END { printf "%d", s }' "$work/$results")
cp "$work/rt.saved" "$rt"
set_item "$rt" FILE_OUTPUT_FLAG 0
plot_years=$((years * iterations * plots))

# One timed run: prints "user+system seconds" and "peak resident kB".
timed() { /usr/bin/time -f '%U %S %M' -o "$work/time" "$@" >/dev/null 2>&1 || true; awk '{ printf "%.4f %d\n", $1 + $2, $3 }' "$work/time"; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
ours=() theirs=()
for round in $(seq 1 "$rounds"); do
  ours+=("$(cd "$work" && timed "$batch" run $run_flags)")
  theirs+=("$(cd "$peer_inputs" && timed "$peer" $peer_args)")
  echo "round $round: dravia4 ${ours[-1]} | peer ${theirs[-1]}  (CPU s, peak kB)"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
our_cpu=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f1 | median)
peer_cpu=$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f1 | median)
our_mem=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f2 | median)
peer_mem=$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f2 | median)
echo
echo "| program | workload | CPU s (median of $rounds) | tree-years | tree-years per CPU s | plot-years per CPU s | peak memory |"
echo "|---|---|---|---|---|---|---|"
awk -v c="$our_cpu" -v t="$tree_years" -v p="$plot_years" -v m="$our_mem" -v w="$years y x $iterations it x $plots plots" \
  'BEGIN { printf "| dravia4 | %s | %.4f | %d | %.3g | %.3g | %d kB |\n", w, c, t, t / c, p / c, m }'
awk -v c="$peer_cpu" -v t="${peer_tree_years:-0}" -v p="${peer_plot_years:-0}" -v m="$peer_mem" \
  'BEGIN { printf "| peer | its inputs | %.4f | %s | %s | %s | %d kB |\n", c, t ? t : "not given", t && c ? sprintf("%.3g", t / c) : "-", p && c ? sprintf("%.3g", p / c) : "-", m }'
if [ -n "$peer_tree_years" ]; then
  awk -v a="$our_cpu" -v ta="$tree_years" -v b="$peer_cpu" -v tb="$peer_tree_years" \
    'BEGIN { if (a > 0 && b > 0) printf "dravia4 / peer, tree-years per CPU second: %.2f x\n", (ta / a) / (tb / b) }'
fi
if [ -n "$peer_plot_years" ]; then
  awk -v a="$our_cpu" -v pa="$plot_years" -v b="$peer_cpu" -v pb="$peer_plot_years" \
    'BEGIN { if (a > 0 && b > 0) printf "dravia4 / peer, plot-years per CPU second: %.2f x\n", (pa / a) / (pb / b) }'
fi
awk -v a="$our_mem" -v b="$peer_mem" 'BEGIN { if (a > 0) printf "peer / dravia4, peak memory: %.1f x\n", b / a }'
