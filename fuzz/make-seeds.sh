#!/usr/bin/env bash
# Builds the seed inputs of every fuzz target from the shipped data, the conformance inputs
# (when ../shared/conformance is present) and small texts the tests use, into $1/<target>/.
# A leading byte picks the mode of the targets that read a file in more than one way.
set -euo pipefail
out=${1:?usage: make-seeds.sh OUTPUT_DIRECTORY}
root=$(cd "$(dirname "$0")/.." && pwd)
conformance=$(ls -d "$root"/../shared/conformance/cases/*/input/Data 2>/dev/null || true)
rm -rf "$out"
for t in parameter_files species_file plot_file weather_file colour_file tree_bitmap stats_reader window_placement; do
  mkdir -p "$out/$t"
done
n=0
seed() {  # seed TARGET MODE_BYTE_OR_EMPTY FILE [MAX_BYTES]
  local target=$1 mode=$2 file=$3 limit=${4:-}
  n=$((n + 1))
  local dest="$out/$target/seed-$n"
  if [ -n "$mode" ]; then printf "\\x$(printf %02x "$mode")" > "$dest"; else : > "$dest"; fi
  if [ -n "$limit" ]; then head -c "$limit" "$file" >> "$dest"; else cat "$file" >> "$dest"; fi
}
for f in "$root"/Data/inputOutputRunTimeParams.txt $(for d in $conformance; do echo "$d/inputOutputRunTimeParams.txt"; done); do
  seed parameter_files 0 "$f"
done
for f in "$root"/Data/*Init*Params.txt "$root"/Data/initParams.txt $(for d in $conformance; do echo "$d/initParams.txt"; done); do
  seed parameter_files 1 "$f"
done
for f in "$root"/Data/speciesParams.txt $(for d in $conformance; do echo "$d/species.txt"; done); do
  seed species_file "" "$f"
done
for f in "$root"/Data/*Plot.txt $(for d in $conformance; do echo "$d/plot.txt"; done); do
  seed plot_file 0 "$f"
  seed plot_file 1 "$f"
done
for f in "$root"/Data/*Wthr.txt $(for d in $conformance; do echo "$d/weather.txt"; done); do
  seed weather_file 0 "$f"
  seed weather_file 1 "$f"
done
for f in "$root"/Data/colors.txt $(for d in $conformance; do echo "$d/colors.txt"; done); do
  seed colour_file "" "$f"
done
for f in "$root"/Data/*Small.bmp "$root"/Data/americanBeechLarge.bmp; do
  seed tree_bitmap "" "$f"
done
for d in $conformance; do
  expected=$(dirname "$(dirname "$d")")/expected/run/files/Data
  [ -f "$expected/results.out" ] && seed stats_reader 0 "$expected/results.out" 12000
  [ -f "$expected/disturb.out" ] && seed stats_reader 1 "$expected/disturb.out" 12000
  [ -f "$expected/afterdist.out" ] && seed stats_reader 2 "$expected/afterdist.out" 12000
done
for text in "0:1:-1:-1:-1:-1:100:100:800:600" "2:3:-1:-1:-8:-8:10:20:610:420" \
            "0:1:-1:-1:-1:-1:0x10:100:800:600" "0:2:-32000:-32000:-1:-1:010:100:800:600x"; do
  n=$((n + 1))
  printf '%s' "$text" > "$out/window_placement/seed-$n"
done
