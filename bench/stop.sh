#!/usr/bin/env bash
# Stop benchmark: how long orvantis (headless, automatic mode) takes from SIGINT to its
# exit, with the signal sent at several points of a listing (a tenth, three tenths, ...
# of an uninterrupted run's time), so each phase is hit: the gathering of folders, the
# entries, the content reads, the sort and the write. Prints, for each point, the
# latency, the exit status (1: stopped) and whether a listing was left (a stop during
# the write leaves the rows written so far, closed with the footer).
#   bench/stop.sh [--tiny] [TREE]    default: the generated tree of about 1.1 million
#                                    entries, with CRC32 on so the content reads count
# Uses the build in build/ (ORVANTIS_BUILD names another), building it if needed.
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"
bench_args "$@"
bench_build_if_missing "$orvantis"
bench_large_tree 1024
home="$bench_tmp/home"
mkdir "$home"
printf '[Output]\r\nFileOpen=0\r\n[Item]\r\nCRC32=1\r\n' >"$home/Orvantis.ini"
# exec: started with &, the run's own process is then $!, not a shell around it.
run() { exec env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 "$orvantis" "$tree_dir" "$bench_tmp/list.html"; }

now() { date +%s.%N; }
# The first run brings the files' contents into the page cache; the second is timed.
(run >/dev/null 2>&1)
start=$(now)
(run >/dev/null 2>&1)
full=$(awk -v s="$start" -v e="$(now)" 'BEGIN { printf "%.3f", e - s }')
echo "tree: $tree_dir; an uninterrupted run takes $full s"
printf '%-12s %12s %12s  %s\n' "SIGINT at" "after (s)" "latency (ms)" "ended"
for tenth in 1 3 5 7 9; do
  delay=$(awk -v f="$full" -v t="$tenth" 'BEGIN { printf "%.3f", f * t / 10 }')
  rm -f "$bench_tmp/list.html"
  run >/dev/null 2>&1 &
  pid=$!
  sleep "$delay"
  sent=$(now)
  kill -INT "$pid" 2>/dev/null || true
  status=0
  wait "$pid" || status=$?
  latency=$(awk -v s="$sent" -v e="$(now)" 'BEGIN { printf "%.0f", (e - s) * 1000 }')
  listing="no listing"
  [ -e "$bench_tmp/list.html" ] && listing="a listing"
  ended="exit status $status, $listing"
  printf '%-12s %12s %12s  %s\n' "$tenth/10" "$delay" "$latency" "$ended"
done
