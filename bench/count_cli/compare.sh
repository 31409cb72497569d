#!/usr/bin/env bash
# Times foliotally-count against exiftool and pdfinfo on a generated tree of 10,000 small
# PDF files in 1,000 folders, and prints files per second for each.
#
# Usage: bench/count_cli/compare.sh [BUILD_DIR] [TREE_DIR]
#   BUILD_DIR  where foliotally-count was built (default: ./build)
#   TREE_DIR   where the tree is written (default: BUILD_DIR/count_cli_bench, removed at
#              the end)
# Environment: SKIP_PDFINFO=1 leaves out the (slow) pdfinfo run.
#
# Uses hyperfine when it is installed (apt-get install hyperfine), else plain timing with
# date +%s.%N.
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
tree="${2:-$work/tree}"
mkdir -p "$tree"
trap 'rm -rf "$work"' EXIT

echo "Writing the tree in $tree ..."
read -r files pages < <(python3 "$here/make_pdf_tree.py" "$tree/pdfs" 1000 10)
echo "  $files files, $pages pages, $(find "$tree/pdfs" -type d | wc -l) folders (root included)"

# The counter must get the totals right before its speed means anything.
summary="$("$counter" --jobs 2 "$tree/pdfs" 2>&1 >/dev/null)"
expected="Counted $files files, $pages pages."
if [ "$summary" != "$expected" ]; then
  echo "foliotally-count says '$summary', expected '$expected'" >&2
  exit 1
fi
echo "  foliotally-count: $summary"
echo "  $(nproc) processors; page counter: $(ldd "$counter" | awk '/libfoliotally/ {print $3}')"

names=()
commands=()
runs=()
add() { names+=("$1"); runs+=("$2"); commands+=("$3"); }
add "foliotally-count --jobs 1" 10 "$counter --jobs 1 $tree/pdfs"
add "foliotally-count --jobs 2" 10 "$counter --jobs 2 $tree/pdfs"
add "exiftool -r -PageCount -ext pdf" 2 "exiftool -q -r -PageCount -ext pdf $tree/pdfs"
if [ "${SKIP_PDFINFO:-0}" != 1 ]; then
  add "find -exec pdfinfo" 1 "find $tree/pdfs -name '*.pdf' -exec pdfinfo {} \\;"
fi

# Mean wall-clock seconds of one command.
time_with_hyperfine() {  # runs command
  if ! hyperfine --style none --warmup "$([ "$1" -gt 2 ] && echo 2 || echo 0)" --runs "$1" \
    --export-json "$work/h.json" "$2" >"$work/h.log" 2>&1; then
    cat "$work/h.log" >&2
    echo nan
    return
  fi
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["mean"])' \
    "$work/h.json"
}
time_with_date() {  # runs command
  local total=0 start end
  for _ in $(seq "$1"); do
    start=$(date +%s.%N)
    bash -c "$2" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    total=$(python3 -c "print($total + $end - $start)")
  done
  python3 -c "print($total / $1)"
}
if command -v hyperfine >/dev/null; then
  timer=time_with_hyperfine
  echo "Timing with $(hyperfine --version) (mean of the runs shown)"
else
  timer=time_with_date
  echo "Timing with date +%s.%N (hyperfine not installed)"
fi

means=()
printf '\n%-34s %6s %10s %12s\n' "command" "runs" "seconds" "files/s"
for i in "${!names[@]}"; do
  mean="$($timer "${runs[$i]}" "${commands[$i]}")"
  means+=("$mean")
  printf '%-34s %6s %10.3f %12.0f\n' "${names[$i]}" "${runs[$i]}" "$mean" \
    "$(python3 -c "print($files / float('$mean'))")"
done

python3 - "${means[@]}" <<'PY'
import sys
m = [float(x) for x in sys.argv[1:]]  # "nan" for a command that failed
print()
print("speed-up from 1 to 2 jobs:            %.2fx" % (m[0] / m[1]))
print("foliotally-count --jobs 2 vs exiftool: %.1fx the files per second (goal: 20x)"
      % (m[2] / m[1]))
if len(m) > 3:
    print("foliotally-count --jobs 2 vs pdfinfo:  %.1fx the files per second" % (m[3] / m[1]))
PY
