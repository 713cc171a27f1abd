#!/usr/bin/env bash
# The demo as it is copied around: one row per bad input, each the real program on a copy of the
# runtime folder with one file missing, empty, cut short or replaced, on a clock sped up 40
# times and under a memory limit. Every row must reach the frame loop, play to the end of its
# 164 seconds with status 0 (the rows without a display or with Escape held say how they end
# instead) and print exactly its listed lines and nothing else on standard output. The driver's log lines
# between an "ERROR::" head and its separator are the driver's own and are not compared. Mesa
# reports GL errors on standard error under MESA_DEBUG: apart from the rows that break a shader
# (an unlinked program cannot be made current), no row may cause one.
# Run as: bad_input_matrix_test.sh <runtime dir> <build dir>
set -u
runtime=$1
build=$2
own_x_server="$(cd "$(dirname "$0")" && pwd)/support/own_x_server.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

READ='ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: <description>'
VERTEX='ERROR::SHADER_COMPILATION_ERROR of type: VERTEX'
FRAGMENT='ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT'
LINK='ERROR::PROGRAM_LINKING_ERROR of type: PROGRAM'
SEPARATOR=' -- --------------------------------------------------- -- '
HDR_FAILURE='failure load image hdr.'
texture_failure() { echo "Texture failed to load at path: $1"; }

SHADERS=(
  labShaders/Scene7-PBR1.vs labShaders/Scene7-PBR1.fs labShaders/Scene7-PBR2.vs
  labShaders/Scene7-PBR2.fs labShaders/Scene7-PBR3.vs labShaders/Scene7-PBR3.fs
  labShaders/Scene7-PBR4.vs labShaders/Scene7-PBR4.fs labShaders/Scene7-PBR5.vs
  labShaders/Scene7-PBR5.fs labShaders/Scene7-PBR6.vs labShaders/Scene7-PBR6.fs
  labShaders/title.vs labShaders/title.fs labShaders/Scene2.vs labShaders/Scene2.fs
  labShaders/Scene3.vs labShaders/Scene3.fs labShaders/Scene4.vs labshaders/Scene4.fs
  labShaders/Scene5.vs labshaders/Scene5.fs labShaders/Scene6.vs labshaders/Scene6.fs
)
IMAGES=(imgs/logo.png imgs/Tarvogreets.png imgs/Greets.png)
SKY=imgs/vellmar.512.hdr

# ---- a complete runtime folder to break: stand-ins for data not generated in this checkout ----
pictures="$work/pictures"
mkdir -p "$pictures"
"$build/tests/make_test_images" "$pictures" || { echo "FAIL: cannot make test pictures"; exit 1; }
base="$work/base"
cp -r "$runtime" "$base"
rm -f "$base"/*.mp4 "$base"/*.raw
for shader in "${SHADERS[@]}"; do
  [ -f "$base/$shader" ] && continue
  mkdir -p "$base/$(dirname "$shader")"
  if [ "${shader##*.}" = vs ]; then
    printf '#version 330 core\nlayout(location = 0) in vec3 aPos;\nvoid main() { gl_Position = vec4(aPos, 1.0); }\n'
  else
    printf '#version 330 core\nout vec4 FragColor;\nvoid main() { FragColor = vec4(1.0); }\n'
  fi >"$base/$shader"
done
mkdir -p "$base/imgs"
for image in "${IMAGES[@]}"; do [ -f "$base/$image" ] || cp "$pictures/card.png" "$base/$image"; done
[ -f "$base/$SKY" ] || cp "$pictures/sky.hdr" "$base/$SKY"

# Headers of pictures too large to hold, with nothing after them: a PNG (signature, IHDR of
# 9000 x 9000 RGBA, IEND) and a Radiance sky.
{
  printf '\x89PNG\r\n\x1a\n'
  printf '\x00\x00\x00\x0dIHDR\x00\x00\x23\x28\x00\x00\x23\x28\x08\x06\x00\x00\x00\x00\x00\x00\x00'
  printf '\x00\x00\x00\x00IEND\xae\x42\x60\x82'
} >"$work/huge.png"
printf '#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 9000 +X 9000\n' >"$work/huge.hdr"

# What is judged here is what the program prints and how it ends, not its pictures: on a small
# screen the fullscreen window is small too, and each frame cheap for a software rasteriser (a
# whole run takes about 5 s instead of 12). Each run has an X server of its own: one server that
# many runs had come and gone on was seen to drop a new connection now and then, and the row
# then failed with "Failed to create GLFW window".
fast() {
  MESA_DEBUG=1 SDL_AUDIODRIVER=dummy timeout 300 "$own_x_server" 640x360 faketime -f '+0 x40' "$@"
}
# Which data files this build opens: a row about a file the program never reads cannot apply.
(cd "$base" && fast strace -f -qq -e trace=open,openat -o "$work/opened" ./heptad >/dev/null 2>&1)
opens() { grep -q "\"$1\"" "$work/opened"; }

# ---- the table: name | expected lines | how to break the copy (run inside it) | how to run ----
names=() expects=() breaks=() runners=()
row() { names+=("$1") expects+=("$2") breaks+=("$3") runners+=("${4:-run_timeline}"); }
lines() { printf '%s\n' "$@"; }

# Helpers for the break commands. Files in a row's copy are links into the complete folder:
# each helper removes the link before writing, so the complete folder stays intact.
put() { rm -f "$1" && cp "$2" "$1"; }
empty() { rm -f "$1" && : >"$1"; }
write() { rm -f "$1" && printf '%s' "$2" >"$1"; }
folder() { rm -f "$1" && mkdir "$1"; }
fifo() { rm -f "$1" && mkfifo "$1"; }
zeros() { rm -f "$1" && ln -s /dev/zero "$1"; }
cut_half() {
  local source
  source=$(readlink -f "$1")
  rm -f "$1" && head -c $(($(stat -c %s "$source") / 2)) "$source" >"$1"
}

row "intact runtime" "" ":"
for shader in "${SHADERS[@]}"; do
  opens "$shader" || continue
  row "shader missing: $shader" "$(lines "$READ" "$VERTEX" "$FRAGMENT" "$LINK")" "rm -f $shader"
done
row "shader empty: labshaders/Scene4.fs" "$(lines "$FRAGMENT" "$LINK")" \
  "empty labshaders/Scene4.fs"
row "shader with a syntax error: labShaders/Scene6.vs" "$(lines "$VERTEX" "$LINK")" \
  "write labShaders/Scene6.vs '#version 330 core
void main() { gl_Position = vec4(0.0) }'"
row "shader that does not link: labShaders/title.fs" "$(lines "$LINK")" \
  "write labShaders/title.fs '#version 330 core
out vec4 FragColor;
vec4 shade() { return vec4(1.0); }'"
for image in "${IMAGES[@]}"; do
  row "image missing: $image" "$(texture_failure "$image")" "rm -f $image"
done
row "image truncated" "$(texture_failure imgs/logo.png)" "cut_half imgs/logo.png"
row "image that is not an image" "$(texture_failure imgs/Greets.png)" \
  "write imgs/Greets.png 'not a picture, just text'"
row "image with 1 channel and odd width" "" "put imgs/logo.png $pictures/grey.png"
row "image with 2 channels" "" "put imgs/Tarvogreets.png $pictures/grey-alpha.png"
row "image with 3 channels and odd width" "" "put imgs/Greets.png $pictures/rgb.png"
row "image with 4 channels" "" "put imgs/logo.png $pictures/rgba.png"
row "image 16-bit PNG" "" "put imgs/Tarvogreets.png $pictures/rgb16.png"
row "image wider than GL's maximum (32768 x 4)" "$(texture_failure imgs/Greets.png)" \
  "put imgs/Greets.png $pictures/too-wide.png"
if opens "$SKY"; then
  row "HDR sky missing" "$HDR_FAILURE" "rm -f $SKY"
  row "HDR sky truncated" "$HDR_FAILURE" "cut_half $SKY"
  row "HDR sky not an HDR file" "$HDR_FAILURE" "put $SKY $pictures/rgb.png"
fi
# What is not a regular file, and a header that claims 9000 x 9000 pixels, in place of each kind
# of data file. Reading a FIFO would block and /dev/zero never ends: each must be refused with
# its kind's failure line, and the run must go on within its memory limit.
for kind in folder fifo zeros; do
  what=$(case $kind in folder) echo "a folder" ;; fifo) echo "a FIFO" ;; zeros) echo /dev/zero ;; esac)
  row "image is $what: imgs/logo.png" "$(texture_failure imgs/logo.png)" "$kind imgs/logo.png"
  opens "$SKY" && row "HDR sky is $what" "$HDR_FAILURE" "$kind $SKY"
  row "shader is $what: labShaders/title.vs" "$(lines "$READ" "$VERTEX" "$FRAGMENT" "$LINK")" \
    "$kind labShaders/title.vs"
  row "music is $what" "" "$kind demotune.mp3"
done
row "image header of 9000 x 9000: imgs/Greets.png" "$(texture_failure imgs/Greets.png)" \
  "put imgs/Greets.png $work/huge.png"
opens "$SKY" && row "HDR sky header of 9000 x 9000" "$HDR_FAILURE" "put $SKY $work/huge.hdr"
row "shader is that image header: labShaders/title.vs" "$(lines "$VERTEX" "$LINK")" \
  "put labShaders/title.vs $work/huge.png"
row "music is that image header" "" "put demotune.mp3 $work/huge.png"
row "music missing" "" "rm -f demotune.mp3"
row "music empty" "" "empty demotune.mp3"
row "music not an MP3" "" "put demotune.mp3 $pictures/card.png"
row "no audio device" "" ":" run_without_audio_device
row "no display" "Failed to create GLFW window" ":" run_without_display
row "Escape held from the first frame" "" ":" run_with_escape_held
row "framebuffer resized during the run" "" ":" run_resized

# ---- runners: each runs the program in the current folder, writes stdout to $1 and a verdict
# line per failed check to $2, and returns the program's status ----
run_timeline() { fast ./heptad >"$1" 2>"$1.err"; }

run_without_audio_device() {
  # ALSA with a card that does not exist: the sound engine finds no device at all.
  MESA_DEBUG=1 SDL_AUDIODRIVER=alsa AUDIODEV=hw:99 timeout 300 "$own_x_server" 640x360 \
    faketime -f '+0 x40' ./heptad \
    >"$1" 2>"$1.err"
}

run_without_display() {
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy timeout 60 ./heptad >"$1" 2>"$1.err"
  local status=$?
  [ "$status" -eq 255 ] || echo "status $status, want 255" >>"$2"
  return 0
}

# On a display of its own, so the held key reaches no other test's window. The real clock runs:
# the run must end long before its 164 seconds, having presented the frame that saw the key.
run_with_escape_held() {
  local start status
  start=$(date +%s)
  MESA_DEBUG=1 SDL_AUDIODRIVER=dummy timeout 120 "$own_x_server" 1920x1080 \
    "$build/tests/hold_escape" apitrace trace -o escape.trace ./heptad >"$1" 2>"$1.err"
  status=$?
  [ $(($(date +%s) - start)) -lt 60 ] || echo "ran for $(($(date +%s) - start)) s" >>"$2"
  apitrace dump --color=never escape.trace >escape.calls 2>/dev/null
  # Frames are the swaps after start-up began (the window library swaps once on creation).
  local frames
  frames=$(awk '/glCreateShader/ { started = 1 } started && /glXSwapBuffers/ { n++ }
                END { print n + 0 }' escape.calls)
  { [ "$frames" -ge 1 ] && [ "$frames" -le 2 ]; } ||
    echo "$frames frames presented, want the first one or two" >>"$2"
  awk '/glXSwapBuffers/ { swapped = 1 } swapped && /glDeleteVertexArrays/ { ok = 1 }
       END { exit !ok }' escape.calls || echo "no presented frame before the clean-up" >>"$2"
  return "$status"
}

# The window is resized once it is up; the trace must show the viewport taking the new size. The
# clock runs slower here, so that a slow start (a sanitizer build, a busy machine) still leaves
# the run time to see the resize.
run_resized() {
  local status
  MESA_DEBUG=1 SDL_AUDIODRIVER=dummy timeout 300 "$own_x_server" 1920x1080 \
    bash -c '
      faketime -f "+0 x10" apitrace trace -o resize.trace ./heptad >"$1" 2>"$1.err" &
      program=$!
      for _ in $(seq 200); do
        window=$(xdotool search --classname glfw-application 2>/dev/null | head -1)
        [ -n "$window" ] && break
        sleep 0.05
      done
      sleep 0.5
      xdotool windowsize "$window" 1280 720
      wait "$program"' _ "$1"
  status=$?
  apitrace dump --color=never resize.trace 2>/dev/null |
    grep -q 'glViewport(x = 0, y = 0, width = 1280, height = 720)' ||
    echo "the viewport never took the new size 1280 x 720" >>"$2"
  return "$status"
}

# Our lines as they are compared: each "ERROR::" block shrinks to its head once its separator
# is seen, the stream failure's description is replaced by a placeholder, and a block that is
# never closed by the separator says so.
normalise() {
  awk -v separator="$SEPARATOR" '
    inblock { if ($0 == separator) inblock = 0; next }
    /^ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: ./ {
      print "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ: <description>"; next }
    /^ERROR::SHADER_COMPILATION_ERROR of type: |^ERROR::PROGRAM_LINKING_ERROR of type: / {
      print; inblock = 1; next }
    { print }
    END { if (inblock) print "<no separator after the last ERROR:: block>" }' "$1"
}

run_row() {
  local i=$1 dir="$work/row$1" verdict="$work/row$1.verdict" status
  mkdir -p "$dir"
  cp -rs "$base/." "$dir/"
  : >"$verdict"
  (
    cd "$dir" || exit 1
    # A file read whole without a bound ends in an abort here. (AddressSanitizer reserves far
    # more address space than that up front, so a sanitizer build runs without the limit.)
    [ -n "${ASAN_OPTIONS:-}" ] || ulimit -v $((4 * 1024 * 1024))
    eval "${breaks[$i]}" || { echo "cannot prepare the row" >>"$verdict"; exit 1; }
    "${runners[$i]}" "$dir/stdout" "$verdict"
  )
  status=$?
  if [ "$status" -ne 0 ]; then
    # What the program, the window library or the X server said, to tell why.
    echo "status $status, want 0; standard error:" >>"$verdict"
    tail -5 "$dir/stdout.err" 2>/dev/null | sed 's/^/    /' >>"$verdict"
  fi
  if ! diff <(printf '%s\n' "${expects[$i]}" | sed '/^$/d') <(normalise "$dir/stdout") \
    >"$dir/diff"; then
    echo "printed lines differ (< expected, > printed):" >>"$verdict"
    sed 's/^/    /' "$dir/diff" >>"$verdict"
  fi
  grep -c '^Mesa: User error\|^Mesa: [0-9]* similar' "$dir/stdout.err" >"$work/row$i.glerrors"
  if [ "${names[$i]#shader}" = "${names[$i]}" ] && [ "$(cat "$work/row$i.glerrors")" != 0 ]; then
    echo "GL errors reported by the driver:" >>"$verdict"
    grep '^Mesa: ' "$dir/stdout.err" | sort | uniq -c | head -5 | sed 's/^/    /' >>"$verdict"
  fi
  if grep -q 'AddressSanitizer\|runtime error:\|Segmentation' "$dir/stdout.err" 2>/dev/null; then
    echo "sanitizer or crash report on standard error:" >>"$verdict"
    head -20 "$dir/stdout.err" | sed 's/^/    /' >>"$verdict"
  fi
  rm -f "$dir"/*.trace
}

# Two rows at a time: each is mostly waiting for the sped-up clock.
for i in "${!names[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge 2 ]; do wait -n; done
  run_row "$i" &
done
wait

failures=0
for i in "${!names[@]}"; do
  if [ -s "$work/row$i.verdict" ]; then
    echo "FAIL  ${names[$i]}"
    sed 's/^/      /' "$work/row$i.verdict"
    failures=$((failures + 1))
  else
    echo "ok    ${names[$i]}"
  fi
done
for shader in "${SHADERS[@]}"; do
  opens "$shader" || echo "(not read by this build, no row: $shader)"
done
opens "$SKY" || echo "(not read by this build, no rows: $SKY)"
echo "GL errors over the intact whole run: $(cat "$work/row0.glerrors")"
echo "${#names[@]} rows, $failures failed"
[ "$failures" -eq 0 ]
