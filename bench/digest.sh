#!/usr/bin/env bash
# Digest benchmark: orvantis (headless, automatic mode, CRC32 + MD5 + SHA1 on) side by
# side with RHash and with sha1sum + md5sum over the same files, in one run, with a
# warm cache. The ratios are orvantis's time over each peer's: 0.5 is twice the peer's
# throughput.
#   bench/digest.sh [--tiny] [DIR]    default: generated files totalling 1 GiB
# Uses the build in build/ (ORVANTIS_BUILD names another), building it if needed.
set -euo pipefail
# shellcheck source=bench/common.sh
source "$(dirname "$0")/common.sh"
bench_args "$@"
bench_build_if_missing "$orvantis"
bench_install rhash rhash || true

make_files() {  # dir large-count large-size medium-total small-total
  mkdir -p "$1/large" "$1/small"
  local i
  for ((i = 0; i < $2; ++i)); do
    head -c "$3" /dev/urandom >"$(printf '%s/large/f%02d' "$1" "$i")"
  done
  head -c "$4" /dev/urandom | split -b 64K -d -a 3 - "$1/small/m"
  head -c "$5" /dev/urandom | split -b 4K -d -a 3 - "$1/small/s"
}

data_dir=$bench_arg
if [ -z "$data_dir" ]; then
  if [ "$bench_tiny" = 1 ]; then
    # 3 files of 2 MiB, 16 of 64 KiB and 64 of 4 KiB: 7.25 MiB.
    data_dir="$bench_data/orvantis-bench-digest-tiny"
    bench_stage "$data_dir" make_files 3 2M 1M 256K
  else
    # 31 files of 32 MiB, 480 of 64 KiB and 512 of 4 KiB: 1 GiB in all.
    data_dir="$bench_data/orvantis-bench-digest-1g"
    bench_stage "$data_dir" make_files 31 32M 30M 2M
  fi
fi
home="$bench_tmp/home"
out="$bench_tmp/out"
mkdir "$home" "$out"

# CSV, all three digests, and no viewer started on the listing.
printf '[Item]\nCRC32=1\nMD5=1\nSHA1=1\n[Output]\nFileType=0\nFileOpen=0\n' >"$home/Orvantis.ini"

files=$(find "$data_dir" -type f | wc -l)
bytes=$(find "$data_dir" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f", s }')
echo "files: $data_dir ($files files, $((bytes / 1048576)) MiB)"

timed() {  # label command...
  bench_time "$@"
  awk -v l="$1" -v t="$bench_secs" -v n="$bytes" \
    'BEGIN { printf "%-34s %8.3f s  %8.0f MB/s\n", l, t, n / t / 1e6 }'
}

# Warm the cache once.
find "$data_dir" -type f -print0 | xargs -0 cat >/dev/null
timed "orvantis (CRC32+MD5+SHA1, csv)" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 \
  "$orvantis" "$data_dir" "$out/list.csv"
timed "orvantis, one thread" env ORVANTIS_THREADS=1 ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 \
  "$orvantis" "$data_dir" "$out/list1.csv"
if command -v rhash >/dev/null; then
  timed "rhash --crc32 --md5 --sha1 -r" rhash --crc32 --md5 --sha1 -r "$data_dir"
else
  echo "rhash --crc32 --md5 --sha1 -r      (not installed: apt-get install rhash)"
fi
# shellcheck disable=SC2016  # expanded by the inner shell
timed "sha1sum + md5sum" bash -c 'find "$1" -type f -print0 | xargs -0 sha1sum
  find "$1" -type f -print0 | xargs -0 md5sum' sums "$data_dir"
echo "orvantis time / peer time:"
bench_ratios "orvantis (CRC32+MD5+SHA1, csv)"

# A listing without the digest of a known file means orvantis did no digest work, and
# its time above says nothing about digests.
sample="$(find "$data_dir" -type f -size +1M | head -n 1)"
sample_sha1="$(sha1sum "$sample" | cut -c1-40)"
if ! grep -qi "$sample_sha1" "$out/list.csv" 2>/dev/null; then
  echo "note: the orvantis listing holds no SHA-1 of $sample: its time is not a digest time"
fi
