#!/usr/bin/env bash
# The soak run: the batch tool of the sanitizer build simulates 10,000 years x 5 iterations x
# 10 plots of the shipped data (year-to-year weather, windthrow on and frequent), then analyses the run;
# the resident memory is sampled every 0.2 s and LeakSanitizer checks the end of both commands.
# Usage: tests/hardening/soak.sh BUILD_DIR [YEARS]   (BUILD_DIR configured with DRAVIA_SANITIZE=ON)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: soak.sh BUILD_DIR [YEARS]}" && pwd)
years=${2:-10000}
work="$build/soak"
rm -rf "$work" && mkdir -p "$work" && cp -r "$root/Data" "$work/Data"
sed -i -e 's/^SCREEN_OUTPUT_MODE .*/SCREEN_OUTPUT_MODE       3/' \
       -e 's/^RESULTS_INTERV .*/RESULTS_INTERV           25/' "$work/Data/inputOutputRunTimeParams.txt"
sed -i -e 's/^NUM_PLOTS .*/NUM_PLOTS              10/' -e "s/^BLOW_DOWN .*/BLOW_DOWN              1/" -e "s/^BLOW_PROB .*/BLOW_PROB              0.02/" -e "s/^TEST_DISTURB .*/TEST_DISTURB           1/" \
       "$work/Data/initParams.txt"
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1${SOAK_ASAN_OPTIONS:+:$SOAK_ASAN_OPTIONS} UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
sample() {  # sample PID LOG: VmRSS in kB every 0.2 s while PID lives
  while kill -0 "$1" 2>/dev/null; do
    echo "$(date -u +%T.%N | cut -c1-12) $(awk '/VmRSS/{print $2}' /proc/"$1"/status 2>/dev/null)" >> "$2"
    sleep 0.2
  done
}
start=$(date +%s)
"$build/dravia4-batch" run --dir "$work" --years "$years" --iterations 5 > "$work/run.out" 2> "$work/run.err" &
pid=$!
sample "$pid" "$work/rss.log" &
wait "$pid"; status=$?
echo "run: exit $status after $(( $(date +%s) - start )) s" | tee "$work/summary"
"$build/dravia4-batch" stats --dir "$work" > "$work/stats.out" 2> "$work/stats.err"; echo "stats: exit $?" | tee -a "$work/summary"
ls -l "$work/Data/"*.out | tee -a "$work/summary"
echo "rss kB (first, max, last): $(head -1 "$work/rss.log" | cut -d' ' -f2) $(cut -d' ' -f2 "$work/rss.log" | sort -n | tail -1) $(tail -1 "$work/rss.log" | cut -d' ' -f2)" | tee -a "$work/summary"
grep -c "ERROR: LeakSanitizer\|runtime error" "$work/run.err" "$work/stats.err" | tee -a "$work/summary" || true
