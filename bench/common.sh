# shellcheck shell=bash disable=SC2034  # (variables set here are read by the scripts)
# Set-up shared by the benchmark scripts; sourced by them, not run on its own.
#   ORVANTIS_BUILD   the build directory whose binaries are timed (default: build/;
#                    ORVANTIS_BUILD_DIR is read as well). Binaries missing from it are
#                    built with scripts/build.sh first.
#   TMPDIR           where generated trees are kept between runs (default: /tmp)
# Every script takes --tiny: a generated set of a few thousand entries instead of the
# full one, to check that the script runs, not to measure anything.

bench_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench_build="${ORVANTIS_BUILD:-${ORVANTIS_BUILD_DIR:-$bench_root/build}}"
orvantis="$bench_build/app/orvantis"
make_tree="$bench_build/bench/orvantis_make_tree"
bench_data="${TMPDIR:-/tmp}"

# Paths removed when the script ends, however it ends.
bench_cleanup=()
bench_on_exit() {
  local path
  for path in "${bench_cleanup[@]}"; do rm -rf -- "$path"; done
}
trap bench_on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Scratch space of this run, removed on exit.
bench_tmp="$(mktemp -d)"
bench_cleanup+=("$bench_tmp")

# bench_args ARG...: --tiny sets bench_tiny to 1; the one directory given, if any, is
# left in bench_arg.
bench_args() {
  bench_tiny=0
  bench_arg=
  while [ $# -gt 0 ]; do
    case $1 in
      --tiny) bench_tiny=1 ;;
      -*) echo "$0: unknown option $1" >&2; exit 2 ;;
      *)
        if [ -n "$bench_arg" ]; then echo "$0: one directory at most" >&2; exit 2; fi
        bench_arg=$1
        ;;
    esac
    shift
  done
}

# bench_install COMMAND PACKAGE: installs PACKAGE with apt-get unless COMMAND is
# there already; fails if COMMAND is still missing afterwards.
bench_install() {
  command -v "$1" >/dev/null && return 0
  local apt=(env DEBIAN_FRONTEND=noninteractive apt-get -qq)
  [ "$(id -u)" = 0 ] || apt=(sudo -n "${apt[@]}")
  echo "$1 is missing: apt-get install -y $2" >&2
  { "${apt[@]}" install -y "$2" || { "${apt[@]}" update && "${apt[@]}" install -y "$2"; }; } >&2 || true
  command -v "$1" >/dev/null
}

if ! bench_install /usr/bin/time time; then
  echo "/usr/bin/time is needed (apt-get install time)" >&2
  exit 1
fi

# bench_build_if_missing FILE...: builds bench_build unless every FILE exists. A new
# build directory gets the optimised build without the test suites.
bench_build_if_missing() {
  local file
  for file in "$@"; do
    [ -x "$file" ] && continue
    local options=()
    [ -f "$bench_build/CMakeCache.txt" ] || options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTIS_TESTS=OFF)
    echo "$file is missing: building $bench_build" >&2
    "$bench_root/scripts/build.sh" "$bench_build" "${options[@]}" >&2
    return
  done
}

# bench_stage DEST COMMAND ARG...: unless DEST is there, runs COMMAND STAGING ARG...,
# where STAGING is a new name beside DEST, and renames STAGING to DEST once COMMAND
# succeeded. An interrupted or failed run leaves no DEST behind for a later run to take
# for a whole one, and its STAGING is removed on exit.
bench_stage() {
  local dest=$1
  shift
  [ -d "$dest" ] && return 0
  local stale
  for stale in "$dest".partial-*; do
    # Left by a run that was killed outright, so its trap never ran.
    [ -e "$stale" ] || continue
    kill -0 "${stale##*.partial-}" 2>/dev/null || rm -rf -- "$stale"
  done
  local staging="$dest.partial-$$"
  bench_cleanup+=("$staging")
  rm -rf -- "$staging"
  mkdir -p -- "$(dirname -- "$dest")"
  echo "generating $dest" >&2
  "$1" "$staging" "${@:2}" >&2
  mv -T -- "$staging" "$dest"
}

# bench_tree DEPTH FANOUT FILES [SIZE]: the generated tree of those orvantis_make_tree
# arguments, made unless it is there, in bench_tree_dir. The name holds the
# arguments, so scripts that want different trees never share one by mistake.
bench_tree() {
  bench_build_if_missing "$make_tree"
  bench_tree_dir="$bench_data/orvantis-bench-tree-$1x$2x$3x${4:-0}"
  bench_stage "$bench_tree_dir" "$make_tree" "$@"
}

# bench_large_tree [SIZE]: sets tree_dir to the directory given on the command line,
# or else to the generated tree of about 1.1 million entries (6 levels of fan-out 6,
# 55,986 directories, 20 files of SIZE bytes in each; --tiny: a few thousand entries).
bench_large_tree() {
  tree_dir=$bench_arg
  [ -n "$tree_dir" ] && return 0
  if [ "$bench_tiny" = 1 ]; then
    bench_tree 3 6 10 "${1:-0}"
  else
    bench_tree 6 6 20 "${1:-0}"
  fi
  tree_dir=$bench_tree_dir
}

# bench_time [-n RUNS] LABEL COMMAND...: runs COMMAND (best of RUNS, default 1) with
# its output thrown away. Sets bench_secs (wall time, seconds) and bench_peak_kb (peak
# resident set, KiB) and keeps the time under LABEL for bench_ratios. A non-zero exit
# status is reported on standard error.
declare -A bench_times=()
bench_labels=()
bench_time() {
  local runs=1
  if [ "$1" = -n ]; then runs=$2; shift 2; fi
  local label=$1
  shift
  local run start end status peak
  bench_secs=
  bench_peak_kb=0
  for ((run = 0; run < runs; ++run)); do
    status=0
    start=$(date +%s.%N)
    /usr/bin/time -f %M -o "$bench_tmp/peak" "$@" >/dev/null 2>&1 || status=$?
    end=$(date +%s.%N)
    [ "$status" = 0 ] || echo "$label: exit status $status" >&2
    bench_secs=$(awk -v b="$bench_secs" -v s="$start" -v e="$end" \
      'BEGIN { t = e - s; printf "%.6f", (b == "" || t < b) ? t : b }')
    peak=$(tail -n 1 "$bench_tmp/peak")
    bench_peak_kb=$(awk -v p="$peak" -v m="$bench_peak_kb" 'BEGIN { print (p + 0 > m) ? p + 0 : m }')
  done
  [ -n "${bench_times[$label]+set}" ] || bench_labels+=("$label")
  bench_times[$label]=$bench_secs
}

# bench_reset: forgets the times kept so far, for a new round of bench_ratios.
bench_reset() {
  bench_times=()
  bench_labels=()
}

# bench_ratios LABEL: the time kept under LABEL divided by each other time kept since
# the last bench_reset.
bench_ratios() {
  local subject=$1 peer
  [ -n "${bench_times[$subject]+set}" ] || return 0
  for peer in "${bench_labels[@]}"; do
    [ "$peer" = "$subject" ] && continue
    awk -v l="$peer" -v a="${bench_times[$subject]}" -v b="${bench_times[$peer]}" \
      'BEGIN { if (b > 0) printf "  %-32s %7.2f\n", l, a / b }'
  done
}
