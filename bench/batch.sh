#!/usr/bin/env bash
# A whole archive in one run against the per-file loop: COPIES copies of the
# real files of tests/data with header blocks (each copy under its own station
# code), converted to SEISAN and to CSS both ways, the one run at one thread
# and at every core. Prints the times, their ratios and the one run's peak
# memory, and checks that both ways write the same files byte for byte; then
# the peak memory of one run over LARGE files.
# Usage: bench/batch.sh [BUILD_FOLDER] [COPIES] [LARGE]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
kalvert=$(realpath "${1:-$here/build}")/kalvert
copies=${2:-2000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/archive"

# Single-channel files whose header names one station each (SEISAN names hold
# no location, so one channel per station keeps the names apart).
sources=("$here/tests/data/IU.ANMO.00.BHZ.obspy.sacpz" "$here/tests/data/II.OBN.00.BHZ.crlf.sacpz"
         "$here/tests/data/IU.ANMO.00.BHZ.tabs.sacpz")
for ((i = 0; i < copies; i++)); do
  source=${sources[i % ${#sources[@]}]}
  station=$(printf 'S%04d' "$i")
  sed -E "s/^(\* STATION[^:]*:[[:space:]]*)[A-Z0-9]+/\1$station/" "$source" >"$work/archive/$station.sacpz"
done
echo "archive: $copies files"

seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; end=$(date +%s.%N); echo "$end - $start" | bc; }
cores=$(nproc)
for format in SEISAN CSS; do
  loop=$(seconds bash -c "for f in '$work'/archive/*; do '$kalvert' \"IN=\$f\" 'OUT=$work/loop-$format/' FORMAT=$format THREADS=1; done")
  for threads in 1 "$cores"; do
    rm -rf "$work/run-$format"
    /usr/bin/time -f "%e %M" "$kalvert" "IN=$work/archive/" "OUT=$work/run-$format/" "FORMAT=$format" THREADS="$threads" \
      >"$work/run.log" 2>"$work/time" || { echo "the one run failed:"; grep -E "ERROR" -A2 "$work/run.log" | head; }
    read -r one kib < <(tail -n 1 "$work/time")
    [ "$threads" = 1 ] && single=$one
    same=$(diff -rq "$work/loop-$format" "$work/run-$format" >/dev/null && echo identical || echo DIFFERENT)
    files=$(find "$work/run-$format" -type f | wc -l)
    awk -v f="$format" -v l="$loop" -v o="$one" -v k="$kib" -v s="$same" -v n="$files" -v t="$threads" -v one="$single" 'BEGIN {
      printf "%-6s per-file loop %7.2f s, one run at THREADS=%d %6.2f s (%.1f times faster, speed-up %.2f over one thread), %.1f MiB peak; %d files, %s\n",
             f, l, t, o, l / o, one / o, k / 1024, n, s }'
  done
done

# Memory of a large folder: LARGE one-channel files (default 100,000) in one
# CSS run; the peak must not grow with the number of files.
large=${3:-100000}
mkdir "$work/large"
awk -v n="$large" -v dir="$work/large" 'NR == FNR { text = text $0 "\n"; next } END {
  for (i = 0; i < n; i++) {
    station = sprintf("L%05d", i); file = dir "/" station ".sacpz"; copy = text
    sub(/\* STATION[^:]*:[ \t]*[A-Z0-9]+/, "* STATION    (KSTNM): " station, copy)
    printf "%s", copy > file; close(file)
  } }' "$here/tests/data/IU.ANMO.00.BHZ.obspy.sacpz" /dev/null
/usr/bin/time -f "%e %M" "$kalvert" "IN=$work/large/" "OUT=$work/large-out/" FORMAT=CSS THREADS="$cores" >"$work/run.log" 2>"$work/time" ||
  { echo "the large run failed:"; grep -E "ERROR" -A2 "$work/run.log" | head; }
read -r one kib < <(tail -n 1 "$work/time")
awk -v n="$large" -v o="$one" -v k="$kib" -v w="$(find "$work/large-out" -type f | wc -l)" 'BEGIN {
  printf "large folder: %d files in one CSS run, %.1f s, %.1f MiB peak, %d files written\n", n, o, k / 1024, w }'
