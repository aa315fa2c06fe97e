#!/usr/bin/env bash
# A fixed-seed matrix of short runs, written by one dravia4-batch, compared byte for byte with
# what another dravia4-batch writes for it. A refactoring that changes no behaviour leaves every
# file, every stdout and stderr and every exit status identical.
#
#   comparison-set.sh [--classic] generate BATCH OUT   write the matrix's outputs of BATCH into OUT
#   comparison-set.sh [--classic] compare A B [WORK]   A and B each a dravia4-batch or a folder that
#                                                      `generate` wrote; prints every difference
#
# --classic runs every case with the model options off (`run --classic`, for a dravia4-batch that
# has model options; one without them is the classic model already), so that a program that adds
# options can be compared with one from before them on data whose presets switch options on.
#
# Both sides run on this checkout's Data/: a folder kept from an earlier checkout differs
# wherever Data/ has changed since (merge copies the input files along).
#
# The matrix: every shipped community x 3 seeds x Output Every Tree on/off x disturbances
# (logging and windthrow, early and often) on/off x results interval 1 and 10, each run followed
# by both statistics layouts; plus a long run whose results interval must be widened, one with
# the monitor file, one with two plots, merges of replicate runs (one refused), and run databases
# with their merge and CSV export. Years and iterations: YEARS (60) and ITERS (3).
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
classic=0
if [ "${1:-}" = --classic ]; then classic=1; shift; fi

# The flags that keep a run on the classic model: --classic where the program knows it.
classic_flags() {
  if [ "$classic" = 1 ] && "$1" run --help 2>/dev/null | grep -q -- --classic; then echo --classic; fi
}
YEARS=${YEARS:-60}
ITERS=${ITERS:-3}

# set FILE KEY VALUE: replaces the value of a parameter-file item, keeping the key's column.
set_item() {
  sed -i -E "s/^($2[[:space:]]+)[^[:space:]/]+/\1$3/" "$1"
}

# One case: a fresh copy of Data/, the given edits, then run, stats and stats --tsv. After each
# step the files it wrote or changed are kept in OUT/CASE/STEP with its stdout, stderr and status.
# The empty directory lock is left out: whether its time stamp passes the step's marker depends on
# the file system's clock tick, not on the program.
run_case() {
  local batch=$1 out=$2 name=$3 disturb=$4 interval=$5 extra=$6
  shift 6
  local work
  work=$(mktemp -d)
  cp -r "$here/Data" "$work/Data"
  for f in "$work"/Data/*InitNormalParams.txt "$work"/Data/*InitTraParams.txt "$work"/Data/initParams.txt; do
    if [ "$disturb" = 1 ]; then
      set_item "$f" TEST_DISTURB 1; set_item "$f" FIRST_DISTURB_YEAR 20
      set_item "$f" BLOW_DOWN 1; set_item "$f" BLOW_FREQ 15; set_item "$f" BLOW_PROB 0.05
    fi
    case $extra in
      monitor) set_item "$f" MONITOR_FLAG 1 ;;
      plots) set_item "$f" NUM_PLOTS 2 ;;
    esac
  done
  set_item "$work/Data/inputOutputRunTimeParams.txt" RESULTS_INTERV "$interval"
  set_item "$work/Data/inputOutputRunTimeParams.txt" PRINT_INTERV "$interval"
  mkdir -p "$out/$name"
  local step marker
  for step in run stats stats_tsv; do
    marker=$(mktemp); sleep 0.01; touch "$marker"
    local rc=0
    case $step in
      run) (cd "$work" && "$batch" run $(classic_flags "$batch") "$@") >"$out/$name/$step.stdout" 2>"$out/$name/$step.stderr" </dev/null || rc=$? ;;
      stats) (cd "$work" && "$batch" stats) >"$out/$name/$step.stdout" 2>"$out/$name/$step.stderr" </dev/null || rc=$? ;;
      stats_tsv) (cd "$work" && "$batch" stats --tsv) >"$out/$name/$step.stdout" 2>"$out/$name/$step.stderr" </dev/null || rc=$? ;;
    esac
    echo "$rc" >"$out/$name/$step.status"
    mkdir -p "$out/$name/$step"
    (cd "$work" && find . -type f ! -name .dravia4.lock -newer "$marker" -print0 | xargs -0 -r cp --parents -t "$out/$name/$step")
    rm -f "$marker"
  done
  rm -rf "$work"
}

# Replicate runs of one scenario joined by merge, then the statistics over all of them; and a
# merge refused because the runs are of different scenarios.
merge_case() {
  local batch=$1 out=$2 name=$3 first_community=$4 second_community=$5
  local work
  work=$(mktemp -d)
  mkdir -p "$out/$name"
  local seed community
  for seed in 11 12; do
    community=$first_community; [ "$seed" = 12 ] && community=$second_community
    cp -r "$here/Data" "$work/run$seed"
    mv "$work/run$seed" "$work/tmp"; mkdir "$work/run$seed"; mv "$work/tmp" "$work/run$seed/Data"
    for f in "$work/run$seed"/Data/*Init*Params.txt "$work/run$seed"/Data/initParams.txt; do
      set_item "$f" TEST_DISTURB 1; set_item "$f" FIRST_DISTURB_YEAR 20
      set_item "$f" BLOW_DOWN 1; set_item "$f" BLOW_FREQ 15; set_item "$f" BLOW_PROB 0.05
    done
    "$batch" run $(classic_flags "$batch") --dir "$work/run$seed" --community "$community" --seed "$seed" --years "$YEARS" \
      --iterations 2 --every-tree >/dev/null 2>&1 </dev/null || true
  done
  local rc=0
  (cd "$work" && "$batch" merge merged run11 run12) >"$out/$name/merge.stdout" 2>"$out/$name/merge.stderr" </dev/null || rc=$?
  echo "$rc" >"$out/$name/merge.status"
  sed -i "s|$work|WORK|g" "$out/$name/merge.stderr"  # messages name the scratch folders
  if [ -d "$work/merged" ]; then
    (cd "$work/merged" && "$batch" stats) >"$out/$name/stats.stdout" 2>"$out/$name/stats.stderr" </dev/null || true
    (cd "$work/merged" && find . -type f ! -name .dravia4.lock -newer "$work/run12/Data/results.out" -print0 | xargs -0 -r cp --parents -t "$out/$name")
  fi
  rm -rf "$work"
}

# Run databases: two replicate runs recording every table (one every year, one with the seed of
# the command line), their merge, and each database exported as CSV. The CSV files are kept with
# the times, folders and command lines that differ between any two runs masked; the databases
# themselves hold them, so they are not kept.
database_case() {
  local batch=$1 out=$2 name=$3
  local work
  work=$(mktemp -d)
  mkdir -p "$out/$name"
  local seed
  for seed in 21 22; do
    mkdir "$work/run$seed"; cp -r "$here/Data" "$work/run$seed/Data"
    for f in "$work/run$seed"/Data/*Init*Params.txt "$work/run$seed"/Data/initParams.txt; do
      set_item "$f" TEST_DISTURB 1; set_item "$f" FIRST_DISTURB_YEAR 20
      set_item "$f" BLOW_DOWN 1; set_item "$f" BLOW_FREQ 15; set_item "$f" BLOW_PROB 0.05
    done
  done
  local rc step
  for step in run21 run22 merge export21 export22 export-merged; do
    rc=0
    case $step in
      run21) "$batch" run --dir "$work/run21" --community 3 --years "$YEARS" --iterations 2 \
               --db "$work/run21/dravia4-run.sqlite" --db-trees --db-yearly ;;
      run22) "$batch" run --dir "$work/run22" --community 3 --seed 22 --years "$YEARS" --iterations 2 \
               --db "$work/run22/dravia4-run.sqlite" --db-trees ;;
      merge) (cd "$work" && "$batch" merge merged run21 run22) ;;
      export21) "$batch" export --db "$work/run21/dravia4-run.sqlite" --csv "$work/csv/run21" ;;
      export22) "$batch" export --db "$work/run22/dravia4-run.sqlite" --csv "$work/csv/run22" ;;
      export-merged) "$batch" export --db "$work/merged/dravia4-run.sqlite" --csv "$work/csv/merged" ;;
    esac >"$out/$name/$step.stdout" 2>"$out/$name/$step.stderr" </dev/null || rc=$?
    echo "$rc" >"$out/$name/$step.status"
  done
  cp -r "$work/csv" "$out/$name/csv"
  find "$out/$name" -type f -print0 | xargs -0 sed -i -E -e "s|$work|WORK|g" -e "s|$batch|BATCH|g" \
    -e 's/[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z/TIME/g'
  rm -rf "$work"
}

generate() {
  local batch out
  batch=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  out=$2
  rm -rf "$out"; mkdir -p "$out"
  local community seed tree disturb interval
  for community in 1 2 3 4 5 6 7 8; do
    for seed in 1 4242 987654321; do
      for tree in 0 1; do
        for disturb in 0 1; do
          for interval in 1 10; do
            local flags=(--community "$community" --seed "$seed" --years "$YEARS" --iterations "$ITERS")
            [ "$tree" = 1 ] && flags+=(--every-tree)
            run_case "$batch" "$out" "c${community}-s${seed}-t${tree}-d${disturb}-i${interval}" \
              "$disturb" "$interval" none "${flags[@]}"
          done
        done
      done
    done
  done
  # More than 500 results intervals: the interval is widened during the run.
  run_case "$batch" "$out" widened 1 1 none --community 3 --seed 7 --years 1003 --iterations 2
  run_case "$batch" "$out" monitor 1 10 monitor --community 5 --seed 7 --years 40 --iterations 2
  merge_case "$batch" "$out" merged 3 3
  merge_case "$batch" "$out" merge-refused 3 5
  database_case "$batch" "$out" databases
  run_case "$batch" "$out" two-plots 1 10 plots --community 3 --seed 7 --years "$YEARS" --iterations "$ITERS" --every-tree
}

outputs_of() {  # a dravia4-batch is run into a fresh folder; a folder is taken as it is
  if [ -d "$1" ]; then echo "$1"; else generate "$1" "$2" >&2; echo "$2"; fi
}

case ${1:-} in
  generate) generate "$2" "$3" ;;
  compare)
    work=${4:-$(mktemp -d)}
    a=$(outputs_of "$2" "$work/a")
    b=$(outputs_of "$3" "$work/b")
    if diff -r "$a" "$b" >"$work/differences"; then
      echo "comparison set: $(find "$a" -type f | wc -l) files identical"
    else
      echo "comparison set: differences (first lines; all in $work/differences):"
      head -n 20 "$work/differences"
      exit 1
    fi ;;
  *) sed -n '2,18p' "$0"; exit 2 ;;
esac
