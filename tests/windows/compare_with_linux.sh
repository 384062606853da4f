#!/usr/bin/env bash
# Runs the end-to-end cases with the Linux build and with the Windows build
# under wine, and requires the same FAP bytes and exit status; standard output
# may differ only by CR LF line ends and the code page of the help screen.
# Usage: compare_with_linux.sh [LINUX_KALVERT [WINDOWS_KALVERT_EXE [TEST_DATA_DIR]]]
#   (defaults: build/kalvert, build-windows/kalvert.exe, tests/data of this project)
# Needs wine (Debian package wine64) and both builds (see the README, "Windows").
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
case "${1:-}" in -h | --help) sed -n '2,8p' "$0"; exit 0 ;; esac
linux=$(realpath -m "${1:-$here/build/kalvert}")
windows=$(realpath -m "${2:-$here/build-windows/kalvert.exe}")
data=$(realpath -m "${3:-$here/tests/data}")
wine=${WINE:-/usr/lib/wine/wine64}
for needed in "$linux" "$windows" "$wine"; do
  [ -x "$needed" ] || { echo "compare_with_linux.sh: $needed is missing (see the README, \"Windows\")" >&2; exit 2; }
done
work=$(mktemp -d)
export WINEDEBUG=-all WINEPREFIX="$work/prefix"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
"$wine" wineboot --init >/dev/null 2>&1

# Lines holding national text are compared as a marker only.
normalise() {
  tr -d '\r' < "$1" | LC_ALL=C sed -E 's/.*[^ -~].*/<national text>/'
}

failures=0
cases=0
run_case() {  # input-file options...
  local input=$1
  shift
  cases=$((cases + 1))
  for side in linux windows; do
    mkdir -p "$work/$side"
    rm -f "$work/$side"/*
    [ -n "$input" ] && cp "$data/$input" "$work/$side/in.pz"
    (cd "$work/$side" &&
      if [ $side = linux ]; then "$linux" "$@"; else "$wine" "$windows" "$@"; fi >stdout.txt 2>/dev/null
      echo $? >status.txt)
  done
  local problem=""
  cmp -s "$work/linux/status.txt" "$work/windows/status.txt" ||
    problem="status $(cat "$work/linux/status.txt") vs $(cat "$work/windows/status.txt")"
  if [ -f "$work/linux/out.fap" ] || [ -f "$work/windows/out.fap" ]; then
    cmp -s "$work/linux/out.fap" "$work/windows/out.fap" || problem="$problem; FAP files differ"
  fi
  diff <(normalise "$work/linux/stdout.txt") <(normalise "$work/windows/stdout.txt") >"$work/diff.txt" ||
    problem="$problem; standard output differs: $(head -c 300 "$work/diff.txt")"
  if [ -n "$problem" ]; then
    echo "FAIL: $input $*: $problem"
    failures=$((failures + 1))
  fi
}

run_case IU.ANMO.00.BHZ.obspy.sacpz IN=in.pz OUT=out.fap
run_case IU.ANMO.00.BHZ.obspy.sacpz IN=in.pz OUT=out.fap "FREQ=0.01;50" NPOINTS=100 -logX
run_case II.OBN.00.BHZ.crlf.sacpz IN=in.pz OUT=out.fap TYPE_OUT=QTV -logX NPOINTS=20
run_case II.OBN.00.BHZ.hash-comments.sacpz IN=in.pz OUT=out.fap TYPE_OUT=0,1,-6
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap TYPE_IN=0 TYPE_OUT=0,0,-9 FREQ=0.01,40 NPOINTS=50 /LOGX
run_case IU.ANMO.00.BHZ.tabs.sacpz IN=in.pz OUT=out.fap TYPE_OUT=2,1,-6 NPOINTS=40
run_case NZ.CRLZ.10.HHZ.constant-first.pz IN=in.pz OUT=out.fap
run_case OO.AXBA1..HDH.hydrophone.sacpz IN=in.pz OUT=out.fap
run_case UW.HOOD..ENx.multi15.sacpz IN=in.pz OUT=out.fap "FREQ=0;20" NPOINTS=10 -logX
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap "FREQ=0.01 ; 50" FREQ=0.01:50 NPOINTS=50x
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap "FREQ=1;1e44" NPOINTS=2
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap "FREQ=0;1" NPOINTS=1 TYPE_OUT=1,1,-9
run_case "" 
run_case "" IN=in.pz
run_case "" OUT=out.fap IN=in.pz
run_case "" IN=missing.pz OUT=out.fap
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap NPOINTS=-5
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap "FREQ=-1;5" -logX
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap TYPE_IN=2 TYPE_OUT=QTV NPOINTS=3
run_case KARC.BHZ.sacpz IN=in.pz OUT=no/such/folder.fap
run_case KARC.BHZ.sacpz IN=in.pz OUT=out.fap -h

echo "$((cases - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
