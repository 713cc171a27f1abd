#!/usr/bin/env bash
# The Debian package as CPack makes it from this build: its name and version, its files, its
# dependencies, and its layout working when unpacked anywhere (dpkg-deb -x): the unpacked
# recorder, run from another folder, finds its data and writes the same still as the build's own,
# and the unpacked player plays from another folder. lintian reports no error. Whether the
# dependencies suffice on a bare system is for a clean root to show (scripts/fresh-check.sh).
# Run as: package_test.sh <runtime dir> <build dir>
set -u
runtime=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

echo "== the package is built, named heptad_${version}_amd64.deb"
cmake --build "$build" --target package_icon package_texts >/dev/null || fail "cannot build the icon or the manual pages"
(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || fail "cpack: $(tail -3 "$work/cpack.log")"
deb="$work/deb/heptad_${version}_amd64.deb"
if [ ! -f "$deb" ]; then
  fail "no $deb: $(ls "$work/deb")"
  echo "$failures failure(s)"
  exit 1
fi
echo "     $(($(stat -c %s "$deb") / 1000)) kB"

echo "== its files: the programs, all the data, the menu entry, the icon, the manual pages and the guide"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' >"$work/files"
for file in /usr/bin/heptad /usr/bin/heptad-capture /usr/share/heptad/demotune.mp3 \
  /usr/share/applications/heptad.desktop /usr/share/icons/hicolor/256x256/apps/heptad.png \
  /usr/share/man/man1/heptad.1.gz /usr/share/man/man1/heptad-capture.1.gz \
  /usr/share/doc/heptad/copyright /usr/share/doc/heptad/README.md; do
  grep -qx "$file" "$work/files" || fail "no $file in the package"
done
for file in $(cd "$(dirname "$0")/.." && find docs -type f); do
  grep -qx "/usr/share/doc/heptad/$file" "$work/files" || fail "no /usr/share/doc/heptad/$file in the package"
done
for file in $(cd "$runtime" && find labShaders labshaders imgs -type f); do
  grep -qx "/usr/share/heptad/$file" "$work/files" || fail "no /usr/share/heptad/$file in the package"
done
grep -v '/$' "$work/files" | grep -v '^/usr/\(bin\|share\)/' && fail "files outside /usr/bin and /usr/share"

echo "== its dependencies: the libraries linked, and what they load at run time"
depends=$(dpkg-deb -f "$deb" Depends)
echo "     $depends"
for package in libc6 libglfw3 libepoxy0 libsdl2-mixer-2.0-0 libasound2 libgl1 libegl1 \
  libgl1-mesa-dri libegl-mesa0 ffmpeg; do
  [[ ", $depends," = *", $package"[\ ,]* ]] || fail "Depends lacks $package"
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "Version is not $version"

echo "== unpacked anywhere, the programs find their data"
dpkg-deb -x "$deb" "$work/root"
mkdir -p "$work/elsewhere"
for program in heptad heptad-capture; do
  out=$("$work/root/usr/bin/$program" --version)
  [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
done
# A small still of the finale from the build's recorder and from the unpacked one, run elsewhere
# with a relative output name: the same pixels.
(cd "$runtime" && ./heptad-capture --still 150 --size 320x180 --output "$work/build.png" 2>"$work/build.err") ||
  fail "the build's still: $(cat "$work/build.err")"
(cd "$work/elsewhere" && "$work/root/usr/bin/heptad-capture" --still 150 --size 320x180 --output out.png \
  2>"$work/unpacked.err") || fail "the unpacked still: $(cat "$work/unpacked.err")"
grep -q "reading the demo's data from $work/root/usr/share/heptad" "$work/unpacked.err" ||
  fail "the unpacked recorder did not say it read $work/root/usr/share/heptad: $(cat "$work/unpacked.err")"
pixels() { ffmpeg -loglevel error -i "$1" -f rawvideo -pix_fmt rgb24 - | md5sum; }
[ -f "$work/elsewhere/out.png" ] && [ "$(pixels "$work/elsewhere/out.png")" = "$(pixels "$work/build.png")" ] ||
  fail "the unpacked recorder's still differs from the build's (or is missing)"
# The player started elsewhere plays its first frame from the installed data: nothing on standard
# output (where start-up reports files it cannot read), and it ends cleanly on Escape. On a
# screen of its own, so that the held key reaches no other window.
out=$(cd "$work/elsewhere" && SDL_AUDIODRIVER=dummy timeout 120 \
  "$(dirname "$0")/support/own_x_server.sh" 1920x1080 "$build/tests/hold_escape" \
  "$work/root/usr/bin/heptad" 2>"$work/player.err")
status=$?
[ "$status" -eq 0 ] && [ -z "$out" ] ||
  fail "the unpacked player, status $status: $(echo "$out" | head -3) $(head -3 "$work/player.err")"

echo "== lintian: no error"
if ! command -v lintian >/dev/null; then
  fail "lintian is not installed (scripts/install-deps.sh test installs it)"
else
  lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1 || fail "lintian: $(grep '^E:' "$work/lintian")"
  sed 's/^/     /' "$work/lintian"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
