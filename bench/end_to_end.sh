#!/usr/bin/env bash
# Converts a 20-pole response (bench/twenty-poles.sacpz) with the built kalvert
# and with two plain conversions that share no code with it (std::to_chars
# rows and one write; one snprintf per row), side by side: each case runs
# the three programs in turn, RUNS times, and reports the median wall time,
# the ratios of kalvert's time to the others' and each one's peak memory.
# Usage: bench/end_to_end.sh [build folder] [runs]   (defaults: build, 7)
#        BENCH_GRIDS="NPOINTS=1000000,NPOINTS=250000 -logX" bench/end_to_end.sh   (other grids)
# Needs GNU time (Debian package `time`) and a build with the benchmarks
# (Google Benchmark, `libbenchmark-dev`, present when CMake was run).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-7}
input=bench/twenty-poles.sacpz
reference=$build/bench/kalvert_reference_converter
if [ ! -x /usr/bin/time ]; then
  echo "bench/end_to_end.sh: GNU time is missing (apt-get install time)" >&2
  exit 2
fi
if [ ! -x "$build/kalvert" ] || [ ! -x "$reference" ]; then
  echo "bench/end_to_end.sh: no $build/kalvert or $reference; build first, with libbenchmark-dev installed" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run NAME COMMAND...: one timed run; appends "seconds KiB" to $work/NAME
# (wall time from the shell's microsecond clock, peak memory from GNU time)
run() {
  local name=$1 start end
  shift
  start=$EPOCHREALTIME
  /usr/bin/time -f "%M" -o "$work/time" "$@" >/dev/null
  end=$EPOCHREALTIME
  echo "$(awk -v s="$start" -v e="$end" 'BEGIN {printf "%.4f", e - s}') $(cat "$work/time")" >>"$work/$name"
}

median() {  # column of $work/NAME
  sort -n -k"$2" "$work/$1" | awk -v c="$2" '{v[NR]=$c} END {print v[int((NR+1)/2)]}'
}

echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo); $runs runs each, medians"
printf '%-34s %10s %10s %10s %9s %9s %11s %11s %11s\n' case kalvert to_chars snprintf vs_to_ch vs_snpr \
  kalvert_MiB to_ch_MiB snpr_MiB
# About 10^3, 10^6 and 10^7 points on the linear grid, 10^6 and 8·10^6 on the
# logarithmic one (points per decade over the default 0.001-20 Hz band);
# BENCH_GRIDS="NPOINTS=1000,NPOINTS=5 -logX" picks others.
grids=("NPOINTS=1000" "NPOINTS=1000000" "NPOINTS=10000000" "NPOINTS=250000 -logX" "NPOINTS=2000000 -logX")
if [ -n "${BENCH_GRIDS:-}" ]; then IFS=, read -ra grids <<<"$BENCH_GRIDS"; fi
for grid in "${grids[@]}"; do
  rm -f "$work/kalvert" "$work/to_chars" "$work/snprintf"
  for ((i = 0; i < runs; i++)); do
    files=("IN=$input" "OUT=$work/out.fap")
    # shellcheck disable=SC2086 # the grid is one or two words
    run kalvert "$build/kalvert" "${files[@]}" $grid
    # shellcheck disable=SC2086
    run to_chars "$reference" to_chars "${files[@]}" $grid
    # shellcheck disable=SC2086
    run snprintf "$reference" snprintf "${files[@]}" $grid
  done
  awk -v c="$grid" -v k="$(median kalvert 1)" -v t="$(median to_chars 1)" -v s="$(median snprintf 1)" \
      -v km="$(median kalvert 2)" -v tm="$(median to_chars 2)" -v sm="$(median snprintf 2)" \
    'BEGIN {printf "%-34s %9.4fs %9.4fs %9.4fs %9.2f %9.2f %11.1f %11.1f %11.1f\n", c, k, t, s,
            (t > 0 ? k / t : 0), (s > 0 ? k / s : 0), km / 1024, tm / 1024, sm / 1024}'
done
