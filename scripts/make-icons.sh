#!/usr/bin/env bash
# Renders the application icon data/icons/orvantis.svg to the PNG sizes the hicolor
# theme and the window use (data/icons/NxN.png, checked in). Run after editing the
# SVG; installs librsvg2-bin (rsvg-convert) when it is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v rsvg-convert >/dev/null; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends librsvg2-bin
fi
for size in 16 32 48 256; do
  rsvg-convert -w "$size" -h "$size" "$root/data/icons/orvantis.svg" -o "$root/data/icons/${size}x${size}.png"
done
echo "icons in $root/data/icons"
