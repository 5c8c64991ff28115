#!/usr/bin/env bash
# Walk benchmark: orvantis (headless, automatic mode) side by side with find and tree
# on the same tree, in one run, with a warm cache.
#   bench/walk.sh [TREE]    default: a generated tree of about 1.1 million entries
# Build first: scripts/build.sh (an optimised build in build/).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build"
tree_dir="${1:-}"
if [ -z "$tree_dir" ]; then
  tree_dir="${TMPDIR:-/tmp}/orvantis-bench-tree"
  if [ ! -d "$tree_dir" ]; then
    # 6 levels of fan-out 6 (55,986 directories), 20 files each: about 1.1 million entries.
    "$bin/bench/orvantis_make_tree" "$tree_dir" 6 6 20
  fi
fi
home="$(mktemp -d)"
out="$(mktemp -d)"
trap 'rm -rf "$home" "$out"' EXIT

entries=$(find "$tree_dir" -mindepth 1 | wc -l)
echo "tree: $tree_dir ($entries entries)"

timed() {  # label command...
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v l="$label" -v s="$start" -v e="$end" -v n="$entries" \
    'BEGIN { t = e - s; printf "%-34s %8.3f s  %12.0f entries/s\n", l, t, n / t }'
}

# Warm the cache once.
find "$tree_dir" -printf '%s %T@\n' >/dev/null
timed "find -printf '%s %T@'" find "$tree_dir" -printf '%s %T@\n'
if command -v tree >/dev/null; then
  timed "tree -X" tree -X "$tree_dir"
else
  echo "tree -X                            (not installed: apt-get install tree)"
fi
timed "orvantis (headless, csv)" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$bin/app/orvantis" "$tree_dir" "$out/list.csv"
