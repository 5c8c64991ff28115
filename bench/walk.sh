#!/usr/bin/env bash
# Walk benchmark: orvantis (headless, automatic mode) side by side with find, fd and
# tree on the same tree, in one run, with a warm cache.
#   bench/walk.sh [--tiny] [TREE]    default: a generated tree of about 1.1 million entries
# Uses the build in build/ (ORVANTIS_BUILD names another), building it if needed.
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"
bench_args "$@"
bench_build_if_missing "$orvantis"
bench_large_tree
bench_install fdfind fd-find || true
home="$bench_tmp/home"
out="$bench_tmp/out"
mkdir "$home" "$out"

entries=$(find "$tree_dir" -mindepth 1 | wc -l)
echo "tree: $tree_dir ($entries entries)"

timed() {  # label command...
  bench_time "$@"
  awk -v l="$1" -v t="$bench_secs" -v n="$entries" \
    'BEGIN { printf "%-34s %8.3f s  %12.0f entries/s\n", l, t, n / t }'
}

# Warm the cache once.
find "$tree_dir" -printf '%s %T@\n' >/dev/null
timed "find -printf '%s %T@'" find "$tree_dir" -printf '%s %T@\n'
if command -v fdfind >/dev/null; then
  timed "fdfind -HI (names)" fdfind -HI . "$tree_dir"
else
  echo "fdfind -HI (names)                 (not installed: apt-get install fd-find)"
fi
if command -v tree >/dev/null; then
  timed "tree -X" tree -X "$tree_dir"
else
  echo "tree -X                            (not installed: apt-get install tree)"
fi
timed "orvantis (headless, csv)" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$tree_dir" "$out/list.csv"
echo "orvantis time / peer time:"
bench_ratios "orvantis (headless, csv)"
