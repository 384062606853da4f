#!/usr/bin/env bash
# cmake --install puts the binary and the manual page where they belong, and
# the installed binary converts the bundled example.
set -euo pipefail
# Usage: install_test.sh [BUILD_FOLDER [SOURCE_FOLDER]]   (defaults: build, this project)
source=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
build=${1:-$source/build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/kalvert"
test -f "$prefix/share/man/man1/kalvert.1.gz"
test -f "$prefix/share/doc/kalvert/copyright"
cd "$prefix"
"$prefix/bin/kalvert" "IN=$source/examples/IU.ANMO.00.BHZ.sacpz" OUT=example.fap >/dev/null
head -c 4 example.fap | grep -q CAL2
