#!/usr/bin/env bash
# The inventory benchmark: one StationXML file of STATIONS stations (default
# 600) holding the nine channel epochs of tests/data/stationxml/IU_ANMO_BH.xml
# each (5,400 epochs, 32 MB), converted whole into a CSS folder with the
# default grid (401 frequencies), in a RAM folder where file creation does
# not dominate: at one thread and at every core (THREADS=), with the speed-up
# and the peak memory; the time of the reading alone (SECTION=0 lists the
# epochs without converting them); the same inventory written as StationXML
# and RESP; and a folder of dataless SEED volumes.
# Usage: bench/inventory.sh [BUILD_FOLDER] [STATIONS] [VOLUMES]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
kalvert=$(realpath "${1:-$here/build}")/kalvert
stations=${2:-600}
ram=/dev/shm
[ -d "$ram" ] && [ -w "$ram" ] || ram=${TMPDIR:-/tmp}
work=$(mktemp -d "$ram/kalvert-inventory.XXXXXX")
trap 'rm -rf "$work"' EXIT
cores=$(nproc)

python3 - "$here/tests/data/stationxml/IU_ANMO_BH.xml" "$stations" >"$work/inventory.xml" <<'PY'
import re, sys, pathlib
text = pathlib.Path(sys.argv[1]).read_text(encoding="latin-1")
stations = int(sys.argv[2])
channels = re.findall(r"<Channel\b.*?</Channel>", text, re.S)
out = sys.stdout
out.write('<?xml version="1.0" encoding="ISO-8859-1"?>\n<FDSNStationXML xmlns="http://www.fdsn.org/xml/station/1" '
          'schemaVersion="1.0"><Source>bench</Source><Created>2026-01-01T00:00:00</Created><Network code="XX">\n')
for i in range(stations):
    out.write('<Station code="S%05d"><Latitude>0</Latitude><Longitude>0</Longitude><Elevation>0</Elevation>'
              '<Site><Name>bench</Name></Site>\n' % i)
    out.write("\n".join(channels))
    out.write('\n</Station>\n')
out.write('</Network></FDSNStationXML>\n')
PY
epochs=$((stations * 9))
size=$(stat -c %s "$work/inventory.xml")
echo "inventory: $epochs channel epochs ($stations stations x 9), $((size / 1000000)) MB, output in $ram, $cores cores"

measure() {  # prints seconds and peak KiB of the best of three
  local best="" kib=""
  for _ in 1 2 3; do
    rm -rf "$work/out" "$work/out.doc"
    /usr/bin/time -f "%e %M" "$@" >/dev/null 2>"$work/time" || true
    read -r s k < <(tail -n 1 "$work/time")
    if [ -z "$best" ] || awk -v a="$s" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$s; kib=$k; fi
  done
  echo "$best $kib"
}
read -r reading readingKiB < <(measure "$kalvert" "IN=$work/inventory.xml" OUT=x SECTION=0)
read -r one oneKiB < <(measure "$kalvert" "IN=$work/inventory.xml" "OUT=$work/out/" FORMAT=CSS THREADS=1)
read -r all allKiB < <(measure "$kalvert" "IN=$work/inventory.xml" "OUT=$work/out/" FORMAT=CSS THREADS="$cores")
awk -v e="$epochs" -v r="$reading" -v o="$one" -v a="$all" -v ok="$oneKiB" -v ak="$allKiB" -v c="$cores" 'BEGIN {
  printf "CSS folder, THREADS=1: %.2f s, %.0f channel epochs per second, %.1f MiB peak\n", o, e / o, ok / 1024
  printf "CSS folder, THREADS=%d: %.2f s, %.0f channel epochs per second, %.1f MiB peak; speed-up %.2f\n", c, a, e / a, ak / 1024, o / a
  printf "reading and parsing alone: %.2f s\n", r }'

# The same inventory written whole as StationXML and as RESP (one document each).
for format in StationXML RESP; do
  read -r seconds kib < <(measure "$kalvert" "IN=$work/inventory.xml" "OUT=$work/out.doc" FORMAT=$format)
  awk -v f="$format" -v e="$epochs" -v s="$seconds" -v k="$kib" -v w="$all" 'BEGIN {
    printf "%s out: %.2f s (%.0f channel epochs per second, %.2f of the CSS time), %.1f MiB peak\n", f, s, e / s, s / w, k / 1024 }'
done

# Dataless SEED: a folder of VOLUMES copies of a real volume (3 channel
# epochs of 10 stages, FIRs of up to 1,199 taps), each under its own
# station code, converted to CSS in one run.
volumes=${3:-300}
python3 - "$here/tests/data/dataless/AI.ESPZ._.BH_.dataless" "$volumes" "$work/volumes" <<'PY'
import sys, pathlib
volume, copies, folder = pathlib.Path(sys.argv[1]).read_bytes(), int(sys.argv[2]), pathlib.Path(sys.argv[3])
folder.mkdir()
# The station blockette opens the first S record.
at = next(r * 4096 + 8 for r in range(len(volume) // 4096) if volume[r * 4096 + 6:r * 4096 + 7] == b"S")
for i in range(copies):
    copy = bytearray(volume)
    copy[at + 7:at + 12] = b"S%04d" % i
    (folder / ("S%04d.dataless" % i)).write_bytes(bytes(copy))
PY
for threads in 1 "$cores"; do
  read -r seconds kib < <(measure "$kalvert" "IN=$work/volumes/" "OUT=$work/out/" FORMAT=CSS THREADS="$threads")
  awk -v n="$volumes" -v t="$threads" -v s="$seconds" -v k="$kib" 'BEGIN {
    printf "dataless SEED, THREADS=%d: %d volumes (%d channel epochs) in %.2f s, %.0f epochs per second, %.1f MiB peak\n",
           t, n, 3 * n, s, 3 * n / s, k / 1024 }'
done
