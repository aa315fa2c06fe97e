#!/usr/bin/env bash
# Merges each target's kept corpus, seeds and campaign inputs into a minimal set that keeps
# all coverage, and writes it back to fuzz/corpus/<target>/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD:-$root/build/fuzz}" && pwd)
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(parameter_files species_file plot_file weather_file colour_file tree_bitmap stats_reader window_placement)
fi
for t in "${targets[@]}"; do
  merged="$build/merged/$t"
  rm -rf "$merged" && mkdir -p "$merged"
  inputs=()
  for d in "$root/fuzz/corpus/$t" "$build/seeds/$t" "$build/work/$t"; do [ -d "$d" ] && inputs+=("$d"); done
  "$build/fuzz/fuzz_$t" -merge=1 -timeout=10 "$merged" "${inputs[@]}" > "$build/logs/$t.merge.log" 2>&1
  rm -rf "$root/fuzz/corpus/$t" && mkdir -p "$root/fuzz/corpus/$t"
  cp "$merged"/* "$root/fuzz/corpus/$t/"
  echo "$t: $(ls "$root/fuzz/corpus/$t" | wc -l) inputs, $(du -sk "$root/fuzz/corpus/$t" | cut -f1) KiB"
done
