#!/usr/bin/env bash
# play.sh as a new user meets it: what it installs and builds, its --help, and a still or a
# video where there is no display. It runs as a copy whose install and build steps only note
# their arguments, on the programs already built. Run as: play_script_test.sh <runtime dir>
set -u
runtime=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

TEST_ONLY=(clang llvm apitrace strace googletest libgtest-dev glslang-tools faketime xdotool
  libxtst-dev libclang-rt-14-dev chromium xvfb xauth parallel)

echo "== install-deps.sh: play installs none of the test tools, test installs them all"
# Nothing counts as installed, and apt-get and npm note what they were asked for.
mkdir -p "$work/bin"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho "$@" >>"%s/apt.log"\n' "$work" >"$work/bin/apt-get"
printf '#!/bin/sh\necho "$@" >>"%s/npm.log"\n' "$work" >"$work/bin/npm"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*
for list in play test; do
  rm -f "$work/apt.log"
  PATH="$work/bin:$PATH" "$source_dir/scripts/install-deps.sh" "$list" >/dev/null
  installed=" $(grep -- '--no-install-recommends' "$work/apt.log" | sed 's/.*--no-install-recommends//') "
  for package in libglfw3-dev libsdl2-mixer-dev ffmpeg libegl1 libegl-mesa0; do
    [[ $installed = *" $package "* ]] || fail "$list list lacks $package"
  done
  [ "$list" = test ] || [ ! -e "$work/npm.log" ] || fail "$list list runs npm"
  [[ $list = test || $installed != *" emscripten "* ]] || fail "play list installs emscripten"
  for package in "${TEST_ONLY[@]}"; do
    case "$list:$installed" in
      play:*" $package "*) fail "play list installs $package" ;;
      test:*" $package "*) ;;
      test:*) [ "$package" = llvm ] || fail "test list lacks $package" ;; # clang brings llvm
    esac
  done
done

echo "== a build for playing configures no tests (GoogleTest is refused to make sure)"
cmake -S "$source_dir" -B "$work/build" -DHEPTAD_BUILD_TESTS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON >"$work/configure.log" 2>&1 ||
  fail "configuring without tests: $(tail -5 "$work/configure.log")"
targets=$(cmake --build "$work/build" --target help 2>/dev/null)
grep -q ' heptad-capture$' <<<"$targets" || fail "no heptad-capture target"
! grep -q '_test$\|_bench$' <<<"$targets" || fail "test or benchmark targets configured"

# A copy of play.sh whose install and build steps note their arguments, over the built programs.
copy="$work/copy"
mkdir -p "$copy/scripts" "$copy/build"
cp "$source_dir/play.sh" "$copy/"
for step in install-deps build; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/steps.log"\n' "$step" "$work" >"$copy/scripts/$step.sh"
done
chmod +x "$copy/scripts/"*.sh
ln -s "$(cd "$runtime" && pwd)" "$copy/build/runtime"

echo "== play.sh --help: what it does and every option of both programs, nothing installed"
out=$("$copy/play.sh" --help)
status=$?
[ "$status" -eq 0 ] || fail "--help: status $status"
[ ! -e "$work/steps.log" ] || fail "--help ran: $(cat "$work/steps.log")"
for program in heptad heptad-capture; do
  for option in $( (cd "$runtime" && SDL_AUDIODRIVER=dummy "./$program" --help) |
    grep '^  -' | grep -o -- '--[a-z-]*'); do
    grep -q -- "^  $option " <<<"$out" || fail "--help does not show $program's $option"
  done
done
grep -q 'default 1280x720' <<<"$out" && grep -q 'default 30)' <<<"$out" ||
  fail "--help does not give play.sh's own recording defaults"

echo "== no display: --still writes a PNG with no --output, and suggests no video player"
# Recording starts no X server: an Xvfb or xvfb-run on PATH notes that it was run.
mkdir -p "$work/start" "$work/x"
for server in Xvfb xvfb-run; do
  printf '#!/bin/sh\necho "%s $*" >>"%s/x.log"\nexit 1\n' "$server" "$work" >"$work/x/$server"
done
chmod +x "$work/x/"*
out=$(cd "$work/start" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy \
  PATH="$work/x:$PATH" "$copy/play.sh" --still 150 --size 320x180 2>"$work/still.err")
status=$?
[ "$status" -eq 0 ] || fail "--still: status $status: $(tail -3 "$work/still.err")"
[ "$(head -c 4 "$work/start/heptad.png" 2>/dev/null | tail -c 3)" = PNG ] ||
  fail "--still wrote no heptad.png in the folder it was started from"
! grep -qi 'video player\|ffplay' <<<"$out" || fail "--still suggests a video player: $out"
grep -q '^install-deps play$' "$work/steps.log" && grep -q '^build play$' "$work/steps.log" ||
  fail "play.sh did not install and build for playing only: $(cat "$work/steps.log")"

echo "== no display: a video, and then the suggestion to play it"
out=$(cd "$work/start" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy \
  PATH="$work/x:$PATH" "$copy/play.sh" --window --from 20 --to 21 --size 160x90 --fps 5 \
  --output clip.mp4 2>"$work/video.err")
status=$?
[ "$status" -eq 0 ] || fail "video: status $status: $(tail -3 "$work/video.err")"
[ -s "$work/start/clip.mp4" ] || fail "video: no clip.mp4 in the folder it was started from"
grep -q 'ffplay' <<<"$out" || fail "video: no suggestion of a player: $out"
[ ! -e "$work/x.log" ] || fail "recording started an X server: $(cat "$work/x.log")"
grep -q '^Drawing with ' "$work/video.err" || fail "video: the renderer is not named"

echo "== --plan prints a part command a part and the join, with play.sh's defaults"
out=$(cd "$work/start" && env -u DISPLAY -u WAYLAND_DISPLAY "$copy/play.sh" --plan 2 2>&1)
[ "$(grep -c -- ' --part --size 1280x720 --fps 30 ' <<<"$out")" -eq 2 ] &&
  grep -q -- " --join $work/start/heptad.part1.mp4 $work/start/heptad.part2.mp4 --output $work/start/heptad.mp4\$" <<<"$out" ||
  fail "--plan: $out"

echo "== no display: --edit records nothing; the player says in one line that it needs a display"
out=$(cd "$work/start" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy \
  "$copy/play.sh" --edit 2>"$work/edit.err")
status=$?
[ "$status" -eq 2 ] || fail "--edit: status $status, want 2"
[ -z "$out" ] || fail "--edit printed '$out'"
{ [ "$(wc -l <"$work/edit.err")" -eq 1 ] && grep -q 'display' "$work/edit.err"; } ||
  fail "--edit: standard error was '$(cat "$work/edit.err")'"
[ -L "$copy/build/edit-runtime/labShaders" ] &&
  [ "$(readlink "$copy/build/edit-runtime/labShaders")" = "$copy/labShaders" ] ||
  fail "--edit: the edit runtime's shaders are not the source folder's"

[ "$failures" -eq 0 ] || exit 1
echo "all play.sh checks passed"
