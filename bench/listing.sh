#!/usr/bin/env bash
# Listing benchmark: orvantis in automatic mode writing the HTML tree listing (default
# options, FileOpen off) side by side with `tree -X` and `find -printf` on the same
# tree, in one run with a warm cache: wall time and peak memory of each.
#   bench/listing.sh [TREE]    default: a generated tree of about 1.1 million entries
# Build first: scripts/build.sh (an optimised build in build/). ORVANTIS_BIN names
# another orvantis executable to time.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build"
orvantis="${ORVANTIS_BIN:-$bin/app/orvantis}"
tree_dir="${1:-}"
if [ -z "$tree_dir" ]; then
  tree_dir="${TMPDIR:-/tmp}/orvantis-bench-tree"
  if [ ! -d "$tree_dir" ]; then
    # 6 levels of fan-out 6 (55,986 directories), 20 files of 1 KiB each: about 1.1
    # million entries.
    "$bin/bench/orvantis_make_tree" "$tree_dir" 6 6 20 1024
  fi
fi
if [ ! -x /usr/bin/time ]; then
  echo "/usr/bin/time is missing (apt-get install time)" >&2
  exit 1
fi
home="$(mktemp -d)"
out="$(mktemp -d)"
trap 'rm -rf "$home" "$out"' EXIT
printf '[Output]\r\nFileOpen=0\r\n' >"$home/Orvantis.ini"

entries=$(find "$tree_dir" -mindepth 1 | wc -l)
echo "tree: $tree_dir ($entries entries)"
printf '%-30s %9s %13s %10s %12s\n' "" "seconds" "entries/s" "peak MB" "bytes/entry"

measure() {  # label command...
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  /usr/bin/time -v -o "$out/time.txt" "$@" >/dev/null 2>&1 || echo "$label: exit status $?" >&2
  end=$(date +%s.%N)
  local peak
  peak=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$out/time.txt")
  awk -v l="$label" -v s="$start" -v e="$end" -v n="$entries" -v k="$peak" 'BEGIN {
    t = e - s
    printf "%-30s %9.3f %13.0f %10.1f %12.0f\n", l, t, n / t, k / 1024, k * 1024 / n }'
}

# Warm the cache once.
find "$tree_dir" -printf '%s %T@\n' >/dev/null
measure "find -printf '%s %T@'" find "$tree_dir" -printf '%s %T@\n'
if command -v tree >/dev/null; then
  measure "tree -X -s -D" tree -X -s -D -o /dev/null "$tree_dir"
else
  echo "tree -X -s -D                  (not installed: apt-get install tree)"
fi
measure "orvantis (html tree)" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$tree_dir" "$out/list.html"
echo "listing: $(wc -c <"$out/list.html") bytes"
