#!/usr/bin/env bash
# Draws doc/example-response.png, the manual's Bode plot of the bundled example as
# displacement in counts/nm, with the manual's own commands, and keeps what it
# is drawn from (the gnuplot commands and data) in doc/example-response.plot.
# With --check it fails when the committed commands and data differ from what
# the tool gives now, so that the picture cannot go stale (the PNG's bytes
# depend on the fonts a machine has, the commands and data do not).
# Needs gnuplot to draw (exit 77 without it); --check does not.
# Usage: tools/example-picture.sh [KALVERT] [--check]
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
kalvert=$(realpath "${1:-$source/build/kalvert}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$kalvert" "IN=$source/examples/IU.ANMO.00.BHZ.sacpz" OUT=anmo.fap SECTION=1 TYPE_OUT=0,0,-9 "FREQ=0.001;20" \
  NPOINTS=100 -logX >/dev/null
"$source/tools/plot-fap" --script anmo.fap anmo.png | sed -E 's#"[^"]*/data"#"data"#' >anmo.plot
if [ "${2:-}" = --check ]; then
  cmp -s anmo.plot "$source/doc/example-response.plot" ||
    { echo "doc/example-response.png is stale: run tools/example-picture.sh"; exit 1; }
  echo "doc/example-response.png is current"
else
  command -v gnuplot >/dev/null || { echo "skipped: gnuplot is not installed (Debian: gnuplot-nox)"; exit 77; }
  "$source/tools/plot-fap" anmo.fap anmo.png >/dev/null
  cp anmo.png "$source/doc/example-response.png"
  cp anmo.plot "$source/doc/example-response.plot"
fi
