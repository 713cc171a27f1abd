#!/usr/bin/env bash
# heptad --edit as a user starts it: without a display, and on data it cannot write (as a package
# installs it). Run as: edit_script_test.sh <runtime dir> <build dir>
set -u
runtime=$(cd "$1" && pwd)
build=$2
own_x_server="$(cd "$(dirname "$0")" && pwd)/support/own_x_server.sh"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== no display: one line saying edit mode needs one, and status 2"
out=$(cd "$runtime" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy ./heptad --edit \
  2>"$work/err")
status=$?
[ "$status" -eq 2 ] || fail "no display: status $status, want 2"
[ -z "$out" ] || fail "no display: printed '$out'"
{ [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'display' "$work/err"; } ||
  fail "no display: standard error was '$(cat "$work/err")'"

echo "== read-only data: it says how to edit a copy, and runs on"
data="$work/installed"
mkdir -p "$data"
cp -r "$runtime/labShaders" "$runtime/labshaders" "$runtime/imgs" "$data/"
cp "$runtime/demotune.mp3" "$data/" 2>/dev/null
chmod -R a-w "$data/labShaders" "$data/labshaders"
(cd "$data" && SDL_AUDIODRIVER=dummy timeout 120 "$own_x_server" 640x360 \
  "$build/tests/hold_escape" "$runtime/heptad" --edit >"$work/out" 2>"$work/err")
status=$?
[ "$status" -eq 0 ] || fail "read-only data: status $status, want 0: $(cat "$work/err")"
grep -q "read-only" "$work/err" && grep -q "cp -r $data" "$work/err" ||
  fail "read-only data: no advice on editing a copy: '$(cat "$work/err")'"

echo "== writable data: no such advice"
chmod -R u+w "$data"
(cd "$data" && SDL_AUDIODRIVER=dummy timeout 120 "$own_x_server" 640x360 \
  "$build/tests/hold_escape" "$runtime/heptad" --edit >"$work/out" 2>"$work/err")
status=$?
[ "$status" -eq 0 ] || fail "writable data: status $status, want 0: $(cat "$work/err")"
! grep -q "read-only" "$work/err" || fail "writable data: advice given: '$(cat "$work/err")'"

[ "$failures" -eq 0 ] || exit 1
echo "all edit mode checks passed"
