#!/usr/bin/env bash
# Runs fuzzing campaigns one after another (never two at once): each named target (default:
# all) for SECONDS seconds (default 600) from its seeds and its kept corpus. New inputs go to
# BUILD/work/<target>, findings to BUILD/artifacts/<target>/, the log with the final
# statistics to BUILD/logs/<target>.log. Needs the clang build with DRAVIA_FUZZ=ON in BUILD.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${BUILD:-$root/build/fuzz}" && pwd)
seconds=${SECONDS_PER_TARGET:-600}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(parameter_files species_file plot_file weather_file colour_file tree_bitmap stats_reader window_placement)
fi
[ -d "$build/seeds" ] || bash "$root/fuzz/make-seeds.sh" "$build/seeds"
for t in "${targets[@]}"; do
  mkdir -p "$build/work/$t" "$build/artifacts/$t" "$build/logs" "$root/fuzz/corpus/$t"
  echo "$(date -u +%FT%TZ) $t: ${seconds}s" >&2
  # Absolute corpus paths: the targets change into a scratch directory.
  nice -n 5 "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$t/" \
    "$build/work/$t" "$build/seeds/$t" "$root/fuzz/corpus/$t" > "$build/logs/$t.log" 2>&1
  echo "$(date -u +%FT%TZ) $t: exit $?" >&2
  grep -E "^#[0-9]+ +(DONE|INITED)|^stat::|ERROR|SUMMARY" "$build/logs/$t.log" | tail -12 >&2
done
