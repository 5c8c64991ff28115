#!/usr/bin/env bash
# Configures and builds Orvantis. Usage: scripts/build.sh [BUILD-DIR] [CMAKE-OPTION...]
# The default build directory is build/ (an optimised build with debug information).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
