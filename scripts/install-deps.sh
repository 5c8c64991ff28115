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
  qt6-translations-l10n locales xsltproc desktop-file-utils appstream dpkg-dev file
  clang libclang-rt-14-dev
)
# The locales the regional-settings tests read; generated once, when missing.
locales=(en_US.UTF-8 ja_JP.UTF-8)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

missing_locales=()
for name in "${locales[@]}"; do
  # locale -a spells them in lower case without the dash: en_US.utf8.
  wanted="$(echo "$name" | sed 's/UTF-8$/utf8/')"
  locale -a 2>/dev/null | grep -qx "$wanted" || missing_locales+=("$name")
done

if [ "${#missing[@]}" -eq 0 ] && [ "${#missing_locales[@]}" -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
if [ "${#missing[@]}" -gt 0 ]; then
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for name in "${missing_locales[@]}"; do
  # locale-gen builds what /etc/locale.gen lists uncommented.
  "${sudo_cmd[@]}" sed -i "s/^# *\($name UTF-8\)/\1/" /etc/locale.gen
  grep -qx "$name UTF-8" /etc/locale.gen || echo "$name UTF-8" | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
done
if [ "${#missing_locales[@]}" -gt 0 ]; then
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
