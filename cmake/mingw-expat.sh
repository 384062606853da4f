#!/usr/bin/env bash
# Builds expat for the Windows cross build from Debian's own source package
# (no copy of its code in this tree): adds a deb-src entry for the archive
# this machine's apt uses, fetches the source with apt-get source, and
# installs a static library for x86_64-w64-mingw32 into PREFIX, where
# cmake/mingw-w64-x86_64.cmake looks for it. Without DTD support: kalvert refuses
# any document type declaration anyway, and the Debian patches assume the
# autotools build where DTD support is configured.
# Usage: cmake/mingw-expat.sh [PREFIX]   (default: build-windows/expat-mingw)
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(realpath -m "${1:-build-windows/expat-mingw}")
[ -f "$prefix/lib/libexpat.a" ] && exit 0

sudo=$([ "$(id -u)" -eq 0 ] || echo sudo)
list=/etc/apt/sources.list.d/kalvert-deb-src.sources
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  # The same archives as the binary packages, for sources.
  sed -n 's/^Types: deb$/Types: deb-src/p; /^URIs:\|^Suites:\|^Components:\|^Signed-By:\|^$/p' \
    /etc/apt/sources.list.d/*.sources | $sudo tee "$list" >/dev/null
  $sudo apt-get update -q >/dev/null
fi
command -v dpkg-source >/dev/null || $sudo apt-get install -y -q --no-install-recommends dpkg-dev >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The newest source the archives serve (a mirror may lack the very newest).
fetched=no
for version in $(apt-cache showsrc expat | sed -n 's/^Version: //p' | sort -rV); do
  if (cd "$work" && apt-get source -q --download-only "expat=$version" >/dev/null 2>&1); then fetched=yes; break; fi
done
[ "$fetched" = yes ] || { echo "no source package of expat could be fetched" >&2; exit 1; }
(cd "$work" && dpkg-source -x expat_*.dsc src >/dev/null)
source="$work/src"
[ -f "$source/expat/CMakeLists.txt" ] && source="$source/expat"
cmake -S "$source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
  -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF -DEXPAT_DTD=OFF >/dev/null
cmake --build "$work/build" -j"$(nproc)" >/dev/null
cmake --install "$work/build" >/dev/null
echo "expat for mingw-w64 in $prefix"
