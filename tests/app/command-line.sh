#!/usr/bin/env bash
# The command line of the built program, without a display: --help and --version
# answer on standard output with status 0, and a folder named "--help" is still
# listed after "--" or as ./--help.
#   command-line.sh ORVANTIS-EXECUTABLE
set -euo pipefail
orvantis="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export ORVANTIS_HOME="$work/home"
mkdir -p "$ORVANTIS_HOME" "$work/--help"
printf '[Output]\r\nFileOpen=0\r\n' >"$ORVANTIS_HOME/Orvantis.ini"
echo x >"$work/--help/inside.txt"
unset DISPLAY WAYLAND_DISPLAY
fail() { echo "FAIL: $*" >&2; exit 1; }

for option in --help -h; do
  "$orvantis" "$option" >"$work/help" || fail "$option exits with $?"
  grep -q "TARGET-DIRECTORY OUTPUT-FILE" "$work/help" || fail "$option prints no usage"
  grep -q "ORVANTIS_THREADS" "$work/help" || fail "$option names no environment variables"
  grep -q "^  3  " "$work/help" || fail "$option names no exit statuses"
done
[ "$("$orvantis" --version)" = "orvantis @PROJECT_VERSION@" ] || fail "--version prints $("$orvantis" --version)"

cd "$work"
"$orvantis" -- --help dashes.csv 2>"$work/err" || fail "-- --help OUT exits with $?: $(cat "$work/err")"
grep -q '"inside.txt"' dashes.csv || fail "-- --help OUT did not list the folder"
"$orvantis" ./--help dotted.csv 2>"$work/err" || fail "./--help OUT exits with $?: $(cat "$work/err")"
grep -q '"inside.txt"' dotted.csv || fail "./--help OUT did not list the folder"
echo "command line conventions hold"
