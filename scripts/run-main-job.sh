#!/usr/bin/env bash
# The main job of `make run`: a scratch working directory seeded from the shipped Data/ and
# Manual/, then the desktop window where a display exists, otherwise the default simulation
# headless followed by its statistics. Tracked files are never modified.
set -uo pipefail
build=${1:?build directory}
work=${2:?working directory}
top=$(cd "$(dirname "$0")/.." && pwd)
if [ ! -f "$top/Data/inputOutputRunTimeParams.txt" ]; then
  echo "The shipped data set (Data/) is not built yet: nothing to run."
  exit 1
fi
rm -rf "$work"
mkdir -p "$work"
cp -r "$top/Data" "$work/Data"
[ -d "$top/Manual" ] && cp -r "$top/Manual" "$work/Manual"
marker="$work/.dravia-start"
touch "$marker"
sleep 1
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/dravia4" ]; then
  echo "Opening the Dravia4 window; files are written under $work"
  exec "$build/dravia4" --workdir "$work"
fi
echo "No display: running the default simulation headless in $work"
"$build/dravia4-batch" run --dir "$work" --db "$work/dravia4-run.sqlite"
status=$?
if [ $status -ne 0 ]; then
  echo "The run ended with status $status."
  exit $status
fi
# Both layouts go to the report file the parameters name: keep the tab-separated one beside it
# under the same name with ".tsv" added, then write the plain one.
tsv_output=$("$build/dravia4-batch" stats --dir "$work" --tsv) || { echo "$tsv_output"; exit 1; }
echo "$tsv_output"
echo "$tsv_output" | sed -n 's/^.*output file "\(.*\)"\.$/\1/p' | tr '\\' '/' | while read -r report; do
  [ -f "$work/$report" ] && cp "$work/$report" "$work/$report.tsv"
done
"$build/dravia4-batch" stats --dir "$work" || exit $?
# The charts of the run, from its database, when the desktop program is built.
if [ -x "$build/dravia4" ]; then
  runtime=$(mktemp -d)
  XDG_RUNTIME_DIR=$runtime "$build/dravia4" --charts "$work/dravia4-run.sqlite" --out "$work/charts" || exit $?
  rm -rf "$runtime"
fi
echo
echo "Files written in $work:"
(cd "$work" && find . -newer "$marker" -type f | sort | sed 's|^\./|  |')
