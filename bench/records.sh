#!/usr/bin/env bash
# Record-building benchmark: a headless run (walk, entry records, filters, file counts
# and the sort) over two generated trees, one about twice the other, beside find on
# the same trees (no writer: the settings select no format), to show that the work
# grows linearly with the number of entries. Best of three runs each.
#   bench/records.sh [--tiny]
# Uses the build in build/ (ORVANTIS_BUILD names another), building it if needed.
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"
bench_args "$@"
if [ -n "$bench_arg" ]; then
  echo "usage: $0 [--tiny]" >&2
  exit 2
fi
bench_build_if_missing "$orvantis"
home="$bench_tmp/home"
out="$bench_tmp/out"
mkdir "$home" "$out"
printf '[Output]\r\nFileType=-1\r\nFileOpen=0\r\n' >"$home/Orvantis.ini"

# fan-out 10, depth 4: 11,110 directories, 9 files each (100k files);
# fan-out 12, depth 4: 22,620 directories, 9 files each (204k files).
# --tiny: fan-out 5 and 6, depth 3: 1,559 and 2,589 entries.
declare -A dirs
if [ "$bench_tiny" = 1 ]; then
  bench_tree 3 5 9; dirs[small]=$bench_tree_dir
  bench_tree 3 6 9; dirs[large]=$bench_tree_dir
else
  bench_tree 4 10 9; dirs[small]=$bench_tree_dir
  bench_tree 4 12 9; dirs[large]=$bench_tree_dir
fi

for tree in small large; do
  dir=${dirs[$tree]}
  entries=$(find "$dir" -mindepth 1 | wc -l)
  find "$dir" -printf '%s %T@\n' >/dev/null
  bench_reset
  for tool in find orvantis; do
    if [ "$tool" = find ]; then
      bench_time -n 3 find find "$dir" -printf '%s %T@\n'
    else
      bench_time -n 3 orvantis env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$dir" "$out/list.none"
    fi
    awk -v t="$tree" -v tool="$tool" -v n="$entries" -v s="$bench_secs" \
      'BEGIN { printf "%-6s %-9s %8d entries %7.3f s %7.2f us/entry\n", t, tool, n, s, s * 1e6 / n }'
  done
  echo "$tree  orvantis time / peer time:"
  bench_ratios orvantis
done
