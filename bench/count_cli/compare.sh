#!/usr/bin/env bash
# Times foliotally-count on two generated trees of small PDF files against the floor of
# walking the tree and reading each file's tail (the two in alternating rounds), against
# exiftool and pdfinfo, and times its start-up; prints seconds, CPU seconds and files per
# second for each, and the ratios the goals are stated in.
#
# Usage: bench/count_cli/compare.sh [BUILD_DIR] [TREE_DIR]
#   BUILD_DIR  where foliotally-count was built (default: ./build)
#   TREE_DIR   where the trees are written (default: BUILD_DIR/count_cli_bench, removed
#              at the end)
# Environment: SKIP_PDFINFO=1 leaves out the (slow) pdfinfo run.
#
# Uses hyperfine when it is installed (apt-get install hyperfine), else plain timing with
# date +%s.%N (which cannot tell CPU time).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
build="${1:-$repo/build}"
counter="$build/src/count_cli/foliotally-count"
[ -x "$counter" ] || { echo "no $counter; build first (scripts/build)" >&2; exit 2; }

# Scratch space lives in the build folder, out of the way of anything that tidies /tmp.
work="$build/count_cli_bench"
rm -rf "$work"
mkdir -p "$work"
trees="${2:-$work/trees}"
mkdir -p "$trees"
trap 'rm -rf "$work"' EXIT

# Mean wall-clock and CPU (user + system) seconds of one command, as "wall cpu".
time_with_hyperfine() {  # runs command
  local shell_option=()
  # Commands without a pipe run without a shell, so its start-up is not timed.
  case "$2" in *'|'* | *'>'*) ;; *) shell_option=(-N) ;; esac
  if ! hyperfine "${shell_option[@]}" --style none \
    --warmup "$([ "$1" -gt 2 ] && echo 3 || echo 0)" --runs "$1" \
    --export-json "$work/h.json" "$2" >"$work/h.log" 2>&1; then
    cat "$work/h.log" >&2
    echo "nan nan"
    return
  fi
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]
print(r["mean"], r["user"] + r["system"])' "$work/h.json"
}
time_with_date() {  # runs command
  local total=0 start end
  for _ in $(seq "$1"); do
    start=$(date +%s.%N)
    bash -c "$2" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    total=$(python3 -c "print($total + $end - $start)")
  done
  python3 -c "print($total / $1, 'nan')"
}
if command -v hyperfine >/dev/null; then
  timer=time_with_hyperfine
  echo "Timing with $(hyperfine --version) (mean of the runs shown)"
else
  timer=time_with_date
  echo "Timing with date +%s.%N (hyperfine not installed)"
fi
echo "$(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "page counter: $(ldd "$counter" | awk '/libfoliotally/ {print $3}')"

results="$work/results"
: >"$results"
# Times one command and records it under a label; prints its line.
measure() {  # label runs files command
  local wall cpu
  read -r wall cpu < <($timer "$2" "$4")
  printf '%s\t%s\t%s\n' "$1" "$wall" "$cpu" >>"$results"
  printf '%-44s %5s %9.4f %9.4f %10s\n' "$1" "$2" "$wall" "$cpu" \
    "$(python3 -c "f=$3; print('%.0f' % (f / float('$wall')) if f else '-')")"
}

# Times commands in alternating rounds (4 rounds of 5 runs each) and records each under its
# label with the mean over all rounds; prints their lines and the ratio of the second
# command to the third in each round. The speed of a shared machine drifts over a minute;
# taken in turns, the commands a goal compares meet the same drift.
measure_in_rounds() {  # tree files label command label command ...
  local tree="$1" files="$2" rounds=4 runs=5 round i wall cpu
  shift 2
  local -a pairs=("$@")
  : >"$work/rounds"
  for round in $(seq "$rounds"); do
    for ((i = 0; i < ${#pairs[@]}; i += 2)); do
      read -r wall cpu < <($timer "$runs" "${pairs[i + 1]}")
      printf '%s\t%s\t%s\t%s\n' "$round" "${pairs[i]}" "$wall" "$cpu" >>"$work/rounds"
    done
  done
  python3 - "$work/rounds" "$results" "$files" "$((rounds * runs))" "${pairs[2]}" "${pairs[4]}" <<'PY'
import collections, sys
rounds, results, files, runs, compared, floor = sys.argv[1:7]
by_label = collections.OrderedDict()
by_round = collections.defaultdict(dict)
for line in open(rounds):
    n, label, wall, cpu = line.rstrip("\n").split("\t")
    by_label.setdefault(label, []).append((float(wall), float(cpu)))
    by_round[n][label] = float(wall)
with open(results, "a") as out:
    for label, times in by_label.items():
        wall = sum(t[0] for t in times) / len(times)
        cpu = sum(t[1] for t in times) / len(times)
        out.write("%s\t%s\t%s\n" % (label, wall, cpu))
        print("%-44s %5s %9.4f %9.4f %10.0f" % (label, runs, wall, cpu, int(files) / wall))
ratios = [r[compared] / r[floor] for r in by_round.values()]
print("  (--jobs 2 / floor in each round: %s)" % " ".join("%.2f" % x for x in ratios))
PY
}

# One tree: write it, check the totals, time everything on it.
bench_tree() {  # name folders files_per_folder total_files
  local tree="$trees/$1" files pages
  read -r files pages < <(python3 "$here/make_pdf_tree.py" "$tree" "$2" "$3" "$4")
  echo
  echo "Tree '$1': $files files, $pages pages, $(find "$tree" -type d | wc -l) folders (root included)"
  # The counter must get the totals right before its speed means anything.
  local summary expected="Counted $files files, $pages pages."
  summary="$("$counter" --jobs 2 "$tree" 2>&1 >/dev/null)"
  if [ "$summary" != "$expected" ]; then
    echo "foliotally-count says '$summary', expected '$expected'" >&2
    exit 1
  fi
  printf '%-44s %5s %9s %9s %10s\n' "command" "runs" "seconds" "CPU s" "files/s"
  measure_in_rounds "$1" "$files" \
    "$1: foliotally-count --jobs 1" "$counter --jobs 1 $tree" \
    "$1: foliotally-count --jobs 2" "$counter --jobs 2 $tree" \
    "$1: find | xargs tail -c 1024 (floor)" \
    "find $tree -name '*.pdf' -print0 | xargs -0 tail -q -c 1024 > /dev/null"
  measure "$1: exiftool -r -PageCount -ext pdf" 2 "$files" \
    "exiftool -q -r -PageCount -ext pdf $tree"
  if [ "${SKIP_PDFINFO:-0}" != 1 ] && [ "$1" = big ]; then
    measure "$1: find -exec pdfinfo" 1 "$files" "find $tree -name '*.pdf' -exec pdfinfo {} \\;"
  fi
}

bench_tree big 1000 10 ""
bench_tree small 1100 0 2000

echo
echo "Start-up"
printf '%-44s %5s %9s %9s %10s\n' "command" "runs" "seconds" "CPU s" ""
one_file="$(find "$trees/small" -name '*.pdf' -print -quit)"
measure "foliotally-count --version" 50 0 "$counter --version"
measure "foliotally-count ONE.pdf" 50 0 "$counter $one_file"

python3 - "$results" <<'PY'
import sys
r = {}
for line in open(sys.argv[1]):
    label, wall, cpu = line.rstrip("\n").split("\t")
    r[label] = (float(wall), float(cpu))
print()
for tree in ("big", "small"):
    fc = r[tree + ": foliotally-count --jobs 2"]
    floor = r[tree + ": find | xargs tail -c 1024 (floor)"]
    exif = r[tree + ": exiftool -r -PageCount -ext pdf"]
    print("%-5s foliotally-count --jobs 2 vs the floor: %.2fx its time, %.2fx its CPU (goal: 1.3x)"
          % (tree, fc[0] / floor[0], fc[1] / floor[1]))
    print("%-5s foliotally-count --jobs 2 vs exiftool:  %.1fx the files per second (goal: 20x)"
          % (tree, exif[0] / fc[0]))
    pdfinfo = r.get(tree + ": find -exec pdfinfo")
    if pdfinfo:
        print("%-5s foliotally-count --jobs 2 vs pdfinfo:   %.1fx the files per second"
              % (tree, pdfinfo[0] / fc[0]))
    print("%-5s speed-up from 1 to 2 jobs:              %.2fx"
          % (tree, r[tree + ": foliotally-count --jobs 1"][0] / fc[0]))
for label in ("foliotally-count --version", "foliotally-count ONE.pdf"):
    print("%-44s %.1f ms (goal: under 5 ms)" % (label + " start-up:", r[label][0] * 1000))
PY
