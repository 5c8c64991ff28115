#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, AddressSanitizer, UndefinedBehaviorSanitizer),
# writes the seed corpus, runs every seed once with a per-input time limit (the crafted
# PE images must each finish in seconds), then fuzzes every harness for a fixed time.
# Fails on any finding: a crash, a sanitizer report, a check in a harness, a timeout.
#   FUZZ_SECONDS   seconds per harness (default 30)
#   ORVANTIS_FUZZ_BUILD   build directory (default build-fuzz)
# Findings are kept as crash-*/timeout-* files in the build directory's fuzz-findings/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ORVANTIS_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
seeds="$root/tests/fuzz/corpus"
# Longer than the Exif reader's 16 KiB window, short enough to keep runs fast.
max_len=70000

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANTIS_FUZZ=ON -DORVANTIS_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzzers --parallel "$(nproc)"
"$build/tests/fuzz/MakeFuzzCorpus" "$seeds"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
findings="$build/fuzz-findings"
mkdir -p "$findings"
status=0
for harness in "$build"/tests/fuzz/*Fuzz; do
  name="$(basename "$harness")"
  work="$build/fuzz-corpus/$name"
  mkdir -p "$work" "$seeds/$name"
  log="$build/fuzz-$name.log"
  if ! "$harness" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$findings/$name-" "$seeds/$name"/* >"$log" 2>&1 ||
     ! "$harness" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/$name-" "$work" "$seeds/$name" >>"$log" 2>&1; then
    echo "fuzz-smoke: $name found a fault; see $log and $findings" >&2
    tail -n 30 "$log" >&2
    status=1
    continue
  fi
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | tail -n 1 | grep -o '[0-9]*$' || echo '?')"
  echo "fuzz-smoke: $name: $runs runs in ${seconds}s, no finding"
done
exit "$status"
