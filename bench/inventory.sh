#!/usr/bin/env bash
# The inventory benchmark: one StationXML file of at least 5,000 channel
# epochs and 100 MB, built from the real files of tests/data/stationxml
# (every channel repeated under distinct station codes), converted whole into
# a CSS folder with the default grid. Prints the channel epochs per second,
# the peak memory, and the time of the reading alone (SECTION=0 lists the
# epochs without converting them) against the whole run.
# Usage: bench/inventory.sh [BUILD_FOLDER] [EPOCHS]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
kalvert=$(realpath "${1:-$here/build}")/kalvert
epochs=${2:-13000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$here/tests/data/stationxml" "$epochs" >"$work/inventory.xml" <<'PY'
import re, sys, pathlib
folder, wanted = pathlib.Path(sys.argv[1]), int(sys.argv[2])
channels = []
for path in sorted(folder.glob("*.xml")):
    if "polynomial" in path.name:
        continue
    text = path.read_text(encoding="latin-1")
    channels += re.findall(r"<Channel\b.*?</Channel>", text, re.S)
out = sys.stdout
out.write('<?xml version="1.0" encoding="ISO-8859-1"?>\n<FDSNStationXML xmlns="http://www.fdsn.org/xml/station/1" '
          'schemaVersion="1.0"><Source>bench</Source><Created>2026-01-01T00:00:00</Created><Network code="XX">\n')
for i in range(wanted):
    out.write('<Station code="S%05d"><Latitude>0</Latitude><Longitude>0</Longitude><Elevation>0</Elevation>'
              '<Site><Name>bench</Name></Site>\n' % i)
    out.write(channels[i % len(channels)])
    out.write('\n</Station>\n')
out.write('</Network></FDSNStationXML>\n')
PY
size=$(stat -c %s "$work/inventory.xml")
echo "inventory: $epochs channel epochs, $((size / 1000000)) MB"

measure() {  # prints seconds and peak KiB
  /usr/bin/time -f "%e %M" "$@" >/dev/null 2>"$work/time" || true
  tail -n 1 "$work/time"
}
read -r reading readingKiB < <(measure "$kalvert" "IN=$work/inventory.xml" OUT=x SECTION=0)
read -r whole wholeKiB < <(measure "$kalvert" "IN=$work/inventory.xml" "OUT=$work/css/" FORMAT=CSS)
files=$(find "$work/css" -type f | wc -l)
awk -v e="$epochs" -v f="$files" -v r="$reading" -v w="$whole" -v rk="$readingKiB" -v wk="$wholeKiB" 'BEGIN {
  printf "converted: %d files in %.2f s: %.0f channel epochs per second\n", f, w, e / w
  printf "reading and parsing alone: %.2f s (%.0f %%); evaluating and writing: %.2f s (%.0f %%)\n", r, 100 * r / w, w - r, 100 * (w - r) / w
  printf "peak memory: %.1f MiB (reading alone %.1f MiB)\n", wk / 1024, rk / 1024 }'

# The same inventory written whole as StationXML and as RESP (one document
# each), against the CSS folder conversion above.
for format in StationXML RESP; do
  read -r seconds kib < <(measure "$kalvert" "IN=$work/inventory.xml" "OUT=$work/inventory.$format" FORMAT=$format)
  awk -v f="$format" -v e="$epochs" -v s="$seconds" -v k="$kib" -v w="$whole" -v b="$(stat -c %s "$work/inventory.$format")" 'BEGIN {
    printf "%s out: %.2f s (%.0f channel epochs per second, %.2f of the CSS time), %.1f MiB peak, %.0f MB written\n",
           f, s, e / s, s / w, k / 1024, b / 1e6 }'
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
read -r seconds kib < <(measure "$kalvert" "IN=$work/volumes/" "OUT=$work/volumes-css/" FORMAT=CSS)
awk -v n="$volumes" -v s="$seconds" -v k="$kib" -v f="$(find "$work/volumes-css" -type f | wc -l)" 'BEGIN {
  printf "dataless SEED: %d volumes, %d files in %.2f s (%.0f channel epochs per second), %.1f MiB peak\n",
         n, f, s, f / s, k / 1024 }'
