#!/usr/bin/env bash
# Renders the main window under Xvfb and saves a screenshot of each settings page and
# of the save dialog:
#   scripts/screenshot.sh [OUT-DIR]     (default docs/; docs/window.png is page 0)
# Installs Xvfb, ImageMagick and xdotool when they are missing, and builds first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$root/docs}"
missing=()
command -v xvfb-run >/dev/null || missing+=(xvfb xauth)
command -v import >/dev/null || missing+=(imagemagick)
command -v xdotool >/dev/null || missing+=(xdotool)
if [ "${#missing[@]}" -gt 0 ]; then
  apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTIS_TESTS=OFF
mkdir -p "$out"

shoot() {  # PAGE FILE
  local home
  home="$(mktemp -d)"
  printf '[System]\r\nActivePageIndex=%s\r\n' "$1" >"$home/Orvantis.ini"
  # Without a window manager the window opens at the top-left corner; the window is
  # client area is 545 x 437, status bar included.
  ORVANTIS_HOME="$home" xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    "$0" & pid=$!
    sleep 3
    import -window root -crop 545x437+0+0 "$1"
    kill $pid; wait $pid 2>/dev/null || true' "$root/build/app/orvantis" "$2"
  rm -rf "$home"
}

# The save dialog that 実行(E) opens, the whole screen (it opens over the window).
shoot_save_dialog() {  # FILE
  local home
  home="$(mktemp -d)"
  ORVANTIS_HOME="$home" xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    "$0" & pid=$!
    sleep 3
    xdotool search --name "^Orvantis$" windowfocus --sync key alt+e
    sleep 2
    import -window root "$1"
    kill $pid; wait $pid 2>/dev/null || true' "$root/build/app/orvantis" "$1"
  rm -rf "$home"
}

shoot 0 "$out/window.png"
for page in 1 2 3 4; do
  shoot "$page" "$out/window-page$page.png"
done
shoot_save_dialog "$out/save-dialog.png"
echo "screenshots in $out"
