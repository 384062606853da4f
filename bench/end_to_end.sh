#!/usr/bin/env bash
# Converts a real broadband response with the built kalvert and with the
# snprintf-per-row baseline, side by side, at large linear grids; reports
# wall time, points per second and peak memory.
# Usage: bench/end_to_end.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
input=examples/IU.ANMO.00.BHZ.sacpz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {  # name binary npoints
  local name=$1 binary=$2 npoints=$3
  /usr/bin/time -v "$binary" "IN=$input" "OUT=$work/$name.fap" "NPOINTS=$npoints" >/dev/null 2>"$work/time.txt"
  local wall rss points
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; print s}' "$work/time.txt")
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  points=$((npoints + 1))
  awk -v n="$name" -v p="$points" -v w="$wall" -v r="$rss" \
    'BEGIN {printf "%-10s %9d points  %7.3f s  %6.2f M points/s  peak %7.1f MiB  %5.1f bytes/point\n", n, p, w, p/w/1e6, r/1024, r*1024/p}'
}

echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)"
for npoints in 1000000 5000000; do
  measure kalvert "$build/kalvert" "$npoints"
  measure baseline "$build/bench/kalvert_snprintf_baseline" "$npoints"
done
