#!/usr/bin/env bash
# Installs what is missing, builds, and runs one headless listing:
#   scripts/run.sh TARGET-DIRECTORY OUTPUT-FILE
# Settings (Orvantis.ini) live in $ORVANTIS_HOME, by default the build's app folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$#" -ne 2 ]; then
  echo "usage: scripts/run.sh TARGET-DIRECTORY OUTPUT-FILE" >&2
  exit 2
fi
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTIS_TESTS=OFF
ORVANTIS_HEADLESS=1 exec "$root/build/app/orvantis" "$1" "$2"
