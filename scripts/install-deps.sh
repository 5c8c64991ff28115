#!/usr/bin/env bash
# Installs every Debian 12 package that building and testing Orvantis needs (clang and
# its sanitizer and libFuzzer runtimes, libclang-rt-14-dev, for the fuzz smoke). Safe to
# run again: packages already installed are left alone and apt is not asked at all.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libpcre2-dev libssl-dev zlib1g-dev
  qt6-base-dev libgl-dev fonts-ipafont-gothic adwaita-icon-theme xvfb
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
