#!/usr/bin/env bash
# Runs the README's recipe for converting a whole folder on a folder with two
# good files and a bad one: the good ones are converted, the bad one is named
# with its exit status, and the recipe keeps going past it.
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
recipe=$(awk '/<!-- recipe: convert a folder -->/ {found = 1; next} found && /^```sh/ {inside = 1; next} inside && /^```/ {exit} inside {print}' "$source/README.md")
[ -n "$recipe" ] || { echo "no recipe in the README"; exit 1; }

cp "$source/tests/data/KARC.BHZ.sacpz" "$work/a good one.sacpz"
printf 'not a response\n' > "$work/broken.sacpz"
cp "$source/tests/data/II.OBN.00.BHZ.crlf.sacpz" "$work/zz.sacpz"
report=$(cd "$work" && PATH="$build:$PATH" bash -c "$recipe")
[ "$report" = "./broken.sacpz: exit status 253" ] || { echo "report: $report"; exit 1; }
for name in "a good one" zz; do
  head -c 4 "$work/$name.fap" | grep -q CAL2 || { echo "$name not converted"; exit 1; }
done
[ ! -e "$work/broken.fap" ]
