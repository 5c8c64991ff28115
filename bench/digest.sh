#!/usr/bin/env bash
# Digest benchmark: orvantis (headless, automatic mode, CRC32 + MD5 + SHA1 on) side by
# side with RHash and with sha1sum + md5sum over the same files, in one run, with a
# warm cache.
#   bench/digest.sh [DIR]    default: generated files totalling 2 GiB
# Build first: scripts/build.sh (an optimised build in build/; ORVANTIS_BUILD_DIR names
# another build directory).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="${ORVANTIS_BUILD_DIR:-$root/build}"
data_dir="${1:-}"
if [ -z "$data_dir" ]; then
  data_dir="${TMPDIR:-/tmp}/orvantis-bench-digest"
  if [ ! -d "$data_dir" ]; then
    # Built beside the final name and renamed, so an interrupted run never leaves a
    # partial set that a later run would take for the whole one.
    staging="$data_dir.partial"
    rm -rf "$staging"
    mkdir -p "$staging/large" "$staging/small"
    # 63 files of 32 MiB, 480 of 64 KiB and 512 of 4 KiB: 2 GiB in all.
    for i in $(seq -w 0 62); do
      head -c 32M /dev/urandom >"$staging/large/f$i"
    done
    head -c 30M /dev/urandom | split -b 64K -d -a 3 - "$staging/small/m"
    head -c 2M /dev/urandom | split -b 4K -d -a 3 - "$staging/small/s"
    mv "$staging" "$data_dir"
  fi
fi
home="$(mktemp -d)"
out="$(mktemp -d)"
trap 'rm -rf "$home" "$out"' EXIT

# CSV, all three digests, and no viewer started on the listing.
printf '[Item]\nCRC32=1\nMD5=1\nSHA1=1\n[Output]\nFileType=0\nFileOpen=0\n' >"$home/Orvantis.ini"

files=$(find "$data_dir" -type f | wc -l)
bytes=$(find "$data_dir" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%.0f", s }')
echo "files: $data_dir ($files files, $((bytes / 1048576)) MiB)"

timed() {  # label command...
  local label=$1; shift
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v l="$label" -v s="$start" -v e="$end" -v n="$bytes" \
    'BEGIN { t = e - s; printf "%-34s %8.3f s  %8.0f MB/s\n", l, t, n / t / 1e6 }'
}

coreutils_sums() {
  find "$data_dir" -type f -print0 | xargs -0 sha1sum
  find "$data_dir" -type f -print0 | xargs -0 md5sum
}

# Warm the cache once.
find "$data_dir" -type f -print0 | xargs -0 cat >/dev/null
timed "orvantis (CRC32+MD5+SHA1, csv)" env ORVANTIS_HOME="$home" ORVANTIS_HEADLESS=1 \
  "$bin/app/orvantis" "$data_dir" "$out/list.csv"
if command -v rhash >/dev/null; then
  timed "rhash --crc32 --md5 --sha1 -r" rhash --crc32 --md5 --sha1 -r "$data_dir"
else
  echo "rhash --crc32 --md5 --sha1 -r      (not installed: apt-get install rhash)"
fi
timed "sha1sum + md5sum" coreutils_sums

# A listing without the digest of a known file means orvantis did no digest work, and
# its time above says nothing about digests.
sample="$(find "$data_dir" -type f -size +1M | head -n 1)"
sample_sha1="$(sha1sum "$sample" | cut -c1-40)"
if ! grep -qi "$sample_sha1" "$out/list.csv" 2>/dev/null; then
  echo "note: the orvantis listing holds no SHA-1 of $sample: its time is not a digest time"
fi
