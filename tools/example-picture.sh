#!/usr/bin/env bash
# Draws doc/example-response.png, the manual's Bode plot of the bundled example as
# displacement in counts/nm, with the manual's own commands. With --check it
# draws into a scratch file and fails when the committed picture differs, so
# that the picture cannot go stale. Needs gnuplot (exit 77 without it).
# Usage: tools/example-picture.sh [KALVERT] [--check]
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
kalvert=$(realpath "${1:-$source/build/kalvert}")
command -v gnuplot >/dev/null || { echo "skipped: gnuplot is not installed (Debian: gnuplot-nox)"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$kalvert" "IN=$source/examples/IU.ANMO.00.BHZ.sacpz" OUT=anmo.fap SECTION=1 TYPE_OUT=0,0,-9 "FREQ=0.001;20" \
  NPOINTS=100 -logX >/dev/null
"$source/tools/plot-fap" anmo.fap anmo.png >/dev/null
if [ "${2:-}" = --check ]; then
  cmp -s anmo.png "$source/doc/example-response.png" ||
    { echo "doc/example-response.png is stale: run tools/example-picture.sh"; exit 1; }
  echo "doc/example-response.png is current"
else
  cp anmo.png "$source/doc/example-response.png"
fi
