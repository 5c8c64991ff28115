#!/usr/bin/env bash
# Builds an optimised tree for /usr and makes the Debian package from it:
#   scripts/package.sh [BUILD-DIR]        (default build-package/)
# Prints the path of the .deb; install it with apt-get install ./orvantis_*.deb.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-package}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release -DORVANTIS_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/orvantis_*.deb
