#!/usr/bin/env bash
# The program as a user runs it: no display, its options, Ctrl-C and SIGTERM, a whole run, Escape,
# a runtime folder without shaders, and the music reaching a sound device. Run as: program_test.sh <runtime dir>.
set -u
# What is judged here is what the program prints and how it ends, not its pictures: on a small
# screen of its own the fullscreen window is small too, and each frame cheap for a software
# rasteriser (a whole run takes about 5 s instead of 12).
if [ -z "${HEPTAD_SMALL_SCREEN:-}" ]; then
  HEPTAD_SMALL_SCREEN=1 exec "$(dirname "$0")/support/own_x_server.sh" 640x360 bash "$0" "$@"
fi
runtime=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A sped-up clock lets a 164-second run finish in a few seconds. Each whole run gets a small
# screen of its own (as the bad-input matrix's rows do): a server that earlier runs had come and
# gone on was seen to drop a new connection now and then.
export HEPTAD_OWN_X_SERVER="$(cd "$(dirname "$0")" && pwd)/support/own_x_server.sh"
fast() { SDL_AUDIODRIVER=dummy "$HEPTAD_OWN_X_SERVER" 640x360 faketime -f '+0 x40' "$@"; }

echo "== no display: the window message and -1, and one line on how to record instead"
out=$(cd "$runtime" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy ./heptad 2>"$work/err")
status=$?
[ "$status" -eq 255 ] || fail "no display: status $status, want 255"
[ "$out" = "Failed to create GLFW window" ] || fail "no display: printed '$out'"
{ [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'heptad-capture' "$work/err"; } ||
  fail "no display: standard error was '$(cat "$work/err")'"

echo "== options: --help, and a bad option or value gets one line and status 2"
out=$(cd "$runtime" && SDL_AUDIODRIVER=dummy ./heptad --help 2>&1)
status=$?
[ "$status" -eq 0 ] && grep -q -- '--window' <<<"$out" && grep -q -- '--from' <<<"$out" &&
  grep -q 'Escape' <<<"$out" || fail "--help: status $status, printed '$out'"
for bad in "--from 200" "--from x" "--fullscreen"; do
  # shellcheck disable=SC2086 # the option and its value are two words
  out=$(cd "$runtime" && SDL_AUDIODRIVER=dummy ./heptad $bad 2>"$work/err")
  status=$?
  { [ "$status" -eq 2 ] && [ -z "$out" ] && [ "$(wc -l <"$work/err")" -eq 1 ]; } ||
    fail "$bad: status $status, printed '$out', error '$(cat "$work/err")'"
done

# Job control, so that a program started in the background takes Ctrl-C's SIGINT as it does in
# a terminal (without it the shell starts background jobs with SIGINT ignored).
set -m
echo "== SIGINT and SIGTERM end the program within a second, by that signal"
for signal in INT TERM; do
  (cd "$runtime" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/signal.raw" exec ./heptad \
    >/dev/null 2>&1) &
  pid=$!
  # The music starts in the first frame: sound on the device means the frame loop is running.
  for _ in $(seq 600); do
    [ -s "$work/signal.raw" ] && [ "$(tr -d '\000' <"$work/signal.raw" | head -c 1 | wc -c)" -eq 1 ] &&
      break
    sleep 0.1
  done
  sent=$(date +%s%N)
  kill -"$signal" "$pid"
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.02
  done
  took_ms=$((($(date +%s%N) - sent) / 1000000))
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    fail "SIG$signal: still running after $took_ms ms"
  fi
  wait "$pid"
  status=$?
  want=$((128 + $(kill -l "$signal")))
  [ "$status" -eq "$want" ] || fail "SIG$signal: status $status, want $want"
  [ "$took_ms" -lt 1000 ] || fail "SIG$signal: ended $took_ms ms after the signal"
  echo "   SIG$signal: ended $took_ms ms after the signal, status $status"
  rm -f "$work/signal.raw"
done
set +m

echo "== a whole run ends by itself after 164 demo seconds"
start=$(date +%s)
out=$(cd "$runtime" && timeout 120 bash -c "$(declare -f fast); fast ./heptad" 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || fail "whole run: status $status, want 0"
[ -z "$(grep '^ERROR::\|Texture failed\|failure load' <<<"$out")" ] || fail "whole run printed: $out"
echo "   took $(($(date +%s) - start)) s of wall time"

echo "== Escape ends the run after the current frame"
(cd "$runtime" && SDL_AUDIODRIVER=dummy exec ./heptad >"$work/escape.out" 2>/dev/null) &
pid=$!
# The program polls the key state once a frame, so a tap whose press and release arrive
# between two polls is never seen; a viewer holds the key longer than that. Here it is held,
# and pressed afresh each second, because a press made before the window exists is lost and
# start-up takes seconds longer under the sanitizers or beside other tests.
waited=0
while kill -0 "$pid" 2>/dev/null && [ $waited -lt 90 ]; do
  xdotool keyup Escape keydown Escape 2>/dev/null
  sleep 1
  waited=$((waited + 1))
done
xdotool keyup Escape 2>/dev/null
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  fail "Escape: still running"
else
  wait "$pid"
  status=$?
  [ "$status" -eq 0 ] || fail "Escape: status $status, want 0"
fi

echo "== no shader files: every program reports its files and the run still plays out"
cp -r "$runtime" "$work/noshaders"
rm -rf "$work/noshaders/labShaders" "$work/noshaders/labshaders"
out=$(cd "$work/noshaders" && timeout 120 bash -c "$(declare -f fast); fast ./heptad" 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || fail "no shaders: status $status, want 0"
programs=$(grep -c '^ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM$' <<<"$out")
reads=$(grep -c '^ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: ' <<<"$out")
[ "$reads" -gt 0 ] && [ "$reads" -eq "$programs" ] ||
  fail "no shaders: $reads file messages for $programs programs"

echo "== the music reaches the sound device"
if [ ! -f "$runtime/demotune.mp3" ]; then
  fail "no demotune.mp3 in the runtime folder: the build makes it"
else
  # The disk device's pacing speeds up with the clock, so the decoder must keep up with it;
  # a gentler x10 leaves it room on a busy machine (a whole run then takes about 17 s).
  (cd "$runtime" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw" \
    timeout 120 faketime -f '+0 x10' ./heptad >/dev/null 2>&1)
  bytes=$(stat -c %s "$work/out.raw" 2>/dev/null || echo 0)
  [ "$bytes" -gt 100000 ] || fail "music: only $bytes bytes reached the device"
  # The device plays silence from its opening until the first frame, and the track fades in,
  # so the whole recording is searched for sound.
  nonzero=$(tr -d '\000' <"$work/out.raw" | wc -c)
  [ "$nonzero" -gt 100000 ] || fail "music: the device received silence"
fi

echo "== no music file: silent and unharmed"
cp -r "$runtime" "$work/nomusic"
rm -f "$work/nomusic/demotune.mp3"
out=$(cd "$work/nomusic" && timeout 120 bash -c "$(declare -f fast); fast ./heptad" 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || fail "no music: status $status, want 0"

[ "$failures" -eq 0 ] || exit 1
echo "all program checks passed"
