#!/usr/bin/env bash
# Builds the Debian package heptad_<version>_amd64.deb from build/ with CPack, asks nothing, and
# prints the package's path as its last line. Install it with: apt install ./heptad_*.deb
#   package.sh [output folder]   (default build/deb)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/deb}")
"$root/scripts/build.sh" play >&2
# The programs and their data are built above; the icon and the compressed manual pages are the
# package's own.
cmake --build "$root/build" -j"$(nproc)" --target package_icon package_texts >&2
mkdir -p "$out"
rm -f "$out"/heptad_*.deb
(cd "$root/build" && cpack -G DEB -B "$out" >&2)
rm -rf "$out/_CPack_Packages"
ls "$out"/heptad_*_amd64.deb
