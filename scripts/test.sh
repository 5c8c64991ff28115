#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer,
# and runs every test through CTest; then builds the walker, builder and run driver
# tests with ThreadSanitizer and runs them (about four more minutes on two cores).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-test"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Debug -DORVANTIS_SANITIZE=ON -DORVANTIS_TESTS=ON
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

# The suites whose code runs on worker threads, with every data race a failure.
tsan="$root/build-tsan"
cmake -S "$root" -B "$tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANTIS_TSAN=ON -DORVANTIS_TESTS=ON >/dev/null
cmake --build "$tsan" --parallel "$(nproc)" --target scan_tests metadata_tests run_tests
export TSAN_OPTIONS="halt_on_error=1"
ctest --test-dir "$tsan" --output-on-failure --parallel "$(nproc)" -R '^(SearchFile|SearchDir|Digest|ExifInfo|FileVerInfo|PdfProbe|GoldenListing|RunDriver|WalkFilters)'
