#!/usr/bin/env bash
# Runs the command blocks of the README and compares the output it shows
# with what the commands write, so that the README cannot drift from the tool.
#   <!-- readme: NAME [fresh|windows] [status=N] -->   before a ```sh block: run it
#   <!-- readme-output: NAME stdout|FILE -->          before a ``` block: its lines,
#        in order, must be in what NAME printed or wrote (a line with … stands for any)
# Blocks that use build, tools/, examples/ or tests/ run in a copy of the project's layout; the
# others (the folder recipes) in a folder of real .sacpz files with kalvert on
# the PATH. "fresh" blocks need root and run in tests/fresh_machine.sh,
# "windows" ones in .ci/run's Windows step; every ```sh block must be marked.
# Usage: readme_commands_test.sh BUILD_FOLDER SOURCE_FOLDER [README]
set -euo pipefail
[ $# -ge 2 ] || { sed -n '2,12p' "$0"; exit 2; }
build=$(realpath "$1")
source=$(realpath "$2")
readme=${3:-$source/README.md}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/project" "$work/data" "$work/home" "$work/blocks"
# The project's folders and its own top-level files only: a file that an
# earlier README command left in the checkout (IU.ANMO.00.BHZ.fap) would be a
# link here, and the tool never writes through a link.
for entry in "$source"/*; do
  case "$(basename "$entry")" in *.md | CMakeLists.txt) ;; *) [ -d "$entry" ] || continue ;; esac
  ln -s "$entry" "$work/project/$(basename "$entry")"
done
rm "$work/project/build" 2>/dev/null || true
ln -s "$build" "$work/project/build"
cp "$source"/tests/data/*.sacpz "$work/data/"
export PATH="$build:$PATH" HOME="$work/home"

# Split the README into blocks: blocks/NAME.sh with blocks/NAME.options, and
# blocks/NAME.output.K with blocks/NAME.target.K.
LC_ALL=C awk -v dir="$work/blocks" '
  function fail(msg) { print "README line " NR ": " msg > "/dev/stderr"; failed = 1; exit 1 }
  /^<!-- (quick-start|readme): / { marker = $0; next }
  /^<!-- readme-output: / { output = $0; next }
  /^```sh$/ {
    if (marker == "") fail("a command block without a <!-- readme: NAME --> or quick-start marker")
    split(marker, words, " ")
    if (words[2] == "quick-start:" && words[3] != "run") { marker = ""; skipping = 1; next }
    if (words[2] == "quick-start:") {
      # The first quick-start command installs and builds, then converts: its conversion runs here.
      name = "quick-start-run"; print "" > (dir "/" name ".options")
      file = dir "/" name ".sh"; marker = ""; inside = 1; last_step = 1; next
    }
    name = words[3]; options = ""
    for (i = 4; words[i] != "-->"; i++) options = options " " words[i]
    file = dir "/" name ".sh"; print options > (dir "/" name ".options")
    marker = ""; inside = 1; next
  }
  /^```/ && !inside && !skipping && output != "" {
    split(output, words, " "); name = words[3]; count[name]++
    file = dir "/" name ".output." count[name]; print words[4] > (dir "/" name ".target." count[name])
    output = ""; inside = 1; next
  }
  /^```/ { if (inside || skipping) { inside = 0; skipping = 0; file = "" } else skipping = 1; next }
  inside && last_step { steps = split($0, step, "&& "); print step[steps] > file; last_step = 0; next }
  inside && file != "" { print > file }
  END { if (failed) exit 1 }' "$readme"

failures=0
for block in "$work"/blocks/*.sh; do
  name=$(basename "$block" .sh)
  options=$(cat "$work/blocks/$name.options")
  case " $options " in *" fresh "* | *" windows "*) continue ;; esac
  if grep -q "plot-fap" "$block" && ! command -v gnuplot >/dev/null; then
    echo "skipped: $name (gnuplot is not installed)"
    continue
  fi
  expected=0
  [[ "$options" =~ status=([0-9]+) ]] && expected=${BASH_REMATCH[1]}
  place=$work/data
  grep -qE 'build|tools/|examples/|tests/' "$block" && place=$work/project
  status=0
  (cd "$place" && bash "$block") >"$work/blocks/$name.stdout" 2>&1 || status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "FAILED: README block $name ended with status $status, not $expected:"
    tail -n 20 "$work/blocks/$name.stdout"
    failures=$((failures + 1))
    continue
  fi
  for shown in "$work/blocks/$name".output.*; do
    [ -e "$shown" ] || continue
    target=$(cat "$work/blocks/$name.target.${shown##*.}")
    actual=$work/blocks/$name.stdout
    [ "$target" = stdout ] || actual=$place/$target
    if ! LC_ALL=C awk -v want="$shown" '
        function trimmed(text) { sub(/[ \t\r]+$/, "", text); return text }
        BEGIN { while ((getline line < want) > 0) if (index(line, "…") == 0) lines[++n] = trimmed(line); k = 1 }
        k <= n && trimmed($0) == lines[k] { k++ }
        END { if (k <= n) { print "missing: " lines[k]; exit 1 } }' "$actual"; then
      echo "FAILED: README output of $name is not what it wrote to $target"
      failures=$((failures + 1))
    fi
  done
  echo "ok: $name"
done
echo "README blocks: $failures failed"
[ "$failures" -eq 0 ]
