#!/usr/bin/env bash
# The manual page renders with no warning at all, has its sections, and its
# examples run (on real responses copied under the names the page uses).
# Usage: man_page_test.sh [GENERATED_MAN_PAGE [KALVERT [SOURCE_FOLDER]]]
set -euo pipefail
command -v groff >/dev/null || { echo "skipped: groff is not installed (Debian: groff-base)"; exit 77; }
source=${3:-$(cd "$(dirname "$0")/../.." && pwd)}
page=${1:-$source/build/kalvert.1}
kalvert=${2:-$source/build/kalvert}
warnings=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
for section in NAME SYNOPSIS DESCRIPTION OPTIONS "OUTPUT FORMAT" "EXIT STATUS" ENVIRONMENT EXAMPLES NOTES; do
  grep -q "^\.SH \"\?$section\"\?$" "$page" || { echo "no section $section"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source/examples/IU.ANMO.00.BHZ.sacpz" "$work/IU.ANMO.00.BHZ.sacpz"
cp "$source/tests/data/IU.ANMO.BH.multi-epoch.sacpz" "$work/IU.ANMO.BH.sacpz"
cp "$source/tests/data/KARC.BHZ.sacpz" "$work/sts2.pz"
# One command a line: continuation lines joined, roff escapes undone.
awk '/^\.EX/ { inside = 1; next } /^\.EE/ { inside = 0; next }
     inside { line = line $0; if (line ~ /\\e$/) { sub(/\\e$/, " ", line); next } print line; line = "" }' "$page" |
  sed 's/\\-/-/g' >"$work/examples"
[ -s "$work/examples" ] || { echo "no examples in the manual page"; exit 1; }
while IFS= read -r example; do
  status=0
  (cd "$work" && PATH="$(dirname "$kalvert"):$PATH" eval "$example" >/dev/null) || status=$?
  expected=0
  [ "$status" -eq "$expected" ] || { echo "example ended with status $status: $example"; exit 1; }
done <"$work/examples"
