#!/usr/bin/env bash
# Installs what watching the demo needs, builds the programs and their content, and plays the
# demo fullscreen; arguments go to the player (./play.sh --window --from 129). Where there is no
# display, or when a recording option is given, it records with heptad-capture instead.
# ./play.sh --help tells the whole story.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
start_dir=$PWD

# ./play.sh --web [port]: builds the browser version and serves it on this machine.
if [ "${1:-}" = "--web" ]; then
  "$root/scripts/install-deps.sh" web
  "$root/scripts/build-web.sh"
  port=${2:-8000}
  echo "Heptad in the browser: open http://127.0.0.1:$port/ (Ctrl-C stops the server)"
  cd "$root/build-web"
  exec python3 -m http.server --bind 127.0.0.1 "$port"
fi

usage() {
  cat <<'TEXT'
Usage: ./play.sh [options]
Installs the Debian packages that watching Heptad needs (through sudo when not root), builds the
demo and plays it fullscreen; its options go to the player. Running it again installs and rebuilds nothing that is up to date.

Where there is no display, or when one of the recording options below is given, it records the
demo with heptad-capture instead, into the folder it was started from: a video, heptad.mp4, or
with --still one frame, heptad.png. It needs no display or X server: it draws on the GPU where
there is one, else on the CPU, where a whole video takes several minutes.

Playing (the options of heptad):
  --window        play in a resizable 1920x1080 window instead of fullscreen
  --from T        start at T seconds of the demo (0 to below 164), music included
  --gentle        hold back the fastest flashes: a flash limiter runs over every frame
  --edit          edit mode in a window: shaders saved in labShaders/ and labshaders/ of the
                  source folder show at once; Space pauses, Left/Right move a beat (Shift: a
                  bar), Page Up/Down a scene, H hides the overlay (docs/edit-mode.md)
  Escape ends the demo; so does Ctrl-C.

Recording (the options of heptad-capture, with play.sh's defaults):
  --size WxH      picture size in pixels, 16:9 (default 1280x720; 1920x1080 for full quality)
  --fps N         frames a second (default 30)
  --from S        start at S seconds of the demo (default 0)
  --to S          stop before S seconds (default 164, the end)
  --output PATH   the file to write (default heptad.mp4, or heptad.png with --still); .mp4,
                  .mkv or .webm
  --crf N         video quality, lower is better (default 18 for H.264, 31 for VP9)
  --still T       write the single frame at T seconds as a PNG
  --preset NAME   x264 preset, ultrafast to veryslow (default faster)
  --supersample N render at N times the size both ways (2 to 4) for smooth edges
  --gpu N         draw on EGL device N instead of the first GPU
  --gentle        record with the flash limiter of heptad --gentle
  --flash-report CSV
                  check every frame against the WCAG flash thresholds, second by second
  --plan N        print the commands that record it in N parts and join them, for GNU
                  parallel (on this machine, or on several with parallel --sshlogin)
  --part          write only the picture of --from to --to, for a later --join
  --join PART...  join parts made with --part into one video with the music
  (heptad-capture --help in build/runtime says more about each)

  --help          show this text
  --version       show the version of the programs

In a browser: ./play.sh --web [port] builds the WebGL version into build-web/ and serves it on
http://127.0.0.1:8000/ (or the port given).

Examples:
  ./play.sh --window --from 129     the finale in a window
  ./play.sh --still 150             one frame of the finale, as heptad.png
  ./play.sh --size 1920x1080 --fps 60 --output full.mp4
  ./play.sh --plan 2 > plan.txt && head -n -1 plan.txt | parallel && tail -n 1 plan.txt | sh
                                    the same in two processes, then joined
TEXT
}

# What to do: play, unless there is no display or a recording option asks for a file. Edit
# mode never records: without a display the player says it needs one.
mode=play
edit=false
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || mode=record
for arg in "$@"; do
  case "$arg" in
    --help | -h)
      usage
      exit 0
      ;;
    --edit) edit=true ;;
    --size | --size=* | --fps | --fps=* | --to | --to=* | --still | --still=* | --output | \
      --output=* | -o | --crf | --crf=* | --preset | --preset=* | --supersample | \
      --supersample=* | --gpu | --gpu=* | --plan | --plan=* | --part | --join | \
      --flash-report | --flash-report=*)
      mode=record
      ;;
  esac
done
if $edit; then
  if [ "$mode" = record ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "play.sh: --edit plays in a window and records nothing; leave out the recording options" >&2
    exit 2
  fi
  mode=edit
fi

"$root/scripts/install-deps.sh" play
"$root/scripts/build.sh" play
cd "$root/build/runtime"

case "$mode" in
  play)
    exec ./heptad "$@"
    ;;
  edit)
    # A runtime folder whose shader folders are the checkout's own, so that a shader saved in
    # the checkout reaches the running program and stays in the source; the pictures and the
    # music are the generated ones (a picture dropped into build/runtime/imgs shows too).
    mkdir -p "$root/build/edit-runtime"
    cd "$root/build/edit-runtime"
    ln -sfn "$root/labShaders" labShaders
    ln -sfn "$root/labshaders" labshaders
    ln -sfn ../runtime/imgs imgs
    ln -sfn ../runtime/demotune.mp3 demotune.mp3
    exec ../runtime/heptad "$@"
    ;;
  record)
    output="" still=false plan=false args=()
    while [ $# -gt 0 ]; do
      case "$1" in
        --output | -o) output=${2:?"$1 needs a file name"}; shift 2 ;;
        --output=*) output=${1#--output=}; shift ;;
        --window) shift ;; # a file has no window
        --join)
          # Part files, like the output, are named from the caller's folder.
          args+=("$1")
          shift
          while [ $# -gt 0 ] && [[ $1 != -* ]]; do
            if [[ $1 = /* ]]; then args+=("$1"); else args+=("$start_dir/$1"); fi
            shift
          done
          ;;
        --still | --still=*) still=true; args+=("$1"); shift ;;
        # The report, like the output, is named from the caller's folder.
        --flash-report | --flash-report=*)
          report=${1#--flash-report=}
          if [ "$1" = --flash-report ]; then report=${2:?"$1 needs a file name"}; shift; fi
          [[ $report = /* ]] || report="$start_dir/$report"
          args+=(--flash-report "$report")
          shift
          ;;
        --plan | --plan=*) plan=true; args+=("$1"); shift ;;
        *) args+=("$1"); shift ;;
      esac
    done
    if [ -z "$output" ]; then
      if $still; then output=heptad.png; else output=heptad.mp4; fi
    fi
    # The recorder runs in the runtime folder: relative names mean the caller's folder.
    [[ $output = /* ]] || output="$start_dir/$output"
    if $plan; then
      # Only the commands, ready for parallel.
      exec ./heptad-capture --size 1280x720 --fps 30 ${args[@]+"${args[@]}"} --output "$output"
    elif $still; then
      echo "Rendering one frame to $output (1280x720 unless --size says otherwise)."
    else
      [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || echo -n "No display here: "
      echo "Recording the demo to $output (1280x720 at 30 fps unless --size / --fps say" \
        "otherwise; without a GPU this takes several minutes)."
    fi
    # 1280x720 at 30 fps: the capture benchmark puts a whole recording at about 10 minutes on two
    # cores without a GPU, one more than 960x540 for nearly twice the pixels.
    ./heptad-capture --size 1280x720 --fps 30 ${args[@]+"${args[@]}"} --output "$output"
    $still || echo "Play it with any video player, e.g.: ffplay \"$output\""
    ;;
esac
