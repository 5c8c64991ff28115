#!/usr/bin/env bash
# Record-building benchmark: a headless run (walk, entry records, filters, file counts
# and the sort) over two generated trees, one about twice the other, beside find on
# the same trees (no writer: the settings select no format), to show that the work grows linearly with the number of entries.
#   bench/records.sh        (build first: scripts/build.sh)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${ORVANTIS_BUILD_DIR:-$root/build}"
base="${TMPDIR:-/tmp}/orvantis-bench-records"
home="$(mktemp -d)"
out="$(mktemp -d)"
trap 'rm -rf "$home" "$out"' EXIT
printf '[Output]\r\nFileType=-1\r\nFileOpen=0\r\n' >"$home/Orvantis.ini"

# fan-out 10, depth 4: 11,110 directories, 9 files each (100k files);
# fan-out 12, depth 4: 22,620 directories, 9 files each (204k files).
mkdir -p "$base"
[ -d "$base/small" ] || "$bin/bench/orvantis_make_tree" "$base/small" 4 10 9
[ -d "$base/large" ] || "$bin/bench/orvantis_make_tree" "$base/large" 4 12 9

for tree in small large; do
  dir="$base/$tree"
  entries=$(find "$dir" -mindepth 1 | wc -l)
  find "$dir" -printf '%s %T@\n' >/dev/null
  for tool in find orvantis; do
    best=999
    for _ in 1 2 3; do
      start=$(date +%s.%N)
      if [ "$tool" = find ]; then
        find "$dir" -printf '%s %T@\n' >/dev/null
      else
        ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$bin/app/orvantis" "$dir" "$out/list.none" 2>/dev/null
      fi
      end=$(date +%s.%N)
      best=$(awk -v b="$best" -v s="$start" -v e="$end" 'BEGIN { t = e - s; print (t < b ? t : b) }')
    done
    awk -v t="$tree" -v tool="$tool" -v n="$entries" -v s="$best" \
      'BEGIN { printf "%-6s %-9s %8d entries %7.3f s %7.2f us/entry\n", t, tool, n, s, s * 1e6 / n }'
  done
done
