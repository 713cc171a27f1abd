#!/usr/bin/env bash
# Writes a release into dist/: the Debian package, heptad.html (the whole demo in one page that
# opens from the file system), the web folder for static hosts as a zip, and SHA256SUMS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist="$root/dist"
deb=$("$root/scripts/package.sh" | tail -1)
"$root/scripts/build-web.sh" >&2
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$root/build/CMakeCache.txt")

rm -rf "$dist"
mkdir -p "$dist"
cp "$deb" "$root/build-web/heptad.html" "$dist/"
# The hosted folder unpacks into a folder of its own; python's zipfile needs no zip package.
stage="$root/build-web-obj/heptad-web-$version"
rm -rf "$stage"
mkdir -p "$stage"
cp "$root"/build-web/{index.html,page.js,player.js,heptad.js,heptad.wasm,heptad.data,demotune.mp3} "$stage/"
(cd "$(dirname "$stage")" && python3 -m zipfile -c "$dist/heptad-web-$version.zip" "$(basename "$stage")")
(cd "$dist" && sha256sum -- * >SHA256SUMS)
ls -l "$dist"
