#!/usr/bin/env bash
# Listing benchmark: orvantis in automatic mode writing the HTML tree listing (default
# options, FileOpen off) side by side with `tree -X`, `find -printf` and
# `fdfind -u --size +0b` (which stats every entry, as a listing must) on the same tree,
# in one run with a warm cache: wall time and peak memory of each, and orvantis's peak
# memory per entry above its start-up. Run as root, it runs them once more with the
# page cache dropped before each command.
#   bench/listing.sh [--tiny] [TREE]    default: generated trees of about 224,000 and
#                                       1.1 million entries, one after the other
# Uses the build in build/ (ORVANTIS_BUILD names another), building it if needed.
# ORVANTIS_BIN names another orvantis executable to time.
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"
bench_args "$@"
orvantis="${ORVANTIS_BIN:-$orvantis}"
bench_build_if_missing "$orvantis"
trees=()
if [ -n "$bench_arg" ]; then
  trees=("$bench_arg")
elif [ "$bench_tiny" = 1 ]; then
  bench_tree 3 6 10 1024
  trees=("$bench_tree_dir")
else
  # 6 levels of fan-out 6 (55,986 directories) with 3 or 20 files of 1 KiB in each:
  # about 224,000 and 1.1 million entries.
  bench_tree 6 6 3 1024
  trees+=("$bench_tree_dir")
  bench_tree 6 6 20 1024
  trees+=("$bench_tree_dir")
fi
bench_install fdfind fd-find || true
bench_install tree tree || true
home="$bench_tmp/home"
out="$bench_tmp/out"
mkdir "$home" "$out"
printf '[Output]\r\nFileOpen=0\r\n' >"$home/Orvantis.ini"

cold=0
drop_caches() {
  sync
  echo 3 >/proc/sys/vm/drop_caches
}

# orvantis's peak memory over an empty folder: what every run costs before the tree.
mkdir "$bench_tmp/empty"
bench_time "start-up" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$bench_tmp/empty" "$out/empty.html"
startup_kb=$bench_peak_kb

measure() {  # label command...
  if [ "$cold" = 1 ]; then drop_caches; fi
  bench_time "$@"
  local above=0
  case $1 in orvantis*) above=$startup_kb ;; esac
  awk -v l="$1" -v t="$bench_secs" -v n="$entries" -v k="$bench_peak_kb" -v s="$above" \
    'BEGIN { printf "%-30s %9.3f %13.0f %10.1f %12.0f\n", l, t, n / t, k / 1024, (k - s) * 1024 / n }'
}

round() {
  printf '%-30s %9s %13s %10s %12s\n' "" "seconds" "entries/s" "peak MB" "bytes/entry"
  bench_reset
  measure "find -printf '%s %T@'" find "$tree_dir" -printf '%s %T@\n'
  if command -v fdfind >/dev/null; then
    measure "fdfind -u --size +0b" fdfind -u --size +0b . "$tree_dir"
  else
    echo "fdfind -u --size +0b           (not installed: apt-get install fd-find)"
  fi
  if command -v tree >/dev/null; then
    measure "tree -X -s -D" tree -X -s -D -o /dev/null "$tree_dir"
  else
    echo "tree -X -s -D                  (not installed: apt-get install tree)"
  fi
  measure "orvantis (html tree)" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$tree_dir" "$out/list.html"
  echo "orvantis time / peer time:"
  bench_ratios "orvantis (html tree)"
}

for tree_dir in "${trees[@]}"; do
  entries=$(find "$tree_dir" -mindepth 1 | wc -l)
  echo "tree: $tree_dir ($entries entries; orvantis start-up peak $((startup_kb / 1024)) MB," \
    "not counted in its bytes/entry)"
  cold=0
  echo "warm cache:"
  # Warm the cache once.
  find "$tree_dir" -printf '%s %T@\n' >/dev/null
  round
  echo "listing: $(wc -c <"$out/list.html") bytes"

  if [ "$(id -u)" != 0 ]; then
    echo "cold cache: skipped (needs root to drop the page cache)"
  elif ! (drop_caches) 2>/dev/null; then
    echo "cold cache: skipped (/proc/sys/vm/drop_caches cannot be written here)"
  else
    echo "cold cache (page cache dropped before each command):"
    cold=1
    round
  fi
  echo
done
