#!/usr/bin/env bash
# tools/plot-fap draws a 900 x 700 PNG of a converted example and refuses a
# file that is not a FAP file with a clear message and a non-zero status.
set -euo pipefail
command -v gnuplot >/dev/null || { echo "skipped: gnuplot is not installed (Debian: gnuplot-nox)"; exit 77; }
# Usage: plot_fap_test.sh [KALVERT [SOURCE_FOLDER]]   (defaults: build/kalvert, this project)
source=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
kalvert=${1:-$source/build/kalvert}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

png_size() {  # width x height from the IHDR chunk
  od -An -tu1 -j16 -N8 "$1" | awk '{printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}'
}

"$kalvert" "IN=$source/examples/IU.ANMO.00.BHZ.sacpz" OUT=log.fap TYPE_IN=0 TYPE_OUT=QTV -logX NPOINTS=20 >/dev/null
"$kalvert" "IN=$source/examples/IU.ANMO.00.BHZ.sacpz" OUT=linear.fap "FREQ=0;20" >/dev/null
for fap in log linear; do
  "$source/tools/plot-fap" "$fap.fap" "$fap.png" >/dev/null
  [ "$(head -c 8 "$fap.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || { echo "$fap.png is no PNG"; exit 1; }
  [ "$(png_size "$fap.png")" = 900x700 ] || { echo "$fap.png is $(png_size "$fap.png")"; exit 1; }
done
"$source/tools/plot-fap" log.fap >/dev/null && [ -f log.png ]

# The standard formats: a message of nine responses, a SEISAN file, a CSS file.
multi="$source/tests/data/IU.ANMO.BH.multi-epoch.sacpz"
"$kalvert" "IN=$multi" OUT=multi.msg FORMAT=GSE2.1 >/dev/null
"$kalvert" "IN=$multi" OUT=one.gse FORMAT=SEISAN SECTION=3 >/dev/null
"$kalvert" "IN=$multi" OUT=one.css FORMAT=CSS SECTION=3 >/dev/null
for standard in multi.msg one.gse one.css; do
  "$source/tools/plot-fap" "$standard" "$standard.png" >/dev/null
  [ "$(png_size "$standard.png")" = 900x700 ] || { echo "$standard.png was not drawn"; exit 1; }
done

check_refused() {  # file expected-words
  local message status=0
  message=$("$source/tools/plot-fap" "$1" out.png 2>&1 >/dev/null) || status=$?
  [ "$status" -ne 0 ] || { echo "$1 was plotted"; exit 1; }
  grep -q "$2" <<<"$message" || { echo "$1: unexpected message: $message"; exit 1; }
  [ ! -f out.png ] || { echo "$1 left a picture"; exit 1; }
}
cp "$source/examples/IU.ANMO.00.BHZ.sacpz" pole-zero.txt
check_refused pole-zero.txt "not a FAP file"
head -n 10 log.fap > short.fap
check_refused short.fap "the count line says"
sed '6s/.*/   1.0000000  one  0.5/' log.fap > word.fap
check_refused word.fap "not a number"
check_refused missing.fap "cannot read"

# What the picture shows, from the commands and data plot-fap hands gnuplot.
help=$("$source/tools/plot-fap" --help) && grep -q "usage: plot-fap" <<<"$help" || { echo "--help failed"; exit 1; }
"$source/tools/plot-fap" --script linear.fap >linear.script
range=$(sed -n 's/^set xrange \[\(.*\):\(.*\)\]$/\1 \2/p' linear.script)
data=$(sed -n '/^# data$/,$p' linear.script | awk 'NR > 1 && NF == 3 { if (!n++ || $1 < lo) lo = $1; if ($1 > hi) hi = $1 } END { print lo, hi }')
[ "$range" = "$data" ] || { echo "the frequency axis spans $range, the data $data"; exit 1; }
sed -n '/^# data$/,$p' linear.script | awk 'NR > 2 && NF == 3 && prev != "" {
    d = $3 - prev; if (d > 3.1416 || d < -3.1416) { print "a phase wrap at " $1 " Hz"; exit 1 } }
  NF == 3 { prev = $3 }' || exit 1
"$source/tools/plot-fap" --script multi.msg >multi.script
curves=$(grep -c 'using 1:2' <<<"$(grep '^plot' multi.script | head -n 1 | tr ',' '\n')")
titles=$(grep -o 'title "[^"]*"' multi.script | sed 1d | sort -u | wc -l)
colours=$(grep '^plot' multi.script | head -n 1 | grep -o 'rgb "#[0-9a-f]*"' | sort -u | wc -l)
[ "$curves" = 9 ] && [ "$titles" = 9 ] && [ "$colours" = 9 ] ||
  { echo "multi.msg: $curves curves, $titles legend entries, $colours colours for 9 responses"; exit 1; }
grep -q 'counts/nm' multi.script && ! grep -q 'nM' linear.script || { echo "units not in counts/nm"; exit 1; }
echo "plot-fap: pictures and their data as expected"
